// What the suite's programs exchange with one another: the names by which they find each other, the
// messages they send and the settings more than one of them reads. The programs, the stand-ins and the
// tests all take them from here.
#pragma once

namespace ovrin::protocol {

// The toolbar's panel: its window class, by which the launcher, the browser helper and the setup
// library find the toolbar, and the mutex a running toolbar holds for its whole life.
constexpr wchar_t kToolbarWindowClass[] = L"OvrinTBWndClass";
constexpr wchar_t kToolbarInstanceMutex[] = L"OvrinTBWndClass.Instance";

// The launcher's switch for a restart into the settings, and the registered message it then sends the
// new toolbar.
constexpr wchar_t kOptionsArgument[] = L"/options";
constexpr wchar_t kShowOptionsMessage[] = L"TBShowOptions";

// Page translation: the named event that wakes every browser helper, and the two messages a helper
// sends the panel around the exchange (WM_COPYDATA, naming the page file, goes between them).
constexpr wchar_t kPageTranslateEvent[] = L"OVRIN.PIETranslate";
constexpr unsigned kPageAnalysisBegins = 0x405;  // WM_USER + 5: the panel opens its wait window
constexpr unsigned kPageTranslationOver = 0x406; // WM_USER + 6: the panel closes it

// Messages the panel takes to open its windows: the About window, the direction dialog and the
// settings dialog.
constexpr unsigned kOpenAboutWindow = 0x402;     // WM_USER + 2
constexpr unsigned kOpenDirectionDialog = 0x403; // WM_USER + 3
constexpr unsigned kOpenSettingsDialog = 0x404;  // WM_USER + 4

// The toolbar's settings section and the call key stored in it.
constexpr wchar_t kToolbarSection[] = L"OvrinToolbar";
constexpr wchar_t kCallKeySetting[] = L"key";
// Whether the result window shows the source text above the translation.
constexpr wchar_t kShowSourceSetting[] = L"show_source_text";

// The dictionary program's settings section: its installation folder, which the installer writes and
// the toolbar reads to start it, and the direction and last word it keeps between runs.
constexpr wchar_t kDictionarySection[] = L"Lexory";
constexpr wchar_t kDictionaryPathSetting[] = L"path";
constexpr wchar_t kDictionaryDirectionSetting[] = L"dir";
constexpr wchar_t kDictionaryLastWordSetting[] = L"last_word";

} // namespace ovrin::protocol
