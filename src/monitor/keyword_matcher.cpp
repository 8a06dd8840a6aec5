#include "monitor/keyword_matcher.h"

#include "monitor/gbk_text.h"

#include <algorithm>
#include <climits>

namespace sornel {

namespace {

// The relation texts as the entry list stores them, in GBK.
constexpr std::string_view kRelationAll = "\xD3\xEB";                       // 与
constexpr std::string_view kRelationAny = "\xBB\xF2";                       // 或
constexpr std::string_view kRelationSameTable = "\xCD\xAC\xD2\xBB\xD0\xD0"; // 同一行

constexpr std::string_view kTableStart = "<table";
constexpr std::string_view kTableEnd = "</table>";

} // namespace

KeywordMatcher::KeywordMatcher(std::string_view keywordsCell, std::string_view relationCell)
    : keywords_(splitText(keywordsCell, "|")),
      relation_(relationCell == kRelationAll         ? Relation::All
                : relationCell == kRelationAny       ? Relation::Any
                : relationCell == kRelationSameTable ? Relation::SameTable
                                                     : Relation::None)
{
}

bool KeywordMatcher::holdsAll(std::string_view text) const
{
    // Stops at the first keyword that is missing.
    return std::all_of(keywords_.begin(), keywords_.end(),
                       [text](const std::string& keyword) { return containsText(text, keyword); });
}

int KeywordMatcher::countHits(std::string_view pageText) const
{
    switch (relation_) {
    case Relation::All:
        return holdsAll(pageText) ? 1 : 0;
    case Relation::Any: {
        const auto found =
            std::count_if(keywords_.begin(), keywords_.end(),
                          [pageText](const std::string& k) { return containsText(pageText, k); });
        return static_cast<int>(std::min<std::ptrdiff_t>(found, INT_MAX));
    }
    case Relation::SameTable: {
        int hits = 0;
        forEachSegment(pageText, kTableStart, kTableEnd, [&](std::string_view segment) {
            if (hits < INT_MAX && holdsAll(segment)) {
                ++hits;
            }
        });
        return hits;
    }
    case Relation::None:
        break;
    }
    return 0;
}

} // namespace sornel
