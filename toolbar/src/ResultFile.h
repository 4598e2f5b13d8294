// Saving a text of the result window: the file name the save dialog answered, made a ".txt" name, and
// the text written in UTF-8 so that a failed write never leaves a half-written file in place of the
// user's old one (the text goes to a new file beside it, which then replaces it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace resultfile {

// The save dialog's answer with "txt" appended: after its final dot when it ends with one (as the
// handheld's dialog answers), kept when it already ends with ".txt" (any case), else after ".".
std::wstring WithTxtExtension(const std::wstring& name);

// Writes text as UTF-8 with its byte-order mark; false (and the old file, if any, untouched) when the
// file cannot be written.
bool WriteUtf8(const std::wstring& path, const std::wstring& text);

// Asks for a file name: the system's save dialog, owned by owner; false on Cancel. Tests replace it.
using NameAsker = std::function<bool(HWND owner, std::wstring& name)>;
bool AskSaveName(HWND owner, std::wstring& name);
void SetNameAsker(NameAsker asker);

} // namespace resultfile
