// htmlview.dll: the HTML display control of the suite. A program loads the library by name, calls
// InitHTMLControl with its own instance, and creates child windows of the class "DISPLAYCLASS"
// (with WS_VSCROLL for a scroll bar). It then talks to a window with the messages below.
//
//   WM_SETTEXT (text)          replaces the page's source with text (the empty text clears the page)
//   DTM_CLEAR                  clears the page
//   DTM_ADDTEXTW (0, text)     appends wide HTML source; wParam TRUE appends it as plain text
//   DTM_ADDTEXT (0, text)      the same for 8-bit text in the ANSI code page
//   DTM_ENDOFSOURCE            the source is complete: the page is laid out and drawn
//   DTM_ENABLESHRINK (0, on)   lays wide tables and words out narrowed to the window's width
//   DTM_ANCHORW (0, name)      scrolls to the anchor (a name or id); FALSE when there is none
//
// The page shows what the suite writes: tables (width in pixels or percent, border, cell height,
// valign), font colour and size (1 to 7; larger sizes are 7), bold, italic, line breaks, character
// references, white space collapsed, lines wrapped to the window width. The window scrolls
// vertically with its scroll bar, the mouse wheel and the keys Up, Down, Page Up, Page Down, Home
// and End.
#pragma once

#include <windows.h>

#define HTMLVIEW_DLL L"htmlview.dll"
#define WC_HTML L"DISPLAYCLASS"
#define HTMLVIEW_INIT_FUNCTION "InitHTMLControl"

#define DTM_ADDTEXT (WM_USER + 101)
#define DTM_ADDTEXTW (WM_USER + 102)
#define DTM_ENDOFSOURCE (WM_USER + 104)
#define DTM_ANCHORW (WM_USER + 106)
#define DTM_ENABLESHRINK (WM_USER + 107)
#define DTM_CLEAR (WM_USER + 113)

// Registers "DISPLAYCLASS" for the given instance (the program's); TRUE when the class is ready.
typedef BOOL(WINAPI* InitHtmlControlFunction)(HINSTANCE instance);
