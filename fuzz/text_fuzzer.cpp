// findText, splitText and extractBetween against the byte-by-byte scans.

#include "fuzz_input.h"
#include "monitor/gbk_text.h"
#include "reference_text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    sornel::fuzz::FuzzInput input(data, size);
    const std::string_view pattern = input.take(6);
    const std::string_view endMarker = input.take(6);
    const std::string_view text = input.rest();

    if (sornel::findText(text, pattern) != sornel::reference::findText(text, pattern)) {
        std::abort();
    }
    if (sornel::splitText(text, pattern) != sornel::reference::splitText(text, pattern)) {
        std::abort();
    }
    if (sornel::extractBetween(text, pattern, endMarker) !=
        sornel::reference::extractBetween(text, pattern, endMarker)) {
        std::abort();
    }
    return 0;
}
