// Which browser button a point on the bar falls on, and whether it hits the
// button's close glyph: plain rules over the rectangles painting stored.
#pragma once
#include <windows.h>
#include <vector>
#include "bar/BarWnd.h"

// The close glyph is 11 x 11 and sits in the button's top-right corner.
const int CLOSE_ZONE_SIZE = 11;

// Left and top edges inside, right and bottom edges outside.
inline bool InButton(const RECT& b, POINT p) {
  return p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom;
}

// The first entry, in list order, whose button holds p; -1 when none does.
inline int ButtonAt(const std::vector<BrowserEntry>& browsers, POINT p) {
  for (size_t i = 0; i < browsers.size(); ++i)
    if (InButton(browsers[i].buttonRect, p)) return static_cast<int>(i);
  return -1;
}

// Whether a button shows its close glyph: painting draws it by the same rule.
inline bool CloseGlyphShown(HWND window, HWND activeBrowser, bool showCloseButton,
                            bool onlyOnActive) {
  return showCloseButton && (!onlyOnActive || window == activeBrowser);
}

inline bool InCloseZone(const RECT& b, POINT p) {
  return InButton(b, p) && p.x >= b.right - CLOSE_ZONE_SIZE && p.y <= b.top + CLOSE_ZONE_SIZE;
}
