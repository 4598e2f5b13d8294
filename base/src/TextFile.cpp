// Reading and writing text files in the four encodings. Line ends and byte-order marks follow the
// rules the dictionary program's list files and the page exchange file were written with, so files
// written by earlier versions read the same. UTF-8 characters above U+FFFF are read and written as
// single four-byte sequences (surrogate pairs inside the program).
#include "base/TextFile.h"

#include "FileHandle.h"
#include "base/CodePage.h"
#include "base/Unicode.h"

namespace {

constexpr wchar_t kCR = L'\r';
constexpr wchar_t kLF = L'\n';
constexpr wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

using ovrin::detail::FileHandle;

// ---- CTextFileBase ----

CTextFileBase::CTextFileBase(TextEncoding encoding) : m_encoding(encoding) {}

CTextFileBase::~CTextFileBase() = default;

bool CTextFileBase::IsOpen() const {
    return m_file != nullptr;
}

void CTextFileBase::Close() {
    m_file.reset();
    m_bufferLast = -1;
}

void CTextFileBase::Fail(std::uint32_t errorCode) {
    m_file.reset();
    m_bufferLast = -1;
    throw CTextFileException(errorCode);
}

// ---- CTextFileRead ----

CTextFileRead::CTextFileRead(const std::wstring& path) : CTextFileBase(EncodingAnsi) {
    std::uint32_t error = 0;
    m_file.reset(FileHandle::OpenForReading(path, &error));
    if (!m_file) {
        m_endOfFile = true;
        return;
    }
    DetectEncoding();
}

// Reads the first bytes once and decides by the mark; without a mark reading starts again at the
// first byte. A file that fails here is treated as one that could not be opened, since nobody can
// catch an exception from the constructor.
void CTextFileRead::DetectEncoding() {
    std::size_t got = 0;
    if (m_file->Read(m_buffer, kBufferSize, &got) != 0) {
        Close();
        m_endOfFile = true;
        return;
    }
    m_validBytes = static_cast<int>(got);
    m_bufferLast = -1;
    m_encoding = EncodingAnsi;
    if (got >= 2 && m_buffer[0] == 0xFF && m_buffer[1] == 0xFE) {
        m_encoding = EncodingUtf16LE;
        m_bufferLast = 1;
    } else if (got >= 2 && m_buffer[0] == 0xFE && m_buffer[1] == 0xFF) {
        m_encoding = EncodingUtf16BE;
        m_bufferLast = 1;
    } else if (got >= 3 && m_buffer[0] == 0xEF && m_buffer[1] == 0xBB && m_buffer[2] == 0xBF) {
        m_encoding = EncodingUtf8;
        m_bufferLast = 2;
    }
    if (got == 0)
        m_bufferLast = kBufferSize - 1; // nothing was read: the next byte asks the file again
    m_firstLine = true;
}

// The next byte of the file, refilling the buffer when it is used up; false at end of file.
bool CTextFileRead::FetchByte(unsigned char& byte) {
    if (m_lookaheadCount > 0) {
        byte = m_lookahead[0];
        for (int i = 1; i < m_lookaheadCount; ++i)
            m_lookahead[i - 1] = m_lookahead[i];
        --m_lookaheadCount;
        return true;
    }
    if (!m_file)
        return false;
    if (m_bufferLast + 1 >= m_validBytes) {
        // A short refill means the file ended; only a full one can be followed by more bytes.
        if (m_validBytes < kBufferSize && m_bufferLast != kBufferSize - 1)
            return false;
        std::size_t got = 0;
        if (std::uint32_t error = m_file->Read(m_buffer, kBufferSize, &got))
            Fail(error);
        m_validBytes = static_cast<int>(got);
        m_bufferLast = -1;
        if (got == 0) {
            m_bufferLast = kBufferSize - 1;
            return false;
        }
    }
    byte = m_buffer[++m_bufferLast];
    return true;
}

unsigned char CTextFileRead::ReadByte() {
    unsigned char byte = 0;
    if (!FetchByte(byte)) {
        m_endOfFile = true;
        return 0;
    }
    return byte;
}

namespace {

// The bytes that may follow a lead byte as its second byte: narrower than 80-BF where the wider
// range would give an overlong form or a code point above U+10FFFF. (Encoded surrogates are
// judged once the whole sequence is read.)
bool SecondByteFits(unsigned char lead, unsigned char second) {
    if (!IsContinuation(second))
        return false;
    switch (lead) {
    case 0xE0:
        return second >= 0xA0;
    case 0xF0:
        return second >= 0x90;
    case 0xF4:
        return second < 0x90;
    default:
        return true;
    }
}

} // namespace

// Reads one character. A sequence is taken only when it is well formed: a lead byte whose
// continuation bytes are missing or wrong, an overlong form, an encoded surrogate and a code point
// above U+10FFFF give one U+FFFD for the bytes that could still have begun a character, and the
// first byte that could not is read again, so a cut sequence never swallows the line end after it. Characters above
// U+FFFF come as surrogate pairs, from one four-byte sequence or from the two three-byte sequences of a pair that
// earlier writers made.
wchar_t CTextFileRead::ReadUtf8Char() {
    unsigned char lead = ReadByte();
    if (lead < 0x80)
        return lead;
    int length = lead >= 0xC2 && lead <= 0xDF ? 2 : (lead & 0xF0) == 0xE0 ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0)
        return kReplacement;
    unsigned char tail[3];
    int fetched = 0;
    while (fetched < length - 1) {
        if (!FetchByte(tail[fetched]))
            return kReplacement;
        ++fetched;
        bool fits = fetched == 1 ? SecondByteFits(lead, tail[0]) : IsContinuation(tail[fetched - 1]);
        if (!fits) {
            UnreadBytes(&tail[fetched - 1], 1);
            return kReplacement;
        }
    }
    if (length == 2)
        return static_cast<wchar_t>(((lead & 0x1F) << 6) | (tail[0] & 0x3F));
    if (length == 4) {
        char32_t codePoint = (char32_t(lead & 0x07) << 18) | (char32_t(tail[0] & 0x3F) << 12) |
                             (char32_t(tail[1] & 0x3F) << 6) | (tail[2] & 0x3F);
        codePoint -= 0x10000;
        m_pendingLowSurrogate = static_cast<wchar_t>(0xDC00 | (codePoint & 0x3FF));
        return static_cast<wchar_t>(0xD800 | (codePoint >> 10));
    }
    auto unit = static_cast<wchar_t>(((lead & 0x0F) << 12) | ((tail[0] & 0x3F) << 6) | (tail[1] & 0x3F));
    if (!ovrin::IsHighSurrogate(unit) && !ovrin::IsLowSurrogate(unit))
        return unit;
    // An encoded surrogate stands only as the first half of a pair whose second half follows at once;
    // a lone one is one U+FFFD, and the bytes after it are read again.
    if (!ovrin::IsHighSurrogate(unit))
        return kReplacement;
    unsigned char low[3];
    int got = 0;
    while (got < 3 && FetchByte(low[got]))
        ++got;
    if (got == 3 && low[0] == 0xED && low[1] >= 0xB0 && low[1] <= 0xBF && IsContinuation(low[2])) {
        m_pendingLowSurrogate = static_cast<wchar_t>(0xDC00 | ((low[1] & 0x0F) << 6) | (low[2] & 0x3F));
        return unit;
    }
    UnreadBytes(low, got);
    return kReplacement;
}

// Puts bytes back in front of those still to be read. They were taken from the look-ahead or the
// buffer just before, so together they never exceed three.
void CTextFileRead::UnreadBytes(const unsigned char* bytes, int count) {
    unsigned char merged[3];
    for (int i = 0; i < count; ++i)
        merged[i] = bytes[i];
    for (int i = 0; i < m_lookaheadCount; ++i)
        merged[count + i] = m_lookahead[i];
    m_lookaheadCount += count;
    for (int i = 0; i < m_lookaheadCount; ++i)
        m_lookahead[i] = merged[i];
}

wchar_t CTextFileRead::ReadChar() {
    if (m_pendingLowSurrogate != 0) {
        wchar_t low = m_pendingLowSurrogate;
        m_pendingLowSurrogate = 0;
        return low;
    }
    switch (m_encoding) {
    case EncodingUtf16BE: {
        unsigned char high = ReadByte();
        unsigned char low = ReadByte();
        return static_cast<wchar_t>((high << 8) | low);
    }
    case EncodingUtf16LE: {
        unsigned char low = ReadByte();
        unsigned char high = ReadByte();
        return static_cast<wchar_t>((high << 8) | low);
    }
    case EncodingUtf8:
        return ReadUtf8Char();
    case EncodingAnsi:
    default:
        return ReadByte(); // a byte of the code page; the line is converted when it is complete
    }
}

wchar_t CTextFileRead::NextChar() {
    if (m_hasPushedBack) {
        m_hasPushedBack = false;
        return m_pushedBack;
    }
    return ReadChar();
}

bool CTextFileRead::ReadLine(std::wstring& line) {
    line.clear();
    if (m_endOfFile)
        return false;
    wchar_t c = NextChar();
    // Skip the end of the previous line: CR LF is one line end; CR alone, LF alone and LF CR each end
    // a line by themselves.
    if (!m_firstLine) {
        if (c == kCR)
            c = ReadChar();
        if (c == kLF)
            c = ReadChar();
    }
    m_firstLine = false;
    if (m_encoding == EncodingAnsi) {
        std::string bytes;
        while (!m_endOfFile && c != kCR && c != kLF) {
            bytes.push_back(static_cast<char>(c));
            c = ReadChar();
        }
        line = ovrin::MultiByteToWide(m_codePage, bytes);
    } else {
        while (!m_endOfFile && c != kCR && c != kLF) {
            line.push_back(c);
            c = ReadChar();
        }
    }
    m_pushedBack = c;
    m_hasPushedBack = true;
    return true;
}

bool CTextFileRead::ReadAll(std::wstring& text, const std::wstring& separator) {
    text.clear();
    if (!IsOpen())
        return false;
    std::wstring line;
    bool first = true;
    while (ReadLine(line)) {
        if (!first)
            text += separator;
        text += line;
        first = false;
    }
    return true;
}

// ---- CTextFileWrite ----

CTextFileWrite::CTextFileWrite(const std::wstring& path, TextEncoding encoding) : CTextFileBase(encoding) {
    std::uint32_t error = 0;
    m_file.reset(FileHandle::CreateForWriting(path, &error));
    if (!m_file)
        return;
    switch (m_encoding) {
    case EncodingUtf16BE:
        WriteByte(0xFE);
        WriteByte(0xFF);
        break;
    case EncodingUtf16LE:
        WriteByte(0xFF);
        WriteByte(0xFE);
        break;
    case EncodingUtf8:
        WriteByte(0xEF);
        WriteByte(0xBB);
        WriteByte(0xBF);
        break;
    default:
        break;
    }
}

// Closing writes the buffer out; a failure then cannot be reported from a destructor, and the file
// is closed either way.
CTextFileWrite::~CTextFileWrite() {
    try {
        Close();
    } catch (const CTextFileException&) {
    }
}

void CTextFileWrite::Close() {
    if (m_file) {
        FlushPendingSurrogate();
        FlushBuffer();
    }
    CTextFileBase::Close();
}

void CTextFileWrite::WriteText(const std::wstring& text) {
    if (!m_file)
        return;
    if (m_encoding == EncodingAnsi) {
        WriteBytes(ovrin::WideToMultiByte(m_codePage, text));
        return;
    }
    for (wchar_t unit : text)
        WriteUnit(unit);
}

void CTextFileWrite::WriteLineEnd() {
    if (!m_file)
        return;
    if (m_encoding == EncodingAnsi) {
        WriteByte('\r');
        WriteByte('\n');
        return;
    }
    WriteUnit(kCR);
    WriteUnit(kLF);
}

void CTextFileWrite::WriteUnit(wchar_t unit) {
    switch (m_encoding) {
    case EncodingUtf16BE:
        WriteByte(static_cast<unsigned char>((unit >> 8) & 0xFF));
        WriteByte(static_cast<unsigned char>(unit & 0xFF));
        break;
    case EncodingUtf16LE:
        WriteByte(static_cast<unsigned char>(unit & 0xFF));
        WriteByte(static_cast<unsigned char>((unit >> 8) & 0xFF));
        break;
    case EncodingUtf8:
        if (m_pendingHighSurrogate != 0) {
            if (ovrin::IsLowSurrogate(unit)) {
                WriteCodePoint(0x10000 + ((char32_t(m_pendingHighSurrogate) - 0xD800) << 10) +
                               (char32_t(unit) - 0xDC00));
                m_pendingHighSurrogate = 0;
                return;
            }
            FlushPendingSurrogate();
        }
        if (ovrin::IsHighSurrogate(unit))
            m_pendingHighSurrogate = unit;
        else
            WriteCodePoint(static_cast<char32_t>(unit) & 0xFFFF);
        break;
    default:
        break;
    }
}

// UTF-8 bytes of one code point. A lone surrogate has no UTF-8 form: it is written as U+FFFD, which
// is what it reads back as.
void CTextFileWrite::WriteCodePoint(char32_t c) {
    if (c >= 0xD800 && c <= 0xDFFF)
        c = kReplacement;
    if (c < 0x80) {
        WriteByte(static_cast<unsigned char>(c));
    } else if (c < 0x800) {
        WriteByte(static_cast<unsigned char>(0xC0 | (c >> 6)));
        WriteByte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        WriteByte(static_cast<unsigned char>(0xE0 | (c >> 12)));
        WriteByte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
        WriteByte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    } else {
        WriteByte(static_cast<unsigned char>(0xF0 | (c >> 18)));
        WriteByte(static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F)));
        WriteByte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
        WriteByte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    }
}

void CTextFileWrite::FlushPendingSurrogate() {
    if (m_pendingHighSurrogate == 0)
        return;
    char32_t unit = static_cast<char32_t>(m_pendingHighSurrogate);
    m_pendingHighSurrogate = 0;
    WriteCodePoint(unit);
}

void CTextFileWrite::WriteBytes(const std::string& bytes) {
    for (char byte : bytes)
        WriteByte(static_cast<unsigned char>(byte));
}

void CTextFileWrite::WriteByte(unsigned char byte) {
    if (m_bufferLast == kBufferSize - 1)
        FlushBuffer();
    m_buffer[++m_bufferLast] = byte;
}

void CTextFileWrite::FlushBuffer() {
    if (m_bufferLast < 0 || !m_file)
        return;
    std::uint32_t error = m_file->Write(m_buffer, static_cast<std::size_t>(m_bufferLast + 1));
    m_bufferLast = -1;
    if (error != 0)
        Fail(error);
}
