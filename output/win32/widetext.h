#pragma once

#include <string>
#include <string_view>

// The shared texts are UTF-16 (char16_t), and so are Windows' wide characters: converting
// between the two copies the code units unchanged.

namespace corvanel::output {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t holds UTF-16 code units");

inline std::wstring wideText(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

inline std::u16string utf16Text(std::wstring_view text)
{
    return {text.begin(), text.end()};
}

} // namespace corvanel::output
