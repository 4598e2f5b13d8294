// The real toolbar program over the test engine, for the dialog tests and the benchmarks: the engine
// where the program looks for it, leftovers ended, the launcher in the Windows folder, and the
// direction dialog's restart through the launcher.
#pragma once

#include "DesktopSession.h"
#include "Launcher.h"
#include "base/FileSystem.h"
#include "base/Path.h"
#include "common/EngineClient.h"
#include "common/Protocol.h"
#include "enginetest/EngineForPrograms.h"
#include "enginetest/EngineLayout.h"
#include "resource.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/Processes.h"

#include <string>

namespace toolbarprograms {

using enginetest::EngineForPrograms;

// Ends the processes owning toolbar panels: one a failed test left running would keep a new one from
// starting.
inline void EndRunningToolbars() {
    testsupport::EndProgramsWithWindowsOf(ovrin::protocol::kToolbarWindowClass);
}

// The real toolbar program (beside the test program) started with "/options", any left running ended
// first; its panel, or null when it did not come up.
inline HWND StartToolbarProgram(testsupport::CProgramProcess& toolbar) {
    EndRunningToolbars();
    if (!toolbar.Start(ovrin::GetProgramFolder() + L"OvrinToolbar.exe", L"/options"))
        return nullptr;
    return testsupport::WaitForWindow(ovrin::protocol::kToolbarWindowClass, nullptr, toolbar.Id());
}

// The real toolbar program over a layout's engine put where the program looks for it; the program is
// ended before the engine goes.
class InstalledToolbar {
public:
    explicit InstalledToolbar(const enginetest::EngineLayout& layout) : m_engine(layout) {}
    // Starts the program as StartToolbarProgram does: its panel, or null when the engine could not be
    // put in place or the program did not come up.
    HWND Start() { return m_engine.Copied() ? StartToolbarProgram(m_process) : nullptr; }
    testsupport::CProgramProcess& Process() { return m_process; }

private:
    EngineForPrograms m_engine;
    testsupport::CProgramProcess m_process;
};

// The launcher (beside the test program) copied into the Windows folder, where the toolbar starts it;
// removed again, or the file that was there put back.
class InstalledLauncher {
public:
    InstalledLauncher() : m_path(launcher::LauncherPath()), m_kept(m_path + L".ovrin-kept") {
        m_hadOne = MoveFileExW(m_path.c_str(), m_kept.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        m_copied = CopyFileW((ovrin::GetProgramFolder() + L"Ovloader.exe").c_str(), m_path.c_str(), FALSE) != FALSE;
    }
    ~InstalledLauncher() {
        DeleteFileW(m_path.c_str());
        if (m_hadOne)
            MoveFileExW(m_kept.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    InstalledLauncher(const InstalledLauncher&) = delete;
    InstalledLauncher& operator=(const InstalledLauncher&) = delete;
    bool Copied() const { return m_copied; }

private:
    std::wstring m_path, m_kept;
    bool m_hadOne = false, m_copied = false;
};

// The direction dialog of the toolbar process processId: its window, or null.
inline HWND DirectionDialogOf(DWORD processId) {
    HWND dialog = testsupport::FindProgramWindow(L"#32770", L"OVRIN Mobile", processId);
    return dialog != nullptr && GetDlgItem(dialog, IDC_TRANS_DIRECTION_LIST) != nullptr ? dialog : nullptr;
}

// Asks the panel for the direction dialog and waits for it.
inline HWND OpenDirectionDialog(HWND panel, DWORD processId) {
    PostMessageW(panel, ovrin::protocol::kOpenDirectionDialog, 0, 0);
    HWND dialog = nullptr;
    testsupport::WaitUntil([&] { return (dialog = DirectionDialogOf(processId)) != nullptr; }, 15000);
    return dialog;
}

// Picks direction index in the dialog's drop-down list as the list reports an accepted choice.
inline void PickDirection(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, IDC_TRANS_DIRECTION_LIST);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TRANS_DIRECTION_LIST, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(list));
}

// After a pick that restarts the toolbar: the direction dialog of a toolbar process other than
// oldProcess (its process id in newProcess), or null when none came within timeoutMs.
inline HWND WaitForRestartedDialog(DWORD oldProcess, DWORD& newProcess, DWORD timeoutMs = 20000) {
    HWND dialog = nullptr;
    testsupport::WaitUntil(
        [&] {
            HWND panel = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
            newProcess = panel != nullptr ? testsupport::WindowProcess(panel) : 0;
            dialog = newProcess != 0 && newProcess != oldProcess ? DirectionDialogOf(newProcess) : nullptr;
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

} // namespace toolbarprograms
