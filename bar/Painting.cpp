// The bar's face: background, frame and one button per browser window,
// laid out anew at every paint; and the tooltips that show their titles.
// Painting allocates nothing and reads no window text: titles come from
// the list, which shell events keep current. Only the buttons in the
// damaged part are drawn: an activation repaints two of them.
#include "bar/BarWnd.h"
#include "bar/Layout.h"
#include "app/Settings.h"

namespace {

// A solid fill that needs no brush: the opaque background of an empty text.
void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// One-pixel frame on r's outline: raised with light top-left, sunken with
// shadow top-left.
void DrawFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  FillSolid(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

const RECT NEW_TOOL_RECT = {0, 0, 1, 1};  // no tip before the button is painted
const RECT TIP_MARGIN = {4, 2, 4, 2};

}  // namespace

void CBarWnd::CreateToolTip() {
  toolTip.Create(hwnd, TTS_ALWAYSTIP | TTS_NOPREFIX);
  toolTip.SetTipBkColor(CREAM);
  toolTip.SetMargin(TIP_MARGIN);
  for (const BrowserEntry& entry : browsers) AddBrowserTool(entry.window);
  toolTip.Activate(true);
}

void CBarWnd::AddBrowserTool(HWND window) {
  // The id is the window handle as a plain number, not TTF_IDISHWND: the
  // tool is a rectangle of the bar, and its text is asked for when shown.
  toolTip.AddTool(hwnd, reinterpret_cast<UINT_PTR>(window), NEW_TOOL_RECT);
}

bool CBarWnd::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == hwnd && toolTip.Handle()) toolTip.RelayEvent(msg);
  return false;
}

LRESULT CBarWnd::OnToolTipText(WPARAM, LPARAM lParam) {
  NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
  if (info->uFlags & TTF_IDISHWND) return 0;  // tools of child windows, not ours
  UpdateButtons();
  for (const BrowserEntry& entry : browsers) {
    if (reinterpret_cast<UINT_PTR>(entry.window) != info->hdr.idFrom) continue;
    // The whole title; the list keeps the string until the entry changes.
    info->lpszText = const_cast<char*>(entry.title.c_str());
    break;
  }
  return 0;
}

LRESULT CBarWnd::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  FillSolid(dc, client, Settings.barColor);
  DrawFrame(dc, client, light, shadow);

  HGDIOBJ oldFont = Settings.buttonFont ? SelectObject(dc, Settings.buttonFont) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  const RECT area = ButtonArea(client);
  const int width = ButtonWidth(area, browsers.size());
  HDC glyphDC = nullptr;
  HGDIOBJ oldGlyph = nullptr;
  for (size_t i = 0; i < browsers.size(); ++i) {
    BrowserEntry& entry = browsers[i];
    const RECT rect = ButtonRect(area, width, i);
    // The tooltip control hears only of a button that moved.
    if (!EqualRect(&rect, &entry.buttonRect))
      toolTip.SetToolRect(hwnd, reinterpret_cast<UINT_PTR>(entry.window), rect);
    entry.buttonRect = rect;
    // Too many windows: the buttons have no area and nothing to draw.
    if (width <= 0 || !RectVisible(dc, &rect)) continue;

    const bool active = entry.window == activeBrowser;
    FillSolid(dc, entry.buttonRect, active ? Settings.activeColor : Settings.buttonColor);
    DrawFrame(dc, entry.buttonRect, active ? shadow : light, active ? light : shadow);
    SetTextColor(dc, active ? Settings.activeTextColor : Settings.buttonTextColor);
    RECT text = ButtonTextRect(entry.buttonRect);
    DrawTextA(dc, entry.title.c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);

    // The glyph goes over the text, which keeps its full width.
    if (closeGlyph && Settings.showCloseButton && (!Settings.closeOnlyOnActive || active)) {
      if (!glyphDC) {
        glyphDC = CreateCompatibleDC(dc);
        oldGlyph = SelectObject(glyphDC, closeGlyph);
      }
      POINT at = CloseGlyphOrigin(entry.buttonRect, closeGlyphInfo.bmWidth);
      BitBlt(dc, at.x, at.y, closeGlyphInfo.bmWidth, closeGlyphInfo.bmHeight, glyphDC, 0, 0,
             SRCCOPY);
    }
  }
  if (glyphDC) {
    SelectObject(glyphDC, oldGlyph);
    DeleteDC(glyphDC);
  }
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
  MarkStartup(STARTUP_PAINTED);
  return 0;
}
