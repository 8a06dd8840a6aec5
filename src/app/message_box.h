#pragma once

#include <QString>
#include <functional>

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

// Tests only: hands each message to `sink` instead of showing it (nothing when empty).
void setMessageSinkForTesting(std::function<void(const Message&)> sink);

} // namespace sornel
