// One class behind the five option pages. Each page is a child dialog of
// the preferences dialog made from one of five templates; every handler
// skips the controls its template lacks. A change is stored in Settings
// and written to its ini key at once.
//   OptionPage.cpp        creation, initialisation, context help, hot keys
//   OptionPageClicks.cpp  check boxes, browser placement, sticking mode
//   OptionPageValues.cpp  number fields, text fields, file and font
//                         dialogs, colours, alpha
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "prefs/ColorButton.h"

class CBarWnd;
class CPrefsDialog;

class COptionPage : public fw::CDialog {
public:
  // Always made on the heap: the object deletes itself with its window.
  explicit COptionPage(UINT templateId) : fw::CDialog(templateId) {}

  CColorButton blendingColorButton;
  CColorButton barBackgroundButton;
  CColorButton buttonsBackgroundButton;
  CColorButton buttonsTextButton;
  CColorButton activeButtonColorButton;
  CColorButton activeTextColorButton;
  fw::CTrackBar alphaSlider;

protected:
  BOOL OnInitDialog() override;
  void PostNcDestroy() override { delete this; }
  // Enter and Esc inside a page belong to the preferences dialog.
  void OnOK() override;
  void OnCancel() override;

private:
  HWND Item(int id) const { return GetDlgItem(hwnd, id); }
  bool IsChecked(int id) const { return IsDlgButtonChecked(hwnd, id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) { EnableWindow(Item(id), on); }
  void EnableRectangleFields(bool on);
  CPrefsDialog* Dialog() const;
  void RequestPlacement();
  void RequestBarPosition();
  static void RepaintBar();

  // Initialisation.
  void AttachColorButton(CColorButton& button, int id, COLORREF color);
  // Context help.
  LRESULT ShowHelpPopup(WPARAM, LPARAM);
  // Hot keys, applied when the page goes.
  LRESULT OnDestroy(WPARAM, LPARAM);
  void ApplyHotKey(int controlId, DWORD& setting, const char* key, int hotKeyId);

  // Clicks.
  LRESULT OnPlainCheck(WPARAM, LPARAM);
  LRESULT OnShowOnTop(WPARAM, LPARAM);
  LRESULT OnShowCloseButton(WPARAM, LPARAM);
  LRESULT OnCloseOnlyActive(WPARAM, LPARAM);
  LRESULT OnForceOverFullScreen(WPARAM, LPARAM);
  LRESULT OnEnableBlending(WPARAM, LPARAM);
  LRESULT OnAlign(WPARAM, LPARAM);
  LRESULT OnMaximize(WPARAM, LPARAM);
  LRESULT OnDontChange(WPARAM, LPARAM);
  LRESULT OnSticking(WPARAM, LPARAM);
  void LeaveStickingMode();

  // Values.
  LRESULT OnNumberKillFocus(WPARAM, LPARAM);
  LRESULT OnTextKillFocus(WPARAM, LPARAM);
  LRESULT OnBrowse(WPARAM, LPARAM);
  LRESULT OnFont(WPARAM, LPARAM);
  LRESULT OnColorEnded(WPARAM, LPARAM);
  LRESULT OnHScroll(WPARAM, LPARAM);
  void SetInterfaceButtons(int alpha, COLORREF blendColor);

  DECLARE_MESSAGE_TABLE();
};
