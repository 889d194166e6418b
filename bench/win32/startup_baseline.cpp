// The baseline for the Windows start-up figure: a bare Win32 window of Corvanel's size and title
// showing one Chinese label in the system's message font, so that loading a CJK font is paid on
// both sides. No dialog manager, no common controls, no resources.

#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"Corvanel.Baseline";
    RegisterClassW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, 491, 348};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Corvanel", style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    HWND label = CreateWindowExW(0, L"STATIC", L"缩水结果：", WS_CHILD | WS_VISIBLE | SS_LEFT, 16,
                                 8, 137, 14, window, nullptr, instance, nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(font);
    return 0;
}
