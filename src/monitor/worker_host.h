#pragma once

#include <optional>
#include <stop_token>
#include <string>

namespace sornel {

// What a worker needs from the window, implemented by the user interface. Each call is carried
// out on the user-interface thread while the worker waits, and only if the worker has not been
// ended by then; the wait also ends as soon as the worker is ended. So once the window has
// ended a worker, that worker reads and writes no cell, shows nothing and plays nothing.
class WorkerHost {
public:
    virtual ~WorkerHost() = default;

    // A cell's GBK text; nothing when the worker was ended first.
    virtual std::optional<std::string> cellText(const std::stop_token& stop, int row,
                                                int column) = 0;
    // Writes a cell; false when the worker was ended first.
    virtual bool setCellText(const std::stop_token& stop, int row, int column,
                             const std::string& text) = 0;
    // Starts the alert sound and returns at once; false when the worker was ended first.
    virtual bool playAlert(const std::stop_token& stop) = 0;
    // Shows the hit message (GBK title and text, lines separated by "\r\n") and returns true
    // once the user has closed it, or false as soon as the worker is ended, which also closes it.
    virtual bool showHitMessage(const std::stop_token& stop, const std::string& title,
                                const std::string& text) = 0;
};

} // namespace sornel
