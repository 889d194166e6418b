#include "core/codetable.h"
#include "core/reduction.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace corvanel {
namespace {

// The numbers a result text lists, read back the way a person reads the memo.
std::vector<int> listedNumbers(const std::u16string &text)
{
    std::vector<int> numbers;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
        numbers.push_back((text[i] - u'0') * 10 + (text[i + 1] - u'0'));
    }
    return numbers;
}

std::set<int> droppedNumbers(const std::u16string &text)
{
    std::set<int> dropped;
    for (int n = 0; n < 100; ++n) {
        dropped.insert(n);
    }
    for (int n : listedNumbers(text)) {
        dropped.erase(n);
    }
    return dropped;
}

std::set<int> range(int first, int last)
{
    std::set<int> r;
    for (int n = first; n <= last; ++n) {
        r.insert(n);
    }
    return r;
}

std::set<int> unite(std::initializer_list<std::set<int>> parts)
{
    std::set<int> all;
    for (const auto &p : parts) {
        all.insert(p.begin(), p.end());
    }
    return all;
}

TEST(CodeTable, EntryIHoldsNumberIInIndexOrder)
{
    const CodeTable &table = codetable();
    ASSERT_EQ(table.size(), 100u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].tens, static_cast<std::int32_t>(i / 10));
        EXPECT_EQ(table[i].units, static_cast<std::int32_t>(i % 10));
        EXPECT_EQ(table[i].extra, 0);
    }
    EXPECT_EQ(&codetable(), &table) << "the table is built once and shared";
}

struct AcceptedCase {
    const char *name;
    std::u16string_view entry;
    int tens;
    int units;

    friend void PrintTo(const AcceptedCase &c, std::ostream *os) { *os << c.name; }
};

class ValidateAccepted : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(ValidateAccepted, GivesTheDigits)
{
    const AcceptedCase &c = GetParam();
    const auto draw = validateEntry(c.entry);
    ASSERT_TRUE(draw.has_value());
    EXPECT_EQ(draw->tens, c.tens);
    EXPECT_EQ(draw->units, c.units);
}

INSTANTIATE_TEST_SUITE_P(Entries, ValidateAccepted,
                         ::testing::Values(AcceptedCase{"zero_zero", u"00", 0, 0},
                                           AcceptedCase{"nine_nine", u"99", 9, 9},
                                           AcceptedCase{"three_seven", u"37", 3, 7},
                                           AcceptedCase{"zero_five", u"05", 0, 5},
                                           AcceptedCase{"five_zero", u"50", 5, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

struct RejectedCase {
    const char *name;
    std::u16string_view entry;

    friend void PrintTo(const RejectedCase &c, std::ostream *os) { *os << c.name; }
};

class ValidateRejected : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(ValidateRejected, GivesNoDraw)
{
    EXPECT_FALSE(validateEntry(GetParam().entry).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ValidateRejected,
    ::testing::Values(
        RejectedCase{"empty", u""}, RejectedCase{"one_digit", u"7"},
        RejectedCase{"three_digits", u"370"}, RejectedCase{"letter_digit", u"a7"},
        RejectedCase{"digit_letter", u"3a"}, RejectedCase{"blank_digit", u" 7"},
        RejectedCase{"digit_blank", u"3 "}, RejectedCase{"minus_digit", u"-7"},
        RejectedCase{"plus_digit", u"+7"}, RejectedCase{"dollar_hex", u"$A"},
        RejectedCase{"dollar_digit", u"$7"}, RejectedCase{"tab_digit", u"\t7"},
        RejectedCase{"fullwidth_digits", u"３７"}, RejectedCase{"fullwidth_and_ascii", u"3７"},
        RejectedCase{"arabic_indic_digits", u"٣٧"}, RejectedCase{"devanagari_digits", u"३७"},
        RejectedCase{"superscript_digits", u"³⁷"}, RejectedCase{"chinese_numerals", u"三七"},
        RejectedCase{"digit_nul", std::u16string_view(u"3\0", 2)},
        RejectedCase{"char_below_zero", u"/7"}, RejectedCase{"char_above_nine", u"3:"},
        RejectedCase{"surrogate_pair_digit", u"\U0001D7D1"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Validate, PromptText)
{
    EXPECT_EQ(entryPrompt, u"请输入2位数上期开奖号码");
}

struct ReductionCase {
    const char *name;
    std::u16string_view entry;
    std::set<int> dropped;

    friend void PrintTo(const ReductionCase &c, std::ostream *os) { *os << c.name; }
};

class Reduce : public ::testing::TestWithParam<ReductionCase> {};

TEST_P(Reduce, DropsExactlyTheOppositeClassInBothPlaces)
{
    const ReductionCase &c = GetParam();
    const auto draw = validateEntry(c.entry);
    ASSERT_TRUE(draw.has_value());
    const ReductionOutcome out = reduce(*draw);
    EXPECT_EQ(droppedNumbers(out.resultText), c.dropped);
    EXPECT_EQ(out.count, 75);
    EXPECT_EQ(out.countCaption, u"缩水结果：75注");
    EXPECT_EQ(out.lastDrawCaption, std::u16string(u"上期：") + std::u16string(c.entry));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, Reduce,
    ::testing::Values(ReductionCase{"draw_00", u"00",
                                    unite({range(55, 59), range(65, 69), range(75, 79),
                                           range(85, 89), range(95, 99)})},
                      ReductionCase{"draw_99", u"99",
                                    unite({range(0, 4), range(10, 14), range(20, 24), range(30, 34),
                                           range(40, 44)})},
                      ReductionCase{"draw_37", u"37",
                                    unite({range(50, 54), range(60, 64), range(70, 74),
                                           range(80, 84), range(90, 94)})},
                      ReductionCase{"draw_05_same_classes_as_37", u"05",
                                    unite({range(50, 54), range(60, 64), range(70, 74),
                                           range(80, 84), range(90, 94)})},
                      ReductionCase{"draw_50", u"50",
                                    unite({range(5, 9), range(15, 19), range(25, 29), range(35, 39),
                                           range(45, 49)})}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Reduce, TextOfDraw00StartsAndEndsAsListed)
{
    const std::u16string text = reduce(Draw{0, 0}).resultText;
    std::u16string head;
    for (int n = 0; n <= 54; ++n) {
        head += static_cast<char16_t>(u'0' + n / 10);
        head += static_cast<char16_t>(u'0' + n % 10);
        head += u' ';
    }
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - 15), u"90 91 92 93 94 ");
}

TEST(Reduce, TextOfDraw99Starts)
{
    EXPECT_EQ(reduce(Draw{9, 9}).resultText.substr(0, 18), u"05 06 07 08 09 15 ");
}

// Every one of the 100 possible entries, against the rule itself.
TEST(Reduce, EveryEntryKeeps75AscendingNumbersThatShareAClass)
{
    for (int d = 0; d < 100; ++d) {
        SCOPED_TRACE(d);
        const std::u16string entry{static_cast<char16_t>(u'0' + d / 10),
                                   static_cast<char16_t>(u'0' + d % 10)};
        const auto draw = validateEntry(entry);
        ASSERT_TRUE(draw.has_value());
        const ReductionOutcome out = reduce(*draw);

        EXPECT_EQ(out.count, 75);
        ASSERT_EQ(out.resultText.size(), 225u);
        for (std::size_t i = 0; i < out.resultText.size(); i += 3) {
            EXPECT_TRUE(out.resultText[i] >= u'0' && out.resultText[i] <= u'9');
            EXPECT_TRUE(out.resultText[i + 1] >= u'0' && out.resultText[i + 1] <= u'9');
            EXPECT_EQ(out.resultText[i + 2], u' ');
        }

        const std::vector<int> kept = listedNumbers(out.resultText);
        for (std::size_t k = 1; k < kept.size(); ++k) {
            EXPECT_LT(kept[k - 1], kept[k]);
        }
        const std::set<int> keptSet(kept.begin(), kept.end());
        for (int n = 0; n < 100; ++n) {
            const bool shares = (n / 10) / 5 == (d / 10) / 5 || (n % 10) / 5 == (d % 10) / 5;
            EXPECT_EQ(keptSet.count(n) == 1, shares) << "number " << n;
        }
        EXPECT_EQ(out.lastDrawCaption, u"上期：" + entry);
    }
}

TEST(Reduce, SuccessiveCallsAreIndependent)
{
    const ReductionOutcome first = reduce(Draw{0, 0});
    const ReductionOutcome second = reduce(Draw{9, 9});
    const ReductionOutcome again = reduce(Draw{0, 0});
    EXPECT_NE(first.resultText, second.resultText);
    EXPECT_EQ(second.resultText.size(), 225u);
    EXPECT_EQ(second.count, 75);
    EXPECT_EQ(first.resultText, again.resultText);
    EXPECT_EQ(second.lastDrawCaption, u"上期：99");
}

} // namespace
} // namespace corvanel
