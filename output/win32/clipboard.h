#pragma once

#include <windows.h>

#include <string_view>

namespace corvanel::output {

// Puts text on the clipboard as Unicode text (CF_UNICODETEXT), replacing what it held; Windows
// offers it to other programs as ANSI and OEM text as well. The text goes as it is, line breaks
// included. owner is a window of this program (not null: the clipboard needs an owner for
// SetClipboardData to succeed). While another program has the clipboard open, tries again for
// about half a second. False when the text could not be placed; the clipboard then holds what
// it held, or nothing.
bool copyText(HWND owner, std::wstring_view text);

} // namespace corvanel::output
