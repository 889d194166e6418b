// Windows keystroke figure: the time from a key typed into edtcode until edtdj shows the
// verdict, with corvanel.exe running as its own process, as a user runs it. The keys go in
// through SendInput, the way a keyboard's keys enter Windows, so each one travels the whole path
// of the window: the input queue, the message loop's IsDialogMessageW and TranslateMessage, the
// edit control, EN_CHANGE, edtcodeChange with the draw check over the memo's whole text, and
// edtdj's new text. Two end points per key, read from outside the program: "handled", when
// edtdj answers WM_GETTEXT with the verdict (the program answers between its messages, so this
// is after the key's messages have been handled), and "painted", when edtdj has no part left to
// paint (GetUpdateRect). Under Wine the paint then still has to reach the X server, which is not
// included. Each timed key completes a two-digit draw and flips the verdict between "中" (45)
// and "X" (52). Run with the result of the reduction for 37 (225 characters) and with 1 MiB of
// text pasted into memcode through the clipboard.
//
// Usage: keystroke_bench PROGRAM [MEMO_CHARACTERS [PASTE_SECONDS]]
// (the large memo's size, 1 MiB unless given, and how long its paste may take, 600 s)

#include "bench/statistics.h"
#include "bench/win32/clock.h"
#include "ui/win32/resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The program under test, ended when the bench fails half-way.
HANDLE programProcess = nullptr;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "keystroke_bench: %s\n", what);
    if (programProcess != nullptr) {
        TerminateProcess(programProcess, 1);
    }
    std::exit(1);
}

std::wstring textOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 600000, &length)) {
        fail("no answer to WM_GETTEXTLENGTH");
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 600000, &copied);
    text.resize(copied);
    return text;
}

// Polls check for at most seconds; false when it never held.
template <typename Check> bool waitFor(double seconds, Check check)
{
    const double deadline = now() + seconds;
    while (!check()) {
        if (now() > deadline) {
            return false;
        }
    }
    return true;
}

void keys(std::initializer_list<WORD> virtualKeys, bool control = false)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (control) {
        add(VK_CONTROL, 0);
    }
    for (const WORD key : virtualKeys) {
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
    }
    if (control) {
        add(VK_CONTROL, KEYEVENTF_KEYUP);
    }
    if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
        fail("SendInput refused the keys");
    }
}

void clickOn(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    INPUT inputs[3] = {};
    for (INPUT &input : inputs) {
        input.type = INPUT_MOUSE;
        // Absolute coordinates run from 0 to 65535 across the primary screen.
        input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN));
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    if (SendInput(3, inputs, sizeof(INPUT)) != 3) {
        fail("SendInput refused the click");
    }
}

bool painted(HWND window)
{
    return GetUpdateRect(window, nullptr, FALSE) == FALSE;
}

struct Times {
    std::vector<double> handled;
    std::vector<double> painted;
};

class Bench {
public:
    explicit Bench(const std::wstring &program)
    {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process)) {
            fail("cannot start the program");
        }
        programProcess = process.hProcess;
        if (WaitForInputIdle(process.hProcess, 60000) != 0) {
            fail("the program did not become idle");
        }
        waitFor(10, [this] {
            window = FindWindowW(L"Corvanel.Tfrmmain", L"Corvanel");
            return window != nullptr;
        });
        if (window == nullptr) {
            fail("no window");
        }
        // Started by this process, the program may take the foreground; the keys go there.
        SetForegroundWindow(window);
        if (!waitFor(10, [this] { return GetForegroundWindow() == window; })) {
            fail("the window is not in the foreground");
        }
        edtcode = GetDlgItem(window, IDC_EDTCODE);
        edtdj = GetDlgItem(window, IDC_EDTDJ);
        memcode = GetDlgItem(window, IDC_MEMCODE);
    }

    ~Bench()
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    std::wstring reduceBy37()
    {
        keys({'3', '7', VK_RETURN});
        if (!waitFor(10, [this] { return textOf(memcode).size() == 225; })) {
            fail("the reduction for 37 did not fill the memo");
        }
        settle();
        return textOf(memcode);
    }

    void pasteIntoMemo(const std::wstring &text, double pasteSeconds)
    {
        // The clipboard's owner must be a window, or SetClipboardData fails; another program
        // may hold the clipboard open for a moment.
        HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr);
        if (!waitFor(10, [owner] { return OpenClipboard(owner) != FALSE; })) {
            fail("cannot open the clipboard");
        }
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t *>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            fail("cannot put the text on the clipboard");
        }
        CloseClipboard();

        clickOn(memcode);
        const double started = now();
        keys({'A', 'V'}, true);
        if (!waitFor(pasteSeconds, [&] { return textOf(memcode) == text; })) {
            fail("the paste did not fill the memo");
        }
        std::printf(
            "| paste of %zu characters into memcode (Ctrl+A, Ctrl+V), once | - | %.0f ms | - |\n",
            text.size(), (now() - started) * 1000);
        clickOn(edtcode);
        settle();
    }

    struct Verdicts {
        Times hit;
        Times miss;
    };

    Verdicts measure(int cycles)
    {
        Verdicts times;
        for (int i = 0; i < cycles; ++i) {
            timeKey('4', '5', L"中", times.hit);
            timeKey('5', '2', L"X", times.miss);
        }
        return times;
    }

private:
    void timeKey(WORD first, WORD second, const std::wstring &verdict, Times &times)
    {
        keys({first});
        if (!waitFor(60, [&] { return textOf(edtcode).size() == 1; })) {
            fail("the first key did not reach edtcode");
        }
        settle();
        if (textOf(edtdj) == verdict) {
            fail("the verdict was already shown before the timed key");
        }
        const double started = now();
        keys({second});
        if (!waitFor(60, [&] { return textOf(edtdj) == verdict; })) {
            fail("the timed key did not give the expected verdict");
        }
        const double handled = now();
        if (!waitFor(60, [&] { return painted(edtdj); })) {
            fail("edtdj was not repainted");
        }
        const double done = now();
        times.handled.push_back((handled - started) * 1000);
        times.painted.push_back((done - started) * 1000);

        keys({VK_BACK, VK_BACK});
        if (!waitFor(60, [&] { return textOf(edtcode).empty(); })) {
            fail("edtcode was not emptied");
        }
        settle();
    }

    // Until every paint the last input caused is done and the program is back in its loop.
    void settle()
    {
        if (!waitFor(60, [this] {
                return painted(window) && painted(edtcode) && painted(edtdj) && painted(memcode);
            })) {
            fail("the window did not settle");
        }
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, nullptr);
    }

    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND edtcode = nullptr;
    HWND edtdj = nullptr;
    HWND memcode = nullptr;
};

void report(const char *memo, const Bench::Verdicts &t)
{
    const struct {
        const char *verdict;
        const Times &times;
    } rows[] = {{"hit 中", t.hit}, {"miss X", t.miss}};
    for (const auto &row : rows) {
        std::printf("| keystroke, %s memo, %s, handled | %.3f ms | p90 %.3f ms |\n", memo,
                    row.verdict, median(row.times.handled), percentile90(row.times.handled));
        std::printf("| keystroke, %s memo, %s, painted | %.3f ms | p90 %.3f ms |\n", memo,
                    row.verdict, median(row.times.painted), percentile90(row.times.painted));
    }
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc < 2 || argc > 4) {
        fail("usage: keystroke_bench PROGRAM [MEMO_CHARACTERS [PASTE_SECONDS]]");
    }
    const std::size_t largeSize = argc > 2 ? std::size_t(_wtoi(argv[2])) : std::size_t(1) << 20;
    const double pasteSeconds = argc > 3 ? _wtof(argv[3]) : 600;
    Bench bench(argv[1]);
    const std::wstring result = bench.reduceBy37();
    bench.measure(10); // warm-up
    report("225-character", bench.measure(200));

    // The result pasted over and over: 45 is found near the start, 52 nowhere, so a miss
    // searches the whole text.
    std::wstring large;
    while (large.size() < largeSize) {
        large += result;
    }
    large.resize(largeSize);
    bench.pasteIntoMemo(large, pasteSeconds);
    bench.measure(3); // warm-up
    const std::string name = largeSize == (std::size_t(1) << 20)
                                 ? std::string("1 MiB")
                                 : std::to_string(largeSize) + "-character";
    report(name.c_str(), bench.measure(50));
    return 0;
}
