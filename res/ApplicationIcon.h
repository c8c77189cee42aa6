#pragma once

#include <QIcon>

namespace tavoren::res {

// The application icon (16, 32 and 48 pixel images) for the windows and the About box.
QIcon ApplicationIcon();

}  // namespace tavoren::res
