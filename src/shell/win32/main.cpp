// Entry point and paced frame loop of tavo_3d.exe.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/command_line.h"
#include "system/program_arguments.h"
#include "behaviour/frame_clock.h"
#include "resources/wide_text.h"
#include "shell/win32/layered_api.h"
#include "shell/win32/program.h"
#include "shell/win32/settings_file.h"
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

// Pixels are the screen's own on every monitor, so the figure is drawn
// sharp at the monitor's scale instead of being stretched by the system:
// per-monitor awareness (version 2 from Windows 10 1703), else the
// Windows 8.1 kind, else system-wide awareness. Looked up, so older systems
// run; a refusal (Wine makes every program aware already) is harmless.
void becomeDpiAware() {
    using ContextFunction = BOOL(WINAPI*)(HANDLE);
    using AwarenessFunction = HRESULT(WINAPI*)(int);
    using AwareFunction = BOOL(WINAPI*)();
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto setContext = reinterpret_cast<ContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (setContext != nullptr && setContext(perMonitorV2)) return;
    const HMODULE shcore = LoadLibraryA("shcore.dll");
    const auto setAwareness = shcore == nullptr ? nullptr
        : reinterpret_cast<AwarenessFunction>(reinterpret_cast<void*>(GetProcAddress(shcore, "SetProcessDpiAwareness")));
    if (setAwareness != nullptr && setAwareness(2 /* per monitor */) == S_OK) return;
    const auto setAware = reinterpret_cast<AwareFunction>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setAware != nullptr) setAware();
}

// The window's real place and size come with every presentation. A tool
// window stays out of the taskbar and Alt-Tab; it never takes the focus
// from the user's window (only the menu, while it is open, has the keyboard),
// so it is made hidden and shown without activation.
HWND createMascotWindow(HINSTANCE instance) {
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                  kWindowName, kWindowName, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (window != nullptr) ShowWindow(window, SW_SHOWNA);
    return window;
}

// Messages are drained without sleeping; an empty queue runs at most one due
// frame step and then waits, at least 1 ms, until a message comes or the next
// step is due. Steps that fell behind follow one per millisecond, as with a
// plain 1 ms sleep, but an idle loop wakes once a frame and not every
// millisecond.
WPARAM runMessageLoop() {
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
        if (run.host.resyncClock) {
            clock.requestResync();
            run.host.resyncClock = false;
        }
        if (clock.stepDue(GetTickCount(), run.session.state().frameIntervalMs)) {
            run.session.step();
            clock.advance(run.session.state().frameIntervalMs);
        }
        const DWORD wait = std::max<DWORD>(1, clock.msUntilDue(GetTickCount(), run.session.state().frameIntervalMs));
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return message.wParam;
}

// A GUI program has no console: the usage and the version go to a box.
void showText(const std::string& text, UINT icon) {
    MessageBoxW(nullptr, wideFromUtf8(text).c_str(), L"Tavo_3D", MB_OK | icon);
}

}  // namespace

}  // namespace tavo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace tavo;
    becomeDpiAware();
    CommandLine options;
    std::string error;
    if (!parseCommandLine(programArguments(0, nullptr), options, error)) {
        showText(error + "\n\n" + commandLineUsage(), MB_ICONERROR);
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        showText(options.showHelp ? commandLineUsage() : versionLine(), MB_ICONINFORMATION);
        return 0;
    }
    if (!checkPlatform(instance, shownTexts(readSettings()))) return 0;
    program().characterPath = options.characterPath;
    registerWindowClass(instance);
    createMascotWindow(instance);

    TIMECAPS caps;
    ZeroMemory(&caps, sizeof caps);
    timeGetDevCaps(&caps, sizeof caps);
    timeBeginPeriod(caps.wPeriodMin);

    const WPARAM exitCode = runMessageLoop();

    timeEndPeriod(caps.wPeriodMin);
    freeLayeredApi();
    return static_cast<int>(exitCode);
}
