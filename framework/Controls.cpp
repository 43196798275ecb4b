#include "framework/Controls.h"

namespace fw {

namespace {
// The tool record of the oldest common controls, so every system accepts it.
TOOLINFOA Tool(HWND owner, UINT_PTR id) {
  TOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.hwnd = owner;
  ti.uId = id;
  return ti;
}
}  // namespace

bool CToolTip::Create(HWND owner, DWORD style) {
  return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr);
}

void CToolTip::AddTool(HWND owner, UINT_PTR id, const RECT& rect, const char* text) {
  TOOLINFOA ti = Tool(owner, id);
  ti.rect = rect;
  ti.lpszText = const_cast<char*>(text);
  SendMessageA(hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTip::DelTool(HWND owner, UINT_PTR id) {
  TOOLINFOA ti = Tool(owner, id);
  SendMessageA(hwnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTip::SetToolRect(HWND owner, UINT_PTR id, const RECT& rect) {
  TOOLINFOA ti = Tool(owner, id);
  ti.rect = rect;
  SendMessageA(hwnd, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

int CToolTip::ToolCount() const {
  return static_cast<int>(SendMessageA(hwnd, TTM_GETTOOLCOUNT, 0, 0));
}

HTREEITEM CTreeCtrl::InsertRootItem(const char* text, LPARAM data) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  SendMessageA(hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return tv.lParam;
}

}  // namespace fw
