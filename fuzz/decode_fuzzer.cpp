// PageTextDecoder::decode: never a NUL, never longer than the body, and the same text as the
// plain percent-decoding written here, ICU's UTF-8 reading and the UTF-16 to GBK conversion.

#include "monitor/gbk_codec.h"
#include "monitor/page_text_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unicode/ustring.h>

namespace {

int digit(const std::string& text, std::size_t i)
{
    if (i >= text.size()) {
        return 0;
    }
    const std::string hex = "0123456789ABCDEF";
    char c = text[i];
    if (c >= 'a' && c <= 'f') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    const std::size_t at = hex.find(c);
    return at == std::string::npos ? -2 : static_cast<int>(at);
}

std::string referenceUnescape(std::string_view body)
{
    const std::string text(body.substr(0, body.find('\0')));
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const int value = (16 * digit(text, i + 1) + digit(text, i + 2)) & 0xFF;
        if (value != 0) {
            out.push_back(static_cast<char>(value));
        }
        i += 3;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const std::string text = sornel::PageTextDecoder::decode(body);
    if (text.find('\0') != std::string::npos || text.size() > body.size()) {
        std::abort();
    }
    // The UTF-8 reading cross-checked against ICU's: the same U+FFFD for the same bad bytes.
    const std::string unescaped = referenceUnescape(body);
    std::u16string utf16(unescaped.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length,
                         unescaped.data(), static_cast<int32_t>(unescaped.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
        std::abort();
    }
    utf16.resize(static_cast<std::size_t>(length));
    if (text != sornel::GbkCodec::fromUtf16(utf16)) {
        std::abort();
    }
    return 0;
}
