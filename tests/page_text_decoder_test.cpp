#include "gbk_literals.h"
#include "monitor/page_text_decoder.h"

#include <gtest/gtest.h>
#include <string>

namespace sornel {
namespace {

using test::gbk;
using namespace std::string_literals;

struct DecodeCase {
    const char* what;
    std::string body;
    std::string text;
};

TEST(PageTextDecoderTest, MalformedEscapes)
{
    const DecodeCase cases[] = {
        {"% as the last byte", "ab%", "ab"},
        {"% and a digit as the last bytes", "ab%4", "ab@"},
        {"% and the digit 0 as the last bytes", "ab%0", "ab"},
        {"% and a non-digit as the last bytes: 0xE0", "ab%z", "ab?"},
        {"% z Y: 0xE0 + Y, a lead byte without continuation", "%z5x", "?x"},
        {"% X z: 16 X - 2, for X = 0", "%0zx", "?x"},
        {"% X z: 16 X - 2, for X = 4 is 0x3E", "%4zx", ">x"},
        {"% X z: 16 X - 2, for X = 15", "%Fzx", "?x"},
        {"% z z: 0xDE", "%zzx", "?x"},
        {"%% counts -2 for each %", "%%%x", "?x"},
        {"% 0 0 appends nothing", "a%00b", "ab"},
        {"the escape eats the quote and bracket of 100%\">", "<td width=\"100%\">x",
         "<td width=\"100?x"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(PageTextDecoder::decode(c.body), c.text) << c.what;
    }
}

TEST(PageTextDecoderTest, WellFormedEscapesAndText)
{
    const DecodeCase cases[] = {
        {"empty", "", ""},
        {"ascii without % is unchanged", "<p>a+b = c</p>", "<p>a+b = c</p>"},
        {"%41 is A", "%41", "A"},
        {"either case of hex digit", "%4a%4A", "JJ"},
        {"plus stays plus", "a+b%2B", "a+b+"},
        {"an escaped % starts no escape", "%2541", "%41"},
        {"escaped UTF-8 of a Chinese character, upper case", "%E4%B8%AD", gbk("中")},
        {"escaped UTF-8 of a Chinese character, lower case", "%e4%b8%ad", gbk("中")},
        {"escapes and raw UTF-8 mixed", "%E4%B8\xAD文", gbk("中文")},
        {"UTF-8 page", "<title>价格 100元</title>", gbk("<title>价格 100元</title>")},
        {"GBK page: Chinese does not survive", "ab\xD6\xD0\xCE\xC4", "ab????"},
        {"cut at the first NUL", "abc\0def"s, "abc"},
        {"NUL first gives nothing", "\0abc"s, ""},
        {"UTF-16 page is cut within its first characters", "<\0h\0t\0"s, "<"},
        {"an escaped NUL is dropped", "a%00%00", "a"},
        {"only escapes of value 0", "%00%0", ""},
        {"e and a combining acute", "e\xCC\x81", gbk("é")},
        {"escaped e and combining acute", "e%CC%81", gbk("é")},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(PageTextDecoder::decode(c.body), c.text) << c.what;
    }
}

} // namespace
} // namespace sornel
