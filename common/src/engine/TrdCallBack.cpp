// OvrinTrdCallBack: the engine's output of one run, decoded to wide text. Bytes inside registered
// source terms are the source's own: where the run holds them they are given back as the run's
// characters (the caller codes Cyrillic and other letters in different planes, so the bytes alone
// cannot say which character they were); elsewhere they are read in the source language. All other
// bytes are read in the target language.
#include "common/EngineClient.h"

#include "xlatcp/Xlatcp.h"

#include <algorithm>

namespace {

// Case folding for the term search: ASCII letters, and the upper halves of the letter rows the two
// planes share (0xC0-0xDF against 0xE0-0xFF).
unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    return c;
}

std::string Folded(const std::string& text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return folded;
}

// Converts bytes [begin, end) of text in language to wide characters appended to out.
void Decode(unsigned short language, std::string& text, std::size_t begin, std::size_t end, std::wstring& out) {
    while (begin < end) {
        auto count = static_cast<unsigned short>(std::min<std::size_t>(end - begin, 0xFFFF));
        XlatEngineToPlain(language, text.data() + begin, text.data() + begin, count);
        std::size_t at = out.size();
        out.resize(at + count);
        XlatPlainToWide(language, text.data() + begin, out.data() + at, count);
        begin += count;
    }
}

} // namespace

std::vector<std::pair<std::size_t, std::size_t>> OvrinTrdCallBack::FindTerms(const std::string& text,
                                                                             const std::vector<std::string>& terms) {
    std::vector<std::pair<std::size_t, std::size_t>> found;
    // Both sides folded once, so that each term is a plain search, continuing after each match.
    std::string folded = Folded(text);
    for (const std::string& term : terms) {
        if (term.empty() || term.size() > text.size())
            continue;
        std::string key = Folded(term);
        for (std::size_t at = folded.find(key); at != std::string::npos; at = folded.find(key, at + key.size()))
            found.emplace_back(at, key.size());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });
    // An occurrence inside another (or overlapping the one before) is dropped.
    std::vector<std::pair<std::size_t, std::size_t>> kept;
    for (const auto& occurrence : found) {
        if (!kept.empty() && occurrence.first < kept.back().first + kept.back().second)
            continue;
        kept.push_back(occurrence);
    }
    return kept;
}

HRESULT OvrinTrdCallBack::PutText(int length, const char* text) {
    if (length < 0 || (length > 0 && text == nullptr))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_abandoned)
        return S_OK;
    auto source = static_cast<unsigned short>(m_dirId & 0xFFFF);
    auto target = static_cast<unsigned short>(m_dirId >> 16);
    std::string bytes(text, static_cast<std::size_t>(length));
    if (m_terms.empty()) {
        // The whole text, up to its first zero byte.
        bytes.push_back('\0');
        XlatEngineStringToPlain(target, bytes.data(), bytes.data());
        std::size_t n = bytes.find('\0');
        std::size_t at = m_result.size();
        m_result.resize(at + n);
        XlatPlainStringToWide(target, bytes.data(), m_result.data() + at);
        return S_OK;
    }
    m_occurrences = FindTerms(bytes, m_terms);
    // Each occurrence is looked for in the run after the one before it, ignoring case as the term
    // search does.
    std::string folded = Folded(bytes);
    std::string sourceFolded = m_sourceText.size() == m_sourceBytes.size() ? Folded(std::string(m_sourceBytes)) : "";
    std::size_t position = 0, sourceAt = 0;
    for (const auto& [begin, count] : m_occurrences) {
        Decode(target, bytes, position, begin, m_result);
        std::size_t at = sourceFolded.find(folded.data() + begin, sourceAt, count);
        if (at != std::string::npos) {
            m_result.append(m_sourceText.substr(at, count));
            sourceAt = at + count;
        } else {
            Decode(source, bytes, begin, begin + count, m_result);
        }
        position = begin + count;
    }
    Decode(target, bytes, position, bytes.size(), m_result);
    m_occurrences.clear();
    return S_OK;
}

HRESULT OvrinTrdCallBack::AddSourceTerm(const char* term) {
    if (term == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string copy(term);
    if (std::find(m_terms.begin(), m_terms.end(), copy) == m_terms.end())
        m_terms.push_back(std::move(copy));
    return S_OK;
}

HRESULT OvrinTrdCallBack::PutTextW(int length, const wchar_t* text) {
    if (length < 0 || (length > 0 && text == nullptr))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_abandoned)
        m_result.append(text, static_cast<std::size_t>(length));
    return S_OK;
}

std::wstring OvrinTrdCallBack::TakeResult() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_result);
}

void OvrinTrdCallBack::Abandon() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_abandoned = true;
    m_result.clear();
}
