#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "session/mascot_session.h"

namespace tavo {

// The mascot's popup menu in GTK, built from the portable menu table in one
// language: the
// submenus in table order, check items for the three choice groups, the
// greyed item, a separator and the exit item. Chosen items report their
// command identifier; closing the menu (with or without a choice) is
// reported separately, before the choice.
class PopupMenu {
public:
    using CommandHandler = std::function<void(int32_t command)>;
    using ClosedHandler = std::function<void()>;

    PopupMenu(CommandHandler onCommand, ClosedHandler onClosed);
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Makes the menu with the labels of the given table; once only, before
    // anything else is asked of it.
    void build(const TextTable& texts);
    // The language the menu was built in.
    const TextTable& texts() const { return *texts_; }

    // Sets the check mark of a choice item; commands that name no check item
    // are ignored. Never reports a command.
    void setChecked(int32_t command, bool checked);

    // Fills the character submenu afresh: one check item per character.
    void setCharacterItems(const std::vector<CharacterMenuItem>& items);

    // Opens the menu at the pointer; false (and no close report) when it
    // could not be opened.
    bool popupAtPointer(const GdkEvent* trigger);
    // Closes the menu if it is open.
    void close();
    bool isOpen() const;

private:
    GtkWidget* commandItem(GtkWidget* item, int32_t command);
    static void onItemActivated(GtkMenuItem* item, gpointer self);
    static void onDeactivated(GtkMenuShell* shell, gpointer self);

    CommandHandler onCommand_;
    ClosedHandler onClosed_;
    const TextTable* texts_ = &kJapaneseTexts;
    GtkWidget* menu_ = nullptr;
    GtkWidget* characterMenu_ = nullptr;  // the submenu the characters go in
    std::map<int32_t, GtkCheckMenuItem*> checkItems_;
    bool settingCheck_ = false;
};

}  // namespace tavo
