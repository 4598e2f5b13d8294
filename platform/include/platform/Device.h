// What the handheld offered and desktop Win32 lacks or keeps elsewhere: the platform type, the
// processing of configuration documents, the device's fixed folders, shortcut files and the message
// box of a program without a window. The system's implementation answers unless a test has put its
// own services in place (they then answer for the whole process).
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// A folder of the desktop's shell by its CSIDL (made when missing), without a final backslash; empty
// when the shell has none.
std::wstring ShellFolder(int csidl);

enum class DeviceFolder {
    Windows,   // "\Windows": the Windows folder
    StartMenu, // "\Windows\Start Menu": the user's start menu
    StartUp,   // "\Windows\StartUp": the user's start-up folder
};

class CDeviceServices {
public:
    virtual ~CDeviceServices() = default;

    // The platform type the system reports ("PocketPC", "Smartphone"). On the desktop it is the
    // string value "PlatformType" of HKEY_LOCAL_MACHINE\Software\Ovrinsoft\Device, which the device
    // stand-in sets; "PocketPC" when the value is absent.
    virtual std::wstring GetPlatformType();

    // Applies a configuration document with the given flags (1: process it); S_OK when it was
    // applied. The desktop applies its registry part: characteristic "Registry" holding one
    // characteristic per key ("HKLM\...", "HKCU\...") with parm (name, value, datatype "string" or
    // "integer") and noparm elements, and nocharacteristic elements that delete a key with its
    // subkeys. Other characteristics are skipped.
    virtual HRESULT ProcessConfiguration(const std::wstring& document, DWORD flags);

    // A message box; the button chosen.
    virtual int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);

    // A fixed folder of the device, without a final separator; empty when it cannot be found.
    virtual std::wstring GetFolder(DeviceFolder folder);
};

// The services in force: a test's, else the system's.
CDeviceServices& DeviceServices();

// Puts a test's services in force (null: the system's again); the services in force before.
CDeviceServices* SetDeviceServices(CDeviceServices* services);

// A shortcut's target as the device writes it: the program's path, and when the shortcut carries
// arguments, a space and the arguments. Reads shell links (COM is initialised for the call when the
// thread has not done it) and the device's own text form ("<length>#<target>"). False when the file
// is neither.
bool ReadShortcutTarget(const std::wstring& shortcutPath, std::wstring& target);

// Writes a shell link to program with arguments; false on failure.
bool CreateShortcut(const std::wstring& shortcutPath, const std::wstring& program, const std::wstring& arguments);

} // namespace platform
