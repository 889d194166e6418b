#include "windowdriver.h"

#include "core/reduction.h"
#include "ui/win32/resource.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>
#include <cwchar>
#include <dlgs.h>
#include <utility>

namespace wintest {
namespace {

UINT dpiExpected = 96;
std::optional<int> lastQuit;

// A key that nothing in the window uses: its release, sent after a test's input, shows when
// everything before it was taken from the queue.
constexpr WORD markerKey = VK_F24;
unsigned markersSent = 0;
unsigned markersSeen = 0;
HHOOK markerHook = nullptr;

// Sees every message taken from this thread's queue, by the window's loop or a modal one.
LRESULT CALLBACK watchRetrieved(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const auto *msg = reinterpret_cast<const MSG *>(lParam);
        if ((msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) && msg->wParam == markerKey) {
            ++markersSeen;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void dispatch(Tfrmmain &window, MSG &msg)
{
    if (!window.translateAccelerator(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool sendAll(const std::vector<INPUT> &events)
{
    std::vector<INPUT> copy = events;
    return SendInput(UINT(copy.size()), copy.data(), sizeof(INPUT)) == copy.size();
}

void clickAt(POINT at)
{
    sendAll(leftClickAt(at));
}

POINT centreOnScreen(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<HWND> children(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND> *>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The visible dialog-class windows of this thread that owner owns.
std::vector<HWND> modalsOf(HWND owner)
{
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM data) {
            auto *s = reinterpret_cast<Search *>(data);
            if (IsWindowVisible(candidate) && className(candidate) == L"#32770" &&
                GetWindow(candidate, GW_OWNER) == s->owner) {
                s->found.push_back(candidate);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The file dialog's name box: the edit inside the documented name combo box of the
// Explorer-style dialog (a ComboBoxEx on some systems, with a combo box of its own inside), or
// the edit of the older layout.
HWND nameBoxOf(HWND dialog)
{
    if (HWND combo = GetDlgItem(dialog, cmb13); combo != nullptr && IsWindowVisible(combo)) {
        for (HWND inside : children(combo)) {
            if (lstrcmpiW(className(inside).c_str(), L"Edit") == 0) {
                return inside;
            }
        }
        return combo;
    }
    return GetDlgItem(dialog, edt1);
}

ModalWatch *activeWatch = nullptr;

} // namespace

UINT expectedDpi()
{
    return dpiExpected;
}

std::optional<int> quitCode()
{
    return lastQuit;
}

void clearQuit()
{
    lastQuit.reset();
}

bool pumpUntil(Tfrmmain &window, const std::function<bool()> &done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) {
            return true;
        }
        MSG msg{};
        bool handled = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            handled = true;
            if (msg.message == WM_QUIT) {
                lastQuit = int(msg.wParam);
            } else {
                dispatch(window, msg);
            }
            if (done()) {
                return true;
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return done();
        }
        if (!handled) {
            // Wakes as soon as anything arrives; the bound only limits the wait.
            MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<ULONGLONG>(deadline - now, 50)),
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
}

INPUT keyDown(WORD vk, bool extended)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    return input;
}

INPUT keyUp(WORD vk, bool extended)
{
    INPUT input = keyDown(vk, extended);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

std::vector<INPUT> chord(WORD vk, const std::vector<WORD> &modifiers, bool extended)
{
    std::vector<INPUT> events;
    for (WORD m : modifiers) {
        events.push_back(keyDown(m));
    }
    events.push_back(keyDown(vk, extended));
    events.push_back(keyUp(vk, extended));
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) {
        events.push_back(keyUp(*m));
    }
    return events;
}

std::vector<INPUT> typing(std::wstring_view text)
{
    std::vector<INPUT> events;
    for (const wchar_t c : text) {
        WORD vk = 0;
        if ((c >= L'0' && c <= L'9') || c == L' ') {
            vk = WORD(c);
        } else if (c >= L'a' && c <= L'z') {
            vk = WORD(c - L'a' + L'A');
        }
        if (vk != 0) {
            events.push_back(keyDown(vk));
            events.push_back(keyUp(vk));
            continue;
        }
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = WORD(c);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        events.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        events.push_back(input);
    }
    return events;
}

bool send(Tfrmmain &window, const std::vector<INPUT> &events, DWORD timeoutMs)
{
    std::vector<INPUT> all = events;
    all.push_back(keyUp(markerKey));
    const unsigned expected = ++markersSent;
    if (!sendAll(all)) {
        return false;
    }
    if (!pumpUntil(
            window, [expected] { return markersSeen >= expected; }, timeoutMs)) {
        markersSeen = markersSent; // do not let a later wait count this one
        return false;
    }
    // What the last events posted (characters, notifications) runs before this returns.
    pumpUntil(
        window, [] { return false; }, 0);
    return true;
}

bool post(const std::vector<INPUT> &events)
{
    return sendAll(events);
}

bool press(Tfrmmain &window, WORD vk, const std::vector<WORD> &modifiers, bool extended)
{
    return send(window, chord(vk, modifiers, extended));
}

bool type(Tfrmmain &window, std::wstring_view text)
{
    return send(window, typing(text));
}

bool click(Tfrmmain &window, HWND control, std::optional<POINT> at)
{
    POINT point{};
    if (at) {
        point = *at;
        ClientToScreen(control, &point);
    } else {
        point = centreOnScreen(control);
    }
    return clickScreen(window, point);
}

bool clickScreen(Tfrmmain &window, POINT at)
{
    return send(window, leftClickAt(at));
}

std::vector<INPUT> leftClickAt(POINT at)
{
    SetCursorPos(at.x, at.y);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return {down, up};
}

std::wstring textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::size_t(std::max(copied, 0)));
    return text;
}

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, std::size_t(std::max(length, 0)));
}

HWND focus()
{
    return GetFocus();
}

std::optional<std::wstring> clipboardText()
{
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = std::wstring(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool setClipboardText(const std::wstring &text)
{
    // The clipboard needs an owner window for SetClipboardData; a message-only window of the
    // test stands for another program.
    static HWND owner = CreateWindowExW(0, L"STATIC", L"clipboard owner", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (block == nullptr) {
        return false;
    }
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    if (!placed) {
        GlobalFree(block);
    }
    return placed;
}

namespace {

// name typed into the dialog's name box, then the key that ends the dialog.
DialogStep typeThenPress(std::wstring name, WORD vk)
{
    return [name = std::move(name), vk](HWND, HWND) {
        std::vector<INPUT> events = typing(name);
        const std::vector<INPUT> key = chord(vk);
        events.insert(events.end(), key.begin(), key.end());
        sendAll(events);
    };
}

} // namespace

DialogStep typeName(std::wstring name)
{
    return typeThenPress(std::move(name), VK_RETURN);
}

DialogStep typeThenCancel(std::wstring name)
{
    return typeThenPress(std::move(name), VK_ESCAPE);
}

ModalWatch::ModalWatch(HWND owner, std::vector<DialogStep> steps)
    : owner(owner), steps(std::move(steps))
{
    activeWatch = this;
    timer = SetTimer(nullptr, 0, 20, onTimer);
}

ModalWatch::~ModalWatch()
{
    KillTimer(nullptr, timer);
    activeWatch = nullptr;
}

void CALLBACK ModalWatch::onTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeWatch != nullptr) {
        activeWatch->poll();
    }
}

void ModalWatch::poll()
{
    const std::vector<HWND> open = modalsOf(owner);
    if (open.empty()) {
        current = nullptr;
        return;
    }
    HWND modal = open.front();
    const bool isDialog = GetDlgItem(modal, cmb1) != nullptr;
    if (modal != current) {
        current = modal;
        acted = false;
        polls = 0;
        if (isDialog) {
            DialogSeen seen{textOf(modal), {}, {}, {}};
            if (HWND name = nameBoxOf(modal)) {
                seen.nameBox = textOf(name);
            }
            std::wstring folder(32768, L'\0');
            const LRESULT length = SendMessageW(modal, CDM_GETFOLDERPATH, folder.size(),
                                                reinterpret_cast<LPARAM>(folder.data()));
            folder.resize(length > 0 ? std::size_t(length) - 1 : 0);
            seen.folder = folder;
            HWND types = GetDlgItem(modal, cmb1);
            const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                std::wstring item(std::size_t(SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1,
                                  L'\0');
                const LRESULT got =
                    SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
                item.resize(got > 0 ? std::size_t(got) : 0);
                seen.fileTypes.push_back(item);
            }
            dialogs.push_back(seen);
        } else {
            BoxSeen seen{textOf(modal), {}, false, {}, note ? note() : std::wstring()};
            for (HWND child : children(modal)) {
                if (!IsWindowVisible(child)) {
                    continue;
                }
                const std::wstring kind = className(child);
                const LONG style = GetWindowLongW(child, GWL_STYLE);
                if (lstrcmpiW(kind.c_str(), L"Button") == 0) {
                    seen.buttons.push_back(textOf(child));
                } else if (lstrcmpiW(kind.c_str(), L"Static") == 0) {
                    if ((style & SS_TYPEMASK) == SS_ICON) {
                        seen.icon = seen.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
                    } else if (GetDlgCtrlID(child) == 0xFFFF) {
                        seen.text = textOf(child);
                    }
                }
            }
            boxes.push_back(seen);
        }
    }
    ++polls;
    if (isDialog) {
        HWND name = nameBoxOf(modal);
        if (!acted && GetForegroundWindow() == modal && name != nullptr && GetFocus() == name) {
            acted = true;
            if (steps.empty()) {
                stuck = true;
                PostMessageW(modal, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            DialogStep step = steps.front();
            steps.erase(steps.begin());
            step(modal, name);
            return;
        }
        if (polls > 250) {
            stuck = true;
            PostMessageW(modal, WM_COMMAND, IDCANCEL, 0);
            polls = 0;
        }
        return;
    }
    if (polls > 100) {
        stuck = true;
        PostMessageW(modal, WM_CLOSE, 0, 0);
        polls = 0;
        return;
    }
    // Clicks the first visible button, as a user does; again every half second while the
    // box stays.
    if (polls % 25 == 1) {
        for (HWND child : children(modal)) {
            if (IsWindowVisible(child) && lstrcmpiW(className(child).c_str(), L"Button") == 0) {
                clickAt(centreOnScreen(child));
                break;
            }
        }
    }
}

void WindowTest::SetUp()
{
    window = std::make_unique<Tfrmmain>(GetModuleHandleW(nullptr));
    frmmain = window->handle();
    ASSERT_NE(frmmain, nullptr);
    struct Named {
        HWND *control;
        int id;
    };
    for (const Named &named :
         {Named{&memcode, IDC_MEMCODE}, Named{&btnfilt, IDC_BTNFILT}, Named{&btncopy, IDC_BTNCOPY},
          Named{&edtcopy, IDC_EDTCOPY}, Named{&btnclose, IDC_BTNCLOSE},
          Named{&lbljushu, IDC_LBLJUSHU}, Named{&edtdj, IDC_EDTDJ}, Named{&Label2, IDC_LABEL2},
          Named{&lblkj, IDC_LBLKJ}, Named{&edtcode, IDC_EDTCODE}, Named{&btnsave, IDC_BTNSAVE}}) {
        *named.control = GetDlgItem(frmmain, named.id);
        ASSERT_NE(*named.control, nullptr) << "control " << named.id;
    }
    window->show(SW_SHOWNORMAL);
    // No window manager runs in the test session: the test brings the window forward itself,
    // as clicking it on a desktop would.
    SetForegroundWindow(frmmain);
    ASSERT_TRUE(waitFor([this] { return GetForegroundWindow() == frmmain && focus() == edtcode; }))
        << "foreground " << GetForegroundWindow() << ", focus " << focus();
    // The mouse rests away from the window, as a user's hand on the keyboard.
    SetCursorPos(0, 0);
}

void WindowTest::TearDown()
{
    window.reset();
    // The window's end posts WM_QUIT; take it and everything before it from the queue.
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            break;
        }
        DispatchMessageW(&msg);
    }
    clearQuit();
}

void WindowTest::reduce(std::wstring_view draw)
{
    ASSERT_TRUE(type(*window, draw));
    ASSERT_TRUE(press(*window, VK_RETURN));
}

std::wstring resultFor(int tens, int units)
{
    const std::u16string text = corvanel::reduce({tens, units}).resultText;
    return {text.begin(), text.end()};
}

} // namespace wintest

// The test program's entry: GoogleTest's flags, and --dpi=N for the DPI the Wine session was
// set up with.
int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0) {
            wintest::dpiExpected = UINT(std::atoi(argv[i] + 6));
        }
    }
    wintest::markerHook =
        SetWindowsHookExW(WH_GETMESSAGE, wintest::watchRetrieved, nullptr, GetCurrentThreadId());
    return RUN_ALL_TESTS();
}
