// Rig helpers for the bar's interface buttons: the button strips as the
// screen shows them, and the pixels a button shows.
#pragma once
#include "rig_list.h"
#include <vector>

namespace rig {

// A strip of marbel.exe as the screen shows it drawn unchanged: loaded as
// the bar loads it and converted to the screen's format and back.
struct Strip {
  int frameWidth = 0;
  int frameHeight = 0;
  std::vector<COLORREF> pixels;  // rows top-down, frames side by side
  COLORREF At(int frame, int x, int y) const {
    return pixels[y * frameWidth * 3 + frame * frameWidth + x];
  }
  std::vector<COLORREF> Frame(int frame) const;  // rows top-down
};
Strip LoadStrip(UINT resourceId);

// The pixels of a window's rectangle on the screen, rows top-down.
std::vector<COLORREF> ScreenPixels(HWND w);
// Waits until w shows these pixels, each channel within tolerance.
bool WaitForPixels(HWND w, const std::vector<COLORREF>& expected, int tolerance = 0,
                   DWORD timeoutMs = 3000);
// The frame of the strip w shows now: 0, 1, 2, or -1 for none.
int ShownFrame(HWND w, const Strip& strip);
bool WaitForFrame(HWND w, const Strip& strip, int frame, DWORD timeoutMs = 3000);

// The tooltip control that has a tool of the button.
HWND ButtonToolTip(HWND bar, HWND button);

// Presses and releases that carry their own place: Wine may still take a
// late report of an earlier pointer position, and a plain one would land
// there. LeftUp releases wherever the pointer is.
void LeftDownAt(int x, int y);
void LeftUp();
void LeftUpAt(int x, int y);
void MiddleDownAt(int x, int y);
void MiddleUpAt(int x, int y);
POINT CenterOf(HWND w);  // screen coordinates

}  // namespace rig
