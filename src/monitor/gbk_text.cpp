#include "monitor/gbk_text.h"

#include "monitor/platform.h"

#include <climits>

namespace sornel {

namespace {

bool isHighByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

} // namespace

bool isCharacterStart(std::string_view text, std::size_t position, std::size_t boundary)
{
    // The position right after a byte below 0x80 is always a character boundary (that byte is
    // either a character of its own or the second byte of one), and so is `boundary`. From the
    // nearest such position the run of high bytes up to `position` pairs up into two-byte
    // characters, so `position` is a boundary exactly when that run has even length.
    std::size_t runStart = position;
    while (runStart > boundary && isHighByte(text[runStart - 1])) {
        --runStart;
    }
    return (position - runStart) % 2 == 0;
}

std::size_t findFrom(std::string_view text, std::string_view pattern, std::size_t from,
                     std::size_t boundary)
{
    // A fast byte search proposes candidates; each is kept only if it starts a character. Every
    // byte is walked back over at most once, because `boundary` only moves forward past it.
    for (;;) {
        if (from > text.size()) {
            return std::string_view::npos;
        }
        const std::size_t found = platform::findBytes(text.substr(from), pattern);
        if (found == std::string_view::npos) {
            return std::string_view::npos;
        }
        const std::size_t candidate = from + found;
        if (isCharacterStart(text, candidate, boundary)) {
            return candidate;
        }
        // The candidate is the second byte of a character, so the next byte begins one.
        boundary = candidate + 1;
        from = boundary;
    }
}

std::size_t findFirst(std::string_view text, std::string_view pattern)
{
    if (pattern.empty()) {
        return text.empty() ? std::string_view::npos : 0;
    }
    return findFrom(text, pattern, 0, 0);
}

int findText(std::string_view text, std::string_view pattern)
{
    const std::size_t offset = findFirst(text, pattern);
    // A position that int cannot hold is reported as not found rather than as a wrong place.
    if (offset == std::string_view::npos || offset >= static_cast<std::size_t>(INT_MAX)) {
        return -1;
    }
    return static_cast<int>(offset) + 1;
}

std::vector<std::string> splitText(std::string_view text, std::string_view delimiter)
{
    std::vector<std::string> pieces;
    forEachPiece(text, delimiter, [&](std::string_view piece) { pieces.emplace_back(piece); });
    return pieces;
}

std::vector<std::string> extractBetween(std::string_view text, std::string_view startMarker,
                                        std::string_view endMarker)
{
    std::vector<std::string> segments;
    forEachSegment(text, startMarker, endMarker,
                   [&](std::string_view segment) { segments.emplace_back(segment); });
    return segments;
}

} // namespace sornel
