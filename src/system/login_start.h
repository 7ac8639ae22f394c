#pragma once

#include <string>

namespace tavo {

// Whether the program starts when the user logs in. The platform keeps that
// in its own place: on Linux a desktop entry in the autostart folder
// ($XDG_CONFIG_HOME/autostart/tavo_3d.desktop), on Windows the value
// "Tavo_3D" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
// One implementation per platform.

// The state as the platform has it now.
bool startsAtLogin();
// Makes the program start at login (with the running executable's absolute
// path) or stop doing so. False with the reason (what failed and where, in
// UTF-8) when the change could not be made; nothing is then half done.
bool setStartAtLogin(bool enabled, std::string& reason);

}  // namespace tavo
