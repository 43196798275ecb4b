#include "framework/Dialog.h"
#include "framework/App.h"

namespace fw {

INT_PTR CDialog::DoModal(HWND parent) {
  modal = true;
  ending = false;
  return DialogBoxParamA(Instance(), MAKEINTRESOURCEA(templateId), parent, StaticDlgProc,
                         reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
  modal = false;
  ending = false;
  return CreateDialogParamA(Instance(), MAKEINTRESOURCEA(templateId), parent, StaticDlgProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR code) {
  ending = true;
  if (modal)
    ::EndDialog(hwnd, code);
  else
    DestroyWindow();
}

bool CDialog::PreTranslateMessage(MSG* msg) {
  // A modal dialog's own loop does this already.
  return !modal && hwnd && IsDialogMessageA(hwnd, msg);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (Reflect(msg, wParam, lParam, result) || Dispatch(msg, wParam, lParam, result)) return result;
  if (msg == WM_INITDIALOG) return OnInitDialog();
  if (msg == WM_COMMAND) {
    if (OnCommandRoute(wParam, lParam)) return 0;
    if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) return OnOK(), 0;
    if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) return OnCancel(), 0;
  }
  return DefaultProc(msg, wParam, lParam);
}

LRESULT CDialog::DefaultProc(UINT, WPARAM, LPARAM) {
  if (Frame* f = Frame::Of(this)) f->handled = false;
  return 0;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  CDialog* self = static_cast<CDialog*>(FromHandle(h));
  if (!self && msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    self->Attach(h);
  }
  if (!self) return FALSE;
  Frame frame(self, msg, wParam, lParam);
  LRESULT result = self->Route(msg, wParam, lParam);
  // A destroyed dialog has no result to give.
  if (frame.destroyed || !frame.handled) return FALSE;
  switch (msg) {
    // These answer through the return value, not DWLP_MSGRESULT.
    case WM_INITDIALOG: case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
      return result;
  }
  SetWindowLongPtrA(h, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace fw
