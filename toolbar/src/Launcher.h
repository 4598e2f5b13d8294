// Restarting the toolbar through the launcher: "\Windows\Ovloader.exe" (the Windows folder here) is
// started with the toolbar's own path and, when asked, "/options" followed by a number; the launcher
// waits for the panel to go, starts the toolbar again and sends it "TBShowOptions".
#pragma once

#include <windows.h>

#include <string>

namespace launcher {

// The launcher's file in the Windows folder.
std::wstring LauncherPath();

// The launcher's parameters: "\"<program>\" /options<n>", or just "\"<program>\"" when n is 0.
std::wstring LauncherParameters(const std::wstring& program, int options);

// Starts the launcher at path with the parameters; false when it cannot be started (missing file).
bool StartLauncher(const std::wstring& path, const std::wstring& parameters);

} // namespace launcher
