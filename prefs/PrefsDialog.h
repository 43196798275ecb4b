// The preferences dialog: a tree of five pages on the left, the selected
// option page beside it. Pages store every change at once; the dialog only
// runs the two actions pages defer to its closing, and remembers the page.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"

class CBarWnd;
class COptionPage;

class CPrefsDialog : public fw::CDialog {
public:
  CPrefsDialog();

  // The bar (the program's main window), or nullptr when there is none.
  static CBarWnd* Bar();
  // Runs the dialog modally over the bar on its remembered page.
  static void Open(CBarWnd& bar);

  fw::CTreeCtrl pageTree;
  COptionPage* currentPage = nullptr;
  int currentPageId = 0;
  int placeBrowsersOnClose = 0;
  int repositionBarOnClose = 0;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override { Close(); }
  void OnCancel() override { Close(); }

private:
  void Close();
  void DestroyCurrentPage();
  LRESULT OnSelChanged(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);

  DECLARE_MESSAGE_TABLE();
};
