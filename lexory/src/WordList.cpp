// The list operations over CIniFile.
#include "WordList.h"

#include "IniFile.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/TextFile.h"

namespace lexory {

namespace {

std::vector<std::wstring> StoredPieces(const CIniFile& file, std::uint32_t key) {
    std::wstring value;
    file.GetValue(kListSection, std::to_wstring(key), value);
    if (ovrin::IsBlank(value))
        return {};
    return SplitList(value);
}

std::wstring JoinList(const std::vector<std::wstring>& pieces) {
    std::wstring value;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        value += (i == 0 ? L"" : L",") + pieces[i];
    return value;
}

// Removes the first piece standing for index. Pieces are compared by the index they stand for, so
// that an entry the list window shows (" 5", "05") is the one removed.
void RemoveFirst(std::vector<std::wstring>& pieces, unsigned long index) {
    for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
        if (PieceToIndex(*piece) == index) {
            pieces.erase(piece);
            return;
        }
    }
}

} // namespace

std::vector<std::wstring> SplitList(const std::wstring& value) {
    std::vector<std::wstring> pieces;
    std::size_t start = 0;
    // The first comma is looked for from the second character on: a leading comma belongs to the
    // first piece, as stored lists have always been read.
    std::size_t comma = value.find(L',', 1);
    while (comma != std::wstring::npos) {
        pieces.push_back(value.substr(start, comma - start));
        start = comma + 1;
        comma = value.find(L',', start);
    }
    std::wstring last = value.substr(start);
    if (!ovrin::IsBlank(last))
        pieces.push_back(last);
    return pieces;
}

unsigned long PieceToIndex(const std::wstring& piece) {
    std::size_t i = 0;
    while (i < piece.size() && ovrin::IsSpace(piece[i]))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == L'-' || piece[i] == L'+'))
        negative = piece[i++] == L'-';
    std::uint64_t number = 0;
    bool digits = false;
    for (; i < piece.size() && piece[i] >= L'0' && piece[i] <= L'9'; ++i) {
        digits = true;
        number = number * 10 + static_cast<unsigned>(piece[i] - L'0');
        if (number > kNoHeadword)
            return kNoHeadword;
    }
    if (!digits)
        return 0;
    return negative && number != 0 ? kNoHeadword : static_cast<unsigned long>(number);
}

bool ReadIndexList(const std::wstring& path, std::uint32_t key, std::vector<unsigned long>& list) {
    list.clear();
    if (!ovrin::FileExists(path))
        return false;
    CIniFile file;
    file.Load(path);
    std::wstring value;
    if (!file.GetValue(kListSection, std::to_wstring(key), value)) {
        file.Release();
        return false;
    }
    if (!ovrin::IsBlank(value)) {
        for (const std::wstring& piece : SplitList(value))
            list.push_back(PieceToIndex(piece));
    }
    file.Release();
    return true;
}

bool AddIndexToList(const std::wstring& path, std::uint32_t key, unsigned long index, std::size_t limit) {
    if (!ovrin::FileExists(path)) {
        try {
            CTextFileWrite created(path, EncodingAnsi);
            if (!created.IsOpen())
                return false;
            created.Close();
        } catch (const CTextFileException&) {
            return false;
        }
    }
    CIniFile file;
    if (!file.Load(path))
        return false;
    std::vector<std::wstring> pieces = StoredPieces(file, key);
    RemoveFirst(pieces, index);
    pieces.insert(pieces.begin(), std::to_wstring(index));
    if (limit != kNoLimit && pieces.size() > limit)
        pieces.resize(limit);
    file.SetValue(kListSection, std::to_wstring(key), JoinList(pieces));
    return file.Release();
}

bool RemoveIndexFromList(const std::wstring& path, std::uint32_t key, unsigned long index) {
    if (!ovrin::FileExists(path))
        return false;
    CIniFile file;
    if (!file.Load(path))
        return false;
    std::vector<std::wstring> pieces = StoredPieces(file, key);
    if (!pieces.empty()) {
        RemoveFirst(pieces, index);
        file.SetValue(kListSection, std::to_wstring(key), JoinList(pieces));
    }
    return file.Release();
}

} // namespace lexory
