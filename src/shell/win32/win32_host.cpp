#include "shell/win32/win32_host.h"

#include "resources/wide_text.h"
#include "session/mascot_session.h"
#include "shell/win32/gl_context.h"
#include "shell/win32/layered_api.h"
#include "shell/win32/settings_file.h"

namespace tavo {

CursorPosition Win32Host::cursor() {
    POINT point{0, 0};
    GetCursorPos(&point);
    return {static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
}

namespace {

struct FoundMonitors {
    DesktopLayout primary;
    DesktopLayout others;
};

// A monitor's scale in per cent from its effective DPI (Windows 8.1 and
// later; looked up, so older systems run), else the system's DPI.
int32_t monitorScalePercent(HMONITOR monitor) {
    using DpiFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const HMODULE shcore = LoadLibraryA("shcore.dll");
    static const DpiFunction dpiForMonitor = shcore == nullptr ? nullptr
        : reinterpret_cast<DpiFunction>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (dpiForMonitor == nullptr || dpiForMonitor(monitor, 0 /* effective */, &dpiX, &dpiY) != S_OK) {
        const HDC screen = GetDC(nullptr);
        dpiX = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpiX > 0 ? static_cast<int32_t>((dpiX * 100 + 48) / 96) : DesktopLayout::kNormalScale;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    FoundMonitors& found = *reinterpret_cast<FoundMonitors*>(data);
    MONITORINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        const ScreenRect area{work.left, work.top, work.right - work.left, work.bottom - work.top};
        ((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? found.primary : found.others).add(area, monitorScalePercent(monitor));
    }
    return TRUE;
}

// Every monitor's work area, the primary first. One monitor is the screen
// the program has always walked: SM_CXFULLSCREEN x SM_CYFULLSCREEN.
DesktopLayout readDesktopLayout() {
    FoundMonitors found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.primary.count() + found.others.count() <= 1) {
        const DesktopLayout& only = found.primary.count() > 0 ? found.primary : found.others;
        const int32_t scale = only.count() > 0 ? only.scalePercent(0) : DesktopLayout::kNormalScale;
        return DesktopLayout::singleScreen(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN), scale);
    }
    DesktopLayout layout = found.primary;
    for (int32_t i = 0; i < found.others.count(); ++i) layout.add(found.others.monitor(i), found.others.scalePercent(i));
    return layout;
}

// The desktop, the shell's own windows and the desktop window Wine reports
// when none of its windows is active are never full-screen programs.
bool isDesktopOrShell(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"#32769"}) {
        if (lstrcmpiW(name, shell) == 0) return true;
    }
    return false;
}

// What the shell says (Vista and later; looked up, so older systems run):
// busy with a full-screen program, a Direct3D one, or presentation mode.
enum class ShellState { Free, FullScreen, Presenting };

ShellState shellNotificationState() {
    using QueryFunction = HRESULT(WINAPI*)(int*);
    static const QueryFunction query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("shell32.dll"), "SHQueryUserNotificationState")));
    int state = 0;
    if (query == nullptr || query(&state) != S_OK) return ShellState::Free;
    if (state == 2 || state == 3) return ShellState::FullScreen;  // busy, Direct3D full-screen
    return state == 4 ? ShellState::Presenting : ShellState::Free;
}

// The window's client area in screen coordinates (a maximised window's frame
// overhangs its monitor; its client area does not).
RECT clientOnScreen(HWND window) {
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

bool Win32Host::fullScreenWindowOn(const ScreenRect& area) {
    const POINT centre{area.x + area.width / 2, area.y + area.height / 2};
    const HMONITOR monitor = MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return false;
    const ShellState shell = shellNotificationState();
    if (shell == ShellState::Presenting) return true;
    const HWND front = GetForegroundWindow();
    if (front == nullptr || front == window || isDesktopOrShell(front)) return false;
    if (MonitorFromWindow(front, MONITOR_DEFAULTTONULL) != monitor) return false;
    if (shell == ShellState::FullScreen) return true;
    const RECT client = clientOnScreen(front);
    const RECT& whole = info.rcMonitor;
    return client.left <= whole.left && client.top <= whole.top && client.right >= whole.right &&
           client.bottom >= whole.bottom;
}

// Without activation either way: hiding the active window would hand the
// activation on (and wait for the other program to answer).
void Win32Host::showWindow(bool shown) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

const DesktopLayout& Win32Host::desktopLayout(uint32_t nowMs) {
    if (layoutWatch_.pollDue(nowMs)) layoutWatch_.offer(readDesktopLayout(), nowMs);
    return layoutWatch_.current();
}

uint8_t* Win32Host::createSurface(int32_t width, int32_t height) {
    surfaceSize_ = {width, height};
    createOffscreenSurface(surface, width, height, 32);
    glContext = createSurfaceContext(surface);
    return glContext != nullptr ? surface.bits : nullptr;
}

void Win32Host::releaseSurface() {
    releaseSurfaceContext(surface, glContext);
    glContext = nullptr;
    destroyOffscreenSurface(surface);
}

// The colour-keyed pixels carry premultiplied alpha, so the window shows only
// the figure; the surface's memory DC holds them.
void Win32Host::present(const uint8_t*, WindowPosition at) {
    UpdateLayeredWindowFunction update = layeredApi().updateLayeredWindow;
    if (update == nullptr) return;
    POINT destination{at.x, at.y};
    SIZE size = surfaceSize_;
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    update(window, nullptr, &destination, &size, surface.memoryDc, &source, 0, &blend, ULW_ALPHA);
    keepOnTop();
}

// Other topmost windows (the taskbar above all) may be put over the mascot:
// every few seconds it goes back on top, without taking the focus.
void Win32Host::keepOnTop() {
    const DWORD now = GetTickCount();
    if (toppedAtMs != 0 && now - toppedAtMs < kTopmostEveryMs) return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    toppedAtMs = now != 0 ? now : 1;
}

void Win32Host::createMenu(const TextTable& shown) {
    texts = &shown;
    popupMenu = buildPopupMenu(shown, &characterMenu);
}

StoredSettings Win32Host::readSettings() { return tavo::readSettings(); }

void Win32Host::writeSettings(const StoredSettings& settings) { tavo::writeSettings(settings); }

void Win32Host::reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) {
    if (!showBox) return;
    MessageBoxW(nullptr, wideFromUtf8(characterProblemText(*texts, path, reason)).c_str(),
                wideFromUtf8(characterProblemCaption(*texts)).c_str(), MB_ICONERROR);
    resyncClock = true;
}

}  // namespace tavo
