#include "monitor/keyword_matcher.h"

#include "monitor/cell_texts.h"
#include "monitor/gbk_text.h"

#include <algorithm>
#include <climits>

namespace sornel {

namespace {

constexpr std::string_view kTableStart = "<table";
constexpr std::string_view kTableEnd = "</table>";

} // namespace

KeywordMatcher::KeywordMatcher(std::string_view keywordsCell, std::string_view relationCell)
    : keywords_(splitText(keywordsCell, "|")),
      relation_(relationCell == cell::kRelationAll         ? Relation::All
                : relationCell == cell::kRelationAny       ? Relation::Any
                : relationCell == cell::kRelationSameTable ? Relation::SameTable
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
