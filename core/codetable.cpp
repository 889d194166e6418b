#include "codetable.h"

namespace corvanel {

CodeTable buildCodeTable()
{
    CodeTable table{};
    std::size_t i = 0;
    for (std::int32_t tens = 0; tens <= 9; ++tens) {
        for (std::int32_t units = 0; units <= 9; ++units) {
            table[i++] = TCodeRec{tens, units, 0};
        }
    }
    return table;
}

const CodeTable &codetable()
{
    static const CodeTable table = buildCodeTable();
    return table;
}

} // namespace corvanel
