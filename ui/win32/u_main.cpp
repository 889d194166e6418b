#include "ui/win32/u_main.h"

#include "core/codetable.h"
#include "core/drawcheck.h"
#include "core/reduction.h"
#include "output/win32/clipboard.h"
#include "output/win32/savefile.h"
#include "output/win32/shellfolder.h"
#include "output/win32/widetext.h"
#include "ui/texts.h"
#include "ui/win32/messages.h"
#include "ui/win32/resource.h"

#include <algorithm>
#include <array>
#include <commctrl.h>
#include <optional>

using corvanel::output::utf16Text;
using corvanel::output::wideText;
using corvanel::ui::win32::guard;
using corvanel::ui::win32::HandlerError;

namespace {

constexpr wchar_t windowClassName[] = L"Corvanel.Tfrmmain";

// The client area at 96 DPI, around the controls' places below.
constexpr int clientWidth96 = 491;
constexpr int clientHeight96 = 348;

// Every control, in the order of the window's z-order, which is the Tab order: edtcode, memcode,
// btnfilt, btncopy, btnclose, edtdj, btnsave. Each label stands directly before the control it
// names, which is also how a screen reader names that control. edtcopy is hidden and takes no
// part. Places and sizes in client coordinates at 96 DPI.
struct ControlDefinition {
    HWND Tfrmmain::*member;
    int id;
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
    std::u16string_view text;
    int left96, top96, width96, height96;
};

constexpr DWORD child = WS_CHILD | WS_VISIBLE;
constexpr DWORD label = child | SS_LEFT | SS_NOPREFIX;
constexpr DWORD edit = child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;

} // namespace

struct Layout {
    static constexpr std::array<ControlDefinition, 11> controls{{
        {&Tfrmmain::lblkj, IDC_LBLKJ, L"STATIC", label, 0, corvanel::ui::lastDrawLabelText, 300,
         176, 73, 13},
        {&Tfrmmain::edtcode, IDC_EDTCODE, L"EDIT", edit, WS_EX_CLIENTEDGE, u"", 300, 192, 73, 21},
        {&Tfrmmain::lbljushu, IDC_LBLJUSHU, L"STATIC", label, 0, corvanel::ui::countLabelText, 16,
         8, 137, 13},
        {&Tfrmmain::memcode, IDC_MEMCODE, L"EDIT",
         child | WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
             ES_NOHIDESEL,
         WS_EX_CLIENTEDGE, u"", 16, 24, 249, 321},
        {&Tfrmmain::btnfilt, IDC_BTNFILT, L"BUTTON", child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
         corvanel::ui::filterButtonText, 296, 256, 75, 25},
        {&Tfrmmain::btncopy, IDC_BTNCOPY, L"BUTTON", button, 0, corvanel::ui::copyButtonText, 296,
         296, 75, 25},
        {&Tfrmmain::btnclose, IDC_BTNCLOSE, L"BUTTON", button, 0, corvanel::ui::closeButtonText,
         392, 296, 75, 25},
        {&Tfrmmain::Label2, IDC_LABEL2, L"STATIC", label, 0, corvanel::ui::verdictLabelText, 408,
         176, 33, 13},
        {&Tfrmmain::edtdj, IDC_EDTDJ, L"EDIT", edit, WS_EX_CLIENTEDGE, u"", 404, 192, 41, 21},
        {&Tfrmmain::btnsave, IDC_BTNSAVE, L"BUTTON", button, 0, corvanel::ui::saveButtonText, 392,
         256, 75, 25},
        {&Tfrmmain::edtcopy, IDC_EDTCOPY, L"EDIT", WS_CHILD | ES_LEFT | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE, u"", 394, 24, 73, 21},
    }};
};

namespace {

int scaled(int value96, UINT dpi)
{
    return MulDiv(value96, int(dpi), 96);
}

std::wstring textOf(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    std::wstring text(std::size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(std::size_t(std::max(copied, 0)));
    return text;
}

// Setting a control's text to what it already holds changes nothing and raises no EN_CHANGE;
// every other change raises it at once, before this returns.
void setText(HWND control, std::wstring_view text)
{
    if (textOf(control) == text) {
        return;
    }
    const std::wstring terminated(text);
    SetWindowTextW(control, terminated.c_str());
}

// The wait cursor for as long as it lives; the cursor before it comes back however the scope
// ends.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    HCURSOR m_previous;
};

// The system's message font for a DPI: what Windows uses for dialogs in the user's language.
HFONT createMessageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The height of one line of text in font.
int lineHeight(HWND window, HFONT font)
{
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return int(metrics.tmHeight);
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    // The dialog manager keeps its state here; DefDlgProcW needs it.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_CORVANEL));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_CORVANEL), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = windowClassName;
    RegisterClassExW(&windowClass);
}

// The common dialogs library, loaded on the first "保存" and kept: linked at start it would load
// the shell and the print spooler with it before the window could show.
class CommonDialogs {
public:
    CommonDialogs()
    {
        m_library = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (m_library != nullptr) {
            m_getSaveFileName = function<BOOL(WINAPI *)(LPOPENFILENAMEW)>("GetSaveFileNameW");
            m_extendedError = function<DWORD(WINAPI *)()>("CommDlgExtendedError");
        }
    }

    bool loaded() const { return m_getSaveFileName != nullptr && m_extendedError != nullptr; }
    BOOL getSaveFileName(OPENFILENAMEW &settings) const { return m_getSaveFileName(&settings); }
    DWORD extendedError() const { return m_extendedError(); }

private:
    template <typename Function> Function function(const char *name) const
    {
        // GetProcAddress returns every function as FARPROC; void (*)() converts to any other
        // function pointer without a cast-function-type warning.
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_library, name)));
    }

    HMODULE m_library = nullptr;
    BOOL(WINAPI *m_getSaveFileName)(LPOPENFILENAMEW) = nullptr;
    DWORD(WINAPI *m_extendedError)() = nullptr;
};

constexpr DWORD windowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD windowExStyle = WS_EX_CONTROLPARENT;

} // namespace

Tfrmmain::Tfrmmain(HINSTANCE instance)
{
    registerWindowClass(instance, windowProc);
    frmmain = CreateWindowExW(windowExStyle, windowClassName,
                              wideText(corvanel::ui::applicationTitle).c_str(), windowStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, instance, this);
    if (frmmain == nullptr) {
        return;
    }
    for (const ControlDefinition &definition : Layout::controls) {
        this->*definition.member = CreateWindowExW(
            definition.exStyle, definition.className, wideText(definition.text).c_str(),
            definition.style, 0, 0, 0, 0, frmmain,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
    }
    // No length limits: a pasted result can be far longer than the default 32,767 characters.
    SendMessageW(memcode, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(edtcode, EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(edtcode, edtcodeProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(frmmain, DM_SETDEFID, IDC_BTNFILT, 0);

    layOut(GetDpiForWindow(frmmain));
    // Centred on the work area of the monitor the system chose for the window.
    RECT frame{};
    GetWindowRect(frmmain, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(frmmain, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Never above or left of the work area, so the title bar can be reached.
    const int left = std::max(work.left, work.left + (work.right - work.left - width) / 2);
    const int top = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
    SetWindowPos(frmmain, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    FormCreate();
}

Tfrmmain::~Tfrmmain()
{
    if (frmmain != nullptr && IsWindow(frmmain)) {
        DestroyWindow(frmmain);
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
}

void Tfrmmain::show(int how)
{
    ShowWindow(frmmain, how);
    UpdateWindow(frmmain);
    // As a dialog gives its first control the focus: the default button stays btnfilt.
    SendMessageW(frmmain, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edtcode), TRUE);
}

bool Tfrmmain::translateAccelerator(MSG &msg)
{
    if (msg.hwnd != frmmain && !IsChild(frmmain, msg.hwnd)) {
        return false;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // Escape does nothing in this window (a multi-line edit would otherwise close it).
        if (msg.wParam == VK_ESCAPE) {
            return true;
        }
        // Enter with Shift, Ctrl or Alt held is a line break in memcode and nothing elsewhere.
        const bool modified =
            GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
        if (msg.wParam == VK_RETURN && modified && msg.hwnd != memcode) {
            return true;
        }
    }
    return IsDialogMessageW(frmmain, &msg) != FALSE;
}

LRESULT CALLBACK Tfrmmain::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto *self = reinterpret_cast<Tfrmmain *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->frmmain != window) {
        return DefDlgProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

LRESULT Tfrmmain::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DPICHANGED: {
        layOut(HIWORD(wParam));
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(frmmain, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // DefDlgProcW would turn the close box into IDCANCEL, which this window ignores.
        DestroyWindow(frmmain);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefDlgProcW(frmmain, message, wParam, lParam);
    }
}

void Tfrmmain::onCommand(int id, int notification)
{
    // IDOK and IDCANCEL (Enter with no default button, Escape) and other notifications are
    // not this window's business.
    if (id == IDC_EDTCODE && notification == EN_CHANGE) {
        edtcodeChange();
        return;
    }
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
    case IDC_BTNFILT:
        btnfiltClick();
        break;
    case IDC_BTNCOPY:
        btncopyClick();
        break;
    case IDC_BTNCLOSE:
        btncloseClick();
        break;
    case IDC_BTNSAVE:
        btnsaveClick();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK Tfrmmain::edtcodeProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR selfData)
{
    auto *self = reinterpret_cast<Tfrmmain *>(selfData);
    switch (message) {
    case WM_LBUTTONDOWN: {
        self->edtcodeClick();
        self->edtcodeClicked = true;
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        self->edtcodeClicked = false;
        return result;
    }
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        // Gaining the focus other than by a click (Tab, the window's activation, the program)
        // selects the whole entry, so typing replaces it.
        if (!self->edtcodeClicked) {
            SendMessageW(edit, EM_SETSEL, 0, -1);
        }
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, edtcodeProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

void Tfrmmain::layOut(UINT newDpi)
{
    dpi = newDpi;
    HFONT newFont = createMessageFont(dpi);
    if (newFont != nullptr) {
        if (font != nullptr) {
            DeleteObject(font);
        }
        font = newFont;
    }
    // A label is as tall as the layout says, or as one line of the font where that is taller,
    // so that no caption is cut at the bottom (each label ends where its control begins).
    const int textHeight = font != nullptr ? lineHeight(frmmain, font) : 0;
    for (const ControlDefinition &definition : Layout::controls) {
        HWND control = this->*definition.member;
        int height = scaled(definition.height96, dpi);
        if (definition.className == std::wstring_view(L"STATIC")) {
            height = std::max(height, textHeight);
        }
        SetWindowPos(control, nullptr, scaled(definition.left96, dpi),
                     scaled(definition.top96, dpi), scaled(definition.width96, dpi), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    RECT frame{0, 0, scaled(clientWidth96, dpi), scaled(clientHeight96, dpi)};
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, windowExStyle, dpi);
    SetWindowPos(frmmain, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tfrmmain::btnfiltClick()
{
    guard(frmmain, [this] {
        const std::optional<corvanel::Draw> draw =
            corvanel::validateEntry(utf16Text(textOf(edtcode)));
        if (!draw) {
            corvanel::ui::win32::showMessage(frmmain, wideText(corvanel::entryPrompt));
            setText(edtcode, L"");
            SendMessageW(frmmain, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edtcode), TRUE);
            return;
        }
        const WaitCursor busy;
        const corvanel::ReductionOutcome outcome = corvanel::reduce(*draw);
        setText(memcode, wideText(outcome.resultText));
        setText(lbljushu, wideText(outcome.countCaption));
        setText(lblkj, wideText(outcome.lastDrawCaption));
        setText(edtcode, L"");
        SendMessageW(frmmain, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edtcode), TRUE);
    });
}

void Tfrmmain::FormCreate()
{
    guard(frmmain, [] { corvanel::codetable(); });
}

void Tfrmmain::btncopyClick()
{
    guard(frmmain, [this] {
        // Straight to the clipboard as Unicode text, not through the single-line edtcopy, which
        // would lose the line breaks the user typed into the memo.
        if (!corvanel::output::copyText(frmmain, textOf(memcode))) {
            throw HandlerError(corvanel::ui::win32::clipboardErrorText());
        }
    });
}

void Tfrmmain::btncloseClick()
{
    guard(frmmain, [this] { SendMessageW(frmmain, WM_CLOSE, 0, 0); });
}

void Tfrmmain::edtcodeChange()
{
    guard(frmmain, [this] {
        const std::wstring memo = textOf(memcode);
        const std::wstring entry = textOf(edtcode);
        const corvanel::Verdict verdict = corvanel::checkDraw(utf16Text(memo), utf16Text(entry));
        switch (verdict.kind) {
        case corvanel::Verdict::Kind::BlankResult:
            setText(edtdj, L"");
            break;
        case corvanel::Verdict::Kind::NoChange:
            break;
        case corvanel::Verdict::Kind::Miss:
            setText(edtdj, wideText(corvanel::missText));
            break;
        case corvanel::Verdict::Kind::Hit:
            setText(edtdj, wideText(corvanel::hitText));
            // The edit control counts the text's UTF-16 units, CR and LF each one, as the core
            // does on the same text, so the core's index is the selection's start.
            SendMessageW(memcode, EM_SETSEL, WPARAM(verdict.start),
                         LPARAM(verdict.start + verdict.length));
            SendMessageW(memcode, EM_SCROLLCARET, 0, 0);
            break;
        }
    });
}

void Tfrmmain::edtcodeClick()
{
    guard(frmmain, [this] { setText(edtcode, L""); });
}

void Tfrmmain::btnsaveClick()
{
    guard(frmmain, [this] {
        // Everything is set anew each time, so nothing of an earlier save carries over; the name
        // box starts empty.
        savedlg = {};
        savedlg.initialDir = GetShellFolder(L"Desktop");
        savedlg.filter = wideText(corvanel::ui::textFileFilterName);
        savedlg.filter += L'\0';
        savedlg.filter += wideText(corvanel::ui::textFilePattern);
        savedlg.filter += L'\0';
        // Room for any path Windows can make, long paths included.
        savedlg.fileName.assign(32768, L'\0');
        const std::wstring extension = wideText(corvanel::ui::textFileExtension);

        OPENFILENAMEW &settings = savedlg.settings;
        settings.lStructSize = sizeof settings;
        settings.hwndOwner = frmmain;
        settings.lpstrFilter = savedlg.filter.c_str();
        settings.nFilterIndex = 1;
        settings.lpstrFile = savedlg.fileName.data();
        settings.nMaxFile = DWORD(savedlg.fileName.size());
        settings.lpstrInitialDir =
            savedlg.initialDir.empty() ? nullptr : savedlg.initialDir.c_str();
        settings.lpstrDefExt = extension.c_str();
        // The dialog's ordinary settings; no question before replacing a file.
        settings.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        static const CommonDialogs dialogs;
        if (!dialogs.loaded()) {
            throw HandlerError(corvanel::ui::win32::dialogErrorText(GetLastError()));
        }
        if (!dialogs.getSaveFileName(settings)) {
            // Cancelled (no error) writes nothing and shows nothing.
            if (const DWORD error = dialogs.extendedError(); error != 0) {
                throw HandlerError(corvanel::ui::win32::dialogErrorText(error));
            }
            return;
        }
        const std::wstring path(savedlg.fileName.data());
        const corvanel::output::SaveResult saved =
            corvanel::output::saveText(path, textOf(memcode));
        if (!saved.ok) {
            corvanel::ui::win32::reportError(frmmain, saved.errorText);
            return;
        }
        corvanel::ui::win32::showMessage(frmmain, wideText(corvanel::ui::savedMessage));
    });
}

std::wstring Tfrmmain::GetShellFolder(const std::wstring &name) const
{
    corvanel::output::ShellFolderResult found = corvanel::output::shellFolder(name);
    if (!found.ok) {
        throw HandlerError(std::move(found.errorText));
    }
    return std::move(found.folder);
}
