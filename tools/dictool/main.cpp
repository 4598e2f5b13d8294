// dictool: inspects and queries dictionary files from the command line; "dictool --help" lists the
// commands.
#include "dictool/Commands.h"

#include "base/Unicode.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string>
#include <vector>

namespace {

const char kHelp[] =
    "usage: dictool COMMAND ...\n"
    "  info FILE                          what the file holds: name, type, direction, headwords, blocks\n"
    "  list FOLDER                        the dictionaries of a folder in the order the engine keeps them\n"
    "  find FILE TEXT                     the headword TEXT, or the nearest one after it in the list\n"
    "  index FILE FIRST COUNT             COUNT headwords from number FIRST\n"
    "  search FILE PATTERN                headwords matching PATTERN (? one character, * any run)\n"
    "  article FILE NUMBER [--tags]       the article of headword NUMBER; --tags shows its tag tree\n"
    "  user create FOLDER XY              the user dictionary of direction XY (ER, RE, ...) in FOLDER\n"
    "  user add FILE HEADWORD TRANSLATION add an article to a user dictionary\n"
    "  user set FILE NUMBER TRANSLATION   replace the article of headword NUMBER\n"
    "  user delete FILE NUMBER            delete headword NUMBER\n";

int Usage() {
    std::cerr << kHelp;
    return 2;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.size() == 1 && (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"help")) {
        std::cout << kHelp;
        return 0;
    }
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
        return dictool::Article(args[1], args[2], false, std::cout, std::cerr);
    if (args.size() == 4 && args[0] == L"article" && (args[3] == L"--tags" || args[1] == L"--tags")) {
        bool first = args[1] == L"--tags";
        return dictool::Article(args[first ? 2 : 1], args[first ? 3 : 2], true, std::cout, std::cerr);
    }
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
