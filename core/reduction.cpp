#include "reduction.h"

#include "codetable.h"

namespace corvanel {

namespace {

constexpr bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

constexpr int digitClass(int digit)
{
    return digit / 5;
}

void appendDecimal(std::u16string &out, int value)
{
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n > 0) {
        out.push_back(digits[--n]);
    }
}

} // namespace

std::optional<Draw> validateEntry(std::u16string_view entry)
{
    if (entry.size() != 2 || !isAsciiDigit(entry[0]) || !isAsciiDigit(entry[1])) {
        return std::nullopt;
    }
    return Draw{entry[0] - u'0', entry[1] - u'0'};
}

ReductionOutcome reduce(Draw draw)
{
    const int tensClass = digitClass(draw.tens);
    const int unitsClass = digitClass(draw.units);

    // Built in a local buffer and copied once: the text's length is known only at the end.
    char16_t text[3 * codeCount];
    std::size_t length = 0;
    int count = 0;
    const CodeTable &table = codetable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const TCodeRec &e = table[i];
        int matches = 0;
        if (digitClass(e.tens) == tensClass) {
            ++matches;
        }
        if (digitClass(e.units) == unitsClass) {
            ++matches;
        }
        if (matches > 0) {
            text[length++] = static_cast<char16_t>(u'0' + i / 10);
            text[length++] = static_cast<char16_t>(u'0' + i % 10);
            text[length++] = u' ';
            ++count;
        }
    }

    ReductionOutcome outcome{std::u16string(text, length), count, {}, {}};
    outcome.countCaption = u"缩水结果：";
    appendDecimal(outcome.countCaption, outcome.count);
    outcome.countCaption += u"注";

    outcome.lastDrawCaption = u"上期：";
    outcome.lastDrawCaption.push_back(static_cast<char16_t>(u'0' + draw.tens));
    outcome.lastDrawCaption.push_back(static_cast<char16_t>(u'0' + draw.units));
    return outcome;
}

} // namespace corvanel
