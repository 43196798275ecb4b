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

// A tree view in a dialog, bound by SubclassDlgItem.
class CTreeCtrl : public CWnd {
public:
  // Appends a text item at the end of the root level.
  HTREEITEM InsertRootItem(const char* text, LPARAM data);
  HTREEITEM GetRootItem() const { return TreeView_GetRoot(hwnd); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return TreeView_GetNextSibling(hwnd, item); }
  LPARAM GetItemData(HTREEITEM item) const;
  bool SelectItem(HTREEITEM item) { return TreeView_SelectItem(hwnd, item) != FALSE; }
};

// A trackbar in a dialog, bound by SubclassDlgItem.
class CTrackBar : public CWnd {
public:
  void SetRange(int low, int high, bool redraw) { SendMessageA(hwnd, TBM_SETRANGE, redraw, MAKELPARAM(low, high)); }
  void SetPos(int pos, bool redraw) { SendMessageA(hwnd, TBM_SETPOS, redraw, pos); }
  int GetPos() const { return static_cast<int>(SendMessageA(hwnd, TBM_GETPOS, 0, 0)); }
};

}  // namespace fw
