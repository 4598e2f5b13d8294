// The text-file reader on arbitrary files: the input is the file, read line by line and whole. The
// lines never hold a line end, a UTF-8 file never gives a lone surrogate, and the lines of a UTF-8 or
// UTF-16 file, written back in its encoding with line ends between them, read back the same.
#include "FuzzFolder.h"
#include "base/TextFile.h"
#include "base/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<std::wstring> ReadLines(const std::wstring& path, TextEncoding* encoding) {
    std::vector<std::wstring> lines;
    try {
        CTextFileRead reader(path);
        *encoding = reader.GetEncoding();
        std::wstring line;
        while (reader.ReadLine(line)) {
            Check(line.find_first_of(L"\r\n") == std::wstring::npos);
            lines.push_back(line);
        }
    } catch (const CTextFileException&) {
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::wstring path = fuzzing::Folder().File("text.txt");
    static const std::wstring copy = fuzzing::Folder().File("copy.txt");
    if (FILE* file = std::fopen(ovrin::Utf16ToUtf8(path).c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    TextEncoding encoding = EncodingAnsi;
    std::vector<std::wstring> lines = ReadLines(path, &encoding);
    Check(!lines.empty()); // even an empty file reads as one empty line

    // ReadAll gives the same lines joined by the separator.
    std::wstring all, joined;
    {
        CTextFileRead reader(path);
        Check(reader.ReadAll(all, L"\n"));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        joined += (i > 0 ? L"\n" : L"") + lines[i];
    Check(all == joined);

    if (encoding == EncodingUtf8) {
        for (const std::wstring& line : lines) {
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (ovrin::IsHighSurrogate(line[i]))
                    Check(i + 1 < line.size() && ovrin::IsLowSurrogate(line[++i]));
                else
                    Check(!ovrin::IsLowSurrogate(line[i]));
            }
        }
    }
    if (encoding == EncodingAnsi)
        return 0;
    {
        CTextFileWrite writer(copy, encoding);
        Check(writer.IsOpen());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                writer.WriteLineEnd();
            writer.WriteText(lines[i]);
        }
    }
    TextEncoding again = EncodingAnsi;
    Check(ReadLines(copy, &again) == lines);
    Check(again == encoding);
    return 0;
}
