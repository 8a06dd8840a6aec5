#include "app/ui_worker_host.h"

#include "entries/entry_list.h"
#include "monitor/gbk_codec.h"

#include <QMessageBox>
#include <QMetaObject>
#include <condition_variable>
#include <mutex>

namespace sornel {

namespace {

QString shown(const std::string& gbk)
{
    QString text = QString::fromStdU16String(GbkCodec::toUtf16(gbk));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Lives as long as a hit message box and closes the box when its worker is ended. The stop is
// only ever requested on the user-interface thread, so the callback runs there too.
class CloseOnStop : public QObject {
public:
    CloseOnStop(QMessageBox* box, const std::stop_token& stop)
        : QObject(box), callback_(stop, [box] { box->close(); })
    {
    }

private:
    std::stop_callback<std::function<void()>> callback_;
};

} // namespace

// What a waiting worker and the user-interface thread share for one call.
struct UiWorkerHost::Call {
    std::mutex mutex;
    std::condition_variable_any finished;
    bool done = false;

    void finish()
    {
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        finished.notify_all();
    }
};

UiWorkerHost::UiWorkerHost(EntryList& list) : list_(&list), context_(std::make_unique<QObject>()) {}

UiWorkerHost::~UiWorkerHost() = default;

void UiWorkerHost::detach()
{
    const std::lock_guard lock(contextMutex_);
    context_.reset();
}

bool UiWorkerHost::runOnUiThread(const std::stop_token& stop,
                                 std::function<void(std::function<void()> done)> work)
{
    auto call = std::make_shared<Call>();
    {
        const std::lock_guard lock(contextMutex_);
        if (!context_ || stop.stop_requested()) {
            return false;
        }
        const bool posted = QMetaObject::invokeMethod(
            context_.get(),
            [call, stop, work = std::move(work)] {
                if (stop.stop_requested()) {
                    return; // ended meanwhile: the call is dropped
                }
                work([call] { call->finish(); });
            },
            Qt::QueuedConnection);
        if (!posted) {
            return false;
        }
    }
    std::unique_lock lock(call->mutex);
    return call->finished.wait(lock, stop, [&call] { return call->done; });
}

std::optional<std::string> UiWorkerHost::cellText(const std::stop_token& stop, int row, int column)
{
    auto text = std::make_shared<std::string>();
    const bool done = runOnUiThread(stop, [this, text, row, column](auto finish) {
        if (list_) {
            *text = list_->cellText(row, column);
        }
        finish();
    });
    if (!done) {
        return std::nullopt;
    }
    return *text;
}

bool UiWorkerHost::setCellText(const std::stop_token& stop, int row, int column,
                               const std::string& text)
{
    return runOnUiThread(stop, [this, text, row, column](auto finish) {
        if (list_) {
            list_->setCellText(row, column, text);
        }
        finish();
    });
}

bool UiWorkerHost::playAlert(const std::stop_token& stop)
{
    return runOnUiThread(stop, [this](auto finish) {
        if (play_) {
            play_();
        }
        finish();
    });
}

bool UiWorkerHost::showHitMessage(const std::stop_token& stop, const std::string& title,
                                  const std::string& text)
{
    return runOnUiThread(stop, [stop, title = shown(title), text = shown(text)](auto finish) {
        // No owner window and not modal: the main window and the other workers go on.
        auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok);
        box->setObjectName("hitMessage");
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        QObject::connect(box, &QMessageBox::finished, box, [finish] { finish(); });
        new CloseOnStop(box, stop);
        box->show();
    });
}

} // namespace sornel
