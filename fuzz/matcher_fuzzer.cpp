// countHits against a count made from the byte-by-byte scans.

#include "fuzz_input.h"
#include "monitor/keyword_matcher.h"
#include "reference_text.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool holdsAll(std::string_view text, const std::vector<std::string>& keywords)
{
    for (const std::string& keyword : keywords) {
        if (sornel::reference::findText(text, keyword) == -1) {
            return false;
        }
    }
    return true;
}

int referenceHits(std::string_view keywordsCell, int relation, std::string_view page)
{
    const std::vector<std::string> keywords = sornel::reference::splitText(keywordsCell, "|");
    switch (relation) {
    case 0:
        return holdsAll(page, keywords) ? 1 : 0;
    case 1: {
        int hits = 0;
        for (const std::string& keyword : keywords) {
            hits += sornel::reference::findText(page, keyword) != -1 ? 1 : 0;
        }
        return hits;
    }
    case 2: {
        int hits = 0;
        for (const std::string& segment :
             sornel::reference::extractBetween(page, "<table", "</table>")) {
            hits += holdsAll(segment, keywords) ? 1 : 0;
        }
        return hits;
    }
    default:
        return 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const kRelations[] = {"\xD3\xEB", "\xBB\xF2", "\xCD\xAC\xD2\xBB\xD0\xD0",
                                             "\xCD\xAC\xD2\xBB", ""};
    sornel::fuzz::FuzzInput input(data, size);
    const int relation = input.byte() % 5;
    const std::string_view keywordsCell = input.take(24);
    const std::string_view page = input.rest();

    const sornel::KeywordMatcher matcher(keywordsCell, kRelations[relation]);
    if (matcher.countHits(page) != referenceHits(keywordsCell, relation, page)) {
        std::abort();
    }
    return 0;
}
