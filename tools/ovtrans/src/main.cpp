// ovtrans: the command-line translator. Lists the installed directions and their subjects and
// translates text from the arguments, a file or standard input through CEngineClient, with a
// direction and subject chosen by number or by name. Text in and out is UTF-8.
//
//   ovtrans directions
//   ovtrans subjects DIRECTION
//   ovtrans info DIRECTION
//   ovtrans translate DIRECTION [--subject SUBJECT] [--file PATH | TEXT...]
//
// The engine is the one of the program's folder (dircat.dll and "dircat.dat" there) and of the
// registry's installation data; --registry KEY reads the installation data under another key of
// HKEY_CURRENT_USER instead.
#include "base/Path.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "base/Unicode.h"
#include "common/EngineClient.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void Print(const std::wstring& text) {
    std::string bytes = ovrin::Utf16ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void PrintError(const std::wstring& text) {
    std::string bytes = ovrin::Utf16ToUtf8(L"ovtrans: " + text + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

int Usage() {
    PrintError(L"usage: ovtrans [--registry KEY] directions | subjects DIRECTION | info DIRECTION |\n"
               L"       translate DIRECTION [--subject SUBJECT] [--file PATH | TEXT...]");
    return kExitUsage;
}

// A number in range, or the index of the one name that matches (without regard to case).
std::optional<int> Choose(const std::wstring& wanted, const std::vector<std::wstring>& names) {
    if (!wanted.empty() && wanted.find_first_not_of(L"0123456789") == std::wstring::npos) {
        // Read digit by digit: a number too long for an int is simply out of range.
        std::size_t index = 0;
        for (wchar_t digit : wanted) {
            index = index * 10 + static_cast<std::size_t>(digit - L'0');
            if (index >= names.size())
                return std::nullopt;
        }
        return static_cast<int>(index);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (ovrin::EqualIgnoringCase(names[i], wanted))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

// Directions are also chosen by their prefix ("ER"). Says so when none matches.
std::optional<int> ChooseDirection(CTranslator& translator, CEngineClient& client, const std::wstring& wanted) {
    std::vector<std::wstring> names;
    if (client.GetDirectionNames(names)) {
        if (auto chosen = Choose(wanted, names))
            return chosen;
        for (int i = 0; i < translator.GetDirectionCount(); ++i) {
            if (ovrin::EqualIgnoringCase(translator.GetDirection(i)->GetPrefix(), wanted))
                return i;
        }
    }
    PrintError(L"no direction " + wanted);
    return std::nullopt;
}

std::wstring ReadStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    return ovrin::Utf8ToUtf16(bytes);
}

int ListDirections(CEngineClient& client, CTranslator& translator) {
    std::vector<std::wstring> names;
    if (!client.GetDirectionNames(names)) {
        PrintError(L"no translation directions are installed");
        return kExitFailed;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        CDirection* direction = translator.GetDirection(static_cast<int>(i));
        Print(std::to_wstring(i) + L"\t" + direction->GetPrefix() + L"\t" + names[i] + L"\n");
    }
    return kExitOk;
}

int ListSubjects(CEngineClient& client, CTranslator& translator, const std::wstring& wanted) {
    auto direction = ChooseDirection(translator, client, wanted);
    if (!direction)
        return kExitFailed;
    std::vector<std::wstring> names;
    if (!client.GetSubjectNames(*direction, names)) {
        PrintError(L"direction " + wanted + L" has no subjects");
        return kExitFailed;
    }
    if (!translator.GetDirection(*direction)->IsOpened())
        PrintError(L"the engine of direction " + wanted + L" does not open");
    for (std::size_t j = 0; j < names.size(); ++j)
        Print(std::to_wstring(j) + L"\t" + names[j] + L"\n");
    return kExitOk;
}

int ShowInfo(CEngineClient& client, CTranslator& translator, const std::wstring& wanted) {
    auto direction = ChooseDirection(translator, client, wanted);
    if (!direction)
        return kExitFailed;
    std::wstring info = client.GetDirectionInfo(*direction);
    if (info.empty()) {
        PrintError(L"the catalogue has no information on direction " + wanted);
        return kExitFailed;
    }
    Print(info + L"\n");
    return kExitOk;
}

int Translate(CEngineClient& client, CTranslator& translator, const std::vector<std::wstring>& args) {
    if (args.empty())
        return Usage();
    std::wstring subjectName = L"0", file;
    std::vector<std::wstring> words;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == L"--subject" && i + 1 < args.size())
            subjectName = args[++i];
        else if (args[i] == L"--file" && i + 1 < args.size())
            file = args[++i];
        else
            words.push_back(args[i]);
    }
    if (!file.empty() && !words.empty())
        return Usage();
    auto direction = ChooseDirection(translator, client, args[0]);
    if (!direction)
        return kExitFailed;
    std::vector<std::wstring> subjects;
    if (!client.GetSubjectNames(*direction, subjects) || !translator.GetDirection(*direction)->IsOpened()) {
        PrintError(L"the engine of direction " + args[0] + L" does not open");
        return kExitFailed;
    }
    auto subject = Choose(subjectName, subjects);
    if (!subject) {
        PrintError(L"direction " + args[0] + L" has no subject " + subjectName);
        return kExitFailed;
    }
    std::wstring text;
    if (!file.empty()) {
        CTextFileRead reader(file);
        if (!reader.IsOpen()) {
            PrintError(L"cannot read " + file);
            return kExitFailed;
        }
        try {
            reader.ReadAll(text, L"\r\n");
        } catch (const CTextFileException&) {
            PrintError(L"cannot read " + file);
            return kExitFailed;
        }
    } else if (!words.empty()) {
        for (std::size_t i = 0; i < words.size(); ++i)
            text += (i > 0 ? L" " : L"") + words[i];
    } else {
        text = ReadStandardInput();
    }
    // The translation uses the stored direction and subject, as the toolbar's does; the user's own
    // choice is put back afterwards.
    int storedDirection = CEngineClient::GetDirectionSetting(), storedSubject = CEngineClient::GetSubjectSetting();
    CEngineClient::SetDirectionSetting(*direction);
    CEngineClient::SetSubjectSetting(*subject);
    std::wstring result;
    bool translated = client.TranslateText(text, result);
    CEngineClient::SetDirectionSetting(storedDirection);
    CEngineClient::SetSubjectSetting(storedSubject);
    if (!translated) {
        PrintError(L"the translation failed");
        return kExitFailed;
    }
    // Console output ends lines with CR LF as the text has them; a lone trailing line end is added.
    Print(result);
    if (result.empty() || (result.back() != L'\n'))
        Print(L"\n");
    return kExitOk;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    std::wstring registry = CTranslator::kRegistryKey;
    if (args.size() >= 2 && args[0] == L"--registry") {
        registry = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return Usage();
    CTranslator translator(ovrin::GetProgramFolder(), registry);
    CEngineClient client(translator);
    if (!client.IsUsable()) {
        PrintError(L"the translation engine is not installed (dircat.dll, \"dircat.dat\" and the registry data)");
        return kExitFailed;
    }
    std::wstring command = args[0];
    std::vector<std::wstring> rest(args.begin() + 1, args.end());
    if (command == L"directions" && rest.empty())
        return ListDirections(client, translator);
    if (command == L"subjects" && rest.size() == 1)
        return ListSubjects(client, translator, rest[0]);
    if (command == L"info" && rest.size() == 1)
        return ShowInfo(client, translator, rest[0]);
    if (command == L"translate")
        return Translate(client, translator, rest);
    return Usage();
}
