#include "app/message_box.h"

#include <QMessageBox>

namespace sornel {

namespace {

std::function<void(const Message&)>& sink()
{
    static std::function<void(const Message&)> handler;
    return handler;
}

} // namespace

void showMessage(MessageIcon icon, const QString& title, const QString& text)
{
    const Message message{icon, title.isEmpty() ? QStringLiteral("信息：") : title, text};
    if (sink()) {
        sink()(message);
        return;
    }
    makeMessageBox(message)->exec();
}

std::unique_ptr<QMessageBox> makeMessageBox(const Message& message)
{
    auto box = std::make_unique<QMessageBox>(
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
        message.title, message.text, QMessageBox::Ok);
    box->setObjectName("messageBox");
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

void setMessageSinkForTesting(std::function<void(const Message&)> handler)
{
    sink() = std::move(handler);
}

} // namespace sornel
