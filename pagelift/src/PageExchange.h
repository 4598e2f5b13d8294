// The browser helper's side of the page exchange with the toolbar: finding the toolbar's panel, the
// temporary file the page travels in, the WM_COPYDATA exchange with its two attempts, and the base
// element put in front of the translated page.
#pragma once

#include "common/Protocol.h"

#include <windows.h>

#include <random>
#include <string>

namespace pagelift {

constexpr const wchar_t* kToolbarWindowClass = ovrin::protocol::kToolbarWindowClass;
constexpr wchar_t kToolbarProgram[] = L"OvrinToolbar.exe";
constexpr const wchar_t* kPageTranslateEvent = ovrin::protocol::kPageTranslateEvent;
constexpr UINT kAnalysisBegins = ovrin::protocol::kPageAnalysisBegins;
constexpr UINT kTranslationOver = ovrin::protocol::kPageTranslationOver;

// The first window of the toolbar's class, in Z-order, that belongs to a process whose program file
// is the toolbar's; null when there is none. Windows of that class owned by other programs are
// passed over.
HWND FindToolbarWindow();

// Every send to the toolbar has a limit, so that a toolbar that stops answering never holds the worker
// for ever, and none is made to a toolbar that already does not answer (SMTO_ABORTIFHUNG). Opening or
// closing the wait window is quick; the translation of a page may take long, and the user can stop it
// from the toolbar's wait window meanwhile.
constexpr UINT kWaitWindowTimeoutMs = 10000;
constexpr UINT kTranslationTimeoutMs = 5 * 60 * 1000;

// Sends message (wParam and lParam 0) to the toolbar window, found anew; nothing when there is none.
void SendToToolbar(UINT message);

// An exchange file name: folder, a backslash unless the folder ends in one, eight characters drawn
// from "abdYqzmxkcn123" by the generator, ".html".
std::wstring MakeExchangeFileName(const std::wstring& folder, std::minstd_rand& generator);

// A new exchange file in the temporary folder, created empty so that no other helper, in this
// process or another, takes the same name; empty when none could be made. The generator is seeded
// with the millisecond of the current time, and on a name already taken draws the next one.
std::wstring ReserveExchangeFile();

// Hands html to the toolbar in an exchange file and takes the translation back, with two attempts;
// false (and no file left) when there is no toolbar, the file cannot be written, or both answers are
// empty. A send that fails or passes its limit ends the attempts: the file is not read (the toolbar
// may still be writing it).
bool ExchangeWithToolbar(const std::wstring& html, std::wstring& translation);

// The base element naming the page's address; a quotation mark in the address is written as a
// character reference so that it cannot end the attribute.
std::wstring BaseElement(const std::wstring& address);

} // namespace pagelift
