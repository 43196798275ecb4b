// The colour picker without windows: its messages, the colour table, where
// the popup's boxes lie, which box a point or an arrow key leads to.
#pragma once
#include <windows.h>

// Sent by the popup to its button (lParam 0) and by the button to its parent
// (lParam its control id); wParam is always a colour reference.
const UINT WM_COLOR_PREVIEW = WM_USER + 1001;    // another box became hot
const UINT WM_COLOR_DROPDOWN = WM_USER + 1002;   // the popup has opened
const UINT WM_COLOR_CLOSEUP = WM_USER + 1003;    // the popup has ended
const UINT WM_COLOR_CHOSEN = WM_USER + 1004;     // the user chose
const UINT WM_COLOR_CANCELLED = WM_USER + 1005;  // the user cancelled

// The colour value that stands for "Default" (the platform's CLR_DEFAULT).
const COLORREF COLOR_DEFAULT = 0xFF000000;

struct NamedColor {
  COLORREF color;
  const char* name;
};
const int COLOR_COUNT = 40;
const int GRID_COLUMNS = 8;
extern const NamedColor COLOR_TABLE[COLOR_COUNT];

// Box indices: 0..COLOR_COUNT-1 are the grid cells.
const int BOX_NONE = -1;
const int BOX_CUSTOM = -2;   // "Other colors"
const int BOX_DEFAULT = -3;  // "Default"

struct PopupLayout {
  int margin = 0, boxSize = 0, rows = 0;
  bool hasDefault = false, hasCustom = false;
  RECT defaultBox = {}, customBox = {};  // client coordinates
  RECT window = {};                      // screen coordinates

  RECT CellRect(int index) const;
  // The box drawn under a client point, or BOX_NONE.
  int HitTest(POINT client) const;
};

// Lays the popup out from the screen point `at` (the button's lower left
// corner). `text` is the largest extent of the non-empty box captions; the
// popup is kept on a screen of size `screen`, above the button when it does
// not fit below.
PopupLayout LayoutPopup(POINT at, int margin, int boxSize, bool hasDefault, bool hasCustom,
                        SIZE text, SIZE screen, int buttonHeight);

// The box marked as chosen when the popup opens with `color`.
int ChosenIndex(COLORREF color, bool hasDefault, bool hasCustom);

// The box an arrow key makes hot; other keys leave `hot` as it is.
int ArrowKeyTarget(int hot, UINT key, bool hasDefault, bool hasCustom);
