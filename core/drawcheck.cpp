#include "drawcheck.h"

#include <algorithm>

namespace corvanel {

namespace {

constexpr std::size_t markLength = 3;

bool isBlankOrControl(char16_t c)
{
    return c <= u' ';
}

// First position of the two-character needle {a, b}, or npos. Runs of positions are tested
// without branches so the compiler can vectorise them; only a run holding a match is rescanned.
std::size_t findPair(std::u16string_view text, char16_t a, char16_t b)
{
    constexpr std::size_t run = 16;
    if (text.size() < 2) {
        return std::u16string_view::npos;
    }
    const std::size_t last = text.size() - 2; // last position a match can start at
    const char16_t *t = text.data();
    std::size_t i = 0;
    for (; i + run <= last + 1; i += run) {
        unsigned any = 0;
        for (std::size_t k = 0; k < run; ++k) {
            any |= static_cast<unsigned>(t[i + k] == a) & static_cast<unsigned>(t[i + k + 1] == b);
        }
        if (any != 0) {
            break;
        }
    }
    for (; i <= last; ++i) {
        if (t[i] == a && t[i + 1] == b) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

} // namespace

Verdict checkDraw(std::u16string_view memoText, std::u16string_view entry)
{
    // Only whether something other than blanks remains matters, so no trimmed copy is made.
    if (std::all_of(memoText.begin(), memoText.end(), isBlankOrControl)) {
        return Verdict{Verdict::Kind::BlankResult};
    }
    if (entry.size() != 2) {
        return Verdict{Verdict::Kind::NoChange};
    }
    const std::size_t p = findPair(memoText, entry[0], entry[1]);
    if (p == std::u16string_view::npos) {
        return Verdict{Verdict::Kind::Miss};
    }
    return Verdict{Verdict::Kind::Hit, p, std::min(markLength, memoText.size() - p)};
}

} // namespace corvanel
