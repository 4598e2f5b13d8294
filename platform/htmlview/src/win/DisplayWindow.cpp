// The display window: messages in, GDI drawing out. The page is parsed and laid out lazily, when it
// is painted or scrolled after its source or width changed, so adding text in many pieces costs one
// layout.
#include "DisplayWindow.h"
#include "base/Text.h"
#include "platform/Handles.h"

#include <htmlview/HtmlView.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);

std::mutex g_classesLock;
std::vector<HINSTANCE> g_registeredFor;

COLORREF ToColorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void FillSolid(HDC dc, int x, int y, int width, int height, COLORREF color) {
    if (width <= 0 || height <= 0)
        return;
    RECT rect = {x, y, x + width, y + height};
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// Plain text as page source: the characters HTML reads as markup escaped, line breaks kept.
std::wstring PlainTextAsHtml(std::wstring_view text) {
    std::wstring html;
    for (wchar_t c : ovrin::EscapedForHtml(text)) {
        if (c == L'\n')
            html += L"<br>";
        else
            html += c;
    }
    return html;
}

} // namespace

bool CDisplayWindow::RegisterWindowClass(HINSTANCE instance) {
    std::lock_guard<std::mutex> lock(g_classesLock);
    WNDCLASSEXW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WC_HTML;
    if (!CWindow::RegisterWindowClass(windowClass, &CDisplayWindow::Make))
        return false;
    if (std::find(g_registeredFor.begin(), g_registeredFor.end(), instance) == g_registeredFor.end())
        g_registeredFor.push_back(instance);
    return true;
}

void CDisplayWindow::UnregisterWindowClasses() {
    std::lock_guard<std::mutex> lock(g_classesLock);
    for (HINSTANCE instance : g_registeredFor)
        UnregisterClassW(WC_HTML, instance);
    g_registeredFor.clear();
}

bool CDisplayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = OnMessage(message, wParam, lParam);
    return true;
}

LRESULT CDisplayWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        // A window created with a text shows it as its page.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName) && create->lpszName[0] != L'\0')
            OnSetText(create->lpszName);
        return 0;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT area = {0, 0, ClientWidth(), ClientHeight()};
        Draw(reinterpret_cast<HDC>(wParam), area);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(GetHwnd());
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETTEXT:
        OnSetText(reinterpret_cast<const wchar_t*>(lParam));
        return TRUE;
    case DTM_CLEAR:
        OnSetText(nullptr);
        return 0;
    case DTM_ADDTEXTW:
        if (lParam != 0)
            OnAddText(reinterpret_cast<const wchar_t*>(lParam), wParam != 0);
        return 0;
    case DTM_ADDTEXT:
        if (lParam != 0) {
            const char* text = reinterpret_cast<const char*>(lParam);
            int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
            std::wstring wide(std::max(length, 1), L'\0');
            MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
            wide.resize(std::max(length - 1, 0));
            OnAddText(wide, wParam != 0);
        }
        return 0;
    case DTM_ENDOFSOURCE:
        OnEndOfSource();
        return 0;
    case DTM_ENABLESHRINK:
        OnEnableShrink(lParam != 0);
        return 0;
    case DTM_ANCHORW:
        return lParam != 0 && OnAnchor(reinterpret_cast<const wchar_t*>(lParam)) ? TRUE : FALSE;
    default:
        return DefWindowProcW(GetHwnd(), message, wParam, lParam);
    }
}

int CDisplayWindow::ClientHeight() const {
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    return client.bottom - client.top;
}

int CDisplayWindow::ClientWidth() const {
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    return client.right - client.left;
}

int CDisplayWindow::LineStep() {
    htmlview::FontMetrics metrics = m_measurer.Metrics(htmlview::FontSpec{});
    return std::max(metrics.ascent + metrics.descent, 1);
}

void CDisplayWindow::SourceChanged() {
    m_documentStale = true;
    m_layoutStale = true;
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CDisplayWindow::OnSetText(const wchar_t* text) {
    m_source = text != nullptr ? text : L"";
    m_top = 0;
    SourceChanged();
    EnsureLayout();
}

void CDisplayWindow::OnAddText(std::wstring_view text, bool plainText) {
    if (plainText)
        m_source += PlainTextAsHtml(text);
    else
        m_source += text;
    SourceChanged();
}

void CDisplayWindow::OnEndOfSource() {
    EnsureLayout();
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CDisplayWindow::OnEnableShrink(bool shrink) {
    if (shrink == m_shrink)
        return;
    m_shrink = shrink;
    m_layoutStale = true;
    EnsureLayout();
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

bool CDisplayWindow::OnAnchor(const wchar_t* name) {
    EnsureLayout();
    std::wstring_view wanted = name;
    if (!wanted.empty() && wanted.front() == L'#')
        wanted.remove_prefix(1);
    for (const htmlview::AnchorPosition& anchor : m_layout.anchors) {
        if (anchor.name == wanted) {
            ScrollTo(anchor.y);
            return true;
        }
    }
    return false;
}

void CDisplayWindow::OnSize() {
    if (ClientWidth() != m_layoutWidth)
        m_layoutStale = true;
    EnsureLayout();
    ScrollTo(m_top);
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CDisplayWindow::EnsureLayout() {
    if (m_documentStale) {
        m_document = htmlview::Document::Parse(m_source);
        m_documentStale = false;
        m_layoutStale = true;
    }
    if (!m_layoutStale)
        return;
    htmlview::LayoutOptions options;
    options.width = std::max(ClientWidth(), 1);
    options.shrinkToWidth = m_shrink;
    m_layout = htmlview::LayOutDocument(m_document, options, m_measurer);
    m_layoutWidth = ClientWidth();
    m_layoutStale = false;
    m_top = std::min(m_top, LastTop());
    UpdateScrollBar();
}

void CDisplayWindow::UpdateScrollBar() {
    // The bar stays (disabled when everything fits): showing and hiding it would change the width
    // the page is laid out for.
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(m_layout.height - 1, 0);
    info.nPage = static_cast<UINT>(std::max(ClientHeight(), 0));
    info.nPos = m_top;
    SetScrollInfo(GetHwnd(), SB_VERT, &info, TRUE);
}

void CDisplayWindow::ScrollTo(int top) {
    EnsureLayout();
    top = std::clamp(top, 0, LastTop());
    if (top == m_top)
        return;
    m_top = top;
    UpdateScrollBar();
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CDisplayWindow::OnVScroll(WORD request) {
    EnsureLayout();
    int page = std::max(ClientHeight() - LineStep(), LineStep());
    switch (request) {
    case SB_LINEUP:
        ScrollTo(m_top - LineStep());
        break;
    case SB_LINEDOWN:
        ScrollTo(m_top + LineStep());
        break;
    case SB_PAGEUP:
        ScrollTo(m_top - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(m_top + page);
        break;
    case SB_TOP:
        ScrollTo(0);
        break;
    case SB_BOTTOM:
        ScrollTo(LastTop());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(GetHwnd(), SB_VERT, &info))
            ScrollTo(info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

void CDisplayWindow::OnKeyDown(WPARAM key) {
    static constexpr struct {
        WPARAM key;
        WORD request;
    } kKeys[] = {{VK_UP, SB_LINEUP},     {VK_DOWN, SB_LINEDOWN}, {VK_PRIOR, SB_PAGEUP},
                 {VK_NEXT, SB_PAGEDOWN}, {VK_HOME, SB_TOP},      {VK_END, SB_BOTTOM}};
    for (const auto& entry : kKeys) {
        if (entry.key == key) {
            OnVScroll(entry.request);
            return;
        }
    }
}

void CDisplayWindow::OnMouseWheel(short delta) {
    ScrollTo(m_top - delta * 3 * LineStep() / WHEEL_DELTA);
}

void CDisplayWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(GetHwnd(), &paint);
    RECT area = paint.rcPaint;
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        // Drawn off screen and copied in one piece, so scrolling does not flicker.
        CMemoryDcHandle buffer(CreateCompatibleDC(dc));
        CBitmapHandle bitmap(CreateCompatibleBitmap(dc, width, height));
        HGDIOBJ previousBitmap = SelectObject(buffer.Get(), bitmap.Get());
        SetViewportOrgEx(buffer.Get(), -area.left, -area.top, nullptr);
        Draw(buffer.Get(), area);
        SetViewportOrgEx(buffer.Get(), 0, 0, nullptr);
        BitBlt(dc, area.left, area.top, width, height, buffer.Get(), 0, 0, SRCCOPY);
        SelectObject(buffer.Get(), previousBitmap); // the bitmap goes first, no longer selected
    }
    EndPaint(GetHwnd(), &paint);
}

// Draws the part of the page under area (client coordinates) into dc.
void CDisplayWindow::Draw(HDC dc, const RECT& area) {
    EnsureLayout();
    FillSolid(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, kBackground);
    auto visible = [&](int y, int height) { return y - m_top < area.bottom && y - m_top + height > area.top; };

    for (const htmlview::FillBox& fill : m_layout.fills) {
        if (visible(fill.y, fill.height))
            FillSolid(dc, fill.x, fill.y - m_top, fill.width, fill.height, ToColorRef(fill.color));
    }
    for (const htmlview::FrameBox& frame : m_layout.frames) {
        if (!visible(frame.y, frame.height))
            continue;
        COLORREF color = ToColorRef(frame.color);
        int top = frame.y - m_top;
        int thickness = std::min({frame.thickness, frame.width / 2 + 1, frame.height / 2 + 1});
        FillSolid(dc, frame.x, top, frame.width, thickness, color);
        FillSolid(dc, frame.x, top + frame.height - thickness, frame.width, thickness, color);
        FillSolid(dc, frame.x, top, thickness, frame.height, color);
        FillSolid(dc, frame.x + frame.width - thickness, top, thickness, frame.height, color);
    }

    SetBkMode(dc, TRANSPARENT);
    UINT previousAlign = SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    HGDIOBJ previousFont = SelectObject(dc, m_measurer.Font(htmlview::FontSpec{}));
    std::vector<INT> advances;
    for (const htmlview::TextBox& box : m_layout.texts) {
        if (!visible(box.y, box.height) || box.text.empty())
            continue;
        SelectObject(dc, m_measurer.Font(box.font));
        SetTextColor(dc, ToColorRef(box.color));
        m_measurer.Advances(box.font, box.text, advances);
        ExtTextOutW(dc, box.x, box.baseline - m_top, 0, nullptr, box.text.data(), static_cast<UINT>(box.text.size()),
                    advances.data());
    }
    SelectObject(dc, previousFont);
    SetTextAlign(dc, previousAlign);
}
