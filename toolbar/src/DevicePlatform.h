// The handheld's services the settings dialog needs: the shortcut in the start-up folder and the
// restart of the device. Tests replace the restart, which would end the whole session.
#pragma once

#include <functional>
#include <string>

namespace deviceplatform {

// The start-up folder's shortcut named after this program's file title ("OvrinToolbar.lnk").
std::wstring StartupShortcutPath();
// Writes a shortcut in the handheld's shortcut format: the length of command, "#", then command.
bool CreateShortcut(const std::wstring& path, const std::wstring& command);
// The command a shortcut of that format runs; empty when the file is not one.
std::wstring ReadShortcut(const std::wstring& path);

void RestartDevice();
// Replaces the restart (null puts the system's back).
void SetRestartHandler(std::function<void()> handler);

} // namespace deviceplatform
