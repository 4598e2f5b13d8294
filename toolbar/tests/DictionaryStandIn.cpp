// A stand-in for the dictionary program, started as "Lexory.exe" by the toolbar's dictionary launcher:
// it reads its command line exactly as the dictionary program does (the same receiver class) and
// writes the word it got, UTF-8, to "word.txt" beside itself (whole, through a rename); then it stays
// until it is ended, as a running dictionary program would.
#include "MyCommandLineInfo.h"
#include "base/Path.h"
#include "base/Unicode.h"
#include "platform/CommandLine.h"
#include "platform/Handles.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
    CMyCommandLineInfo commandLine;
    platform::ParseCommandLine(commandLine);
    std::wstring folder = ovrin::GetProgramFolder();
    std::wstring partial = folder + L"word.tmp", whole = folder + L"word.txt";
    std::string bytes = ovrin::Utf16ToUtf8(commandLine.m_word);
    {
        CFileHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file)
            return 1;
        DWORD written = 0;
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    MoveFileExW(partial.c_str(), whole.c_str(), MOVEFILE_REPLACE_EXISTING);
    Sleep(60000);
    return 0;
}
