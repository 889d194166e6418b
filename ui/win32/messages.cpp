#include "ui/win32/messages.h"

#include "output/win32/widetext.h"
#include "ui/texts.h"
#include "ui/win32/wide.h"

namespace corvanel::ui::win32 {
namespace {

// MessageBoxW labels its button in the language of Windows ("OK" on an English Windows); every
// text of the program is Chinese, so the box's one button is renamed while it opens. The hook
// lives on this thread for the duration of one MessageBoxW call.
thread_local HHOOK renameHook = nullptr;

BOOL CALLBACK renameButton(HWND child, LPARAM)
{
    wchar_t className[16] = {};
    if (GetClassNameW(child, className, 16) > 0 && lstrcmpiW(className, L"Button") == 0) {
        SetWindowTextW(child, output::wideText(okButtonText).c_str());
    }
    return TRUE;
}

LRESULT CALLBACK onBoxActivate(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        EnumChildWindows(reinterpret_cast<HWND>(wParam), renameButton, 0);
        const HHOOK hook = renameHook;
        renameHook = nullptr;
        UnhookWindowsHookEx(hook);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void showBox(HWND owner, UINT icon, std::wstring_view text)
{
    const std::wstring shown(text);
    renameHook = SetWindowsHookExW(WH_CBT, onBoxActivate, nullptr, GetCurrentThreadId());
    MessageBoxW(owner, shown.c_str(), output::wideText(applicationTitle).c_str(), MB_OK | icon);
    // When the box could not open, the hook is still there.
    if (renameHook != nullptr) {
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
    }
}

} // namespace

void showMessage(HWND owner, std::wstring_view text)
{
    showBox(owner, 0, text);
}

void reportError(HWND owner, std::wstring_view errorText)
{
    showBox(owner, MB_ICONERROR, output::wideText(withFullStop(output::utf16Text(errorText))));
}

std::wstring dialogErrorText(DWORD code)
{
    wchar_t hex[16] = {};
    wsprintfW(hex, L"%lX", static_cast<unsigned long>(code));
    return std::wstring(L"不能打开保存对话框（错误 0x") + hex + L"）";
}

std::wstring clipboardErrorText()
{
    return L"不能把文本放到剪贴板上，另一个程序正在使用剪贴板";
}

std::wstring describe(const std::exception &error)
{
    return fromUtf8(error.what());
}

} // namespace corvanel::ui::win32
