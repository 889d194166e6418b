// Fuzzes the entry check, the reduction and the draw check together, asserting what each
// promises rather than mere survival. Any broken promise aborts, which libFuzzer reports as a
// crash with the input that caused it.
//
// Input layout: byte 0 is a header; bit 0 picks how the rest becomes UTF-16 (0: one byte per
// character, so digits and blanks are easy to reach; 1: little-endian byte pairs, for any
// character including full-width digits and lone surrogates), bits 1-3 the entry's length
// 0-7. The first characters after the header form the entry (fewer when the input ends
// sooner), the remaining ones the memo.

#include "core/drawcheck.h"
#include "core/reduction.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using corvanel::Verdict;

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "broken invariant at %s:%d: %s\n", __FILE__, __LINE__, #cond);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Whether number i survives the reduction by the given draw, from the rule itself.
bool kept(int i, corvanel::Draw draw)
{
    return (i / 10) / 5 == draw.tens / 5 || (i % 10) / 5 == draw.units / 5;
}

void checkEntry(std::u16string_view entry)
{
    const std::optional<corvanel::Draw> draw = corvanel::validateEntry(entry);
    const bool twoDigits = entry.size() == 2 && isAsciiDigit(entry[0]) && isAsciiDigit(entry[1]);
    FUZZ_CHECK(draw.has_value() == twoDigits);
    if (!draw) {
        return; // the caller shows entryPrompt
    }
    FUZZ_CHECK(draw->tens == entry[0] - u'0' && draw->units == entry[1] - u'0');

    const corvanel::ReductionOutcome outcome = corvanel::reduce(*draw);
    FUZZ_CHECK(outcome.count == 75);
    FUZZ_CHECK(outcome.resultText.size() == 225);
    FUZZ_CHECK(outcome.countCaption == u"缩水结果：75注");
    FUZZ_CHECK(outcome.lastDrawCaption == std::u16string(u"上期：") + std::u16string(entry));

    // The text lists exactly the kept numbers, ascending, each as two digits and a blank.
    std::size_t at = 0;
    for (int i = 0; i < 100; ++i) {
        if (!kept(i, *draw)) {
            continue;
        }
        FUZZ_CHECK(at + 3 <= outcome.resultText.size());
        FUZZ_CHECK(outcome.resultText[at] == u'0' + i / 10);
        FUZZ_CHECK(outcome.resultText[at + 1] == u'0' + i % 10);
        FUZZ_CHECK(outcome.resultText[at + 2] == u' ');
        at += 3;
    }
    FUZZ_CHECK(at == outcome.resultText.size());

    // The draw shares both classes with itself, so it is always kept and always found, at the
    // start of its own entry.
    const Verdict own = corvanel::checkDraw(outcome.resultText, entry);
    FUZZ_CHECK(own.kind == Verdict::Kind::Hit);
    FUZZ_CHECK(own.start % 3 == 0 && own.length == 3);
}

void checkVerdict(std::u16string_view memo, std::u16string_view entry)
{
    const Verdict v = corvanel::checkDraw(memo, entry);

    bool blank = true;
    for (char16_t c : memo) {
        blank = blank && c <= u' ';
    }
    const std::size_t found = entry.size() == 2 ? memo.find(entry) : std::u16string_view::npos;

    switch (v.kind) {
    case Verdict::Kind::BlankResult:
        FUZZ_CHECK(blank);
        break;
    case Verdict::Kind::NoChange:
        FUZZ_CHECK(!blank && entry.size() != 2);
        break;
    case Verdict::Kind::Miss:
        FUZZ_CHECK(!blank && entry.size() == 2 && found == std::u16string_view::npos);
        break;
    case Verdict::Kind::Hit:
        FUZZ_CHECK(!blank && entry.size() == 2 && found != std::u16string_view::npos);
        FUZZ_CHECK(v.start == found);
        FUZZ_CHECK(v.length >= 2 && v.length <= 3);
        FUZZ_CHECK(v.start + v.length <= memo.size());
        FUZZ_CHECK(v.length == 3 || v.start + v.length == memo.size());
        FUZZ_CHECK(memo.substr(v.start, 2) == entry);
        break;
    default:
        FUZZ_CHECK(false && "verdict of no known kind");
    }
    if (v.kind != Verdict::Kind::Hit) {
        FUZZ_CHECK(v.start == 0 && v.length == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool wide = (data[0] & 1) != 0;
    const std::size_t entryLength = (data[0] >> 1) & 7;

    std::u16string text;
    if (wide) {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
    } else {
        for (std::size_t i = 1; i < size; ++i) {
            text.push_back(static_cast<char16_t>(data[i]));
        }
    }
    // Each text gets a heap block of its exact size, so a read past its end is an overflow that
    // AddressSanitizer reports (a string's spare capacity and terminator would hide it).
    const std::size_t split = std::min(entryLength, text.size());
    const std::vector<char16_t> entryChars(text.begin(), text.begin() + split);
    const std::vector<char16_t> memoChars(text.begin() + split, text.end());
    const std::u16string_view entry(entryChars.data(), entryChars.size());
    const std::u16string_view memo(memoChars.data(), memoChars.size());

    checkEntry(entry);
    checkVerdict(memo, entry);
    return 0;
}
