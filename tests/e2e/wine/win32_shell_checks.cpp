// Checks of the Win32 shell pieces that only a Windows API can exercise: the
// off-screen surface and its GL context, the popup menu, the settings file
// and the layered-window table. Built by the mingw preset and run under Wine
// by wine_desktop_test.py; prints one line per failed check and exits with
// the number of failures.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/gl_api.h"
#include "resources/wide_text.h"
#include "shell/win32/gl_context.h"
#include "shell/win32/layered_api.h"
#include "shell/win32/offscreen_surface.h"
#include "shell/win32/popup_menu.h"
#include "shell/win32/settings_file.h"
#include "system/user_languages.h"

namespace tavo {
namespace {

int failures = 0;
int passes = 0;

void expect(bool condition, const char* what, int line) {
    if (condition) {
        ++passes;
    } else {
        ++failures;
        std::printf("FAILED line %d: %s\n", line, what);
    }
}
#define EXPECT(condition) expect((condition), #condition, __LINE__)

bool allZero(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

void surfaceCreationAndRelease() {
    OffscreenSurface surface;
    std::memset(&surface, 0xA5, sizeof surface);
    OffscreenSurface untouched = surface;
    EXPECT(createOffscreenSurface(surface, 400, 360, 4) == 0);
    EXPECT(std::memcmp(&surface, &untouched, sizeof surface) == 0);

    EXPECT(createOffscreenSurface(surface, 400, -360, 32) == 1);
    EXPECT((surface.flags & kSurfaceTopDown) != 0);
    EXPECT(surface.bitmapInfo->bmiHeader.biHeight == 360);
    EXPECT(GlobalSize(surface.bitmapInfo) >= 1064);
    EXPECT(surface.colourTable == surface.bitmapInfo->bmiColors);
    EXPECT(surface.palette == nullptr);
    destroyOffscreenSurface(surface);
    EXPECT(allZero(&surface, sizeof surface));
    destroyOffscreenSurface(surface);  // a zeroed record releases nothing
    EXPECT(allZero(&surface, sizeof surface));

    EXPECT(createOffscreenSurface(surface, 64, 64, 8) == 1);
    EXPECT(surface.palette != nullptr);
    EXPECT(surface.bitmapInfo->bmiHeader.biClrUsed == 256);
    PALETTEENTRY entries[256];
    EXPECT(GetPaletteEntries(surface.palette, 0, 256, entries) == 256);
    bool blackBelow255 = true;
    for (int i = 0; i < 255; ++i) {
        blackBelow255 = blackBelow255 && entries[i].peRed == 0 && entries[i].peGreen == 0 &&
                        entries[i].peBlue == 0;
    }
    EXPECT(blackBelow255);
    EXPECT(entries[255].peRed == 255 && entries[255].peGreen == 255 && entries[255].peBlue == 255);
    destroyOffscreenSurface(surface);
    EXPECT(allZero(&surface, sizeof surface));
}

// OpenGL draws into the DIB: the first row in memory is the bottom row of
// the picture, pixels are blue, green, red, fourth byte.
void contextRendersBottomUpIntoTheSurface() {
    OffscreenSurface surface{};
    EXPECT(createOffscreenSurface(surface, 400, 360, 32) == 1);
    HGLRC context = createSurfaceContext(surface);
    EXPECT(context != nullptr);
    EXPECT(wglGetCurrentContext() == context);
    if (context != nullptr && surface.bits != nullptr) {
        glViewport(0, 0, 400, 360);
        glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 400, 1);  // the bottom row in red
        glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
        const uint8_t* first = surface.bits;
        const uint8_t* last = surface.bits + 359 * 1600;
        EXPECT(first[0] == 0 && first[1] == 0 && first[2] == 255);
        EXPECT(first[1596] == 0 && first[1598] == 255);
        EXPECT(last[0] == 255 && last[1] == 0 && last[2] == 0);
        GLint depthBits = 0;
        glGetIntegerv(GL_DEPTH_BITS, &depthBits);
        EXPECT(depthBits >= 16);
    }
    releaseSurfaceContext(surface, context);
    EXPECT(wglGetCurrentContext() == nullptr);
    destroyOffscreenSurface(surface);
}

// A label as UTF-8, read through the wide API.
std::string menuLabel(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return utf8FromWide(text);
}

void popupMenuLayoutAndCheckMarks() {
    HMENU characters = nullptr;
    HMENU menu = buildPopupMenu(kJapaneseTexts, &characters);
    EXPECT(GetMenuItemCount(menu) == 9);
    EXPECT(GetMenuItemCount(GetSubMenu(menu, 0)) == 4);
    EXPECT(GetMenuItemCount(GetSubMenu(menu, 1)) == 4);
    EXPECT(GetMenuItemCount(GetSubMenu(menu, 2)) == 3);
    EXPECT(characters != nullptr && GetSubMenu(menu, 3) == characters);
    EXPECT(menuLabel(menu, 4) == "サイズ");
    EXPECT(GetMenuItemCount(GetSubMenu(menu, 4)) == 5);
    EXPECT(GetMenuItemID(GetSubMenu(menu, 4), 4) == 4164);
    EXPECT(menuLabel(GetSubMenu(menu, 4), 2) == "100%");
    EXPECT(GetMenuItemID(menu, 5) == 4177);
    EXPECT(menuLabel(menu, 5) == "全画面のときは隠れる");
    EXPECT(GetMenuItemID(menu, 6) == 4176);
    EXPECT(menuLabel(menu, 6) == "ログイン時に起動");
    EXPECT((GetMenuState(menu, 7, MF_BYPOSITION) & MF_SEPARATOR) != 0);
    EXPECT(GetMenuItemID(menu, 8) == 4096);
    EXPECT(menuLabel(menu, 8) == "終了");
    EXPECT(menuLabel(menu, 0) == "描画回数");
    EXPECT(menuLabel(menu, 3) == "キャラクター");
    EXPECT(menuLabel(GetSubMenu(menu, 1), 3) == "何をするだァー");
    EXPECT(menuLabel(GetSubMenu(menu, 0), 2) == "20fps");
    EXPECT(GetMenuItemID(GetSubMenu(menu, 2), 2) == 4146);
    EXPECT((GetMenuState(menu, 4128, MF_BYCOMMAND) & MF_GRAYED) != 0);
    EXPECT((GetMenuState(menu, 4129, MF_BYCOMMAND) & MF_GRAYED) == 0);

    // Character names are UTF-8 and reach the menu as wide text; filling it
    // again replaces the items.
    fillCharacterMenu(characters, {{0x1100, "Tavo", false}, {0x1101, "\xE3\x81\xA1\xE3\x81\xB3", true}});
    fillCharacterMenu(characters, {{0x1100, "Tavo", false}, {0x1101, "\xE3\x81\xA1\xE3\x81\xB3", true}});
    wchar_t name[16] = {};
    GetMenuStringW(characters, 1, name, 16, MF_BYPOSITION);
    EXPECT(GetMenuItemCount(characters) == 2);
    EXPECT(std::wstring(name) == L"\x3061\x3073");  // ちび
    EXPECT((GetMenuState(menu, 0x1101, MF_BYCOMMAND) & MF_CHECKED) != 0);
    EXPECT((GetMenuState(menu, 0x1100, MF_BYCOMMAND) & MF_CHECKED) == 0);

    const TextTable* texts = &kJapaneseTexts;
    PopupMenuServices services(menu, texts);
    services.checkMenuItem(4114, true);
    EXPECT((GetMenuState(menu, 4114, MF_BYCOMMAND) & MF_CHECKED) != 0);
    services.checkMenuItem(4114, false);
    EXPECT((GetMenuState(menu, 4114, MF_BYCOMMAND) & MF_CHECKED) == 0);
    services.checkMenuItem(4112 + 9, false);  // a raw value that names no item
    services.checkMenuItem(4128 - 1, true);
    EXPECT(GetMenuItemCount(menu) == 9);
    DestroyMenu(menu);

    // The same menu in English: the same items and identifiers.
    HMENU english = buildPopupMenu(kEnglishTexts);
    EXPECT(GetMenuItemCount(english) == 9);
    EXPECT(menuLabel(english, 0) == "Frame rate");
    EXPECT(menuLabel(english, 3) == "Character");
    EXPECT(menuLabel(english, 4) == "Size");
    EXPECT(menuLabel(english, 5) == "Hide for full-screen programs");
    EXPECT(menuLabel(english, 8) == "Exit");
    EXPECT(menuLabel(GetSubMenu(english, 0), 2) == "20fps");
    EXPECT(GetMenuItemID(GetSubMenu(english, 2), 2) == 4146);
    EXPECT((GetMenuState(english, 4128, MF_BYCOMMAND) & MF_GRAYED) != 0);
    DestroyMenu(english);
}

std::string settingsPathBesideExe() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.rfind('\\') + 1) + "tavo_3d.ini";
}

std::string fileText(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[512];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

void settingsFileBesideTheExecutable() {
    const std::string path = settingsPathBesideExe();
    DeleteFileA(path.c_str());
    StoredSettings state = readSettings();  // no file: the defaults
    EXPECT(state.frameSpeed == 0 && state.escapeSpeed == 1 && state.actionSpeed == 0);

    state.frameSpeed = 2;
    state.escapeSpeed = -1;
    state.actionSpeed = 1;
    writeSettings(state);
    const std::string text = fileText(path);
    EXPECT(text.find("[Mode]") != std::string::npos);
    EXPECT(text.find("FrameSpeed=2") != std::string::npos);
    EXPECT(text.find("EscapeSpeed=-1") != std::string::npos);
    EXPECT(text.find("ActionSpeed=1") != std::string::npos);
    EXPECT(text.find("FrameSpeed") < text.find("EscapeSpeed"));
    EXPECT(text.find("EscapeSpeed") < text.find("ActionSpeed"));

    StoredSettings again = readSettings();
    EXPECT(again.frameSpeed == 2 && again.escapeSpeed == -1 && again.actionSpeed == 1);
    EXPECT(again.language.empty());

    // Language= is the user's: it is read, and the program's writes keep it.
    WritePrivateProfileStringW(L"Mode", L"Language", L"en", wideFromUtf8(path).c_str());
    writeSettings(again);
    EXPECT(readSettings().language == "en");
    DeleteFileA(path.c_str());
}

// The interface language Windows reports follows the one the desktop runs in.
void userInterfaceLanguage() {
    const std::vector<std::string> languages = userLanguages();
    EXPECT(languages.size() == 1);
    const char* lang = std::getenv("LANG");
    if (lang != nullptr && languages.size() == 1) {
        EXPECT(languages[0] == std::string(lang).substr(0, 2));
    }
}

void layeredWindowTable() {
    EXPECT(checkPlatform(GetModuleHandleA(nullptr), kEnglishTexts) == 1);
    EXPECT(layeredApi().module != nullptr);
    EXPECT(layeredApi().updateLayeredWindow != nullptr);
    EXPECT(layeredApi().setLayeredWindowAttributes != nullptr);
    freeLayeredApi();
    EXPECT(layeredApi().module == nullptr);
    EXPECT(layeredApi().updateLayeredWindow == nullptr);
    EXPECT(layeredApi().setLayeredWindowAttributes == nullptr);
    freeLayeredApi();  // not loaded: nothing to do
    EXPECT(layeredApi().module == nullptr);
}

}  // namespace
}  // namespace tavo

int main() {
    using namespace tavo;
    surfaceCreationAndRelease();
    contextRendersBottomUpIntoTheSurface();
    popupMenuLayoutAndCheckMarks();
    settingsFileBesideTheExecutable();
    layeredWindowTable();
    userInterfaceLanguage();
    std::printf("%d checks passed, %d failed\n", passes, failures);
    return failures;
}
