#include "shell/win32/layered_api.h"

namespace tavo {

namespace {

// A procedure address as a typed function pointer.
template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const char kVersionText[] =
    "\x82\xB1\x82\xCC\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x82\xCC" "Windows"
    "\x82\xC5\x82\xCD\x93\xAE\x8D\xEC\x82\xB5\x82\xDC\x82\xB9\x82\xF1\x81\x42";
    /* このバージョンのWindowsでは動作しません。 */
const char kImportText[] =
    "API \x82\xCC\x83\x43\x83\x93\x83\x7C\x81\x5B\x83\x67\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC"
    "\x82\xB5\x82\xBD\x81\x42";
    /* API のインポートに失敗しました。 */

}  // namespace

LayeredApi& layeredApi() {
    static LayeredApi api;
    return api;
}

int loadLayeredApi() {
    LayeredApi& api = layeredApi();
    api.module = LoadLibraryA("USER32.DLL");
    if (api.module == nullptr) return 0;
    api.setLayeredWindowAttributes =
        lookUp<SetLayeredWindowAttributesFunction>(api.module, "SetLayeredWindowAttributes");
    api.updateLayeredWindow = lookUp<UpdateLayeredWindowFunction>(api.module, "UpdateLayeredWindow");
    return api.setLayeredWindowAttributes != nullptr && api.updateLayeredWindow != nullptr ? 1 : 0;
}

void freeLayeredApi() {
    LayeredApi& api = layeredApi();
    if (api.module == nullptr) return;
    api.updateLayeredWindow = nullptr;
    api.setLayeredWindowAttributes = nullptr;
    FreeLibrary(api.module);
    api.module = nullptr;
}

int checkPlatform(HINSTANCE) {
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwMajorVersion < 5) {
        MessageBoxA(nullptr, kVersionText, "Version", MB_ICONERROR);
        return 0;
    }
    if (!loadLayeredApi()) {
        MessageBoxA(nullptr, kImportText, "LayeredWindow", MB_ICONERROR);
        return 0;
    }
    return 1;
}

}  // namespace tavo
