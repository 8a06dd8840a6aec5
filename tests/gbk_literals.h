#pragma once

// Test helper: GBK bytes for the UTF-8 literals the tests are written in.

#include "monitor/gbk_codec.h"

#include <string>
#include <string_view>

namespace sornel::test {

inline std::string gbk(std::string_view utf8)
{
    return GbkCodec::fromUtf8(utf8);
}

} // namespace sornel::test
