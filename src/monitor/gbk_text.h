#pragma once

// Search, split and marker extraction on GBK texts.
//
// A GBK text is read from its first byte: a byte below 0x80 is one character, a byte of 0x80 or
// above forms one character with the byte after it (or stands alone as the last byte). Every
// search here only finds matches that begin on a character boundary, so nothing is ever found
// starting at the second byte of a Chinese character, even when that byte is an ASCII letter.
// Comparisons are byte for byte: no case folding, no trimming.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sornel {

// 1-based position of the first occurrence of `pattern` in `text` that begins on a character
// boundary, or -1. An empty pattern gives 1 in a non-empty text and -1 in an empty one.
int findText(std::string_view text, std::string_view pattern);

// The pieces of `text` between occurrences of `delimiter`: "a||b" gives a, "", b; a trailing
// delimiter adds nothing ("a|" gives a); an empty text gives no piece; an empty delimiter gives
// the whole text as the one piece.
std::vector<std::string> splitText(std::string_view text, std::string_view delimiter);

// For every occurrence of `startMarker`, the text right behind it up to the first `endMarker`
// before the next `startMarker`; a start marker without such an end marker gives nothing.
std::vector<std::string> extractBetween(std::string_view text, std::string_view startMarker,
                                        std::string_view endMarker);

// The same operations without copies, for code that searches whole pages many times.

// 0-based offset of what findText finds, or std::string_view::npos.
std::size_t findFirst(std::string_view text, std::string_view pattern);

// 0-based offset of the first occurrence of the non-empty `pattern` at or after `from` that
// begins on a character boundary of `text`, or std::string_view::npos. `boundary`, at most
// `from`, must be a known character boundary of `text` (0 always is); the nearer it is, the
// less is read again.
std::size_t findFrom(std::string_view text, std::string_view pattern, std::size_t from,
                     std::size_t boundary);

// Whether `position` is a character boundary of `text`, given a known boundary at or before it.
bool isCharacterStart(std::string_view text, std::size_t position, std::size_t boundary);

// True when findText would find `pattern` in `text`.
inline bool containsText(std::string_view text, std::string_view pattern)
{
    return findFirst(text, pattern) != std::string_view::npos;
}

// Calls `onPiece(std::string_view)` for each piece splitText would return, in order.
template <typename OnPiece>
void forEachPiece(std::string_view text, std::string_view delimiter, OnPiece&& onPiece)
{
    if (text.empty()) {
        return;
    }
    if (delimiter.empty()) {
        onPiece(text);
        return;
    }
    // Each piece restarts the reading of characters right behind the delimiter before it.
    std::size_t start = 0;
    for (;;) {
        const std::string_view rest = text.substr(start);
        const std::size_t hit = findFirst(rest, delimiter);
        if (hit == std::string_view::npos) {
            break;
        }
        onPiece(rest.substr(0, hit));
        start += hit + delimiter.size();
    }
    if (start < text.size()) {
        onPiece(text.substr(start));
    }
}

// Calls `onSegment(std::string_view)` for each segment extractBetween would return, in order.
template <typename OnSegment>
void forEachSegment(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                    OnSegment&& onSegment)
{
    bool beforeFirstMarker = true;
    forEachPiece(text, startMarker, [&](std::string_view piece) {
        if (beforeFirstMarker) {
            beforeFirstMarker = false;
            return;
        }
        const std::size_t end = findFirst(piece, endMarker);
        if (end != std::string_view::npos) {
            onSegment(piece.substr(0, end));
        }
    });
}

} // namespace sornel
