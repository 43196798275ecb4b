// Text popups of the HTML Help control library (hhctrl.ocx), bound at the
// first use. A system without the library simply shows no popups.
#pragma once
#include <windows.h>

// HH_POPUP of the HTML Help API (52 bytes).
struct HelpPopup {
  int cbStruct;
  HINSTANCE hinst;
  UINT idString;
  LPCSTR pszText;
  POINT pt;
  COLORREF clrForeground;
  COLORREF clrBackground;
  RECT rcMargins;
  LPCSTR pszFont;
};

const UINT HH_DISPLAY_TEXT_POPUP = 14;

// HtmlHelpA(caller, file, command, data); nullptr when the library or its
// entry could not be had. Only the first call tries; its outcome holds for
// the rest of the run.
typedef HWND(WINAPI* HtmlHelpFunc)(HWND, LPCSTR, UINT, DWORD_PTR);
HtmlHelpFunc BindHtmlHelp();

// Shows `text` in a help popup whose top centre lies at `at` (screen).
void DisplayTextPopup(HWND caller, const char* text, POINT at);
