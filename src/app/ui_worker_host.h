#pragma once

#include "monitor/worker_host.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>

namespace sornel {

class EntryList;

// The window's side of WorkerHost. A worker's call is posted to the user-interface thread and
// the worker waits for it; there it is carried out only if the worker has not been ended, which
// is also only ever done on this thread, so an ended worker's calls are dropped. The worker's
// wait ends as soon as it is ended, and ending it closes its open hit message.
class UiWorkerHost : public WorkerHost {
public:
    explicit UiWorkerHost(EntryList& list);
    ~UiWorkerHost() override;

    std::optional<std::string> cellText(const std::stop_token& stop, int row, int column) override;
    bool setCellText(const std::stop_token& stop, int row, int column,
                     const std::string& text) override;
    bool playAlert(const std::stop_token& stop) override;
    bool showHitMessage(const std::stop_token& stop, const std::string& title,
                        const std::string& text) override;

    void setSound(std::function<void()> play) { play_ = std::move(play); }
    // The window is going away: every call from now on is refused.
    void detach();

private:
    struct Call;
    // Runs `work` on the user-interface thread unless the worker is ended first; `work` calls
    // its argument once it is done. Returns false when the worker was ended first.
    bool runOnUiThread(const std::stop_token& stop,
                       std::function<void(std::function<void()> done)> work);

    QPointer<EntryList> list_;
    std::function<void()> play_;
    // Where calls are posted to; workers read it, the window clears it as it goes away.
    std::mutex contextMutex_;
    std::unique_ptr<QObject> context_;
};

} // namespace sornel
