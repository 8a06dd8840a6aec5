#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;

namespace sornel {

enum class MessageIcon { Information, Warning };

struct Message {
    MessageIcon icon;
    QString title;
    QString text;
};

// Every message box of the program goes through here: no owner window, modal for the whole
// program while timers keep ticking, one OK button. Returns when the user has closed it. An
// empty title shows as "信息：".
void showMessage(MessageIcon icon, const QString& title, const QString& text);

// The box that showMessage shows for `message`, not yet shown.
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message);

// Tests only: hands each message to `sink` instead of showing it (nothing when empty).
void setMessageSinkForTesting(std::function<void(const Message&)> sink);

} // namespace sornel
