// CAsciiString: 8-bit copies of wide texts through the conversion library, and of byte runs.
#include "common/EngineClient.h"

#include "xlatcp/Xlatcp.h"

#include <algorithm>
#include <cstring>

CAsciiString::CAsciiString(const std::wstring& text) : m_buffer(new char[text.size() + 1]()), m_length(text.size()) {
    // The library counts in 16 bits: a longer text goes through in pieces.
    for (std::size_t done = 0; done < text.size();) {
        auto count = static_cast<unsigned short>(std::min<std::size_t>(text.size() - done, 0xFFFF));
        XlatWideToPlain(text.data() + done, m_buffer.get() + done, count);
        done += count;
    }
}

CAsciiString::CAsciiString(const char* bytes, std::size_t n) : m_buffer(new char[n + 1]()), m_length(n) {
    if (n > 0)
        std::memcpy(m_buffer.get(), bytes, n);
}
