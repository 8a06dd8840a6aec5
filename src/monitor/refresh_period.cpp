#include "monitor/refresh_period.h"

#include <limits>
#include <string>

namespace sornel {

namespace {

// Turns the two-byte full-width forms of ASCII characters (0xA3 0xA1..0xFE) into those
// characters and the full-width space (0xA1 0xA1) into a space, character by character.
std::string toHalfWidth(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 == text.size()) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out.push_back(static_cast<char>(trail - 0x80));
        } else if (lead == 0xA1 && trail == 0xA1) {
            out.push_back(' ');
        } else {
            out.append(text.substr(i, 2));
        }
        i += 2;
    }
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The period in minutes, saturated to the int64 range.
std::int64_t refreshMinutes(std::string_view periodCell)
{
    const std::string text = toHalfWidth(periodCell);
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, which reaches one further than a positive one.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

} // namespace

std::int64_t refreshPauseMs(std::string_view periodCell, std::int64_t msPerMinute)
{
    const std::int64_t minutes = refreshMinutes(periodCell);
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (msPerMinute <= 0) {
        return 0;
    }
    if (minutes > kMax / msPerMinute) {
        return kMax;
    }
    if (minutes < kMin / msPerMinute) {
        return kMin;
    }
    return minutes * msPerMinute;
}

} // namespace sornel
