// The files of user dictionaries: making a new one (information stream, one empty index block and
// one empty article block), its names, and the stream writes every change of a user dictionary goes
// through, with a way for tests to make those writes fail part-way.
#pragma once

#include <cfb/Storage.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dengine {

// Replaces the whole contents of an existing stream of the storage.
bool WriteUserStream(cfb::Storage& storage, const std::wstring& name, const std::vector<std::uint8_t>& bytes);
bool CommitUserStorage(cfb::Storage& storage);

// Tests: the next `writes` stream writes succeed and every one after them fails, until called again
// with -1 (never fail).
void FailUserWritesAfter(int writes);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.dic" from a new GUID.
std::wstring NewGuidFileName();

// The 25-byte information stream of a new user dictionary.
std::vector<std::uint8_t> NewUserInformation(const std::string& name, std::uint16_t direction);

} // namespace dengine
