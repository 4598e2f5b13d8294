// The sweep behind EncodeEntities, for callers that encode a text while copying it somewhere else
// (the page translator encodes each run of the engine's answer as it puts it into the page).
#pragma once

#include <string>
#include <string_view>

namespace ovrin {

// Appends text to out with every character that has a row in the entity table replaced by the
// row's name; what EncodeEntities does to a text in place.
void AppendEncodedEntities(std::wstring& out, std::wstring_view text);

} // namespace ovrin
