#include "shell/win32/popup_menu.h"

#include "behaviour/menu_commands.h"
#include "resources/wide_text.h"

namespace tavo {

HMENU buildPopupMenu(const TextTable& texts, HMENU* characterMenu) {
    HMENU popup = CreatePopupMenu();
    int32_t count = 0;
    const MenuEntry* entries = menuEntries(count);
    HMENU submenu = nullptr;
    std::wstring submenuLabel;
    for (int32_t i = 0; i < count; ++i) {
        const MenuEntry& entry = entries[i];
        HMENU target = submenu != nullptr ? submenu : popup;
        switch (entry.kind) {
        case MenuEntry::Submenu:
            submenu = CreateMenu();
            submenuLabel = wideFromUtf8(texts.utf8(entry.label));
            break;
        case MenuEntry::EndSubmenu:
            AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), submenuLabel.c_str());
            submenu = nullptr;
            break;
        case MenuEntry::CharacterList:
            if (characterMenu != nullptr) *characterMenu = submenu;
            break;
        case MenuEntry::Separator:
            AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuEntry::Item:
            AppendMenuW(target, MF_STRING, static_cast<UINT_PTR>(entry.command),
                        wideFromUtf8(texts.utf8(entry.label)).c_str());
            break;
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].kind == MenuEntry::Item && entries[i].grayed) {
            EnableMenuItem(popup, static_cast<UINT>(entries[i].command), MF_BYCOMMAND | MF_GRAYED);
        }
    }
    return popup;
}

void fillCharacterMenu(HMENU menu, const std::vector<CharacterMenuItem>& items) {
    if (menu == nullptr) return;
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    for (const CharacterMenuItem& item : items) {
        AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(item.command), wideFromUtf8(item.label).c_str());
    }
}

void PopupMenuServices::checkMenuItem(int32_t command, bool checked) {
    // An identifier that names no item (a raw settings value) changes nothing.
    CheckMenuItem(menu_, static_cast<UINT>(command),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void PopupMenuServices::showErrorBox(TextId text, TextId caption, const std::string& detail) {
    tavo::showErrorBox(*texts_, text, caption, detail);
}

void showErrorBox(const TextTable& texts, TextId text, TextId caption, const std::string& detail) {
    const std::string shown = detail.empty() ? texts.utf8(text) : texts.utf8(text) + "\n" + detail;
    MessageBoxW(nullptr, wideFromUtf8(shown).c_str(), wideFromUtf8(texts.utf8(caption)).c_str(), MB_ICONERROR);
}

}  // namespace tavo
