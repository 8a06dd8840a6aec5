#include "monitor/gbk_codec.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unicode/ucnv.h>

namespace sornel {
namespace {

struct ToGbkCase {
    const char* what;
    std::string_view utf8;
    std::string_view gbk;
};

TEST(GbkCodecTest, FromUtf8)
{
    const ToGbkCase cases[] = {
        {"empty", "", ""},
        {"ascii", "Hello, <b>%</b>", "Hello, <b>%</b>"},
        {"chinese", "监控中", "\xBC\xE0\xBF\xD8\xD6\xD0"},
        {"euro is 0x80 in code page 936", "\xE2\x82\xAC", "\x80"},
        {"precomposed e acute", "\xC3\xA9", "\xA8\xA6"},
        {"e and a combining acute compose", "e\xCC\x81", "\xA8\xA6"},
        {"ka and a combining voiced mark compose", "\xE3\x81\x8B\xE3\x82\x99", "\xA4\xAC"},
        {"a mark with nothing to compose stays alone", "x\xCC\x81", "x?"},
        {"compatibility ideograph keeps its own bytes", "\xEF\xA8\x8C", "\xFE\x40"},
        {"lacking characters become ?", "\xE3\x83\xBB\xF0\x9F\x98\x80", "??"},
        {"replacement character becomes ?", "\xEF\xBF\xBD", "?"},
        {"byte-order mark is not dropped",
         "\xEF\xBB\xBF"
         "a",
         "?a"},
        {"invalid bytes become ?",
         "\xFF\xFE"
         "a",
         "??a"},
        {"cut-short sequence becomes ?", "a\xE4\xB8", "a?"},
        {"encoded surrogate is invalid", "\xED\xA0\x80", "???"},
    };
    for (const ToGbkCase& c : cases) {
        EXPECT_EQ(GbkCodec::fromUtf8(c.utf8), c.gbk) << c.what;
    }
}

TEST(GbkCodecTest, FromUtf16)
{
    EXPECT_EQ(GbkCodec::fromUtf16(u"开始监控"), "\xBF\xAA\xCA\xBC\xBC\xE0\xBF\xD8");
    EXPECT_EQ(GbkCodec::fromUtf16(u"e\u0301"), "\xA8\xA6");
    EXPECT_EQ(GbkCodec::fromUtf16(u"a\xD800"
                                  "b"),
              "a?b");                                   // lone surrogate
    EXPECT_EQ(GbkCodec::fromUtf16(u"\U0001F600"), "?"); // one per character
}

TEST(GbkCodecTest, ToUnicode)
{
    EXPECT_EQ(GbkCodec::toUtf8("\xCD\xAC\xD2\xBB\xD0\xD0"), "同一行");
    EXPECT_EQ(GbkCodec::toUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(GbkCodec::toUtf16("ab\xB0\xA1"), u"ab啊");
    EXPECT_EQ(GbkCodec::toUtf16("\x81\x20"), u"\uFFFD "); // a bad pair keeps its ASCII byte
    EXPECT_EQ(GbkCodec::toUtf16("a\xB0"), u"a\uFFFD");    // a lone last lead byte
}

TEST(GbkCodecTest, LongTextsSurviveThePieceBoundaries)
{
    // Long enough to be converted in several pieces, with the pieces' edges landing inside
    // multi-byte characters and between a base character and its mark.
    std::string utf8;
    std::string gbk;
    std::string precomposed;
    for (int i = 0; i < 40000; ++i) {
        utf8 += i % 7 == 0 ? "e\xCC\x81" : (i % 3 == 0 ? "\xE4\xB8\xAD" : "x");
        gbk += i % 7 == 0 ? "\xA8\xA6" : (i % 3 == 0 ? "\xD6\xD0" : "x");
        precomposed += i % 7 == 0 ? "\xC3\xA9" : (i % 3 == 0 ? "\xE4\xB8\xAD" : "x");
    }
    EXPECT_EQ(GbkCodec::fromUtf8(utf8), gbk);
    EXPECT_EQ(GbkCodec::toUtf8(gbk), precomposed);
}

// Every character of the BMP on its own converts exactly as ICU's windows-936-2000 converter
// does with round-trip mappings only, "?" standing in for whatever the code page lacks.
TEST(GbkCodecTest, EveryBmpCharacterMatchesTheCodePage)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, void (*)(UConverter*)> converter(
        ucnv_open("windows-936-2000", &status), ucnv_close);
    ASSERT_TRUE(U_SUCCESS(status));
    ucnv_setFallback(converter.get(), false);
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    int mismatches = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const auto unit = static_cast<UChar>(c);
        char bytes[8] = {};
        status = U_ZERO_ERROR;
        const int32_t length =
            ucnv_fromUChars(converter.get(), bytes, sizeof bytes, &unit, 1, &status);
        // ICU drops invisible characters it cannot map; they too become "?".
        const std::string expected =
            length > 0 ? std::string(bytes, static_cast<std::size_t>(length)) : std::string("?");
        const std::string actual = GbkCodec::fromUtf16(std::u16string(1, static_cast<char16_t>(c)));
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c) << ": "
                          << testing::PrintToString(actual) << " instead of "
                          << testing::PrintToString(expected);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace sornel
