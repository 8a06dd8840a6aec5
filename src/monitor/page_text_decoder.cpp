#include "monitor/page_text_decoder.h"

#include "monitor/gbk_codec.h"

#include <cstring>

namespace sornel {

namespace {

// A hex digit's value (either case), -2 for any other byte.
int digitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -2;
}

// One pass that replaces each escape by its byte. An escape is the "%" and the two bytes after
// it, whatever they are; a byte that is not a hex digit counts -2 and one past the end counts 0,
// so a malformed escape still gives a byte (16 x d1 + d2, low eight bits) and a value of 0 gives
// none. Bytes that come out of an escape are not scanned again.
std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const void* percent = std::memchr(text.data() + i, '%', text.size() - i);
        if (percent == nullptr) {
            out.append(text.substr(i));
            break;
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(percent) - text.data());
        out.append(text.substr(i, at - i));
        const int high = at + 1 < text.size() ? digitValue(text[at + 1]) : 0;
        const int low = at + 2 < text.size() ? digitValue(text[at + 2]) : 0;
        const auto byte = static_cast<unsigned char>(16 * high + low);
        if (byte != 0) {
            out.push_back(static_cast<char>(byte));
        }
        i = at + 3;
    }
    return out;
}

} // namespace

std::string PageTextDecoder::decode(std::string_view body)
{
    if (body.empty()) {
        return {};
    }
    // Everything from the first NUL on is lost.
    if (const void* nul = std::memchr(body.data(), '\0', body.size())) {
        body =
            body.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - body.data()));
    }
    if (std::memchr(body.data(), '%', body.size()) == nullptr) {
        return GbkCodec::fromUtf8(body);
    }
    return GbkCodec::fromUtf8(percentDecode(body));
}

} // namespace sornel
