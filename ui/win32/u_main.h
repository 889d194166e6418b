#pragma once

#include <windows.h>

#include <commdlg.h>
#include <string>
#include <vector>

// frmmain, the program's one window, in Win32. The user types the last draw into edtcode and
// presses Enter or "过滤": btnfiltClick hands the entry to the reduction (core/reduction.h) and
// writes its outcome into memcode and the two captions. Every later change of edtcode
// (EN_CHANGE) runs edtcodeChange, which checks the entry against memcode's current text
// (core/drawcheck.h) and shows the verdict in edtdj, marking a hit in memcode. The result lives
// only in memcode; "复制" and "保存" take its text from there to output/win32/ (clipboard, text
// file, Desktop folder). Each handler's body runs inside guard (messages.h), so an error ends the
// handler in the application's error report instead of unwinding through Windows.
//
// The window is a private dialog class: its procedure falls back on DefDlgProcW, and the message
// loop passes messages through IsDialogMessageW (translateAccelerator below), so Tab, Enter and
// the default button btnfilt work as in any Windows dialog. Every place and size is a 96-DPI
// value scaled by the window's DPI in one place, layOut, and again when the window moves to a
// monitor of another DPI.
class Tfrmmain {
public:
    // Creates the window, hidden, centred on the work area; FormCreate has run.
    explicit Tfrmmain(HINSTANCE instance);
    ~Tfrmmain();
    Tfrmmain(const Tfrmmain &) = delete;
    Tfrmmain &operator=(const Tfrmmain &) = delete;

    HWND handle() const { return frmmain; }

    // Shows the window the way the system asks (wWinMain's nCmdShow), the focus in edtcode.
    void show(int how);

    // Handles msg for the window's keyboard interface; true when it was handled and must not be
    // dispatched.
    bool translateAccelerator(MSG &msg);

private:
    // The controls' places and settings, in u_main.cpp.
    friend struct Layout;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK edtcodeProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int notification);
    void layOut(UINT dpi);

    void btnfiltClick();
    void FormCreate();
    void btncopyClick();
    void btncloseClick();
    void edtcodeChange();
    void edtcodeClick();
    void btnsaveClick();

    // The folder stored under name ("Desktop") in the user's shell folder settings, or empty
    // when there is none. A value of the wrong type throws HandlerError.
    std::wstring GetShellFolder(const std::wstring &name) const;

    HWND frmmain = nullptr;
    // The window owns every control as its child; these only name them.
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
    // The save dialog's settings, made anew before every use, and the name the user chose.
    struct SaveDialog {
        OPENFILENAMEW settings;
        std::wstring filter;
        std::wstring initialDir;
        std::vector<wchar_t> fileName;
    } savedlg{};

    HFONT font = nullptr;
    UINT dpi = 96;
    // The next focus of edtcode comes from a mouse click.
    bool edtcodeClicked = false;
};
