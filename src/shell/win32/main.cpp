// Entry point and paced frame loop of tavo_3d.exe.
#include <windows.h>
#include <mmsystem.h>

#include "behaviour/frame_clock.h"
#include "shell/win32/frame_step.h"
#include "shell/win32/layered_api.h"
#include "shell/win32/program.h"
#include "shell/win32/window_procedure.h"

namespace tavo {

namespace {

const char kWindowName[] = "Tavo_3D";

void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kWindowName;
    RegisterClassExA(&windowClass);
}

// The window's real place and size come with every presentation.
HWND createMascotWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWindowName, kWindowName,
                           WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                           instance, nullptr);
}

// Messages are drained without sleeping; an empty queue runs at most one due
// frame step and then sleeps 1 ms.
WPARAM runMessageLoop(HWND window) {
    Program& run = program();
    MSG message;
    ZeroMemory(&message, sizeof message);
    FrameClock clock;
    clock.start(GetTickCount());
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (run.resyncClock) {
            clock.requestResync();
            run.resyncClock = false;
        }
        if (clock.stepDue(GetTickCount(), run.state.frameIntervalMs)) {
            frameStep(window);
            clock.advance(run.state.frameIntervalMs);
        }
        Sleep(1);
    }
    return message.wParam;
}

}  // namespace

}  // namespace tavo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace tavo;
    if (!checkPlatform(instance)) return 0;
    registerWindowClass(instance);
    HWND window = createMascotWindow(instance);

    TIMECAPS caps;
    ZeroMemory(&caps, sizeof caps);
    timeGetDevCaps(&caps, sizeof caps);
    timeBeginPeriod(caps.wPeriodMin);

    const WPARAM exitCode = runMessageLoop(window);

    timeEndPeriod(caps.wPeriodMin);
    freeLayeredApi();
    return static_cast<int>(exitCode);
}
