#include "core/drawcheck.h"
#include "core/reduction.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel {

void PrintTo(const Verdict &v, std::ostream *os)
{
    static const char *const names[] = {"BlankResult", "NoChange", "Miss", "Hit"};
    *os << names[static_cast<int>(v.kind)];
    if (v.kind == Verdict::Kind::Hit) {
        *os << "(start " << v.start << ", length " << v.length << ")";
    }
}

namespace {

using Kind = Verdict::Kind;

struct CheckCase {
    const char *name;
    std::u16string_view memo;
    std::u16string_view entry;
    Verdict expected;

    friend void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.name; }
};

class CheckDraw : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckDraw, GivesTheVerdict)
{
    const CheckCase &c = GetParam();
    EXPECT_EQ(checkDraw(c.memo, c.entry), c.expected);
}

constexpr std::u16string_view threeEntries = u"00 01 02 ";

INSTANTIATE_TEST_SUITE_P(
    Memo, CheckDraw,
    ::testing::Values(
        CheckCase{"hit_second_entry", threeEntries, u"01", {Kind::Hit, 3, 3}},
        CheckCase{"hit_first_entry", threeEntries, u"00", {Kind::Hit, 0, 3}},
        CheckCase{"miss", threeEntries, u"03", {Kind::Miss}},
        CheckCase{"digit_and_blank_is_plain_text", threeEntries, u"1 ", {Kind::Hit, 4, 3}},
        CheckCase{"entry_need_not_be_digits", u"ab cd ", u"cd", {Kind::Hit, 3, 3}},
        CheckCase{"case_sensitive", u"ab cd ", u"CD", {Kind::Miss}},
        CheckCase{"one_character", threeEntries, u"0", {Kind::NoChange}},
        CheckCase{"three_characters", threeEntries, u"001", {Kind::NoChange}},
        CheckCase{"empty_entry", threeEntries, u"", {Kind::NoChange}},
        CheckCase{"empty_memo", u"", u"01", {Kind::BlankResult}},
        CheckCase{"empty_memo_empty_entry", u"", u"", {Kind::BlankResult}},
        CheckCase{"empty_memo_long_entry", u"", u"012", {Kind::BlankResult}},
        CheckCase{"blank_memo", u"   \t\r\n  ", u"01", {Kind::BlankResult}},
        CheckCase{"blank_memo_empty_entry", u" \n ", u"", {Kind::BlankResult}},
        CheckCase{"control_characters_only", u"\x01\x1f\x7f", u"01", {Kind::Miss}},
        CheckCase{"control_characters_below_blank_only", u"\x01\x1f", u"01", {Kind::BlankResult}},
        CheckCase{"blanks_around_text_are_searched", u"  07 ", u"07", {Kind::Hit, 2, 3}},
        CheckCase{"first_occurrence_wins", u"12 12 12 ", u"12", {Kind::Hit, 0, 3}},
        CheckCase{"edited_memo", u"00 01 02 \n37 ", u"37", {Kind::Hit, 10, 3}},
        CheckCase{"edit_removed_entry", u"00 02 ", u"01", {Kind::Miss}},
        CheckCase{"match_at_end_leaves_two", u"00 01", u"01", {Kind::Hit, 3, 2}},
        CheckCase{"match_at_end_of_short_text", u"45", u"45", {Kind::Hit, 0, 2}},
        CheckCase{"chinese_before_match", u"缩水结果：00 01 ", u"01", {Kind::Hit, 8, 3}},
        // U+1F600 is two UTF-16 code units, as the memo's selection counts it.
        CheckCase{"astral_character_before_match", u"\U0001F600 01 ", u"01", {Kind::Hit, 3, 3}},
        CheckCase{"chinese_entry", u"上期：37", u"上期", {Kind::Hit, 0, 3}}),
    [](const auto &info) { return std::string(info.param.name); });

// A memo holding the result for 37, with a draw typed after it.
struct AfterReductionCase {
    const char *name;
    std::u16string_view entry;
    Kind kind;

    friend void PrintTo(const AfterReductionCase &c, std::ostream *os) { *os << c.name; }
};

class CheckAfter37 : public ::testing::TestWithParam<AfterReductionCase> {};

TEST_P(CheckAfter37, MarksTheWholeEntry)
{
    const std::u16string memo = reduce(Draw{3, 7}).resultText;
    const AfterReductionCase &c = GetParam();
    const Verdict v = checkDraw(memo, c.entry);
    ASSERT_EQ(v.kind, c.kind);
    if (v.kind == Kind::Hit) {
        EXPECT_EQ(v.start % 3, 0u) << "a two-digit draw only matches a whole entry";
        EXPECT_EQ(memo.substr(v.start, v.length), std::u16string(c.entry) + u' ');
    }
}

INSTANTIATE_TEST_SUITE_P(Draws, CheckAfter37,
                         ::testing::Values(AfterReductionCase{"draw_52_dropped", u"52", Kind::Miss},
                                           AfterReductionCase{"draw_45_kept", u"45", Kind::Hit},
                                           AfterReductionCase{"draw_55_units_big", u"55",
                                                              Kind::Hit},
                                           AfterReductionCase{"draw_00", u"00", Kind::Hit},
                                           AfterReductionCase{"draw_94_dropped", u"94", Kind::Miss},
                                           AfterReductionCase{"draw_99", u"99", Kind::Hit}),
                         [](const auto &info) { return std::string(info.param.name); });

// Every two-digit draw against every reduction: a hit exactly when the number was kept, and
// never a match that straddles two entries.
TEST(CheckDraw, AgreesWithTheReductionForEveryPair)
{
    for (int last = 0; last < 100; ++last) {
        const std::u16string memo = reduce(Draw{last / 10, last % 10}).resultText;
        for (int drawn = 0; drawn < 100; ++drawn) {
            const std::u16string entry{static_cast<char16_t>(u'0' + drawn / 10),
                                       static_cast<char16_t>(u'0' + drawn % 10)};
            const bool kept =
                (drawn / 10) / 5 == (last / 10) / 5 || (drawn % 10) / 5 == (last % 10) / 5;
            const Verdict v = checkDraw(memo, entry);
            ASSERT_EQ(v.kind, kept ? Kind::Hit : Kind::Miss) << last << " then " << drawn;
            if (kept) {
                ASSERT_EQ(v.start % 3, 0u) << last << " then " << drawn;
                ASSERT_EQ(v.length, 3u);
            }
        }
    }
}

} // namespace
} // namespace corvanel
