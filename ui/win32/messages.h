#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>
#include <utility>

// The program's message boxes: every message and every error reaches the user through these two,
// modal to the window, with the application's title as caption and one button "确定".

namespace corvanel::ui::win32 {

// Shows text and waits until the user dismisses it. No icon.
void showMessage(HWND owner, std::wstring_view text);

// The application's report of an error that stopped a handler: an error icon and the text,
// with "." added when its last character sorts after "." (withFullStop, ui/texts.h).
void reportError(HWND owner, std::wstring_view errorText);

// An error a handler raises for the report, in the user's words.
class HandlerError : public std::exception {
public:
    explicit HandlerError(std::wstring text) : m_text(std::move(text)) {}
    const std::wstring &text() const noexcept { return m_text; }
    const char *what() const noexcept override { return "Corvanel handler error"; }

private:
    std::wstring m_text;
};

// The save dialog could not open (CommDlgExtendedError's code, or the system error that kept
// the dialogs' library from loading).
std::wstring dialogErrorText(DWORD code);

// The clipboard could not be had (another program keeps it open).
std::wstring clipboardErrorText();

// A std::exception's what() (UTF-8) as the report shows it.
std::wstring describe(const std::exception &error);

// Runs one handler's body. An exception must never unwind through a window procedure, which
// Windows calls from its own code, so one that escapes the body ends the body there and goes
// to reportError; the program goes on. Anything thrown that is not a std::exception is a bug and
// terminates here.
template <typename Body> void guard(HWND owner, Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (const HandlerError &e) {
        reportError(owner, e.text());
    } catch (const std::exception &e) {
        reportError(owner, describe(e));
    }
}

} // namespace corvanel::ui::win32
