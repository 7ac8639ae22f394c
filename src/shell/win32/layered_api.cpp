#include "shell/win32/layered_api.h"

#include <string>

#include "shell/win32/popup_menu.h"

namespace tavo {

namespace {

// A procedure address as a typed function pointer.
template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

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

int checkPlatform(HINSTANCE, const TextTable& texts) {
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwMajorVersion < 5) {
        showErrorBox(texts, TextId::UnsupportedWindows, TextId::VersionCaption, std::string());
        return 0;
    }
    if (!loadLayeredApi()) {
        showErrorBox(texts, TextId::ApiImportFailed, TextId::LayeredWindowCaption, std::string());
        return 0;
    }
    return 1;
}

}  // namespace tavo
