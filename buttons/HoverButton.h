// The bar's small image buttons: an owner-drawn push button that paints one
// of three frames of a bitmap strip, shows the hover frame while the pointer
// rests on it, carries its own tooltip, and can pass a press-and-hold timer
// to its parent.
#pragma once
#include <windows.h>
#include "framework/Controls.h"
#include "framework/Wnd.h"

// Held this long, a button with the hold flag sends its parent WM_TIMER
// with this id (the bar then shows its menu).
const UINT_PTR IDT_HOLD_MENU = 0x8001;
const UINT HOLD_MENU_DELAY = 200;  // ms

// The system's mouse tracking request: comctl32's _TrackMouseEvent (4.70,
// Internet Explorer 3, and later), else user32's TrackMouseEvent (98, NT 4);
// null on Windows 95 as first shipped, which has neither.
using TrackMouseEventProc = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
TrackMouseEventProc SystemTrackMouseEvent();

// The frames of a strip, left to right.
enum ButtonFrame { FRAME_NORMAL = 0, FRAME_PRESSED = 1, FRAME_HOVER = 2 };
// The frame a paint shows: pressed over hover over normal.
ButtonFrame ChooseFrame(UINT itemState, bool hover);

class CHoverButton : public fw::CWnd {
public:
  ~CHoverButton() override;

  // The standard button creation; the window's messages then pass here.
  bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);
  // Loads the strip (three frames side by side) and sizes the button to one
  // frame at its current position.
  bool LoadStrip(UINT resourceId);
  // Sets the text of the button's one tool; no text does nothing.
  void SetToolTipText(const char* text, bool activate);

  // Set by the owner.
  bool hold = false;          // a left press starts IDT_HOLD_MENU
  int alpha = 0;              // weight of the tint, 0..255
  COLORREF blendColor = 0;    // the tint
  // Without it a timer ends the hover once the pointer has left.
  TrackMouseEventProc trackMouseEvent = SystemTrackMouseEvent();

  bool Hovering() const { return hover; }

protected:
  bool PreTranslateMessage(MSG* msg) override;

private:
  LRESULT OnDrawItem(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnMouseHover(WPARAM, LPARAM);
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);
  LRESULT OnCaptureChanged(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  void EnsureToolTip();

  bool hover = false;
  int frameWidth = 0;
  int frameHeight = 0;
  HBITMAP strip = nullptr;
  bool tracking = false;     // a hover/leave request is active
  fw::CToolTip toolTip;

  DECLARE_MESSAGE_TABLE();
};
