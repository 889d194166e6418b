#include "ui/win32/u_main.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Tfrmmain frmmain(instance);
    if (frmmain.handle() == nullptr) {
        return 1;
    }
    frmmain.show(show);

    MSG msg{};
    BOOL got = FALSE;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            return 1;
        }
        if (!frmmain.translateAccelerator(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
