#include "monitor/gbk_text.h"
#include "reference_text.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace sornel {
namespace {

using Pieces = std::vector<std::string>;

// "中文" in GBK is D6 D0 CE C4; B0 41 is one character whose second byte is the letter A.
constexpr std::string_view kZhongWen = "\xD6\xD0\xCE\xC4";

struct FindCase {
    std::string_view text;
    std::string_view pattern;
    int expected;
};

TEST(FindTextTest, FindsOnlyAtCharacterBoundaries)
{
    const FindCase cases[] = {
        {"", "", -1},
        {"a", "", 1},
        {"", "a", -1},
        {"abc", "c", 3},
        {"abcabc", "bc", 2},
        {"abc", "abcd", -1},
        {"abc", "d", -1},
        {"<TABLE>", "<table", -1}, // case counts
        {"\xB0\x41", "A", -1},     // A only as a second byte
        {"\xB0\x41"
         "A",
         "A", 3}, // the next A is a character of its own
        {"\xB0\x41"
         "x\x41",
         "\x41", 4},                 // skips the false candidate, finds the next
        {kZhongWen, "\xD0\xCE", -1}, // second byte of one + first of the next
        {kZhongWen, "\xCE\xC4", 3},
        {"\xB0\xA1\xB0\xA1\xB0\xA1", "\xA1\xB0", -1},
        {"\xB0\xA1\xB0\xA1\xB0\xA1", "\xB0\xA1", 1},
        {"\xB0\xA1", "\xB0", 1}, // a match need not end on a boundary
        {"a\xB0", "\xB0", 2},    // a lone last high byte is a character
        {"\xB0", "\xB0\xA1", -1},
        {"\x81\x41\x41", "A", 3}, // right after an ASCII byte: a boundary
        {"ab\xB0\xB0\xB0\xB0\xB0\xB0"
         "c\xB0\xB0",
         "\xB0\xB0", 3},
        {"\xC1\xB0"
         "a\xB0"
         "a",
         "\xB0"
         "a",
         4},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(findText(c.text, c.pattern), c.expected)
            << "text " << testing::PrintToString(std::string(c.text)) << " pattern "
            << testing::PrintToString(std::string(c.pattern));
    }
}

TEST(FindTextTest, AgreesWithCharacterByCharacterScanOnRandomTexts)
{
    // A small alphabet of ASCII bytes and high bytes makes false candidates common.
    const char alphabet[] = {'A', '|', '\xB0', '\xA1', '\x41'};
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    auto randomText = [&](std::size_t length) {
        std::string s;
        for (std::size_t i = 0; i < length; ++i) {
            s.push_back(alphabet[pick(random)]);
        }
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random() % 40);
        const std::string pattern = randomText(random() % 4);
        ASSERT_EQ(findText(text, pattern), reference::findText(text, pattern))
            << testing::PrintToString(text) << " / " << testing::PrintToString(pattern);
    }
}

struct SplitCase {
    std::string_view text;
    std::string_view delimiter;
    Pieces expected;
};

TEST(SplitTextTest, CutsAtDelimitersOnCharacterBoundaries)
{
    const SplitCase cases[] = {
        {"a|b", "|", {"a", "b"}},
        {"a||b", "|", {"a", "", "b"}},
        {"|a", "|", {"", "a"}},
        {"a|", "|", {"a"}},
        {"|", "|", {""}},
        {"||", "|", {"", ""}},
        {"", "|", {}},
        {"", "", {}},
        {"a|b", "", {"a|b"}},
        {"abc", "|", {"abc"}},
        {"a<>b<>", "<>", {"a", "b"}},
        {"\xB0|x|y", "|", {"\xB0|x", "y"}},     // the first | is a second byte
        {"\xB0\xB0\xB0", "\xB0", {"", "", ""}}, // reading restarts behind each delimiter
        {"x\xB0", "|", {"x\xB0"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitText(c.text, c.delimiter), c.expected)
            << testing::PrintToString(std::string(c.text));
    }
}

struct ExtractCase {
    std::string_view text;
    Pieces expected;
};

TEST(ExtractBetweenTest, GivesTableSegments)
{
    const ExtractCase cases[] = {
        {"", {}},
        {"no tables here", {}},
        {"<table>x</table>", {">x"}},
        {"a<table b=1>x</table>y<table>z</table>", {" b=1>x", ">z"}},
        {"<table></table>", {">"}},
        {"<table</table>", {""}},
        {"<TABLE>x</TABLE>", {}},                             // capitals: no segment
        {"<table><tr><table>in</table>out</table>", {">in"}}, // nested: the inner one
        {"<table>open<table>closed</table>", {">closed"}},    // unclosed: nothing
        {"<table>never closed", {}},
        {"<table>a</table></table>", {">a"}},
        {"<table>\xB0</table>x</table>", {">\xB0</table>x"}}, // < is a second byte
    };
    for (const ExtractCase& c : cases) {
        EXPECT_EQ(extractBetween(c.text, "<table", "</table>"), c.expected)
            << testing::PrintToString(std::string(c.text));
    }
}

TEST(ExtractBetweenTest, EmptyMarkers)
{
    EXPECT_EQ(extractBetween("abc", "", "</table>"), Pieces{});
    EXPECT_EQ(extractBetween("<table>x<table>", "<table", ""), (Pieces{"", ""}));
    EXPECT_EQ(extractBetween("<table", "<table", ""), Pieces{});
}

} // namespace
} // namespace sornel
