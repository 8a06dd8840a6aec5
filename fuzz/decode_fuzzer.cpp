// PageTextDecoder::decode: never a NUL, never longer than the body, and the same text as the
// plain percent-decoding written here followed by the UTF-8 to GBK conversion.

#include "monitor/gbk_codec.h"
#include "monitor/page_text_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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
    if (text != sornel::GbkCodec::fromUtf8(referenceUnescape(body))) {
        std::abort();
    }
    return 0;
}
