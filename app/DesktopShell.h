#pragma once

#include <QString>
#include <memory>

namespace tavoren {

// The desktop's "open" action, which hands a file to the program registered for its type.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // Fire and forget: a missing file or a missing handler is the desktop's business.
    virtual void Open(const QString& absolutePath) = 0;
};

DesktopShell& ActiveDesktopShell();
// Installs `shell` and returns the previous one (tests restore it).
std::unique_ptr<DesktopShell> InstallDesktopShell(std::unique_ptr<DesktopShell> shell);

}  // namespace tavoren
