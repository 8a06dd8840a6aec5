#pragma once

// Plain, obviously correct versions of the text operations, walking the text byte by byte and
// character by character, for the fuzzers to compare the fast ones against.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sornel::reference {

inline int findText(std::string_view text, std::string_view pattern)
{
    if (pattern.empty()) {
        return text.empty() ? -1 : 1;
    }
    std::size_t i = 0;
    while (text.size() - i >= pattern.size()) {
        bool equal = true;
        for (std::size_t k = 0; k < pattern.size(); ++k) {
            if (text[i + k] != pattern[k]) {
                equal = false;
                break;
            }
        }
        if (equal) {
            return static_cast<int>(i + 1);
        }
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            if (i + 1 == text.size()) {
                break;
            }
            i += 2;
        } else {
            i += 1;
        }
    }
    return -1;
}

inline std::vector<std::string> splitText(std::string_view text, std::string_view delimiter)
{
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pieceStart = 0;
    std::size_t i = 0;
    while (text.size() - i >= delimiter.size()) {
        if (text.substr(i, delimiter.size()) == delimiter) {
            pieces.emplace_back(text.substr(pieceStart, i - pieceStart));
            i += delimiter.size();
            pieceStart = i;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            if (i + 1 == text.size()) {
                break;
            }
            i += 2;
        } else {
            i += 1;
        }
    }
    if (pieceStart < text.size()) {
        pieces.emplace_back(text.substr(pieceStart));
    }
    return pieces;
}

inline std::vector<std::string> extractBetween(std::string_view text, std::string_view start,
                                               std::string_view end)
{
    std::vector<std::string> segments;
    const std::vector<std::string> pieces = splitText(text, start);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const int p = findText(pieces[i], end);
        if (p != -1) {
            segments.push_back(pieces[i].substr(0, static_cast<std::size_t>(p - 1)));
        }
    }
    return segments;
}

} // namespace sornel::reference
