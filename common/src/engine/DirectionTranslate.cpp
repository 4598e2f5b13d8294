// CDirection::Translate: a text cut into runs at line breaks and form feeds, the runs converted to the
// engine's coding and translated one after another on a worker thread (or through the wide call on
// this thread), the output of the runs put back together with the breaks.
#include "common/EngineClient.h"

#include "Workers.h"

#include "xlatcp/Xlatcp.h"

using namespace ovrin::engine;

namespace {

constexpr DWORD kWaitStep = 500;
constexpr wchar_t kStopEventName[] = L"TransStopEvent";

// Line breaks and form feeds end a run, and so does every other control character but the tab: a NUL
// would end the engine's zero-terminated text and lose the rest of the run, and U+0018 would be read
// as the byte that stands for the pound sign. They are copied as they are.
bool IsBreak(wchar_t c) {
    return c < 0x20 && c != L'\t';
}

// The length of the next piece of a run: all of it when it fits, otherwise up to and including its
// last space within the limit, otherwise the limit (never between the halves of a surrogate pair).
std::size_t PieceLength(std::wstring_view run) {
    if (run.size() <= CDirection::kMaxRunLength)
        return run.size();
    std::size_t space = run.find_last_of(L' ', CDirection::kMaxRunLength - 1);
    if (space != std::wstring_view::npos)
        return space + 1;
    std::size_t cut = CDirection::kMaxRunLength;
    if (run[cut - 1] >= 0xD800 && run[cut - 1] <= 0xDBFF)
        --cut;
    return cut;
}

// The run in the engine's coding: the plain coding, three characters mapped to bytes of the engine's
// own, and every other byte re-encoded for its character's language.
std::string EngineBytes(const std::wstring& run, DWORD dirId) {
    CAsciiString plain(run);
    unsigned short source = static_cast<unsigned short>(dirId & 0xFFFF);
    char* bytes = plain.Data();
    // Neighbouring bytes of the same language are re-encoded in one call.
    auto languageOf = [&](std::size_t i) -> int {
        wchar_t c = run[i];
        if (c == 0x2026 || c == 0x2116 || (c == 0x00A3 && source == XLAT_LANGUAGE_ENGLISH))
            return 0; // mapped to a byte of the engine's own
        return c >= 0x0400 && c <= 0x04FF ? XLAT_LANGUAGE_RUSSIAN : XLAT_LANGUAGE_ENGLISH;
    };
    for (std::size_t i = 0; i < run.size();) {
        int language = languageOf(i);
        if (language == 0) {
            wchar_t c = run[i];
            bytes[i++] = static_cast<char>(c == 0x2026 ? 0xC1 : c == 0x2116 ? 0xFC : 0x18);
            continue;
        }
        std::size_t end = i + 1;
        while (end < run.size() && languageOf(end) == language)
            ++end;
        XlatPlainToEngine(static_cast<unsigned short>(language), bytes + i, bytes + i,
                          static_cast<unsigned short>(end - i));
        i = end;
    }
    return std::string(bytes, plain.Length());
}

// The text as pieces to translate, each with the breaks before it and its place in the text, and the
// breaks after the last.
struct Pieces {
    std::vector<CDirection::Piece> pieces;
    std::wstring tail;
};

Pieces CutIntoPieces(const std::wstring& text) {
    Pieces cut;
    std::wstring breaks;
    for (std::size_t i = 0; i < text.size();) {
        if (IsBreak(text[i])) {
            breaks.push_back(text[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsBreak(text[end]))
            ++end;
        std::wstring_view run(text.data() + i, end - i);
        while (!run.empty()) {
            std::size_t length = PieceLength(run);
            std::size_t start = static_cast<std::size_t>(run.data() - text.data());
            cut.pieces.push_back({std::move(breaks), std::wstring(run.substr(0, length)), start});
            breaks.clear();
            run.remove_prefix(length);
        }
        i = end;
    }
    cut.tail = std::move(breaks);
    return cut;
}

} // namespace

std::wstring CDirection::Translate(const std::wstring& text, HRESULT& code, std::size_t* translated) {
    std::size_t reached = 0;
    if (translated != nullptr)
        *translated = 0;
    if (text.empty())
        return {};
    if (m_translator == nullptr) {
        code = E_UNEXPECTED;
        return {};
    }
    IOvrinTranslatorWide* wide = nullptr;
    if (FAILED(m_translator->QueryInterface(kIidTranslatorWide, reinterpret_cast<void**>(&wide))))
        wide = nullptr;
    Pieces cut = CutIntoPieces(text);
    m_accumulator.clear();
    if (wide != nullptr && m_trans3 != 0) {
        code = TranslateWide(cut.pieces, cut.tail, text.size(), wide, reached);
    } else {
        // All runs go to the worker at once: one hand-off (and one supervisor) per text, not per run.
        auto request = std::make_shared<RunRequest>(m_translator, m_dirId, m_stopFlag, m_workers);
        request->runs.reserve(cut.pieces.size());
        for (Piece& piece : cut.pieces)
            request->runs.push_back({std::move(piece.before), EngineBytes(piece.text, m_dirId), piece.start,
                                     piece.start + piece.text.size(), std::move(piece.text)});
        request->tail = std::move(cut.tail);
        request->textLength = text.size();
        code = RunOnWorker(request, m_accumulator, reached);
    }
    if (translated != nullptr)
        *translated = reached;
    if (wide != nullptr)
        wide->Release();
    std::wstring result = std::move(m_accumulator);
    m_accumulator.clear();
    return result;
}

HRESULT CDirection::TranslateWide(const std::vector<Piece>& pieces, const std::wstring& tail, std::size_t textLength,
                                  IOvrinTranslatorWide* wide, std::size_t& reached) {
    HRESULT last = S_OK;
    for (const Piece& piece : pieces) {
        m_accumulator += piece.before;
        reached = piece.start;
        OvrinTrdCallBack callback(m_dirId);
        HRESULT result = wide->TranslateW(piece.text.c_str(), &callback);
        last = TextCode(last, result);
        if (result == E_ABORT)
            return last; // nothing more is translated, nor what the engine gave of this piece
        m_accumulator += callback.TakeResult();
        reached = piece.start + piece.text.size();
    }
    m_accumulator += tail;
    reached = textLength;
    return last;
}

HRESULT CDirection::RunOnWorker(const std::shared_ptr<RunRequest>& request, std::wstring& output,
                                std::size_t& reached) {
    if (!request->finished)
        return HRESULT_FROM_WIN32(GetLastError());
    if (m_stopFlag == nullptr) {
        if (!m_workers->Submit(request))
            return HRESULT_FROM_WIN32(GetLastError());
        WaitForSingleObject(request->finished.Get(), INFINITE);
        return request->Collect(output, reached);
    }
    request->stopEvent.Reset(CreateEventW(nullptr, FALSE, FALSE, kStopEventName));
    if (!request->stopEvent)
        return HRESULT_FROM_WIN32(GetLastError());
    CHandle supervisor(StartSupervisor(request));
    if (!supervisor)
        return HRESULT_FROM_WIN32(GetLastError());
    while (WaitForSingleObject(supervisor.Get(), kWaitStep) == WAIT_TIMEOUT) {
        if (*m_stopFlag != 0 && !request->stopRequested) {
            request->stopRequested = true;
            SetEvent(request->stopEvent.Get());
        }
    }
    // Stopped while the engine works on: what is done so far is kept, whatever comes later dropped.
    return request->Collect(output, reached);
}
