// A program setting that a test changes, put back as it was when the object goes: its old text written
// again, or the setting taken away when it had none (a setting left empty would not read as absent).
#pragma once

#include "common/Registry.h"

#include <string>
#include <utility>

class KeptSetting {
public:
    KeptSetting(std::wstring section, std::wstring name)
        : m_section(std::move(section)), m_name(std::move(name)), m_value(CAppSettings::ReadString(m_section, m_name)) {
    }
    ~KeptSetting() {
        if (!m_value.empty())
            CAppSettings::WriteString(m_section, m_name, m_value);
        else
            CAppSettings::Remove(m_section, m_name);
    }
    KeptSetting(const KeptSetting&) = delete;
    KeptSetting& operator=(const KeptSetting&) = delete;

private:
    std::wstring m_section, m_name, m_value;
};
