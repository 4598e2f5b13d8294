// CIniFile: lines in, lines out, with the key lookup rules the list files rely on.
#include "IniFile.h"

#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/TextFile.h"

namespace {

bool IsSectionLine(const std::wstring& trimmed) {
    return trimmed.size() >= 2 && trimmed.front() == L'[' && trimmed.back() == L']';
}

// The text before the first "=", trimmed; the whole line has the empty key when it has no "=".
std::wstring KeyOf(const std::wstring& line) {
    std::size_t equals = line.find(L'=');
    return equals == std::wstring::npos ? std::wstring() : ovrin::Trimmed(line.substr(0, equals));
}

} // namespace

// Lines never released are not written: only Release and Save write.
CIniFile::~CIniFile() = default;

bool CIniFile::Load(const std::wstring& path) {
    m_path = path;
    m_lines.clear();
    m_loaded = true;
    m_loadFailed = false;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen()) {
            m_loadFailed = true;
            return false;
        }
        std::wstring line;
        while (file.ReadLine(line))
            m_lines.push_back(line);
        // The text file reader ends with an empty line after the last line end (and gives one empty
        // line for an empty file). Kept, it would be written back as one more blank line at every save.
        if (!m_lines.empty() && m_lines.back().empty())
            m_lines.pop_back();
    } catch (const CTextFileException&) {
        // A file that breaks off while it is read is not written back: its rest would be lost.
        m_lines.clear();
        m_loadFailed = true;
    }
    return !m_loadFailed;
}

std::size_t CIniFile::FindSection(const std::wstring& section) const {
    const std::wstring header = L"[" + section + L"]";
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (ovrin::Trimmed(m_lines[i]) == header)
            return i;
    }
    return std::wstring::npos;
}

bool CIniFile::GetValue(const std::wstring& section, const std::wstring& key, std::wstring& value) const {
    value.clear();
    if (m_loadFailed)
        return false;
    std::size_t header = FindSection(section);
    if (header == std::wstring::npos)
        return false;
    const std::wstring wanted = ovrin::Trimmed(key);
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        std::wstring trimmed = ovrin::Trimmed(m_lines[i]);
        if (trimmed.empty() || trimmed.front() == L';')
            continue;
        if (IsSectionLine(trimmed))
            return false;
        std::size_t equals = m_lines[i].find(L'=');
        if (KeyOf(m_lines[i]) != wanted || equals == std::wstring::npos)
            continue;
        value = m_lines[i].substr(equals + 1);
        if (value.size() > 1 && value.front() == L'"' && value.back() == L'"')
            value = value.substr(1, value.size() - 2);
        return true;
    }
    return false;
}

bool CIniFile::SetValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    if (m_loadFailed)
        return false;
    const std::wstring line = key + L"=\"" + value + L"\"";
    std::size_t header = FindSection(section);
    if (header == std::wstring::npos) {
        m_lines.push_back(L"[" + section + L"]");
        m_lines.push_back(line);
        return true;
    }
    // The key is looked for in its own section only: a key of the same name in a later section is
    // another setting, and GetValue would never find a line changed there.
    const std::wstring wanted = ovrin::Trimmed(key);
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        std::wstring trimmed = ovrin::Trimmed(m_lines[i]);
        if (IsSectionLine(trimmed))
            break;
        if (trimmed.empty() || trimmed.front() == L';')
            continue;
        std::wstring lineKey = KeyOf(m_lines[i]);
        if (!lineKey.empty() && lineKey == wanted) {
            m_lines[i] = line;
            return true;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(header + 1), line);
    return true;
}

bool CIniFile::Save() {
    if (m_loadFailed || !m_loaded)
        return false;
    const std::wstring replacement = m_path + L".new";
    try {
        CTextFileWrite file(replacement, EncodingAnsi);
        if (!file.IsOpen())
            return false;
        for (const std::wstring& line : m_lines) {
            file.WriteText(line);
            file.WriteLineEnd();
        }
        file.Close();
    } catch (const CTextFileException&) {
        // A full disk or a write fault: the old file stays as it was.
        ovrin::DeleteFileAt(replacement);
        return false;
    }
    if (!ovrin::ReplaceFileWith(replacement, m_path)) {
        ovrin::DeleteFileAt(replacement);
        return false;
    }
    return true;
}

bool CIniFile::Release() {
    bool saved = m_loadFailed || Save();
    m_lines.clear();
    m_loaded = false;
    return saved;
}
