#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sornel {

// How many times one page fulfils one monitor entry. Built once per worker from the entry's
// keywords cell ("|"-separated GBK keywords) and relation cell; holds no page and keeps nothing
// between calls, so one matcher may serve any number of threads.
class KeywordMatcher {
public:
    KeywordMatcher(std::string_view keywordsCell, std::string_view relationCell);

    // "与": 1 when every keyword occurs, else 0. "或": the number of keywords that occur, each
    // list entry counted. "同一行": the number of <table ...</table> segments holding every
    // keyword. Any other relation: 0.
    int countHits(std::string_view pageText) const;

private:
    enum class Relation { All, Any, SameTable, None };

    bool holdsAll(std::string_view text) const;

    std::vector<std::string> keywords_;
    // The non-empty keywords, which "同一行" looks for.
    std::vector<std::string> sameTableKeywords_;
    Relation relation_;
};

} // namespace sornel
