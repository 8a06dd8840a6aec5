#pragma once

// Cuts a fuzzer's input into a few texts: the first bytes give the lengths of the leading parts,
// the rest is the last part.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sornel::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    // A part of at most `maxLength` bytes, its length taken from the next byte.
    std::string_view take(std::size_t maxLength)
    {
        if (rest_.empty()) {
            return {};
        }
        const std::size_t length = static_cast<unsigned char>(rest_.front()) % (maxLength + 1);
        rest_.remove_prefix(1);
        const std::string_view part = rest_.substr(0, length);
        rest_.remove_prefix(part.size());
        return part;
    }

    std::uint8_t byte()
    {
        if (rest_.empty()) {
            return 0;
        }
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

} // namespace sornel::fuzz
