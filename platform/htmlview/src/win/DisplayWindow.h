// CDisplayWindow: one window of the class "DISPLAYCLASS". It keeps the page's source as it arrives,
// parses and lays it out for its width when the page is shown, draws the layout with GDI and scrolls
// it vertically. Whoever makes a window of the class gets one; it goes with its window.
#pragma once

#include "GdiTextMeasurer.h"
#include "HtmlDocument.h"
#include "HtmlLayout.h"
#include "platform/Window.h"

#include <windows.h>

#include <string>
#include <string_view>

class CDisplayWindow : public CWindow {
public:
    // Registers the class for an instance (again, when a class of that name left behind by an earlier
    // load of the library points elsewhere). False when it cannot be registered.
    static bool RegisterWindowClass(HINSTANCE instance);
    // Unregisters the classes this load registered (the library is going).
    static void UnregisterWindowClasses();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnNcDestroy() override { delete this; }

private:
    CDisplayWindow() = default;
    static CWindow* Make() { return new CDisplayWindow; }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void OnSize();
    void OnVScroll(WORD request);
    void OnKeyDown(WPARAM key);
    void OnMouseWheel(short delta);
    void OnSetText(const wchar_t* text);
    void OnAddText(std::wstring_view text, bool plainText);
    void OnEndOfSource();
    void OnEnableShrink(bool shrink);
    bool OnAnchor(const wchar_t* name);

    void Draw(HDC dc, const RECT& area);
    void SourceChanged();
    void EnsureLayout();
    void UpdateScrollBar();
    void ScrollTo(int top);
    int ClientHeight() const;
    int ClientWidth() const;
    int LineStep();
    int LastTop() const { return std::max(0, m_layout.height - ClientHeight()); }

    std::wstring m_source;
    bool m_shrink = false;
    bool m_documentStale = true;
    bool m_layoutStale = true;
    htmlview::Document m_document;
    htmlview::PageLayout m_layout;
    int m_layoutWidth = -1;
    int m_top = 0;
    CGdiTextMeasurer m_measurer;
};
