#pragma once

#include <stop_token>
#include <string>
#include <string_view>

namespace sornel {

class WorkerHost;

// One hit of a worker's entry: the sound (when the entry asks for it), the hit message, and,
// once the message is closed, the row marked found and stopped.
struct HitAlert {
    // Returns false when the worker was ended meanwhile; then the row is not marked.
    static bool raise(WorkerHost& host, const std::stop_token& stop, int row,
                      std::string_view header, std::string_view address, std::string_view keywords,
                      bool playSound);

    // The message's title and text, in GBK.
    static std::string title();
    static std::string text(std::string_view header, std::string_view address,
                            std::string_view keywords);
    // The header for a hit of `slot` under the relation cell `relation`.
    static std::string header(int slot, std::string_view relation);
};

} // namespace sornel
