#include "pages/Prompt.h"

#include <utility>

#include "res/StringTable.h"

namespace tavoren {
namespace {

MessagePrompt& InstalledPrompt() {
    static MessagePrompt prompt;
    return prompt;
}

QMessageBox::StandardButton ShowMessageBox(QWidget* owner, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) {
    QMessageBox box(icon, QString::fromUtf8(res::kApplicationName), res::DisplayText(text), buttons,
                    owner);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QMessageBox::StandardButton ShowMessage(QWidget* owner, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::Icon icon) {
    const MessagePrompt& prompt = InstalledPrompt();
    return prompt ? prompt(owner, text, buttons, icon) : ShowMessageBox(owner, text, buttons, icon);
}

MessagePrompt InstallMessagePrompt(MessagePrompt prompt) {
    return std::exchange(InstalledPrompt(), std::move(prompt));
}

}  // namespace tavoren
