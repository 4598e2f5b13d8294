// Texts of article leaves. A leaf holds at most 255 bytes, so a longer text is split over several
// leaves of the same tag: at "; ", then ", " (translations) or a space (notes, examples), never inside
// the "%N " that opens a language run; a run that has to be split is closed at the end of one leaf
// and opened again at the start of the next. The decoded leaves joined with single spaces give the
// text back. Only a word longer than a leaf is cut inside, which real dictionaries do not have.
#pragma once

#include "dictengine/DictFormat.h"

#include <string>
#include <vector>

namespace dicbuild {

constexpr std::size_t kMaxLeaf = dengine::kMaxLeafData;

enum class TextKind { Translation, Note };

struct LeafSplit {
    std::vector<std::string> leaves;
    bool cutInsideWord = false;
};

LeafSplit SplitIntoLeaves(const std::string& text, TextKind kind);

// 8-bit dictionary text as wide text: the code page of the language, language runs in their own.
std::wstring DecodeDictionaryText(const std::string& bytes, unsigned char language);

} // namespace dicbuild
