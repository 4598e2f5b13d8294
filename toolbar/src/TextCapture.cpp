// CTextCapture: finding the focused control of the program in front, reading it, and selection mode
// through a low-level keyboard hook.
#include "TextCapture.h"
#include "base/Path.h"
#include "base/Text.h"
#include "platform/Handles.h"
#include "platform/Processes.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace {

// A foreign program that stops answering must not hang the toolbar: every message to another program's
// control gives up after this long.
constexpr UINT kForeignMessageTimeoutMs = 2000;
constexpr int kClassNameLength = 100;

// The process-wide capture object in selection mode, for the keyboard hook. The hook runs on the thread
// that installed it, the same thread that starts and ends selection mode, so no lock is needed.
CTextCapture* g_selectingCapture = nullptr;

LRESULT SendToControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kForeignMessageTimeoutMs, &answer))
        return 0;
    return static_cast<LRESULT>(answer);
}

// The focused control of the program in front, through the GUI state of the foreground thread; the
// stand-in for the platform's own call, which desktop Win32 lacks.
HWND WINAPI ForegroundKeyboardTargetByThreadInfo() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr)
        return nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[kClassNameLength + 1] = {};
    int length = GetClassNameW(window, name, kClassNameLength + 1);
    return std::wstring(name, length > 0 ? std::min(length, kClassNameLength) : 0);
}

bool ClassNameContains(HWND window, const wchar_t* lowerCasePart) {
    return ovrin::AsciiLowered(ClassNameOf(window)).find(lowerCasePart) != std::wstring::npos;
}

long TextLengthOf(HWND window) {
    return static_cast<long>(SendToControl(window, WM_GETTEXTLENGTH, 0, 0));
}

std::wstring TextOf(HWND window) {
    long length = TextLengthOf(window);
    if (length <= 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    LRESULT copied = SendToControl(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied <= 0)
        return {};
    return std::wstring(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(copied), buffer.size() - 1));
}

// The selection through the pointer form of EM_GETSEL (the system carries the two numbers across the
// process boundary), so that positions beyond 65535 in a long text stay right.
bool GetSelectionRange(HWND window, long& start, long& end) {
    DWORD first = 0, last = 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last),
                             SMTO_ABORTIFHUNG, kForeignMessageTimeoutMs, &answer))
        return false;
    start = static_cast<long>(first);
    end = static_cast<long>(last);
    return true;
}

void SetSelectionRange(HWND window, long anchor, long caret) {
    SendToControl(window, EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(caret));
}

bool IsArrowKey(UINT virtualKey) {
    return virtualKey == VK_LEFT || virtualKey == VK_UP || virtualKey == VK_RIGHT || virtualKey == VK_DOWN;
}

bool SameFile(const std::wstring& first, const std::wstring& second) {
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ProgramFileOfWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId())
        return ovrin::GetProgramPath();
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process ? platform::ProcessImagePath(process.Get()) : std::wstring();
}

} // namespace

CTextCapture::CTextCapture() {
    // The platform's own call when it has one; desktop Win32 has no such module, and the foreground
    // thread's GUI state answers the same question.
    m_platformModule.Reset(LoadLibraryW(L"coredll.dll"));
    if (m_platformModule) {
        m_foregroundTarget = reinterpret_cast<ForegroundTargetFunction>(
            reinterpret_cast<void*>(GetProcAddress(m_platformModule.Get(), "GetForegroundKeyboardTarget")));
    }
    if (m_foregroundTarget == nullptr)
        m_foregroundTarget = ForegroundKeyboardTargetByThreadInfo;
}

CTextCapture::~CTextCapture() {
    if (m_selectionMode)
        EndSelection();
}

HWND CTextCapture::GetTargetWindow() {
    if (m_foregroundTarget == nullptr)
        return nullptr;
    for (int attempt = 0; attempt < kTargetTries; ++attempt) {
        if (attempt > 0)
            Sleep(kTargetRetryMs);
        if (HWND target = m_foregroundTarget())
            return target;
    }
    return nullptr;
}

bool CTextCapture::CanTakeText(bool strict) {
    HWND target = GetTargetWindow();
    return target != nullptr && CanTakeTextFrom(target, strict);
}

bool CTextCapture::CanTakeTextFrom(HWND window, bool strict) const {
    if (window == nullptr || !IsWindow(window) || !ClassNameContains(window, L"edit"))
        return false;
    if (!strict)
        return true;
    if (GetWindowLongW(window, GWL_STYLE) & ES_READONLY)
        return false;
    if (SameFile(ProgramFileOfWindow(window), ovrin::GetProgramPath()))
        return false;
    return HoldsText(window);
}

std::wstring CTextCapture::GetWholeText() {
    HWND target = GetTargetWindow();
    return target != nullptr ? TextOf(target) : std::wstring();
}

bool CTextCapture::IsRichEdit(HWND window) {
    std::wstring name = ClassNameOf(window);
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(c));
    return name.find(L"RICHEDIT") != std::wstring::npos;
}

bool CTextCapture::HoldsText(HWND window) {
    return window != nullptr && TextLengthOf(window) > 0;
}

bool CTextCapture::StartSelection() {
    if (m_selectionMode || g_selectingCapture != nullptr)
        return false;
    HWND target = GetTargetWindow();
    if (target == nullptr)
        return false;
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleW(nullptr), 0);
    if (hook == nullptr)
        return false;
    m_target = target;
    m_keyboardHook = hook;
    m_anchor = -1;
    m_selectedText.clear();
    m_wasReadOnly = (GetWindowLongW(target, GWL_STYLE) & ES_READONLY) != 0;
    SendToControl(target, EM_SETREADONLY, TRUE, 0);
    g_selectingCapture = this;
    m_selectionMode = true;
    return true;
}

std::wstring CTextCapture::EndSelection() {
    if (!m_selectionMode)
        return m_selectedText;
    UnhookWindowsHookEx(m_keyboardHook);
    m_keyboardHook = nullptr;
    g_selectingCapture = nullptr;
    m_selectionMode = false;
    // The program in front may have ended meanwhile; then there is no control to restore.
    if (IsWindow(m_target)) {
        if (!m_wasReadOnly)
            SendToControl(m_target, EM_SETREADONLY, FALSE, 0);
        SetSelectionRange(m_target, -1, 0);
    }
    m_target = nullptr;
    return m_selectedText;
}

std::wstring CTextCapture::CutSelectedText(const std::wstring& wholeText, bool richEdit, long start, long end) {
    if (start < 0 || end < 0)
        return {};
    std::wstring text;
    if (richEdit) {
        // The control's positions count a line break as one character, its text holds CR LF.
        text.reserve(wholeText.size());
        for (std::size_t i = 0; i < wholeText.size(); ++i) {
            if (wholeText[i] == L'\r' && i + 1 < wholeText.size() && wholeText[i + 1] == L'\n')
                continue;
            text += wholeText[i];
        }
    } else {
        text = wholeText;
    }
    std::size_t first = std::min(static_cast<std::size_t>(std::min(start, end)), text.size());
    std::size_t last = std::min(static_cast<std::size_t>(std::max(start, end)), text.size());
    std::wstring selected;
    selected.reserve(last - first + 8);
    for (std::size_t i = first; i < last; ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            selected += L"\r\n";
            if (i + 1 < last && text[i + 1] == L'\n')
                ++i;
        } else if (c == L'\n') {
            selected += L"\r\n";
        } else {
            selected += c;
        }
    }
    return selected;
}

// The key belongs to the target when the target still exists, its thread owns the window in front, and
// that thread's keyboard focus is the target itself: exactly the control the key would be delivered to.
bool CTextCapture::IsKeyForTarget() const {
    if (m_target == nullptr || !IsWindow(m_target))
        return false;
    DWORD targetThread = GetWindowThreadProcessId(m_target, nullptr);
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || GetWindowThreadProcessId(foreground, nullptr) != targetThread)
        return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(targetThread, &info) && info.hwndFocus == m_target;
}

LRESULT CALLBACK CTextCapture::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_selectingCapture != nullptr) {
        const auto& event = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        bool keyDown = wParam == WM_KEYDOWN;
        bool keyUp = wParam == WM_KEYUP;
        // The physical call key is the hot key's: consuming it here would keep the hot key from firing.
        bool physicalCallKey = event.vkCode == g_selectingCapture->m_callKey && !(event.flags & LLKHF_INJECTED);
        if ((keyDown || keyUp) && !physicalCallKey && IsArrowKey(event.vkCode) &&
            g_selectingCapture->IsKeyForTarget()) {
            if (g_selectingCapture->OnArrowKey(event.vkCode, keyDown, event))
                return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CTextCapture::OnArrowKey(UINT virtualKey, bool keyDown, const KBDLLHOOKSTRUCT& event) {
    long start = 0, end = 0;
    if (m_anchor == -1) {
        if (!GetSelectionRange(m_target, start, end))
            return false;
        m_anchor = start;
    }
    if (!keyDown)
        return false; // the key-up reaches the control as usual
    if (!GetSelectionRange(m_target, start, end))
        return false;
    long moving = start < m_anchor ? start : end;
    SetSelectionRange(m_target, moving, moving);

    // The key as the control would have had it: one press, then its release, which move the caret.
    LPARAM keyData = 1 | (static_cast<LPARAM>(event.scanCode & 0xFF) << 16);
    if (event.flags & LLKHF_EXTENDED)
        keyData |= 1 << 24;
    SendToControl(m_target, WM_KEYDOWN, virtualKey, keyData);
    SendToControl(m_target, WM_KEYUP, virtualKey, keyData | (1 << 30) | (1u << 31));

    if (GetSelectionRange(m_target, start, end))
        SetSelectionRange(m_target, m_anchor, end);
    RebuildSelectedText();
    return true;
}

void CTextCapture::RebuildSelectedText() {
    long start = -1, end = -1;
    if (!GetSelectionRange(m_target, start, end)) {
        m_selectedText.clear();
        return;
    }
    m_selectedText = CutSelectedText(TextOf(m_target), IsRichEdit(m_target), start, end);
}
