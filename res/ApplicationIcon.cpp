#include "res/ApplicationIcon.h"

// A resource file compiled into a static library is linked only when something refers to it.
static void LinkIconResources() { Q_INIT_RESOURCE(res); }

namespace tavoren::res {

QIcon ApplicationIcon() {
    LinkIconResources();
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/tavoren/icons/tavoren-drive-utility-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace tavoren::res
