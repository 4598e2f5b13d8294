// CIniFile: a small INI-style text file held as its lines, for the dictionary program's history and
// bookmark lists. Values are written in double quotes; a file that could not be read is never
// written, and a save replaces the file whole, so a failed save leaves the old file as it was.
#pragma once

#include <string>
#include <vector>

class CIniFile {
public:
    CIniFile() = default;
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Reads every line of the file (any encoding the text files know), line ends removed. A file that
    // cannot be opened or read sets load failed and leaves no lines.
    bool Load(const std::wstring& path);
    // The value of key in section, without its enclosing double quotes; "" and false when absent.
    bool GetValue(const std::wstring& section, const std::wstring& key, std::wstring& value) const;
    // Sets the key line to key="value", adding the line (and the section) when absent; false when the
    // load failed.
    bool SetValue(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // Writes every line, each followed by CR LF, as ANSI text into a new file beside the old one,
    // which then takes the old one's place. Nothing is written when the load failed; false when the
    // file could not be written.
    bool Save();
    // Saves (unless the load failed) and forgets the lines; the result is that of the save.
    bool Release();

    bool LoadFailed() const { return m_loadFailed; }
    const std::vector<std::wstring>& Lines() const { return m_lines; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_lines;
    bool m_loadFailed = false;
    bool m_loaded = false;

    // The line index of "[section]", or npos.
    std::size_t FindSection(const std::wstring& section) const;
};
