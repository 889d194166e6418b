// Reads Corvanel's window from outside the program, the way accessibility and UI-automation
// tools read a Windows window: it finds the top-level window titled "Corvanel" and asks user32
// about it and its controls (WM_GETTEXT, EM_GETSEL, GetGUIThreadInfo, GetNextDlgTabItem,
// GetWindowRect), and about the dialog boxes (class #32770) that the window's thread shows.
//
//   corvanel_inspect state            print what the window shows now
//   corvanel_inspect idle             the same, once the window's thread is back in a message
//                                     loop (everything the last input started has run)
//   corvanel_inspect wait-window S    wait at most S seconds for the window, then print
//   corvanel_inspect wait-box S       wait at most S seconds for a dialog box, then print
//   corvanel_inspect wait-no-box S    wait at most S seconds until no dialog box is left
//   corvanel_inspect clipboard        print the text a Windows program pastes (clipboard=…)
//
// The output is UTF-8, one "key=value" line per fact; a text's line breaks are written as \r
// and \n. For the window:
//   client=W,H              the client area's size
//   NAME.text=…             each control's text (NAME as in the program: edtcode, memcode, …)
//   NAME.rect=L,T,W,H       its place in the window's client coordinates
//   NAME.center=X,Y         its middle in screen coordinates, where a click lands on it
//   NAME.visible=0|1
//   memcode.sel=START,END   the memo's selection
//   focus=NAME              the control with the keyboard focus (box:… inside a box)
//   tab=NAME,…              the Tab order from edtcode on, until it comes back (GetNextDlgTabItem)
//   tabback=NAME,…          the same backwards (Shift+Tab)
// For each dialog box, numbered from 0:
//   box0.title=…  box0.text=…  (the static texts)  box0.icon=0|1  box0.buttons=A|B
//   box0.edit=…  (the first edit box's text)  box0.focus=… (the text of its focused control)
//   box0.button.TEXT=X,Y  (the middle of the button TEXT in screen coordinates)
// A wait that runs out prints the state all the same and exits with status 1.

#include "ui/win32/resource.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Control {
    int id;
    const char *name;
};

constexpr Control controls[] = {
    {IDC_LBLJUSHU, "lbljushu"}, {IDC_MEMCODE, "memcode"}, {IDC_LBLKJ, "lblkj"},
    {IDC_LABEL2, "Label2"},     {IDC_EDTCODE, "edtcode"}, {IDC_EDTDJ, "edtdj"},
    {IDC_BTNFILT, "btnfilt"},   {IDC_BTNSAVE, "btnsave"}, {IDC_BTNCOPY, "btncopy"},
    {IDC_BTNCLOSE, "btnclose"}, {IDC_EDTCOPY, "edtcopy"},
};

std::string utf8(const std::wstring &text)
{
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(std::size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

// Written straight to the standard output handle, byte for byte, whatever the console's code
// page.
void write(const std::string &bytes)
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

void line(const std::string &key, const std::wstring &value)
{
    std::wstring escaped;
    for (const wchar_t c : value) {
        if (c == L'\r') {
            escaped += L"\\r";
        } else if (c == L'\n') {
            escaped += L"\\n";
        } else {
            escaped += c;
        }
    }
    write(key + "=" + utf8(escaped) + "\n");
}

void line(const std::string &key, const std::string &value)
{
    write(key + "=" + value + "\n");
}

// A window of another process answers WM_GETTEXT; GetWindowTextW would not ask it.
std::wstring textOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return L"<no answer>";
    }
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return std::wstring(buffer.data(), copied);
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string numbers(std::initializer_list<long> values)
{
    std::string text;
    for (const long v : values) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(v);
    }
    return text;
}

std::string centerOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return numbers({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

HWND mainWindow = nullptr;

BOOL CALLBACK findMain(HWND window, LPARAM)
{
    if (IsWindowVisible(window) && classOf(window) != L"#32770" && textOf(window) == L"Corvanel") {
        mainWindow = window;
        return FALSE;
    }
    return TRUE;
}

HWND findMainWindow()
{
    mainWindow = nullptr;
    EnumWindows(findMain, 0);
    return mainWindow;
}

std::vector<HWND> boxes;

BOOL CALLBACK findBox(HWND window, LPARAM thread)
{
    if (IsWindowVisible(window) && classOf(window) == L"#32770" &&
        GetWindowThreadProcessId(window, nullptr) == DWORD(thread)) {
        boxes.push_back(window);
    }
    return TRUE;
}

// The visible dialog boxes of the window's thread: message boxes and the file dialog.
std::vector<HWND> findBoxes(HWND main)
{
    boxes.clear();
    if (main != nullptr) {
        EnumWindows(findBox, LPARAM(GetWindowThreadProcessId(main, nullptr)));
    }
    return boxes;
}

const char *nameOf(HWND control)
{
    const int id = GetDlgCtrlID(control);
    for (const Control &c : controls) {
        if (c.id == id) {
            return c.name;
        }
    }
    return "?";
}

std::string tabOrder(HWND main, HWND start, BOOL backwards)
{
    std::string order = nameOf(start);
    HWND at = start;
    for (int i = 0; i < 20; ++i) {
        at = GetNextDlgTabItem(main, at, backwards);
        if (at == nullptr || at == start) {
            break;
        }
        order += std::string(",") + nameOf(at);
    }
    return order;
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
}

void printBox(int index, HWND box, HWND focus)
{
    const std::string key = "box" + std::to_string(index);
    line(key + ".title", textOf(box));
    std::wstring text, buttons, edit, focused;
    bool icon = false, editSeen = false;
    for (HWND child : childrenOf(box)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        const std::wstring cls = classOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (child == focus) {
            focused = textOf(child);
        }
        if (lstrcmpiW(cls.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                icon = icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
            } else {
                text += textOf(child);
            }
        } else if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
            const std::wstring caption = textOf(child);
            buttons += (buttons.empty() ? L"" : L"|") + caption;
            line(key + ".button." + utf8(caption), centerOf(child));
        } else if (lstrcmpiW(cls.c_str(), L"Edit") == 0 && !editSeen) {
            edit = textOf(child);
            editSeen = true;
        }
    }
    line(key + ".text", text);
    line(key + ".icon", icon ? "1" : "0");
    line(key + ".buttons", buttons);
    line(key + ".edit", edit);
    line(key + ".focus", focused);
}

void print(HWND main)
{
    if (main == nullptr) {
        line("window", "none");
        return;
    }
    RECT client{};
    GetClientRect(main, &client);
    line("client", numbers({client.right, client.bottom}));
    for (const Control &c : controls) {
        HWND control = GetDlgItem(main, c.id);
        const std::string name = c.name;
        if (control == nullptr) {
            line(name + ".missing", "1");
            continue;
        }
        RECT r{};
        GetWindowRect(control, &r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(main, &topLeft);
        line(name + ".text", textOf(control));
        line(name + ".rect", numbers({topLeft.x, topLeft.y, r.right - r.left, r.bottom - r.top}));
        line(name + ".center", centerOf(control));
        line(name + ".visible", IsWindowVisible(control) ? "1" : "0");
    }
    DWORD start = 0, end = 0;
    SendMessageTimeoutW(GetDlgItem(main, IDC_MEMCODE), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end), SMTO_ABORTIFHUNG, 5000, nullptr);
    line("memcode.sel", numbers({long(start), long(end)}));

    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    HWND focus = nullptr;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui)) {
        focus = gui.hwndFocus;
    }
    std::string focusName = "none";
    if (focus != nullptr && GetParent(focus) == main) {
        focusName = nameOf(focus);
    } else if (focus != nullptr) {
        focusName = "box:" + utf8(classOf(focus));
    }
    line("focus", focusName);
    HWND edtcode = GetDlgItem(main, IDC_EDTCODE);
    line("tab", tabOrder(main, edtcode, FALSE));
    line("tabback", tabOrder(main, edtcode, TRUE));

    const std::vector<HWND> shown = findBoxes(main);
    line("boxes", std::to_string(shown.size()));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        printBox(int(i), shown[i], focus);
    }
}

// Polls check every 20 ms for at most seconds; true when it held.
template <typename Check> bool waitFor(double seconds, Check check)
{
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(seconds * 1000);
    for (;;) {
        if (check()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(20);
    }
}

int fail(const char *what)
{
    const std::string text = std::string("corvanel_inspect: ") + what + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
    return 1;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc < 2) {
        return fail("usage: corvanel_inspect state|idle|wait-window S|wait-box S|wait-no-box S");
    }
    const std::wstring command = argv[1];
    const double seconds = argc > 2 ? std::wcstod(argv[2], nullptr) : 0;

    if (command == L"clipboard") {
        if (!OpenClipboard(nullptr)) {
            return fail("the clipboard is held open by another program");
        }
        std::wstring text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
            if (const auto *locked = static_cast<const wchar_t *>(GlobalLock(data))) {
                text = locked;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        line("clipboard", text);
        return 0;
    }
    if (command == L"state") {
        print(findMainWindow());
        return 0;
    }
    if (command == L"idle") {
        HWND main = findMainWindow();
        // A sent message is handled only when the thread asks for messages again, in its own
        // loop or a modal one.
        if (main == nullptr ||
            !SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr)) {
            print(main);
            return fail("the window did not come back to its message loop within 10 s");
        }
        print(main);
        return 0;
    }
    if (command == L"wait-window") {
        const bool found = waitFor(seconds, [] { return findMainWindow() != nullptr; });
        print(mainWindow);
        return found ? 0 : fail("no window titled Corvanel");
    }
    if (command == L"wait-box") {
        const bool found = waitFor(seconds, [] { return !findBoxes(findMainWindow()).empty(); });
        print(mainWindow);
        return found ? 0 : fail("no dialog box");
    }
    if (command == L"wait-no-box") {
        const bool gone = waitFor(seconds, [] { return findBoxes(findMainWindow()).empty(); });
        print(mainWindow);
        return gone ? 0 : fail("a dialog box is still shown");
    }
    return fail("unknown command");
}
