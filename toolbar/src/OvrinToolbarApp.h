// COvrinToolbarApp: the toolbar program. One running copy; the panel is made at start (which starts the
// engine) and lives until the program ends through its exit command or a restart.
#pragma once

#include "MyCommandLineInfo.h"
#include "OvrinToolbarDlg.h"
#include "platform/Application.h"
#include "platform/Handles.h"

#include <memory>

class COvrinToolbarApp : public CApplication {
public:
    CMyCommandLineInfo m_commandLine;

protected:
    bool InitInstance() override;

private:
    static bool RegisterWindowClass();

    // Held for the program's life: a second start that comes before the panel's window exists still
    // sees the first.
    CHandle m_instanceMutex;
    std::unique_ptr<COvrinToolbarDlg> m_panel;
};
