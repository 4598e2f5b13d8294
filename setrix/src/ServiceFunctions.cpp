// The service functions an installing program calls: an input of inputSize bytes (never read
// beyond), an output buffer from the local heap. Input that is null, shorter than its record, or with
// a record string not terminated within its 260 characters does nothing and gives no output.
#include "setrix/Setrix.h"

#include "ProcessEnd.h"
#include "Uninstaller.h"
#include "base/CodePage.h"
#include "platform/Device.h"
#include "platform/Handles.h"

#include <cstring>
#include <string>

namespace {

// Sets the output to nothing, then, for size > 0, to a zero-filled buffer of size bytes from the local
// heap; the buffer, null when there is none (or it could not be had).
BYTE* GiveOutput(DWORD* outputSize, BYTE** output, DWORD size) {
    if (outputSize != nullptr)
        *outputSize = 0;
    if (output != nullptr)
        *output = nullptr;
    if (size == 0 || outputSize == nullptr || output == nullptr)
        return nullptr;
    *output = static_cast<BYTE*>(LocalAlloc(LPTR, size));
    if (*output != nullptr)
        *outputSize = size;
    return *output;
}

// A copy of the record at the start of the input; false when the input is null or shorter.
template <typename Record>
bool ReadRecord(DWORD inputSize, const BYTE* input, Record& record) {
    if (input == nullptr || inputSize < sizeof(Record))
        return false;
    std::memcpy(&record, input, sizeof(Record));
    return true;
}

// A record's string; false when it is not terminated within its field.
bool ReadRecordText(const wchar_t (&field)[setrix::kRecordTextLength], std::wstring& text) {
    size_t length = 0;
    while (length < setrix::kRecordTextLength && field[length] != L'\0')
        ++length;
    if (length == setrix::kRecordTextLength)
        return false;
    text.assign(field, length);
    return true;
}

// 8-bit text in the system code page, up to its terminator or the end of the input.
std::wstring ReadEightBitInput(DWORD inputSize, const BYTE* input) {
    if (input == nullptr)
        return {};
    const char* text = reinterpret_cast<const char*>(input);
    size_t length = 0;
    while (length < inputSize && text[length] != '\0')
        ++length;
    return ovrin::MultiByteToWide(ovrin::kCodePageAnsi, std::string_view(text, length));
}

// Loads the COM library at path, calls its registration entry and unloads it.
void CallRegistrationEntry(const std::wstring& path, const char* entryName) {
    if (path.empty())
        return;
    CModuleHandle library(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library)
        return;
    using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();
    if (auto entry =
            reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(GetProcAddress(library.Get(), entryName))))
        entry();
}

} // namespace

SETRIX_API HRESULT WINAPI IsSmartphone(DWORD, BYTE*, DWORD* outputSize, BYTE** output) {
    BYTE* answer = GiveOutput(outputSize, output, 1);
    if (answer != nullptr)
        answer[0] = _wcsicmp(platform::DeviceServices().GetPlatformType().c_str(), L"Smartphone") == 0 ? 1 : 0;
    return S_OK;
}

SETRIX_API HRESULT WINAPI MessageDialog(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    setrix::tagMessageRecord record;
    std::wstring text, caption;
    if (ReadRecord(inputSize, input, record) && ReadRecordText(record.text, text) &&
        ReadRecordText(record.caption, caption))
        platform::DeviceServices().ShowMessage(nullptr, text, caption, record.style);
    return S_OK;
}

SETRIX_API HRESULT WINAPI GetDiskFreeSpace(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    setrix::tagDiskRecord record;
    std::wstring path;
    if (!ReadRecord(inputSize, input, record) || !ReadRecordText(record.path, path))
        return S_OK;
    auto* answer = reinterpret_cast<setrix::tagDiskRecord*>(GiveOutput(outputSize, output, sizeof record));
    ULARGE_INTEGER freeToCaller = {}, total = {}, totalFree = {};
    if (answer != nullptr &&
        GetDiskFreeSpaceExW(path.empty() ? nullptr : path.c_str(), &freeToCaller, &total, &totalFree)) {
        answer->freeBytesToCaller = freeToCaller.QuadPart;
        answer->totalBytes = total.QuadPart;
        answer->totalFreeBytes = totalFree.QuadPart;
    }
    return S_OK;
}

SETRIX_API HRESULT WINAPI KillProcess(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    setrix::EndProcessByName(ReadEightBitInput(inputSize, input), setrix::CUninstaller::kProcessEndPause);
    return S_OK;
}

SETRIX_API HRESULT WINAPI GetProcessList(DWORD, BYTE*, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    return S_OK;
}

SETRIX_API HRESULT WINAPI RegisterDLL(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    CallRegistrationEntry(ReadEightBitInput(inputSize, input), "DllRegisterServer");
    return S_OK;
}

SETRIX_API HRESULT WINAPI UnRegisterDLL(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    CallRegistrationEntry(ReadEightBitInput(inputSize, input), "DllUnregisterServer");
    return S_OK;
}

SETRIX_API HRESULT WINAPI ProcessConfigXML(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output) {
    GiveOutput(outputSize, output, 0);
    std::wstring document = ReadEightBitInput(inputSize, input);
    if (!document.empty())
        platform::DeviceServices().ProcessConfiguration(document, 1);
    return S_OK;
}
