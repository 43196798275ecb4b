// The drop-down of the colour picker: "Default", a grid of named colours and
// "Other colors", driven by mouse or keyboard. It reports to its button with
// the WM_COLOR_* messages and deletes itself when it has ended.
#pragma once
#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "prefs/ColorGrid.h"
#include <string>

class CColorPopup : public fw::CWnd {
public:
  // Shows the popup with its top left corner at `at` (screen) and the mouse
  // captured; null when its window could not be made. Null texts count as
  // empty, and an empty text leaves its box out.
  static CColorPopup* Open(POINT at, COLORREF color, HWND button, const char* defaultText,
                           const char* customText);

  int HotIndex() const { return hotIndex; }
  int ChosenIndex() const { return chosenIndex; }
  const PopupLayout& Layout() const { return layout; }
  HWND ToolTip() const { return tooltip.Handle(); }

protected:
  ~CColorPopup() override;
  void PostNcDestroy() override { delete this; }
  // Mouse messages are relayed to the tooltip here rather than in
  // pre-translation: the system's modal dialog loop, which runs the
  // preferences, does not pre-translate.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  CColorPopup(COLORREF color, HWND button, const char* defaultText, const char* customText);
  bool Create(POINT at);
  void CreateToolTips();
  void MakeHot(int index);
  void Redraw(int index);
  void DrawBox(HDC dc, int index);
  void DrawCell(HDC dc, int index);
  void DrawTextBox(HDC dc, int index);
  // Ends with WM_COLOR_CHOSEN or WM_COLOR_CANCELLED and destroys the window.
  void End(UINT msg);
  // Tells the button how the popup ended; a cancel restores its colour.
  void Report(UINT msg);

  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnKillFocus(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnQueryNewPalette(WPARAM, LPARAM);
  LRESULT OnPaletteChanged(WPARAM, LPARAM);

  int boxSize = 18;
  int margin;
  int hotIndex = BOX_NONE;
  int chosenIndex = BOX_NONE;
  std::string defaultText, customText;
  PopupLayout layout;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;
  COLORREF initialColor, chosenColor;
  fw::CToolTip tooltip;
  // The button is addressed by its window: one destroyed while the popup
  // lost the capture is then simply not told.
  HWND button;
  bool reported = false;

  DECLARE_MESSAGE_TABLE();
};
