#pragma once

#include <string>
#include <string_view>

namespace sornel {

// Turns a downloaded body into the GBK text that keywords are searched in. Whatever character
// set a page declares, its bytes are taken as UTF-8 with percent-escapes among them: the body
// is cut at its first NUL, every %XY becomes the byte it names, and the result is read as UTF-8
// and written out in code page 936. Malformed input never fails; see decode.
struct PageTextDecoder {
    static std::string decode(std::string_view body);
};

} // namespace sornel
