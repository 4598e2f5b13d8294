// The commands of dictool. Each writes its report to out and its errors to err, and returns the
// process exit code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace dictool {

int Info(const std::wstring& path, std::ostream& out, std::ostream& err);
int List(const std::wstring& folder, std::ostream& out, std::ostream& err);
int Find(const std::wstring& path, const std::wstring& text, std::ostream& out, std::ostream& err);
int Index(const std::wstring& path, const std::wstring& first, const std::wstring& count, std::ostream& out,
          std::ostream& err);
int Search(const std::wstring& path, const std::wstring& pattern, std::ostream& out, std::ostream& err);
// The article as a reader sees it, or with tags its tag tree.
int Article(const std::wstring& path, const std::wstring& number, bool tags, std::ostream& out, std::ostream& err);
// User dictionaries: "create FOLDER XY" makes (or finds) the direction's user dictionary of a folder;
// "add FILE HEADWORD TRANSLATION", "set FILE NUMBER TRANSLATION", "delete FILE NUMBER" change one.
int UserCreate(const std::wstring& folder, const std::wstring& letters, std::ostream& out, std::ostream& err);
int UserChange(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err);

// Text for a terminal: 8-bit dictionary text in the code page of its language, as UTF-8; language
// runs in their own code page, with their "%" markers shown or not.
std::string DictionaryText(const std::string& bytes, unsigned char language, bool runMarkers = true);
std::string DirectionText(unsigned short direction);

} // namespace dictool
