#pragma once

#include "ui/win32/u_main.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drives the real window the way a user does: key presses and mouse clicks go through
// SendInput into the system's input queue, and the window's own message loop (the one the
// program runs: translateAccelerator, then TranslateMessage and DispatchMessage) carries them
// to the controls. Every wait is a bounded poll for a condition.

namespace wintest {

// The DPI the window is expected to run at: 96, or what the test program was started with
// (--dpi=N), for a Wine session set up at another DPI.
UINT expectedDpi();

// Runs the window's message loop until done() holds or timeoutMs passed; whether it held.
// A WM_QUIT taken from the queue is kept in quitCode().
bool pumpUntil(Tfrmmain &window, const std::function<bool()> &done, DWORD timeoutMs = 5000);
// The exit code of the last WM_QUIT the loop took, if any; cleared by clearQuit().
std::optional<int> quitCode();
void clearQuit();

// One input event.
INPUT keyDown(WORD vk, bool extended = false);
INPUT keyUp(WORD vk, bool extended = false);

// A key pressed and released with modifiers (VK_SHIFT, VK_CONTROL, VK_MENU) held.
std::vector<INPUT> chord(WORD vk, const std::vector<WORD> &modifiers = {}, bool extended = false);
// The pointer moved to a point on the screen and the left button pressed and released there.
std::vector<INPUT> leftClickAt(POINT at);
// Text typed: digits, ASCII letters and blanks as their keys, anything else as a character
// the way an input method delivers it (KEYEVENTF_UNICODE).
std::vector<INPUT> typing(std::wstring_view text);

// Sends the events and returns at once; for input after which the window may be gone.
bool post(const std::vector<INPUT> &events);
// Sends the events, then runs the message loop until all of them were taken from the queue
// (by this loop or a modal one) and whatever they set off has run. False on timeout.
bool send(Tfrmmain &window, const std::vector<INPUT> &events, DWORD timeoutMs = 5000);
bool press(Tfrmmain &window, WORD vk, const std::vector<WORD> &modifiers = {},
           bool extended = false);
bool type(Tfrmmain &window, std::wstring_view text);
// A left click at a point in control's client area (its centre when none given).
bool click(Tfrmmain &window, HWND control, std::optional<POINT> at = std::nullopt);
// A left click at a point on the screen.
bool clickScreen(Tfrmmain &window, POINT at);

std::wstring textOf(HWND window);
std::wstring className(HWND window);
// The control that has the keyboard focus, or null.
HWND focus();

// The clipboard's Unicode text, or none when it holds none.
std::optional<std::wstring> clipboardText();
// Puts text on the clipboard as another program would (a window of the test's own).
bool setClipboardText(const std::wstring &text);

// What the user saw of a message box.
struct BoxSeen {
    std::wstring title;
    std::wstring text;
    bool icon;
    std::vector<std::wstring> buttons;
    std::wstring note; // what ModalWatch::note gave while the box was up
};

// What the user saw of a file dialog when it opened.
struct DialogSeen {
    std::wstring title;
    std::wstring nameBox;
    std::wstring folder;
    std::vector<std::wstring> fileTypes;
};

// The next action at an open file dialog, with the focus in its name box (the edit control).
using DialogStep = std::function<void(HWND dialog, HWND nameBox)>;
// Types name into the name box and presses Enter, or Escape.
DialogStep typeName(std::wstring name);
DialogStep typeThenCancel(std::wstring name);

// While it lives, watches for the modal windows the main window opens: every message box is
// read and dismissed with a click on its button; every file dialog is read and given the next
// step. A box or dialog that does not close, or a dialog with no step left, is closed by force
// and counted as stuck, so a test never hangs on a window it did not expect. It runs on a
// thread timer, so inside the modal loops of the boxes and dialogs as well.
class ModalWatch {
public:
    explicit ModalWatch(HWND owner, std::vector<DialogStep> steps = {});
    ~ModalWatch();
    ModalWatch(const ModalWatch &) = delete;
    ModalWatch &operator=(const ModalWatch &) = delete;

    std::vector<BoxSeen> boxes;
    std::vector<DialogSeen> dialogs;
    bool stuck = false;
    // Called as each box is first seen; its result goes into BoxSeen::note.
    std::function<std::wstring()> note;

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void poll();
    void pollBox(HWND box);
    void pollDialog(HWND dialog);

    HWND owner;
    std::vector<DialogStep> steps;
    UINT_PTR timer = 0;
    HWND current = nullptr;
    bool acted = false;
    int polls = 0;
};

// The window of one test: a new Tfrmmain, shown and brought to the foreground with the focus
// in edtcode, its controls found by their ids; destroyed again after the test.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the loop until done() holds; fails the test when it does not within the time.
    bool waitFor(const std::function<bool()> &done, DWORD timeoutMs = 5000)
    {
        return pumpUntil(*window, done, timeoutMs);
    }
    // Types draw into edtcode and presses Enter.
    void reduce(std::wstring_view draw);

public:
    // The window and its controls, public so that test tables can name them.
    std::unique_ptr<Tfrmmain> window;
    HWND frmmain = nullptr;
    HWND memcode = nullptr;
    HWND btnfilt = nullptr;
    HWND btncopy = nullptr;
    HWND edtcopy = nullptr;
    HWND btnclose = nullptr;
    HWND lbljushu = nullptr;
    HWND edtdj = nullptr;
    HWND Label2 = nullptr;
    HWND lblkj = nullptr;
    HWND edtcode = nullptr;
    HWND btnsave = nullptr;
};

// The result text the reduction gives for a draw, as the memo shows it.
std::wstring resultFor(int tens, int units);

} // namespace wintest
