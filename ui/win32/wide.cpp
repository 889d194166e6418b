#include "ui/win32/wide.h"

#include <windows.h>

#include <algorithm>

namespace corvanel::ui::win32 {

std::wstring fromUtf8(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring converted(std::size_t(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), converted.data(), length);
    return converted;
}

} // namespace corvanel::ui::win32
