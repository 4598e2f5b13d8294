// The files of user dictionaries: making a new one (information stream, one empty index block and
// one empty article block), its names, and the stream writes every change of a user dictionary goes
// through, with a way for tests to make those writes fail part-way.
#pragma once

#include "cfb/Storage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dengine {

// Replaces the whole contents of an existing stream of the storage.
bool WriteUserStream(cfb::Storage& storage, const std::wstring& name, const std::vector<std::uint8_t>& bytes);
bool CommitUserStorage(cfb::Storage& storage);

// The seam through which the tests make writes of user dictionaries fail: asked before each stream
// write, false fails it. The programs set none; null removes it.
using UserWriteGate = bool (*)();
void SetUserWriteGate(UserWriteGate gate);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.dic" from a new GUID.
std::wstring NewGuidFileName();

// The 25-byte information stream of a new user dictionary.
std::vector<std::uint8_t> NewUserInformation(const std::string& name, std::uint16_t direction);

} // namespace dengine
