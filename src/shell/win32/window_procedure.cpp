#include "shell/win32/window_procedure.h"

#include "behaviour/menu_commands.h"
#include "shell/win32/program.h"
#include "shell/win32/window_lifecycle.h"

namespace tavo {

namespace {

constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later

// Opens the menu at the click's screen position; its choice arrives as
// WM_COMMAND. The menu is modal, so the frame clock restarts afterwards.
// While it is open the window is in front, so the menu has the keyboard and
// closes on a click elsewhere (the posted message lets it close at once);
// afterwards the window the user was in gets the focus back.
void openPopupMenu(HWND window, LPARAM lParam) {
    Program& run = program();
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    fillCharacterMenu(run.host.characterMenu, run.session.refreshCharacterMenu());
    const HWND userWindow = GetForegroundWindow();
    SetForegroundWindow(window);
    TrackPopupMenu(run.host.popupMenu, 0, x, y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    if (userWindow != nullptr && userWindow != window && GetForegroundWindow() == window) {
        SetForegroundWindow(userWindow);
    }
    run.host.resyncClock = true;
}

void onCommand(HWND window, WPARAM wParam) {
    Program& run = program();
    const int32_t command = LOWORD(wParam);
    if (run.session.handleCommand(command) == CommandResult::Exit) {
        DestroyWindow(window);
    }
}

}  // namespace

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        PostQuitMessage(0);
        return 0;
    case WM_NCHITTEST:
        return HTCAPTION;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // a click on the figure leaves the focus where it is
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        openPopupMenu(window, lParam);
        return 0;
    case WM_COMMAND:
        onCommand(window, wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        program().host.layoutChanged();
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) program().host.layoutChanged();
        return DefWindowProcA(window, message, wParam, lParam);
    case kDpiChangedMessage:
        // The window went onto a monitor of another scale: the session sizes
        // it from the layout, which says so, rather than taking the
        // suggested rectangle.
        program().host.layoutChanged();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace tavo
