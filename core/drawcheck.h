#pragma once

#include <cstddef>
#include <string_view>

// The draw check tells whether a newly typed draw is among the numbers on screen. It reads the
// memo's current text as it stands, edits included, and never fails.

namespace corvanel {

struct Verdict {
    enum class Kind {
        BlankResult, // nothing but blanks and control characters on screen: empty the verdict
        NoChange,    // the entry is not two characters long: leave everything as it is
        Miss,        // show "X"
        Hit,         // show "中" and select [start, start + length) in the memo
    };

    Kind kind;
    // For a hit: UTF-16 index of the first character of the match, and how many characters to
    // mark (3, fewer only where the text ends sooner).
    std::size_t start = 0;
    std::size_t length = 0;

    friend bool operator==(const Verdict &, const Verdict &) = default;
};

inline constexpr std::u16string_view hitText = u"中";
inline constexpr std::u16string_view missText = u"X";

// The entry is searched as plain text: it need not be digits, and "1 " can match the second
// digit of one number and the blank after it.
Verdict checkDraw(std::u16string_view memoText, std::u16string_view entry);

} // namespace corvanel
