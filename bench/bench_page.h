#pragma once

#include <cstddef>
#include <string>

namespace sornel::bench {

// A made-up listing page of about `size` bytes, the same on every run: UTF-8 Chinese text,
// ASCII markup (percent signs in attributes included) and a few thousand tables, some of whose
// rows hold the words the benchmarks look for.
std::string makeListingPage(std::size_t size);

// A made-up Chinese listing page of about `size` bytes, the same on every run: at least 70 % of
// its bytes are Chinese characters, with tens of thousands of small tables (one per listing)
// that mostly hold "笔记本" and "九成新", and links whose addresses carry percent-escapes.
std::string makeChineseListingPage(std::size_t size);

} // namespace sornel::bench
