#include "prefs/ColorPopup.h"
#include "prefs/CommonDialogs.h"
#include <vector>

namespace {

const char kPopupClass[] = "MarbelColorPopup";

const char* ClassName() {
  static ATOM atom = 0;
  if (!atom) {
    WNDCLASSEXA wc = {};
    wc.style = CS_SAVEBITS | CS_CLASSDC | CS_HREDRAW | CS_VREDRAW;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPopupClass;
    atom = fw::CWnd::RegisterClass(wc);
  }
  return kPopupClass;
}

HFONT CreateMessageFont() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectA(&metrics.lfMessageFont);
}

HPALETTE CreateTablePalette() {
  std::vector<char> buffer(sizeof(LOGPALETTE) + COLOR_COUNT * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = COLOR_COUNT;
  for (int i = 0; i < COLOR_COUNT; ++i) {
    COLORREF c = COLOR_TABLE[i].color;
    lp->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
  }
  return CreatePalette(lp);
}

void Fill(HDC dc, RECT r, int sysColor) { FillRect(dc, &r, GetSysColorBrush(sysColor)); }

// Hot boxes stand out, the chosen one is pressed in.
void DrawStateEdge(HDC dc, RECT r, bool hot, bool chosen) {
  if (hot)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  else if (chosen)
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

// A rectangle outlined with a one-pixel shadow-coloured pen.
void OutlinedRect(HDC dc, RECT r, HBRUSH fill) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, fill);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

// The colour dialog's sixteen custom colours, kept for the run.
COLORREF customColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                             0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                             0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};

}  // namespace

BEGIN_MESSAGE_TABLE(CColorPopup)
  fw::OnMessage(WM_PAINT, &CColorPopup::OnPaint),
  fw::OnMessage(WM_MOUSEMOVE, &CColorPopup::OnMouseMove),
  fw::OnMessage(WM_LBUTTONUP, &CColorPopup::OnLButtonUp),
  fw::OnMessage(WM_KEYDOWN, &CColorPopup::OnKeyDown),
  fw::OnMessage(WM_KILLFOCUS, &CColorPopup::OnKillFocus),
  fw::OnMessage(WM_DESTROY, &CColorPopup::OnDestroy),
  fw::OnMessage(WM_QUERYNEWPALETTE, &CColorPopup::OnQueryNewPalette),
  fw::OnMessage(WM_PALETTECHANGED, &CColorPopup::OnPaletteChanged),
END_MESSAGE_TABLE(fw::CWnd)

CColorPopup::CColorPopup(COLORREF color, HWND button, const char* defaultText,
                         const char* customText)
    : margin(GetSystemMetrics(SM_CXEDGE)),
      defaultText(defaultText ? defaultText : ""),
      customText(customText ? customText : ""),
      initialColor(color),
      chosenColor(color),
      button(button) {
  // Keep a swatch at least 5 pixels wide.
  if (boxSize - (2 * margin + 2) < 5) boxSize = 2 * margin + 7;
  font = CreateMessageFont();
  palette = CreateTablePalette();
}

CColorPopup::~CColorPopup() {
  DeleteObject(font);
  DeleteObject(palette);
}

CColorPopup* CColorPopup::Open(POINT at, COLORREF color, HWND button, const char* defaultText,
                               const char* customText) {
  auto* popup = new CColorPopup(color, button, defaultText, customText);
  if (popup->Create(at)) return popup;
  delete popup;
  return nullptr;
}

bool CColorPopup::Create(POINT at) {
  if (!CreateEx(0, ClassName(), "", WS_POPUP | WS_VISIBLE, at.x, at.y, 100, 100, button,
                nullptr))
    return false;
  SIZE text = {0, 0};
  HDC dc = GetDC(hwnd);
  HGDIOBJ oldFont = SelectObject(dc, font);
  for (const std::string* s : {&defaultText, &customText}) {
    SIZE extent;
    if (s->empty() || !GetTextExtentPoint32A(dc, s->c_str(), static_cast<int>(s->size()), &extent))
      continue;
    if (extent.cx > text.cx) text.cx = extent.cx;
    if (extent.cy > text.cy) text.cy = extent.cy;
  }
  SelectObject(dc, oldFont);
  ReleaseDC(hwnd, dc);

  RECT buttonRect = {};
  GetWindowRect(button, &buttonRect);
  layout = LayoutPopup(at, margin, boxSize, !defaultText.empty(), !customText.empty(), text,
                       {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                       buttonRect.bottom - buttonRect.top);
  const RECT& w = layout.window;
  MoveWindow(hwnd, w.left, w.top, w.right - w.left, w.bottom - w.top, TRUE);
  CreateToolTips();
  chosenIndex = ::ChosenIndex(initialColor, layout.hasDefault, layout.hasCustom);
  SetCapture(hwnd);
  return true;
}

void CColorPopup::CreateToolTips() {
  if (!tooltip.Create(hwnd, 0)) return;  // the popup works without them
  for (int i = 0; i < COLOR_COUNT; ++i) tooltip.AddTool(hwnd, 1, layout.CellRect(i), COLOR_TABLE[i].name);
}

LRESULT CColorPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && tooltip.Handle()) {
    DWORD pos = GetMessagePos();
    MSG m = {hwnd, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
             {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))}};
    tooltip.RelayEvent(&m);
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

void CColorPopup::MakeHot(int index) {
  if (hotIndex != BOX_NONE) {
    int old = hotIndex;
    hotIndex = BOX_NONE;
    Redraw(old);
  }
  hotIndex = index;
  Redraw(index);
  // "Other colors" shows the colour of the opening until the dialog decides.
  COLORREF preview = initialColor;
  if (index == BOX_DEFAULT || index >= 0) {
    preview = index == BOX_DEFAULT ? COLOR_DEFAULT : COLOR_TABLE[index].color;
    chosenColor = preview;
  }
  SendMessageA(button, WM_COLOR_PREVIEW, preview, 0);
}

void CColorPopup::Redraw(int index) {
  HDC dc = GetDC(hwnd);
  DrawBox(dc, index);
  ReleaseDC(hwnd, dc);
}

void CColorPopup::DrawBox(HDC dc, int index) {
  if (index >= 0)
    DrawCell(dc, index);
  else if (index != BOX_NONE)
    DrawTextBox(dc, index);
}

void CColorPopup::DrawCell(HDC dc, int index) {
  HPALETTE oldPalette = nullptr;
  if (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) {
    oldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
  }
  const bool hot = index == hotIndex, chosen = index == chosenIndex;
  RECT r = layout.CellRect(index);
  Fill(dc, r, chosen && !hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE);
  DrawStateEdge(dc, r, hot, chosen);
  InflateRect(&r, -(margin + 1), -(margin + 1));
  HBRUSH swatch = CreateSolidBrush(0x02000000 | COLOR_TABLE[index].color);  // palette-relative
  OutlinedRect(dc, r, swatch);
  DeleteObject(swatch);
  if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
}

void CColorPopup::DrawTextBox(HDC dc, int index) {
  const bool hot = index == hotIndex, chosen = index == chosenIndex;
  const bool isDefault = index == BOX_DEFAULT;
  const std::string& text = isDefault ? defaultText : customText;
  if (text.empty()) return;
  RECT box = isDefault ? layout.defaultBox : layout.customBox;
  RECT r = box;
  if (!isDefault) {
    // "Other colors" sits under a separator line along its top edge.
    r.top += 2 * margin;
    Fill(dc, r, COLOR_BTNFACE);
    RECT line = {box.left + 2 * margin, box.top, box.right - 2 * margin, box.top + 1};
    Fill(dc, line, COLOR_BTNSHADOW);
    OffsetRect(&line, 0, 1);
    Fill(dc, line, COLOR_BTNHIGHLIGHT);
  } else {
    Fill(dc, r, COLOR_BTNFACE);
  }
  InflateRect(&r, -1, -1);
  Fill(dc, r, chosen && !hot ? COLOR_3DLIGHT : COLOR_BTNFACE);
  if (isDefault) {
    RECT outline = r;
    InflateRect(&outline, -2 * margin, -2 * margin);
    OutlinedRect(dc, outline, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  }
  DrawStateEdge(dc, r, hot, chosen);
  HGDIOBJ oldFont = SelectObject(dc, font);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

LRESULT CColorPopup::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  DrawBox(dc, BOX_DEFAULT);
  for (int i = 0; i < COLOR_COUNT; ++i) DrawBox(dc, i);
  DrawBox(dc, BOX_CUSTOM);
  RECT client;
  GetClientRect(hwnd, &client);
  DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT CColorPopup::OnMouseMove(WPARAM, LPARAM lParam) {
  int target = layout.HitTest({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
  if (target != BOX_NONE && target != hotIndex) MakeHot(target);
  return Default();
}

LRESULT CColorPopup::OnLButtonUp(WPARAM, LPARAM) {
  Default();
  DWORD pos = GetMessagePos();
  POINT p = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  // With the capture, a release anywhere outside the popup cancels.
  End(PtInRect(&layout.window, p) ? WM_COLOR_CHOSEN : WM_COLOR_CANCELLED);
  return 0;
}

LRESULT CColorPopup::OnKeyDown(WPARAM key, LPARAM) {
  switch (key) {
    case VK_RETURN:
    case VK_SPACE:
      End(WM_COLOR_CHOSEN);
      return 0;
    case VK_ESCAPE:
      chosenColor = initialColor;
      End(WM_COLOR_CANCELLED);
      return 0;
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
      MakeHot(ArrowKeyTarget(hotIndex, static_cast<UINT>(key), layout.hasDefault, layout.hasCustom));
      break;
  }
  return Default();
}

LRESULT CColorPopup::OnKillFocus(WPARAM, LPARAM) {
  Default();
  ReleaseCapture();  // the popup stays open until a release over it
  return 0;
}

LRESULT CColorPopup::OnQueryNewPalette(WPARAM, LPARAM) {
  InvalidateRect(hwnd, nullptr, TRUE);
  return Default();
}

LRESULT CColorPopup::OnPaletteChanged(WPARAM wParam, LPARAM) {
  LRESULT result = Default();
  if (reinterpret_cast<HWND>(wParam) != hwnd) InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

LRESULT CColorPopup::OnDestroy(WPARAM, LPARAM) {
  // Closed without a choice (Alt+F4, its owner closing): the button gets
  // its colour back and is released all the same.
  if (!reported) Report(WM_COLOR_CANCELLED);
  return Default();
}

void CColorPopup::Report(UINT msg) {
  reported = true;
  if (msg == WM_COLOR_CANCELLED) chosenColor = initialColor;
  SendMessageA(button, msg, chosenColor, 0);
}

void CColorPopup::End(UINT msg) {
  ReleaseCapture();
  if (msg == WM_COLOR_CHOSEN && hotIndex == BOX_CUSTOM) {
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    // The dialog blocks the window the popup belongs to (the preferences);
    // the popup itself steps aside meanwhile.
    cc.hwndOwner = GetWindow(hwnd, GW_OWNER);
    ShowWindow(hwnd, SW_HIDE);
    cc.rgbResult = initialColor;
    cc.lpCustColors = customColors;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR;
    // "Default" is no colour the dialog could start from.
    if (initialColor != COLOR_DEFAULT) cc.Flags |= CC_RGBINIT;
    BOOL chosen = ChooseColorLate(&cc);
    if (!Alive()) return;  // closed meanwhile, and reported then
    if (chosen)
      chosenColor = cc.rgbResult;
    else
      msg = WM_COLOR_CANCELLED;
  }
  Report(msg);
  DestroyWindow();
}
