#include "ui/message_box.h"

#include "ui/window_placement.h"

#include <QMessageBox>
#include <QShowEvent>

namespace sornel {

namespace {

std::function<void(const Message&)>& sink()
{
    static std::function<void(const Message&)> handler;
    return handler;
}

// A message box that opens centred on the screen even when it has a window to block: a dialog
// with a parent would otherwise be placed over that parent.
class CentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        // The box has its final size only once its own show event has run.
        QMessageBox::showEvent(event);
        if (!event->spontaneous()) {
            centreOnScreen(*this, frameGeometry().size());
        }
    }
};

} // namespace

void showMessage(QWidget* over, MessageIcon icon, const QString& title, const QString& text)
{
    const Message message{icon, title.isEmpty() ? QStringLiteral("信息：") : title, text};
    if (sink()) {
        sink()(message);
        return;
    }
    makeMessageBox(message, over)->exec();
}

std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* over)
{
    auto box = std::make_unique<CentredMessageBox>(
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
        message.title, message.text, QMessageBox::Ok, over);
    box->setObjectName("messageBox");
    // Modal over its window only: with no window to block it would block every window of the
    // program, hit messages included.
    box->setWindowModality(over != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    return box;
}

void setMessageSinkForTesting(std::function<void(const Message&)> handler)
{
    sink() = std::move(handler);
}

} // namespace sornel
