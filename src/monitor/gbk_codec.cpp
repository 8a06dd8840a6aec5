#include "monitor/gbk_codec.h"

#include <algorithm>
#include <memory>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>
#include <vector>

namespace sornel {

namespace {

// Work is done in pieces of this many units, so no length ever reaches ICU's int32_t limits and
// the buffers stay small whatever the size of the text.
constexpr int32_t kChunkUnits = 32 * 1024;

bool isLeadSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isTrailSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Writes "?" for every character the code page lacks, and for a lone surrogate. ICU's own
// substitution would silently drop the invisible ones, a byte-order mark among them.
void substituteQuestionMark(const void* /*context*/, UConverterFromUnicodeArgs* args,
                            const UChar* /*units*/, int32_t /*length*/, UChar32 /*codePoint*/,
                            UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason <= UCNV_IRREGULAR) {
        *status = U_ZERO_ERROR;
        ucnv_cbFromUWriteBytes(args, "?", 1, 0, status);
    }
}

ConverterPtr openCp936()
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status) || !converter) {
        return nullptr;
    }
    // Only the code page's own round-trip mappings: a character it lacks becomes "?", never a
    // look-alike.
    ucnv_setFallback(converter.get(), false);
    ucnv_setFromUCallBack(converter.get(), substituteQuestionMark, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return converter;
}

const icu::Normalizer2* nfcInstance()
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    return U_SUCCESS(status) ? nfc : nullptr;
}

// Could `c` combine with the character before it? Cheap answers first: nothing below U+0300
// and no CJK ideograph does; past that, only a combining mark that NFC may compose backwards.
bool mayComposeWithPrevious(const icu::Normalizer2& nfc, UChar32 c)
{
    if (c < 0x300 || (c >= 0x3400 && c < 0xA000)) {
        return false;
    }
    return !nfc.hasBoundaryBefore(c) && (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0;
}

// Turns UTF-16 into code page 936 bytes appended to `out`, piece by piece. Feed it complete code
// points; it holds back the last one of each piece, since a combining mark in the next piece may
// still compose with it.
class Cp936Encoder {
public:
    explicit Cp936Encoder(std::string& out)
        : out_(out), converter_(openCp936()), nfc_(nfcInstance()), units_(kHeld + kChunkUnits),
          bytes_(2 * (kHeld + kChunkUnits))
    {
    }

    // Where the caller writes up to `capacity()` new units, behind those held back.
    UChar* space() { return units_.data() + held_; }
    static constexpr int32_t capacity() { return kChunkUnits; }

    // Encodes the `written` new units; with `last`, also what is held back.
    void encode(int32_t written, bool last)
    {
        int32_t length = compose(held_ + written);
        held_ = 0;
        if (!last && length > 0) {
            held_ =
                (length >= 2 && isTrailSurrogate(units_[static_cast<std::size_t>(length - 1)]) &&
                 isLeadSurrogate(units_[static_cast<std::size_t>(length - 2)]))
                    ? 2
                    : 1;
            length -= held_;
        }
        if (length > 0) {
            if (converter_) {
                UErrorCode status = U_ZERO_ERROR;
                const int32_t produced = ucnv_fromUChars(converter_.get(), bytes_.data(),
                                                         static_cast<int32_t>(bytes_.size()),
                                                         units_.data(), length, &status);
                if (U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING) {
                    out_.append(bytes_.data(), static_cast<std::size_t>(produced));
                }
            } else {
                out_.append(static_cast<std::size_t>(length), '?');
            }
        }
        std::copy_n(units_.begin() + length, held_, units_.begin());
    }

private:
    static constexpr int32_t kHeld = 2; // at most one code point

    // Replaces, in place, each base character followed by a combining mark by the precomposed
    // character where one exists; a composed character may take the next mark as well. Only
    // pairs are composed: nothing is reordered or decomposed. Returns the new length.
    int32_t compose(int32_t length)
    {
        if (!nfc_) {
            return length;
        }
        UChar* units = units_.data();
        int32_t read = 0;
        int32_t write = 0;
        UChar32 base = U_SENTINEL;
        auto put = [&](UChar32 c) {
            if (c > 0xFFFF) {
                units[write++] = static_cast<UChar>(0xD7C0 + (c >> 10));
                units[write++] = static_cast<UChar>(0xDC00 | (c & 0x3FF));
            } else {
                units[write++] = static_cast<UChar>(c);
            }
        };
        while (read < length) {
            UChar32 c = units[read++];
            if (isLeadSurrogate(units[read - 1]) && read < length &&
                isTrailSurrogate(units[read])) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[read++] - 0xDC00);
            }
            if (base >= 0 && mayComposeWithPrevious(*nfc_, c)) {
                const UChar32 composed = nfc_->composePair(base, c);
                if (composed >= 0) {
                    base = composed;
                    continue;
                }
            }
            if (base >= 0) {
                put(base);
            }
            base = c;
        }
        if (base >= 0) {
            put(base);
        }
        return write;
    }

    std::string& out_;
    ConverterPtr converter_;
    const icu::Normalizer2* nfc_;
    std::vector<UChar> units_;
    std::vector<char> bytes_;
    int32_t held_ = 0;
};

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of a piece of at most `limit` bytes from the front of `utf8` that ends right before
// the start of a sequence, so that no UTF-8 sequence, valid or not, is cut in two: a decoder
// never takes a byte that cannot continue a sequence into the sequence before it, and no
// sequence is longer than four bytes.
std::size_t pieceLength(std::string_view utf8, std::size_t limit)
{
    if (utf8.size() <= limit) {
        return utf8.size();
    }
    for (std::size_t end = limit; end > limit - 3; --end) {
        if (!isContinuationByte(utf8[end])) {
            return end;
        }
    }
    return limit - 3;
}

} // namespace

std::string GbkCodec::fromUtf8(std::string_view utf8)
{
    std::string out;
    // Never more bytes than the UTF-8 had: each character takes at most as many in GBK.
    out.reserve(utf8.size());
    Cp936Encoder encoder(out);
    do {
        // Each UTF-8 byte gives at most one UTF-16 unit.
        const std::size_t length =
            pieceLength(utf8, static_cast<std::size_t>(Cp936Encoder::capacity()));
        int32_t written = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(encoder.space(), Cp936Encoder::capacity(), &written, utf8.data(),
                             static_cast<int32_t>(length), 0xFFFD, nullptr, &status);
        if (U_FAILURE(status)) {
            written = 0;
        }
        utf8.remove_prefix(length);
        encoder.encode(written, utf8.empty());
    } while (!utf8.empty());
    return out;
}

std::string GbkCodec::fromUtf16(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    Cp936Encoder encoder(out);
    do {
        std::size_t length =
            std::min(utf16.size(), static_cast<std::size_t>(Cp936Encoder::capacity()));
        // Keep a surrogate pair together.
        if (length < utf16.size() && length > 1 && isLeadSurrogate(utf16[length - 1])) {
            --length;
        }
        std::copy_n(utf16.begin(), length, encoder.space());
        utf16.remove_prefix(length);
        encoder.encode(static_cast<int32_t>(length), utf16.empty());
    } while (!utf16.empty());
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
    std::vector<UChar> units(static_cast<std::size_t>(kChunkUnits));
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
