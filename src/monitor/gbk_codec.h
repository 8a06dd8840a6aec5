#pragma once

#include <string>
#include <string_view>

namespace sornel {

// Conversions between GBK (code page 936, as Windows defines it: 0x80 is the euro sign) and
// Unicode. Going to GBK, a base character followed by a combining mark becomes the precomposed
// character where one exists, and every character that code page 936 lacks (an invalid UTF-8
// sequence among them) becomes "?". Going from GBK, a byte sequence that is not a character
// becomes U+FFFD. None of these fails or throws.
struct GbkCodec {
    static std::string fromUtf8(std::string_view utf8);
    static std::string fromUtf16(std::u16string_view utf16);
    static std::string toUtf8(std::string_view gbk);
    static std::u16string toUtf16(std::string_view gbk);
};

// GbkCodec::fromUtf8 without a copy: converts `text` where it stands (code page 936 never needs
// more bytes for a character than UTF-8 does) and shortens it to the result.
void convertUtf8ToGbkInPlace(std::string& text);

} // namespace sornel
