// dictool: inspects and queries dictionary files from the command line.
//   dictool info FILE      what the file holds: name, type, version, direction, headwords, blocks
//   dictool list FOLDER    the dictionaries of a folder as the engine orders them
//   dictool article FILE NUMBER   the tag tree of one article
//   dictool user ...       making and changing user dictionaries
#include "Commands.h"

#include "common/Unicode.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string>
#include <vector>

namespace {

int Usage() {
    std::cerr << "usage: dictool info FILE\n"
                 "       dictool list FOLDER\n"
                 "       dictool find FILE TEXT\n"
                 "       dictool index FILE FIRST COUNT\n"
                 "       dictool search FILE PATTERN\n"
                 "       dictool article FILE NUMBER\n"
                 "       dictool user create FOLDER XY\n"
                 "       dictool user add FILE HEADWORD TRANSLATION\n"
                 "       dictool user set FILE NUMBER TRANSLATION\n"
                 "       dictool user delete FILE NUMBER\n";
    return 2;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.size() == 2 && args[0] == L"info")
        return dictool::Info(args[1], std::cout, std::cerr);
    if (args.size() == 2 && args[0] == L"list")
        return dictool::List(args[1], std::cout, std::cerr);
    if (args.size() == 3 && args[0] == L"find")
        return dictool::Find(args[1], args[2], std::cout, std::cerr);
    if (args.size() == 4 && args[0] == L"index")
        return dictool::Index(args[1], args[2], args[3], std::cout, std::cerr);
    if (args.size() == 3 && args[0] == L"search")
        return dictool::Search(args[1], args[2], std::cout, std::cerr);
    if (args.size() == 3 && args[0] == L"article")
        return dictool::Article(args[1], args[2], std::cout, std::cerr);
    if (args.size() == 4 && args[0] == L"user" && args[1] == L"create")
        return dictool::UserCreate(args[2], args[3], std::cout, std::cerr);
    if (args.size() >= 4 && args[0] == L"user") {
        std::vector<std::wstring> rest(args.begin() + 1, args.end());
        bool withText = rest[0] == L"add" || rest[0] == L"set";
        if ((withText && rest.size() == 4) || (rest[0] == L"delete" && rest.size() == 3))
            return dictool::UserChange(rest, std::cout, std::cerr);
    }
    return Usage();
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    // Reports are UTF-8 with LF line ends on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ovrin::Utf8ToUtf16(argv[i]));
    return Run(args);
}
#endif
