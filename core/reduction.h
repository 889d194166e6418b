#pragma once

#include <optional>
#include <string>
#include <string_view>

// The reduction keeps, of the 100 numbers 00-99, those that share the big/small class of the
// last draw in the tens place or in the units place (0-4 small, 5-9 big). Texts are UTF-16,
// the units the window's text controls count in, so positions can be handed over unchanged.

namespace corvanel {

// What the user is told when the entry is not exactly two ASCII digits.
inline constexpr std::u16string_view entryPrompt = u"请输入2位数上期开奖号码";

// An accepted entry: the last draw's tens and units digits, 0-9 each.
struct Draw {
    int tens;
    int units;
};

// Accepts exactly two characters that are both '0'-'9'. Anything else gives no draw, and the
// caller shows entryPrompt.
std::optional<Draw> validateEntry(std::u16string_view entry);

struct ReductionOutcome {
    // The kept numbers ascending, each as two digits and one blank: u"00 01 ... 94 ".
    std::u16string resultText;
    int count;
    std::u16string countCaption;    // u"缩水结果：75注"
    std::u16string lastDrawCaption; // u"上期：37"
};

// Depends on the draw alone; calls share nothing but the read-only number table.
ReductionOutcome reduce(Draw draw);

} // namespace corvanel
