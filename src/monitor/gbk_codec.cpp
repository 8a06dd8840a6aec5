#include "monitor/gbk_codec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <vector>

namespace sornel {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Code page 936 as Windows defines it, round-trip mappings only: a character it lacks is never
// replaced by a look-alike.
ConverterPtr openCp936()
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    ucnv_setFallback(converter.get(), false);
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

// Everything the conversion to code page 936 needs, worked out once per process from ICU: the
// bytes of every BMP character and which characters may compose with the one before them.
// Looking a character up here is far cheaper than a call into a converter.
class Cp936Table {
public:
    Cp936Table() : nfc_(nfcInstance())
    {
        bytes_.fill('?');
        buildBytes();
        buildComposing();
    }

    // Writes the bytes of `c` at `out` and returns how many (1 or 2). A character beyond the BMP,
    // a lone surrogate and every character the code page lacks give "?".
    std::size_t write(UChar32 c, char* out) const
    {
        const std::uint16_t value =
            c >= 0 && c <= 0xFFFF ? bytes_[static_cast<std::size_t>(c)] : std::uint16_t{'?'};
        if (value < 0x100) {
            out[0] = static_cast<char>(value);
            return 1;
        }
        out[0] = static_cast<char>(value >> 8);
        out[1] = static_cast<char>(value & 0xFF);
        return 2;
    }

    // The precomposed character for `base` followed by `mark`, or a negative value. Only a
    // combining mark that NFC may compose backwards composes, and only pairwise: nothing is
    // reordered and no singleton (a compatibility ideograph, say) is rewritten.
    UChar32 composePair(UChar32 base, UChar32 mark) const
    {
        if (mark < 0x300 || nfc_ == nullptr) {
            return U_SENTINEL;
        }
        const bool candidate =
            mark <= 0xFFFF ? composing_[static_cast<std::size_t>(mark)] : mayComposeBackwards(mark);
        return candidate ? nfc_->composePair(base, mark) : U_SENTINEL;
    }

private:
    static const icu::Normalizer2* nfcInstance()
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? nfc : nullptr;
    }

    bool mayComposeBackwards(UChar32 c) const
    {
        return !nfc_->hasBoundaryBefore(c) && (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0;
    }

    // Converts the whole BMP (less the surrogates) in one call and reads each character's bytes
    // off the offsets. A character with no bytes was dropped by ICU as invisible and stays "?".
    void buildBytes()
    {
        const ConverterPtr converter = openCp936();
        if (!converter) {
            return;
        }
        std::vector<UChar> units;
        for (std::uint32_t c = 0; c <= 0xFFFF; ++c) {
            if (c < 0xD800 || c > 0xDFFF) {
                units.push_back(static_cast<UChar>(c));
            }
        }
        std::vector<char> out(2 * units.size());
        std::vector<int32_t> offsets(out.size());
        char* target = out.data();
        const UChar* source = units.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter.get(), &target, out.data() + out.size(), &source,
                         units.data() + units.size(), offsets.data(), true, &status);
        if (U_FAILURE(status)) {
            return;
        }
        const auto produced = static_cast<std::size_t>(target - out.data());
        for (std::size_t i = 0; i < produced;) {
            const auto unit = units[static_cast<std::size_t>(offsets[i])];
            std::size_t length = 1;
            while (i + length < produced && offsets[i + length] == offsets[i]) {
                ++length;
            }
            const auto first = static_cast<unsigned char>(out[i]);
            if (length == 1) {
                bytes_[unit] = first;
            } else if (length == 2) {
                bytes_[unit] =
                    static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out[i + 1]));
            }
            i += length;
        }
    }

    void buildComposing()
    {
        if (nfc_ == nullptr) {
            return;
        }
        for (UChar32 c = 0x300; c <= 0xFFFF; ++c) {
            composing_[static_cast<std::size_t>(c)] = mayComposeBackwards(c);
        }
    }

    const icu::Normalizer2* nfc_;
    std::array<std::uint16_t, 0x10000> bytes_{};
    std::vector<bool> composing_ = std::vector<bool>(0x10000);
};

const Cp936Table& cp936Table()
{
    static const Cp936Table table;
    return table;
}

// Writes code page 936 bytes into a buffer, one character at a time. It holds back the last
// character it was given, since the next one may be a combining mark that composes with it.
// Every character takes at most as many bytes in code page 936 as in UTF-8 or UTF-16 units x 2,
// which lets the UTF-8 conversion write into the very buffer it reads.
class Cp936Writer {
public:
    explicit Cp936Writer(char* out) : table_(cp936Table()), out_(out) {}

    void put(UChar32 c)
    {
        if (held_ >= 0) {
            const UChar32 composed = table_.composePair(held_, c);
            if (composed >= 0) {
                held_ = composed;
                return;
            }
            written_ += table_.write(held_, out_ + written_);
        }
        held_ = c;
    }

    // A character that composes with neither its neighbour before nor the one after.
    void putNonComposing(UChar32 c)
    {
        flush();
        written_ += table_.write(c, out_ + written_);
    }

    // A run of ASCII bytes, which map to themselves; none of them composes with the one before.
    void putAscii(const char* run, std::size_t length)
    {
        flush();
        std::memmove(out_ + written_, run, length - 1);
        written_ += length - 1;
        held_ = static_cast<unsigned char>(run[length - 1]);
    }

    std::size_t finish()
    {
        flush();
        return written_;
    }

private:
    void flush()
    {
        if (held_ >= 0) {
            written_ += table_.write(held_, out_ + written_);
            held_ = U_SENTINEL;
        }
    }

    const Cp936Table& table_;
    char* out_;
    std::size_t written_ = 0;
    UChar32 held_ = U_SENTINEL;
};

std::size_t asciiRunLength(const unsigned char* p, const unsigned char* end)
{
    const unsigned char* start = p;
    while (end - p >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080ull) != 0) {
            break;
        }
        p += 8;
    }
    while (p < end && *p < 0x80) {
        ++p;
    }
    return static_cast<std::size_t>(p - start);
}

bool inRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

// Reads one UTF-8 character at `p` (which is before `end` and not ASCII) and advances `p` past
// it. An ill-formed sequence gives U+FFFD for its longest valid beginning (at least one byte),
// as ICU and the web's decoders do.
UChar32 readUtf8(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char lead = *p++;
    int count = 0;
    UChar32 c = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (inRange(lead, 0xC2, 0xDF)) {
        count = 1;
        c = lead & 0x1F;
    } else if (inRange(lead, 0xE0, 0xEF)) {
        count = 2;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (inRange(lead, 0xF0, 0xF4)) {
        count = 3;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0xFFFD;
    }
    for (int i = 0; i < count; ++i) {
        if (p == end || !inRange(*p, low, high)) {
            return 0xFFFD;
        }
        c = (c << 6) | (*p++ & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

} // namespace

void convertUtf8ToGbkInPlace(std::string& text)
{
    if (text.empty()) {
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const end = p + text.size();
    Cp936Writer writer(text.data());
    while (p < end) {
        if (const std::size_t run = asciiRunLength(p, end); run > 0) {
            writer.putAscii(reinterpret_cast<const char*>(p), run);
            p += run;
            continue;
        }
        // Most of a Chinese page: a three-byte sequence whose lead allows any continuation
        // bytes (not E0 or ED), read without the general loop.
        if (end - p >= 3 && p[0] >= 0xE1 && p[0] != 0xED && p[0] <= 0xEF && (p[1] & 0xC0) == 0x80 &&
            (p[2] & 0xC0) == 0x80) {
            const auto c =
                static_cast<UChar32>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            // U+4000 to U+9FFF (leads E4 to E9) are ideographs: none composes with the
            // character before it, and no mark composes with one of them.
            if (p[0] >= 0xE4 && p[0] <= 0xE9) {
                writer.putNonComposing(c);
            } else {
                writer.put(c);
            }
            p += 3;
            continue;
        }
        writer.put(readUtf8(p, end));
    }
    text.resize(writer.finish());
}

std::string GbkCodec::fromUtf8(std::string_view utf8)
{
    std::string text(utf8);
    convertUtf8ToGbkInPlace(text);
    return text;
}

std::string GbkCodec::fromUtf16(std::u16string_view utf16)
{
    std::string out(2 * utf16.size(), '\0');
    Cp936Writer writer(out.data());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        UChar32 c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        writer.put(c);
    }
    out.resize(writer.finish());
    return out;
}

std::u16string GbkCodec::toUtf16(std::string_view gbk)
{
    std::u16string out;
    const ConverterPtr converter = openCp936();
    if (!converter) {
        return out;
    }
    // The converter keeps its place between calls, so the text goes through a small buffer.
    std::vector<UChar> units(32 * 1024);
    const char* source = gbk.data();
    const char* const sourceEnd = gbk.data() + gbk.size();
    UErrorCode status = U_ZERO_ERROR;
    do {
        status = U_ZERO_ERROR;
        UChar* target = units.data();
        ucnv_toUnicode(converter.get(), &target, units.data() + units.size(), &source, sourceEnd,
                       nullptr, true, &status);
        out.append(units.data(), target);
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    return out;
}

std::string GbkCodec::toUtf8(std::string_view gbk)
{
    const std::u16string utf16 = toUtf16(gbk);
    std::string out;
    int32_t needed = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &needed, utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    out.resize(static_cast<std::size_t>(needed));
    status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), needed, &needed, utf16.data(), static_cast<int32_t>(utf16.size()),
                &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
        out.clear();
    }
    return out;
}

} // namespace sornel
