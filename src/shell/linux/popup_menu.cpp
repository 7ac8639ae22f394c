#include "shell/linux/popup_menu.h"

#include <string>
#include <vector>

#include "behaviour/menu_commands.h"

namespace tavo {

namespace {

const char kCommandKey[] = "tavo-command";

bool isChoiceCommand(int32_t command) { return command != kCommandExit; }

GtkWidget* labelledItem(const MenuEntry& entry, const TextTable& texts) {
    const std::string label = texts.utf8(entry.label);
    if (isChoiceCommand(entry.command)) {
        return gtk_check_menu_item_new_with_label(label.c_str());
    }
    return gtk_menu_item_new_with_label(label.c_str());
}

}  // namespace

PopupMenu::PopupMenu(CommandHandler onCommand, ClosedHandler onClosed)
    : onCommand_(std::move(onCommand)), onClosed_(std::move(onClosed)) {}

PopupMenu::~PopupMenu() {
    if (menu_ != nullptr) {
        gtk_widget_destroy(menu_);
        g_object_unref(menu_);
    }
}

void PopupMenu::build(const TextTable& texts) {
    if (menu_ != nullptr) return;
    texts_ = &texts;
    menu_ = gtk_menu_new();
    g_object_ref_sink(menu_);
    g_signal_connect(menu_, "deactivate", G_CALLBACK(onDeactivated), this);

    int32_t count = 0;
    const MenuEntry* entries = menuEntries(count);
    std::vector<GtkWidget*> open{menu_};
    for (int32_t i = 0; i < count; ++i) {
        const MenuEntry& entry = entries[i];
        GtkWidget* parent = open.back();
        switch (entry.kind) {
        case MenuEntry::Submenu: {
            GtkWidget* item = gtk_menu_item_new_with_label(texts.utf8(entry.label).c_str());
            GtkWidget* submenu = gtk_menu_new();
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
            gtk_menu_shell_append(GTK_MENU_SHELL(parent), item);
            open.push_back(submenu);
            break;
        }
        case MenuEntry::EndSubmenu:
            if (open.size() > 1) open.pop_back();
            break;
        case MenuEntry::Separator:
            gtk_menu_shell_append(GTK_MENU_SHELL(parent), gtk_separator_menu_item_new());
            break;
        case MenuEntry::CharacterList:
            characterMenu_ = parent;
            break;
        case MenuEntry::Item: {
            GtkWidget* item = commandItem(labelledItem(entry, texts), entry.command);
            gtk_widget_set_sensitive(item, !entry.grayed);
            if (isChoiceCommand(entry.command)) {
                checkItems_[entry.command] = GTK_CHECK_MENU_ITEM(item);
            }
            gtk_menu_shell_append(GTK_MENU_SHELL(parent), item);
            break;
        }
        }
    }
    gtk_widget_show_all(menu_);
}

GtkWidget* PopupMenu::commandItem(GtkWidget* item, int32_t command) {
    g_object_set_data(G_OBJECT(item), kCommandKey, GINT_TO_POINTER(command));
    g_signal_connect(item, "activate", G_CALLBACK(onItemActivated), this);
    return item;
}

void PopupMenu::setCharacterItems(const std::vector<CharacterMenuItem>& items) {
    if (characterMenu_ == nullptr) {
        return;
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(characterMenu_));
    for (GList* child = children; child != nullptr; child = child->next) {
        gtk_widget_destroy(GTK_WIDGET(child->data));
    }
    g_list_free(children);
    settingCheck_ = true;
    for (const CharacterMenuItem& entry : items) {
        // Names are UTF-8 already; no mnemonics, so an underscore stays one.
        GtkWidget* item = commandItem(gtk_check_menu_item_new_with_label(entry.label.c_str()), entry.command);
        gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(item), TRUE);
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), entry.checked);
        gtk_menu_shell_append(GTK_MENU_SHELL(characterMenu_), item);
        gtk_widget_show(item);
    }
    settingCheck_ = false;
}

void PopupMenu::setChecked(int32_t command, bool checked) {
    const auto found = checkItems_.find(command);
    if (found == checkItems_.end()) {
        return;
    }
    // Setting the state activates the item in GTK; that is not a choice.
    settingCheck_ = true;
    gtk_check_menu_item_set_active(found->second, checked);
    settingCheck_ = false;
}

bool PopupMenu::popupAtPointer(const GdkEvent* trigger) {
    if (menu_ == nullptr) return false;
    gtk_menu_popup_at_pointer(GTK_MENU(menu_), trigger);
    return gtk_widget_get_visible(menu_);
}

void PopupMenu::close() {
    if (isOpen()) {
        gtk_menu_popdown(GTK_MENU(menu_));
    }
}

bool PopupMenu::isOpen() const { return menu_ != nullptr && gtk_widget_get_visible(menu_); }

void PopupMenu::onItemActivated(GtkMenuItem* item, gpointer self) {
    PopupMenu* menu = static_cast<PopupMenu*>(self);
    if (menu->settingCheck_) {
        return;
    }
    menu->onCommand_(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCommandKey)));
}

void PopupMenu::onDeactivated(GtkMenuShell*, gpointer self) { static_cast<PopupMenu*>(self)->onClosed_(); }

}  // namespace tavo
