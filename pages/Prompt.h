#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// The pages' message boxes, replaceable so that tests can answer them.
namespace tavoren {

using MessagePrompt = std::function<QMessageBox::StandardButton(
    QWidget* owner, const QString& text, QMessageBox::StandardButtons buttons,
    QMessageBox::Icon icon)>;

// Shows `text` (line breaks as stored, CR LF) in a modal message box owned by `owner` and titled
// with the application's name; returns the button pressed. Closing the box answers with its
// escape button: Cancel when there is one, else OK.
QMessageBox::StandardButton ShowMessage(QWidget* owner, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::Icon icon);

// Installs `prompt` in place of the real message box and returns the previous one; an empty
// function restores the real message box.
MessagePrompt InstallMessagePrompt(MessagePrompt prompt);

}  // namespace tavoren
