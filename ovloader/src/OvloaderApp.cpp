// The launcher program's one run.
#include "OvloaderApp.h"

#include "Launcher.h"

bool COvloaderApp::InitInstance() {
    platform::ParseCommandLine(m_commandLine);
    CLauncher(m_commandLine.m_program, m_commandLine.m_optionsNumber).Run();
    return false; // nothing to run a message loop for
}
