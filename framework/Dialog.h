// Dialogs from resource templates, modal or modeless, with the same message
// tables as windows.
#pragma once
#include "framework/Wnd.h"

namespace fw {

class CDialog : public CWnd {
public:
  explicit CDialog(UINT templateId) : templateId(templateId) {}

  // Modal: runs the dialog's own loop; the code given to EndDialog.
  INT_PTR DoModal(HWND parent);
  // Modeless (for example a child page inside another dialog).
  bool Create(HWND parent);
  void EndDialog(INT_PTR code);
  bool IsModal() const { return modal; }
  // EndDialog was called: the dialog is on its way out.
  bool Ending() const { return ending; }

protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  bool PreTranslateMessage(MSG* msg) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The dialog manager does the default processing once we say "not handled".
  LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  static INT_PTR CALLBACK StaticDlgProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
  UINT templateId;
  bool modal = false;
  bool ending = false;
};

}  // namespace fw
