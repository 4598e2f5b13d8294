// Text files in four encodings, recognised by their byte-order marks, read line by line with every
// kind of line end (CR, LF, CR LF) taken as one, and written with CR LF. Text in and out is wide.
// Used for the dictionary program's list files, saved translations and the page exchange file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

enum TextEncoding : std::uint32_t {
    EncodingAnsi = 0,    // no mark; 8-bit text in the ANSI code page (or the one set on the object)
    EncodingUtf16BE = 1, // FE FF
    EncodingUtf16LE = 2, // FF FE
    EncodingUtf8 = 3,    // EF BB BF
};

// Raised when reading or writing a file that is open fails; the file is closed by then.
class CTextFileException {
public:
    explicit CTextFileException(std::uint32_t errorCode) : m_errorCode(errorCode) {}
    std::uint32_t GetErrorCode() const { return m_errorCode; }

private:
    std::uint32_t m_errorCode;
};

namespace ovrin::detail {
class FileHandle;
}

class CTextFileBase {
public:
    static constexpr int kBufferSize = 1024;

    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;
    virtual ~CTextFileBase();

    bool IsOpen() const;
    TextEncoding GetEncoding() const { return m_encoding; }

    // The code page of EncodingAnsi text; 0, the default, is the ANSI code page.
    void SetCodePage(unsigned codePage) { m_codePage = codePage; }
    unsigned GetCodePage() const { return m_codePage; }

    virtual void Close();

protected:
    explicit CTextFileBase(TextEncoding encoding);

    std::unique_ptr<ovrin::detail::FileHandle> m_file; // null when opening failed or after Close
    TextEncoding m_encoding;
    unsigned m_codePage = 0;
    unsigned char m_buffer[kBufferSize];
    int m_bufferLast = -1; // index of the last byte used; -1 when the buffer is empty

    [[noreturn]] void Fail(std::uint32_t errorCode);
};

class CTextFileRead : public CTextFileBase {
public:
    // Opens an existing file, letting others read it but not write it, and recognises its encoding.
    // A file that cannot be opened leaves the object closed and at end of file.
    explicit CTextFileRead(const std::wstring& path);

    // The next line without its line end; false at end of file.
    bool ReadLine(std::wstring& line);

    // All remaining lines with the separator between them; false when the file is not open.
    bool ReadAll(std::wstring& text, const std::wstring& separator = L"\r\n");

private:
    int m_validBytes = 0;
    bool m_endOfFile = false;
    bool m_firstLine = true;
    wchar_t m_pushedBack = 0;
    bool m_hasPushedBack = false;
    // Bytes taken from the buffer to look ahead at a four-byte UTF-8 sequence but not used by it.
    unsigned char m_lookahead[3];
    int m_lookaheadCount = 0;
    // The low half of a character above U+FFFF, read as one sequence and handed out as two units.
    wchar_t m_pendingLowSurrogate = 0;

    void DetectEncoding();
    bool FetchByte(unsigned char& byte);
    void UnreadBytes(const unsigned char* bytes, int count);
    unsigned char ReadByte();
    wchar_t ReadChar();
    wchar_t ReadUtf8Char();
    wchar_t NextChar();
};

class CTextFileWrite : public CTextFileBase {
public:
    // Creates the file, or truncates it, for writing without sharing, and writes the encoding's mark.
    CTextFileWrite(const std::wstring& path, TextEncoding encoding);
    ~CTextFileWrite() override;

    void WriteText(const std::wstring& text);
    // CR then LF, as two characters of the file's encoding.
    void WriteLineEnd();
    // Writes out the buffer and closes.
    void Close() override;

private:
    // A high surrogate at the end of the last WriteText, held back so that a pair split over two
    // calls is still written as one UTF-8 sequence.
    wchar_t m_pendingHighSurrogate = 0;

    void WriteByte(unsigned char byte);
    void WriteBytes(const std::string& bytes);
    void WriteUnit(wchar_t unit);
    void WriteCodePoint(char32_t codePoint);
    void FlushPendingSurrogate();
    void FlushBuffer();
};
