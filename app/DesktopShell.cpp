#include "app/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavoren {
namespace {

class SystemDesktopShell final : public DesktopShell {
public:
    void Open(const QString& absolutePath) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
    }
};

std::unique_ptr<DesktopShell>& InstalledShell() {
    static std::unique_ptr<DesktopShell> shell = std::make_unique<SystemDesktopShell>();
    return shell;
}

}  // namespace

DesktopShell& ActiveDesktopShell() { return *InstalledShell(); }

std::unique_ptr<DesktopShell> InstallDesktopShell(std::unique_ptr<DesktopShell> shell) {
    std::swap(InstalledShell(), shell);
    return shell;
}

}  // namespace tavoren
