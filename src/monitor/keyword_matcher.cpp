#include "monitor/keyword_matcher.h"

#include "monitor/cell_texts.h"
#include "monitor/gbk_text.h"
#include "monitor/platform.h"

#include <algorithm>
#include <climits>

namespace sornel {

namespace {

constexpr std::string_view kTableStart = "<table";
constexpr std::string_view kTableEnd = "</table>";
constexpr std::size_t kNone = std::string_view::npos;

// "同一行" over a whole page in about one pass, for keywords that are all non-empty.
//
// The segments are what forEachSegment gives for the two table markers: behind each "<table"
// (every one that begins on a character boundary) up to the first "</table>", if that comes
// before the next "<table". Neither marker can overlap itself or the other, and both end in an
// ASCII byte, so a segment is exactly a stretch between a "<table" and a "</table>" with no
// marker in it, and its character boundaries are those of the page.
//
// Rather than searching every segment for every keyword, one keyword (the driver) is searched
// through the page; only the segment around each of its occurrences is looked into for the
// others. When one of them is missing there, it becomes the driver, searched from the end of
// that segment on. So a keyword that is on no table at all ends the count after one pass, and
// a keyword present in every table costs a look into each.
class SameTableCount {
public:
    SameTableCount(std::string_view text, const std::vector<std::string>& keywords)
        : text_(text), keywords_(keywords)
    {
    }

    int run()
    {
        int hits = 0;
        std::size_t driver = 0;
        // A character boundary; no segment that begins before it is left to count.
        std::size_t position = 0;
        while (hits < INT_MAX) {
            const std::string& keyword = keywords_[driver];
            const std::size_t at = findFrom(text_, keyword, position, position);
            if (at == kNone) {
                break;
            }
            const std::size_t end = at + keyword.size();
            const Tag last = lastTagBefore(at, end);
            if (last.isStart() && last.at + kTableStart.size() <= at) {
                // Behind a "<table" with no marker up to the keyword's end: in a segment when
                // the next marker is a "</table>".
                const Tag next = firstTagFrom(end, at);
                if (next.isEnd()) {
                    const std::size_t begin = last.at + kTableStart.size();
                    const std::size_t missing =
                        firstMissing(text_.substr(begin, next.at - begin), driver);
                    if (missing == kNone) {
                        ++hits;
                    } else {
                        driver = missing;
                    }
                    position = next.at;
                    continue;
                }
                if (next.at == kNone) {
                    break;
                }
                position = next.at + kTableStart.size();
                continue;
            }
            // Not in a segment: the next one that can hold the keyword starts behind the next
            // "<table" that begins after the keyword's own start.
            std::size_t nextStart = kNone;
            if (last.isStart()) {
                nextStart = last.at; // it overlaps the keyword
            } else if (last.isEnd()) {
                const std::size_t after = last.at + kTableEnd.size();
                nextStart = findFrom(text_, kTableStart, std::max(after, end), after);
            } else {
                nextStart = findFrom(text_, kTableStart, end, at);
            }
            if (nextStart == kNone) {
                break;
            }
            position = nextStart + kTableStart.size();
        }
        return hits;
    }

private:
    enum class Kind { None, Start, End };
    struct Tag {
        std::size_t at = kNone;
        Kind kind = Kind::None;
        bool isStart() const { return kind == Kind::Start; }
        bool isEnd() const { return kind == Kind::End; }
    };

    // Which marker, if any, begins at `at`, a '<'.
    Kind markerAt(std::size_t at) const
    {
        const std::string_view rest = text_.substr(at);
        if (rest.starts_with(kTableStart)) {
            return Kind::Start;
        }
        if (rest.starts_with(kTableEnd)) {
            return Kind::End;
        }
        return Kind::None;
    }

    // The last marker on a character boundary that begins in [from, to); `from` is one.
    Tag lastTagIn(std::size_t from, std::size_t to) const
    {
        while (to > from) {
            const std::size_t found = platform::findLastByte(text_.substr(from, to - from), '<');
            if (found == kNone) {
                break;
            }
            const std::size_t at = from + found;
            const Kind kind = markerAt(at);
            if (kind != Kind::None && isCharacterStart(text_, at, from)) {
                return {at, kind};
            }
            to = at;
        }
        return {};
    }

    // The last marker on a character boundary that begins before `end`, for a keyword found at
    // `at`. The keywords' positions only grow, so what lies before the previous one is known
    // and never read again.
    Tag lastTagBefore(std::size_t at, std::size_t end)
    {
        Tag last = lastTagIn(scannedTo_, end);
        if (last.at == kNone) {
            last = lastBeforeScanned_;
        }
        // Remember the last marker before `at` for the next keyword, found after this one.
        Tag beforeAt = last;
        if (last.at != kNone && last.at >= at) {
            beforeAt = lastTagIn(scannedTo_, std::min(last.at, at));
            if (beforeAt.at == kNone) {
                beforeAt = lastBeforeScanned_;
            }
        }
        scannedTo_ = at;
        lastBeforeScanned_ = beforeAt;
        return last;
    }

    // The first marker on a character boundary that begins at or after `from`; `boundary`, at
    // most `from`, is a character boundary.
    Tag firstTagFrom(std::size_t from, std::size_t boundary) const
    {
        while (from < text_.size()) {
            const std::size_t at = text_.find('<', from);
            if (at == kNone) {
                break;
            }
            const Kind kind = markerAt(at);
            if (kind != Kind::None && isCharacterStart(text_, at, boundary)) {
                return {at, kind};
            }
            // Right behind a '<', an ASCII byte, is always a character boundary.
            from = at + 1;
            boundary = from;
        }
        return {};
    }

    // The first keyword other than `driver` that `segment` lacks, or kNone.
    std::size_t firstMissing(std::string_view segment, std::size_t driver) const
    {
        for (std::size_t i = 0; i < keywords_.size(); ++i) {
            if (i != driver && !containsText(segment, keywords_[i])) {
                return i;
            }
        }
        return kNone;
    }

    std::string_view text_;
    const std::vector<std::string>& keywords_;
    // Everything before scannedTo_ has been looked at for markers; the last of them is this.
    std::size_t scannedTo_ = 0;
    Tag lastBeforeScanned_;
};

} // namespace

KeywordMatcher::KeywordMatcher(std::string_view keywordsCell, std::string_view relationCell)
    : keywords_(splitText(keywordsCell, "|")),
      relation_(relationCell == cell::kRelationAll         ? Relation::All
                : relationCell == cell::kRelationAny       ? Relation::Any
                : relationCell == cell::kRelationSameTable ? Relation::SameTable
                                                           : Relation::None)
{
    // An empty keyword is in every non-empty segment, and a segment that holds a non-empty
    // keyword is not empty: only the non-empty keywords need looking for.
    for (const std::string& keyword : keywords_) {
        if (!keyword.empty()) {
            sameTableKeywords_.push_back(keyword);
        }
    }
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
        if (!sameTableKeywords_.empty()) {
            return SameTableCount(pageText, sameTableKeywords_).run();
        }
        // No keyword, or only empty ones: every segment counts (a non-empty one, for an empty
        // keyword).
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
