#include "gbk_literals.h"
#include "monitor/keyword_matcher.h"
#include "reference_text.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace sornel {
namespace {

using test::gbk;

struct HitCase {
    const char* keywords; // UTF-8 in the table, GBK in the matcher
    const char* relation;
    const char* page;
    int hits;
};

TEST(KeywordMatcherTest, CountsHitsPerRelation)
{
    const HitCase cases[] = {
        // 与: all keywords, at most one hit
        {"a|b", "与", "xx a yy b", 1},
        {"a|b", "与", "xx a yy", 0},
        {"价格|元", "与", "<td>价格 100元</td>", 1},
        {"a|a", "与", "a", 1},
        // 或: every keyword that occurs, each list entry counted
        {"a|b|c", "或", "a and c", 2},
        {"a|a", "或", "a", 2},
        {"x|y", "或", "a", 0},
        {"|a", "或", "zzz", 1}, // the empty keyword occurs in any non-empty page
        {"a||b", "或", "ab", 3},
        {"a|", "或", "a", 1}, // a trailing | adds no keyword
        // 同一行: every table segment that holds all keywords
        {"a|b", "同一行", "<table>a b</table><table>b a</table>", 2},
        {"a|b", "同一行", "<table>a</table><table>b</table>", 0},
        {"a|b", "同一行", "a b", 0},
        {"a|b", "同一行", "<TABLE>a b</TABLE>", 0},
        {"a|b", "同一行", "<table><tr>a<table>b</table>a b</table>", 0},
        {"a|b", "同一行", "<table>a b<table>c</table>", 0},
        {"a", "同一行", "<table", 0},
        {"|", "同一行", "<table</table>", 0},  // an empty segment holds no keyword
        {"|", "同一行", "<table></table>", 1}, // the segment ">" holds the empty keyword
        {"", "同一行", "<table</table>", 1},   // with no keyword at all every segment passes
        {"|", "同一行", "<table>1</table><table>2</table>", 2},
        // case and character boundaries
        {"Table", "与", "table", 0},
        // any other relation, however close: nothing
        {"a", "", "a", 0},
        {"a", "与 ", "a", 0},
        {"a", "and", "a", 0},
        {"a", "同一", "<table>a</table>", 0},
        // empty page
        {"a", "与", "", 0},
        {"a", "或", "", 0},
        {"a", "同一行", "", 0},
    };
    for (const HitCase& c : cases) {
        const KeywordMatcher matcher(gbk(c.keywords), gbk(c.relation));
        EXPECT_EQ(matcher.countHits(gbk(c.page)), c.hits)
            << c.keywords << " " << c.relation << " on " << c.page;
    }
}

TEST(KeywordMatcherTest, EmptyKeywordListUnderAllIsOneHitEvenOnAnEmptyPage)
{
    // Only a keywords cell without any piece gives an empty list; the editor never stores one,
    // but the matcher must still answer.
    const KeywordMatcher matcher("", gbk("与"));
    EXPECT_EQ(matcher.countHits(""), 1);
    EXPECT_EQ(matcher.countHits("anything"), 1);
}

TEST(KeywordMatcherTest, KeywordBytesAcrossTwoChineseCharactersAreNotFound)
{
    // 中文 is D6 D0 CE C4: the bytes D0 CE span two characters.
    const KeywordMatcher matcher("\xD0\xCE", gbk("或"));
    EXPECT_EQ(matcher.countHits(gbk("中文")), 0);
    EXPECT_EQ(matcher.countHits("x\xD0\xCE"), 1);
    // B0 41 is one character whose second byte is the letter A.
    const KeywordMatcher letter("A", gbk("或"));
    EXPECT_EQ(letter.countHits("\xB0\x41"), 0);
    EXPECT_EQ(letter.countHits("\xB0\x41"
                               "A"),
              1);
}

// "同一行" against the plain count made with the byte-by-byte scans, on texts built from the
// pieces that trip it up: both markers, markers cut short or overlapping keywords, lone and
// paired high bytes (a marker or keyword may start on the second byte of a character), and
// keywords that straddle a marker.
TEST(KeywordMatcherTest, SameTableAgreesWithThePlainCountOnRandomPages)
{
    const std::vector<std::string> pieces = {
        "<table",
        "</table>",
        "<table>",
        "</table",
        "<tab",
        "le>",
        "<",
        ">",
        "a",
        "b",
        "ab",
        "\xB1",
        "\xB1\xCA",
        "\xCA",
        "\xB1<",
        "e</",
        "x",
        "\xB1"
        "a",
        "a\xB1",
    };
    const std::vector<std::string> keywordPieces = {"a", "b", "\xB1", "\xCA", "<",
                                                    "e", ">", "x",    "le",   "|"};
    std::mt19937 random(936);
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[random() % from.size()];
    };
    for (int round = 0; round < 30000; ++round) {
        std::string page;
        for (std::size_t i = 0, n = random() % 30; i < n; ++i) {
            page += pick(pieces);
        }
        std::string keywords;
        for (std::size_t i = 0, n = 1 + random() % 5; i < n; ++i) {
            keywords += pick(keywordPieces);
        }
        int expected = 0;
        const std::vector<std::string> list = reference::splitText(keywords, "|");
        for (const std::string& segment : reference::extractBetween(page, "<table", "</table>")) {
            bool all = true;
            for (const std::string& keyword : list) {
                all = all && reference::findText(segment, keyword) != -1;
            }
            expected += all ? 1 : 0;
        }
        ASSERT_EQ(KeywordMatcher(keywords, gbk("同一行")).countHits(page), expected)
            << testing::PrintToString(page) << " / " << testing::PrintToString(keywords);
    }
}

} // namespace
} // namespace sornel
