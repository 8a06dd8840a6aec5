#include "monitor/page_text_decoder.h"

#include "monitor/gbk_codec.h"
#include "monitor/platform.h"

#include <cstring>
#include <new>

namespace sornel {

namespace {

// From this size on the decoder's buffer asks for huge pages.
constexpr std::size_t kLargeText = 4u << 20;

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

// One pass that replaces each escape by its byte, in place (the text only ever shrinks). An
// escape is the "%" and the two bytes after it, whatever they are; a byte that is not a hex
// digit counts -2 and one past the end counts 0, so a malformed escape still gives a byte
// (16 x d1 + d2, low eight bits) and a value of 0 gives none. Bytes that come out of an escape
// are not scanned again.
void percentDecodeInPlace(std::string& text)
{
    const std::size_t size = text.size();
    char* const data = text.data();
    const void* first = std::memchr(data, '%', size);
    if (first == nullptr) {
        return;
    }
    auto read = static_cast<std::size_t>(static_cast<const char*>(first) - data);
    std::size_t write = read;
    while (read < size) {
        const void* percent = std::memchr(data + read, '%', size - read);
        const std::size_t at =
            percent == nullptr ? size
                               : static_cast<std::size_t>(static_cast<const char*>(percent) - data);
        std::memmove(data + write, data + read, at - read);
        write += at - read;
        if (at == size) {
            break;
        }
        const int high = at + 1 < size ? digitValue(data[at + 1]) : 0;
        const int low = at + 2 < size ? digitValue(data[at + 2]) : 0;
        const auto byte = static_cast<unsigned char>(16 * high + low);
        if (byte != 0) {
            data[write++] = static_cast<char>(byte);
        }
        read = at + 3;
    }
    text.resize(write);
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
    try {
        // One buffer for all steps: each only ever shrinks the text. A large one gets its
        // huge-page hint before the page is copied into it.
        std::string text;
        text.reserve(body.size());
        if (body.size() >= kLargeText) {
            platform::preferHugePages(text.data(), text.capacity());
        }
        text.assign(body);
        percentDecodeInPlace(text);
        convertUtf8ToGbkInPlace(text);
        return text;
    } catch (const std::bad_alloc&) {
        // A page too large to hold twice reads as a page without text.
        return {};
    }
}

} // namespace sornel
