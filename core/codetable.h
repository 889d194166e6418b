#pragma once

#include <array>
#include <cstdint>

namespace corvanel {

// One two-digit number 00-99, split into its digits. `extra` is kept at 0 and has no reader.
struct TCodeRec {
    std::int32_t tens;
    std::int32_t units;
    std::int32_t extra;
};

inline constexpr std::size_t codeCount = 100;
using CodeTable = std::array<TCodeRec, codeCount>;

// Fills a table so that entry i holds the number i, tens outside, units inside.
CodeTable buildCodeTable();

// The program's one table. The first call builds it; afterwards it is only read, and no
// caller can reach it before it is built or change it after.
const CodeTable &codetable();

} // namespace corvanel
