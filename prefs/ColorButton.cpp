#include "prefs/ColorButton.h"
#include "prefs/ColorPopup.h"

BEGIN_MESSAGE_TABLE(CColorButton)
  fw::OnMessage(fw::Reflected(WM_DRAWITEM), &CColorButton::OnDrawItem),
  fw::OnReflectedCommand(BN_CLICKED, &CColorButton::OnClicked),
  fw::OnMessage(WM_COLOR_PREVIEW, &CColorButton::OnPreview),
  fw::OnMessage(WM_COLOR_CHOSEN, &CColorButton::OnChosen),
  fw::OnMessage(WM_COLOR_CANCELLED, &CColorButton::OnCancelled),
END_MESSAGE_TABLE(fw::CWnd)

CColorButton::CColorButton() : color(GetSysColor(COLOR_BTNTEXT)) {}

void CColorButton::PreSubclassWindow() {
  SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | BS_OWNERDRAW);
}

void CColorButton::SetColor(COLORREF c) {
  color = c;
  if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorButton::Notify(UINT msg, COLORREF c) {
  if (HWND parent = GetParent(hwnd)) SendMessageA(parent, msg, c, GetDlgCtrlID(hwnd));
}

LRESULT CColorButton::OnDrawItem(WPARAM, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  HDC dc = item->hDC;
  RECT r = item->rcItem;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (open ? DFCS_PUSHED : 0));

  RECT swatch = {r.left + 3, r.top + 3, r.left + 16, r.top + 16};
  DrawEdge(dc, &swatch, EDGE_SUNKEN, BF_RECT);
  InflateRect(&swatch, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  if (color == COLOR_DEFAULT) {
    FillRect(dc, &swatch, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(dc, &swatch, DFC_BUTTON, DFCS_BUTTONPUSH);
  } else {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &swatch, brush);
    DeleteObject(brush);
  }

  char caption[256];
  int length = GetWindowTextA(hwnd, caption, sizeof caption);
  RECT text = {r.left + 20, r.top, r.right - 6, r.bottom};
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
  SetBkMode(dc, TRANSPARENT);
  if (item->itemState & ODS_DISABLED) {
    // Embossed: a white copy one pixel down and right under grey text.
    RECT shadow = text;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, 0xFFFFFF);
    DrawTextA(dc, caption, length, &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  DrawTextA(dc, caption, length, &text, format);
  if (item->itemState & ODS_FOCUS) {
    RECT focus = {text.left - 2, text.top + 4, text.right + 2, text.bottom - 4};
    SetBkColor(dc, 0xFFFFFF);
    DrawFocusRect(dc, &focus);
  }
  return TRUE;
}

LRESULT CColorButton::OnClicked(WPARAM, LPARAM) {
  // A click on the button while its popup is open (it lost the capture)
  // closes that popup as a cancel.
  if (open) {
    SendMessageA(popup, WM_CLOSE, 0, 0);
    return 0;
  }
  open = TRUE;
  RECT r;
  GetWindowRect(hwnd, &r);
  CColorPopup* opened = CColorPopup::Open({r.left, r.bottom}, color, hwnd, "Default", "Other colors");
  if (!opened) {
    open = FALSE;  // no popup, nothing to report
    return 0;
  }
  popup = opened->Handle();
  Notify(WM_COLOR_DROPDOWN, color);
  return 0;
}

LRESULT CColorButton::OnPreview(WPARAM c, LPARAM) {
  SetColor(static_cast<COLORREF>(c));
  Notify(WM_COLOR_PREVIEW, static_cast<COLORREF>(c));
  return 1;
}

LRESULT CColorButton::Close(UINT msg, COLORREF c) {
  open = FALSE;
  SetColor(c);
  Notify(WM_COLOR_CLOSEUP, c);
  Notify(msg, c);
  return 1;
}

LRESULT CColorButton::OnChosen(WPARAM c, LPARAM) {
  return Close(WM_COLOR_CHOSEN, static_cast<COLORREF>(c));
}

LRESULT CColorButton::OnCancelled(WPARAM c, LPARAM) {
  return Close(WM_COLOR_CANCELLED, static_cast<COLORREF>(c));
}
