// ovinstall: the device installer's stand-in. It makes the suite's installation package from the
// build, installs a package the way the device's installer does (files, settings, shortcuts, COM
// registration, the setup library's hooks) and removes it again.
//
//   ovinstall pack MANIFEST PACKAGE_FOLDER --build DIR --source DIR [--samples DIR]
//   ovinstall install PACKAGE_FOLDER [--folder NAME=PATH]...
//   ovinstall uninstall [PACKAGE_NAME]
//
// Every step and failure is reported on standard output in UTF-8. Exit code 0 when all of it was
// done, 1 when something failed (said why), 2 for a command line it cannot read.
#include "Installer.h"

#include "base/Unicode.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kDefaultPackage[] = L"OVRIN Mobile";

void Print(const std::wstring& line) {
    std::string bytes = ovrin::Utf16ToUtf8(line + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

int Usage() {
    Print(L"usage: ovinstall pack MANIFEST PACKAGE_FOLDER --build DIR --source DIR [--samples DIR]\n"
          L"       ovinstall install PACKAGE_FOLDER [--folder NAME=PATH]...\n"
          L"       ovinstall uninstall [PACKAGE_NAME]");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == L"--help" || args[0] == L"-h")
        return Usage();
    installer::CInstaller installer(Print);
    const std::wstring& command = args[0];
    if (command == L"pack" && args.size() >= 3) {
        installer::PackSources sources;
        for (size_t i = 3; i < args.size(); i += 2) {
            if (i + 1 >= args.size())
                return Usage();
            if (args[i] == L"--build")
                sources.build = args[i + 1];
            else if (args[i] == L"--source")
                sources.source = args[i + 1];
            else if (args[i] == L"--samples")
                sources.samples = args[i + 1];
            else
                return Usage();
        }
        return installer.Pack(args[1], sources, args[2]) ? 0 : 1;
    }
    if (command == L"install" && args.size() >= 2) {
        std::map<std::wstring, std::wstring> folders;
        for (size_t i = 2; i < args.size(); i += 2) {
            size_t equals = i + 1 < args.size() ? args[i + 1].find(L'=') : std::wstring::npos;
            if (args[i] != L"--folder" || equals == std::wstring::npos || equals == 0)
                return Usage();
            folders[args[i + 1].substr(0, equals)] = args[i + 1].substr(equals + 1);
        }
        return installer.Install(args[1], folders) ? 0 : 1;
    }
    if (command == L"uninstall" && args.size() <= 2)
        return installer.Uninstall(args.size() == 2 ? args[1] : kDefaultPackage) ? 0 : 1;
    return Usage();
}
