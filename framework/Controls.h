// Thin wrappers over common controls: the handle plus the calls we make.
#pragma once
#include "framework/Wnd.h"
#include <commctrl.h>

namespace fw {

class CToolTip : public CWnd {
public:
  bool Create(HWND owner, DWORD style);
  void AddTool(HWND owner, UINT_PTR id, const RECT& rect, const char* text = LPSTR_TEXTCALLBACKA);
  void DelTool(HWND owner, UINT_PTR id);
  void SetToolRect(HWND owner, UINT_PTR id, const RECT& rect);
  int ToolCount() const;
  void Activate(bool on) { SendMessageA(hwnd, TTM_ACTIVATE, on, 0); }
  void RelayEvent(MSG* msg) { SendMessageA(hwnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  void SetTipBkColor(COLORREF c) { SendMessageA(hwnd, TTM_SETTIPBKCOLOR, c, 0); }
  void SetMaxTipWidth(int w) { SendMessageA(hwnd, TTM_SETMAXTIPWIDTH, 0, w); }
  void SetMargin(const RECT& r) { SendMessageA(hwnd, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&r)); }
};

}  // namespace fw
