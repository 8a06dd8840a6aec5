#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace sornel {

enum class MessageIcon { Information, Warning };

struct Message {
    MessageIcon icon;
    QString title;
    QString text;
};

// Every message box of the window's thread goes through here: one OK button, centred on the
// screen, modal over `over` (the main window or an open editor form) and the windows under it,
// while timers keep ticking. A hit message, which belongs to a worker and to no window, stays
// usable meanwhile. Returns when the user has closed the box. An empty title shows as "信息：".
void showMessage(QWidget* over, MessageIcon icon, const QString& title, const QString& text);

// The box that showMessage shows for `message` over `over`, not yet shown.
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* over = nullptr);

// Tests only: hands each message to `sink` instead of showing it (nothing when empty).
void setMessageSinkForTesting(std::function<void(const Message&)> sink);

} // namespace sornel
