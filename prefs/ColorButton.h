// A push button with a colour swatch beside its caption; a click drops down
// a CColorPopup under it. The button reports each step to its parent with
// the WM_COLOR_* messages (prefs/ColorGrid.h), lParam its control id.
#pragma once
#include "framework/Wnd.h"
#include "prefs/ColorGrid.h"

class CColorButton : public fw::CWnd {
public:
  CColorButton();
  // Stores the colour and repaints the button at once.
  void SetColor(COLORREF c);

  COLORREF color;     // shown and reported; COLOR_DEFAULT for "Default"
  BOOL open = FALSE;  // the popup is open: the button draws itself pushed
  HWND popup = nullptr;

protected:
  void PreSubclassWindow() override;

private:
  void Notify(UINT msg, COLORREF c);
  LRESULT OnDrawItem(WPARAM, LPARAM);
  LRESULT OnClicked(WPARAM, LPARAM);
  LRESULT OnPreview(WPARAM, LPARAM);
  LRESULT OnChosen(WPARAM, LPARAM);
  LRESULT OnCancelled(WPARAM, LPARAM);
  LRESULT Close(UINT msg, COLORREF c);

  DECLARE_MESSAGE_TABLE();
};
