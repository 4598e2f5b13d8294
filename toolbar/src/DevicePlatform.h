// The handheld's services the settings dialog needs: the shortcut in the start-up folder and the
// restart of the device. Tests replace the restart, which would end the whole session.
#pragma once

#include <functional>
#include <string>

namespace deviceplatform {

// The start-up folder's shortcut named after this program's file title ("OvrinToolbar.lnk").
std::wstring StartupShortcutPath();
// Writes the start-up shortcut at path: a shell link to the launcher with the toolbar's quoted path as
// its argument; false on failure.
bool CreateStartupShortcut(const std::wstring& path, const std::wstring& toolbarPath);

void RestartDevice();
// Replaces the restart (null puts the system's back).
void SetRestartHandler(std::function<void()> handler);

} // namespace deviceplatform
