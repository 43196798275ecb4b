#include "buttons/HoverButton.h"
#include "app/Settings.h"
#include "buttons/Blend.h"
#include "framework/App.h"

namespace {

const UINT_PTR TOOL_ID = 1;
const int TOOLTIP_MAX_WIDTH = 400;  // wide enough that only a line feed breaks a line
// Where the system cannot track the mouse: how often the pointer is looked for.
const UINT_PTR IDT_HOVER_CHECK = 1;
const UINT HOVER_CHECK_INTERVAL = 100;  // ms

TOOLINFOA Tool(HWND button, const char* text) {
  TOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;  // the oldest common controls' record
  ti.hwnd = button;
  ti.uId = TOOL_ID;
  ti.lpszText = const_cast<char*>(text);
  return ti;
}

// Windows answers a request for a window the pointer has left with an
// immediate WM_MOUSELEAVE. Wine instead answers TRUE and tracks nothing when
// its idea of the pointer lags behind the move (the flag would then stay set
// and no hover or leave ever come), so ask back. A system whose
// tracking cannot be queried is taken at its word.
bool IsTracked(HWND window, TrackMouseEventProc track) {
  TRACKMOUSEEVENT query = {sizeof query, TME_QUERY, nullptr, 0};
  return !track(&query) || query.hwndTrack == window;
}

// Covered by another window counts as away, as it does for the system's tracking.
bool PointerOver(HWND window) {
  POINT pointer;
  GetCursorPos(&pointer);
  return WindowFromPoint(pointer) == window;
}

}  // namespace

TrackMouseEventProc SystemTrackMouseEvent() {
  static const TrackMouseEventProc found = [] {
    FARPROC proc = GetProcAddress(GetModuleHandleA("comctl32.dll"), "_TrackMouseEvent");
    if (!proc) proc = GetProcAddress(GetModuleHandleA("user32.dll"), "TrackMouseEvent");
    return reinterpret_cast<TrackMouseEventProc>(proc);
  }();
  return found;
}

ButtonFrame ChooseFrame(UINT itemState, bool hover) {
  if (itemState & ODS_SELECTED) return FRAME_PRESSED;
  return hover ? FRAME_HOVER : FRAME_NORMAL;
}

BEGIN_MESSAGE_TABLE(CHoverButton)
  fw::OnMessage(fw::Reflected(WM_DRAWITEM), &CHoverButton::OnDrawItem),
  fw::OnMessage(WM_MOUSEMOVE, &CHoverButton::OnMouseMove),
  fw::OnMessage(WM_MOUSEHOVER, &CHoverButton::OnMouseHover),
  fw::OnMessage(WM_MOUSELEAVE, &CHoverButton::OnMouseLeave),
  fw::OnMessage(WM_LBUTTONDOWN, &CHoverButton::OnLButtonDown),
  fw::OnMessage(WM_LBUTTONUP, &CHoverButton::OnLButtonUp),
  fw::OnMessage(WM_CAPTURECHANGED, &CHoverButton::OnCaptureChanged),
  fw::OnMessage(WM_TIMER, &CHoverButton::OnTimer),
  fw::OnMessage(WM_DESTROY, &CHoverButton::OnDestroy),
END_MESSAGE_TABLE(fw::CWnd)

CHoverButton::~CHoverButton() {
  if (strip) DeleteObject(strip);
}

bool CHoverButton::Create(const char* caption, DWORD style, const RECT& rect, HWND parent,
                          UINT id) {
  if (!CreateEx(0, "BUTTON", caption, style, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
    return false;
  return Subclass(hwnd);
}

bool CHoverButton::LoadStrip(UINT resourceId) {
  // LR_LOADMAP3DCOLORS: the strips avoid the three greys it replaces.
  HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(fw::Instance(), MAKEINTRESOURCEA(resourceId),
                                                   IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  if (!loaded) return false;  // the button keeps its old strip and size
  if (strip) DeleteObject(strip);
  strip = loaded;
  BITMAP info = {};
  GetObjectA(strip, sizeof info, &info);
  frameWidth = info.bmWidth / 3;
  frameHeight = info.bmHeight;
  SetWindowPos(hwnd, HWND_TOP, 0, 0, frameWidth, frameHeight, SWP_NOMOVE | SWP_NOOWNERZORDER);
  return true;
}

void CHoverButton::EnsureToolTip() {
  if (toolTip.Handle()) return;
  toolTip.Create(hwnd, TTS_ALWAYSTIP);
  toolTip.SetTipBkColor(CREAM);
  toolTip.SetMargin(RECT{4, 2, 4, 2});
  toolTip.SetMaxTipWidth(TOOLTIP_MAX_WIDTH);
  toolTip.Activate(false);
}

void CHoverButton::SetToolTipText(const char* text, bool activate) {
  if (!text) return;
  EnsureToolTip();
  if (toolTip.ToolCount() == 0) {
    RECT client;
    GetClientRect(hwnd, &client);
    toolTip.AddTool(hwnd, TOOL_ID, client, text);
  }
  TOOLINFOA ti = Tool(hwnd, text);
  SendMessageA(toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  toolTip.Activate(activate);
}

bool CHoverButton::PreTranslateMessage(MSG* msg) {
  EnsureToolTip();
  toolTip.RelayEvent(msg);
  return fw::CWnd::PreTranslateMessage(msg);
}

LRESULT CHoverButton::OnDrawItem(WPARAM, LPARAM lParam) {
  const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  HDC memory = CreateCompatibleDC(item->hDC);
  HGDIOBJ previous = SelectObject(memory, strip);
  int sourceX = ChooseFrame(item->itemState, hover) * frameWidth;
  BitBlt(item->hDC, 0, 0, frameWidth, frameHeight, memory, sourceX, 0, SRCCOPY);
  // Tested per paint: the display's depth may have changed since start-up.
  if (Settings.enableBlending && GetDeviceCaps(item->hDC, BITSPIXEL) == 32)
    TintFrame(item->hDC, frameWidth, frameHeight, blendColor, alpha);
  SelectObject(memory, previous);
  DeleteDC(memory);
  return TRUE;
}

LRESULT CHoverButton::OnMouseMove(WPARAM, LPARAM) {
  if (!trackMouseEvent) {
    // A pressed button gets the moves from anywhere.
    if (!hover && PointerOver(hwnd)) {
      hover = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      SetTimer(hwnd, IDT_HOVER_CHECK, HOVER_CHECK_INTERVAL, nullptr);
    }
  } else if (!tracking) {
    TRACKMOUSEEVENT request = {sizeof request, TME_HOVER | TME_LEAVE, hwnd, 1};
    tracking = trackMouseEvent(&request) != FALSE && IsTracked(hwnd, trackMouseEvent);
  }
  return Default();
}

LRESULT CHoverButton::OnMouseHover(WPARAM, LPARAM) {
  hover = true;
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT CHoverButton::OnMouseLeave(WPARAM, LPARAM) {
  tracking = false;
  hover = false;
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT CHoverButton::OnLButtonDown(WPARAM, LPARAM) {
  if (hold) SetTimer(hwnd, IDT_HOLD_MENU, HOLD_MENU_DELAY, nullptr);
  return Default();
}

LRESULT CHoverButton::OnLButtonUp(WPARAM, LPARAM) {
  KillTimer(hwnd, IDT_HOLD_MENU);
  return Default();
}

// Another window took the mouse: the press, and with it the hold, is over.
LRESULT CHoverButton::OnCaptureChanged(WPARAM, LPARAM) {
  KillTimer(hwnd, IDT_HOLD_MENU);
  return Default();
}

LRESULT CHoverButton::OnTimer(WPARAM id, LPARAM) {
  if (id == IDT_HOVER_CHECK) {
    if (!PointerOver(hwnd)) {
      KillTimer(hwnd, IDT_HOVER_CHECK);
      OnMouseLeave(0, 0);
    }
    return 0;
  }
  // Killed before the parent sees it: the parent's menu runs a message
  // loop of its own, in which the timer would fire again and again.
  KillTimer(hwnd, IDT_HOLD_MENU);
  SendMessageA(GetParent(hwnd), WM_TIMER, id, 0);
  return Default();
}

LRESULT CHoverButton::OnDestroy(WPARAM, LPARAM) {
  toolTip.DestroyWindow();
  return Default();
}
