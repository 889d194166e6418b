#pragma once

#include <string>
#include <string_view>

namespace corvanel::ui::win32 {

// UTF-8 (an exception's what()) as UTF-16; invalid sequences become U+FFFD.
std::wstring fromUtf8(std::string_view text);

} // namespace corvanel::ui::win32
