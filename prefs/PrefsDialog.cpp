#include "prefs/PrefsDialog.h"
#include "app/BarApp.h"
#include "bar/BarWnd.h"
#include "framework/App.h"
#include "prefs/OptionPage.h"
#include "res/resource.h"

BEGIN_MESSAGE_TABLE(CPrefsDialog)
  fw::OnNotify(TVN_SELCHANGEDA, &CPrefsDialog::OnSelChanged, IDC_PAGE_TREE, IDC_PAGE_TREE),
  fw::OnMessage(WM_DESTROY, &CPrefsDialog::OnDestroy),
END_MESSAGE_TABLE(fw::CDialog)

namespace {

struct PageEntry {
  const char* text;
  int templateId;
};
const PageEntry PAGES[] = {
    {"General", IDD_PAGE_GENERAL},       {"Appearance", IDD_PAGE_APPEARANCE},
    {"Browser windows", IDD_PAGE_BROWSERS}, {"Hot keys", IDD_PAGE_HOTKEYS},
    {"Advanced", IDD_PAGE_ADVANCED},
};

}  // namespace

CPrefsDialog::CPrefsDialog() : fw::CDialog(IDD_PREFERENCES) {}

CBarWnd* CPrefsDialog::Bar() {
  fw::CApp* app = fw::CApp::Current();
  return app ? dynamic_cast<CBarWnd*>(app->mainWnd) : nullptr;
}

void CPrefsDialog::Open(CBarWnd& bar) {
  CPrefsDialog dialog;
  dialog.currentPageId = bar.lastPrefsPage;
  bar.RunDialog(dialog, bar.prefsDialog);
}

BOOL CPrefsDialog::OnInitDialog() {
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
  if (!osVersionFlag) {
    HWND close = GetDlgItem(hwnd, IDOK);
    SetWindowLongA(close, GWL_EXSTYLE, GetWindowLongA(close, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    SetWindowPos(close, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  pageTree.SubclassDlgItem(IDC_PAGE_TREE, hwnd);
  for (const PageEntry& page : PAGES) pageTree.InsertRootItem(page.text, page.templateId);

  // Selecting sends TVN_SELCHANGED: the page appears from here.
  HTREEITEM item = pageTree.GetRootItem();
  if (currentPageId)
    while (item && pageTree.GetItemData(item) != currentPageId) item = pageTree.GetNextSiblingItem(item);
  if (item) pageTree.SelectItem(item);

  char hint[256] = "";
  LoadStringA(fw::Instance(), IDS_PREFS_HINT, hint, sizeof hint);
  SetDlgItemTextA(hwnd, IDC_PREFS_HINT, hint);
  return TRUE;
}

LRESULT CPrefsDialog::OnSelChanged(WPARAM, LPARAM lParam) {
  const auto* change = reinterpret_cast<const NMTREEVIEWA*>(lParam);
  currentPageId = static_cast<int>(change->itemNew.lParam);
  DestroyCurrentPage();  // the old page applies its hot keys now

  auto* page = new COptionPage(currentPageId);
  if (!page->Create(hwnd)) {
    delete page;  // no window ever came: nothing will delete it
    return 0;
  }
  currentPage = page;
  SetWindowPos(page->Handle(), pageTree.Handle(), 130, 2, 0, 0, SWP_NOSIZE);
  ShowWindow(page->Handle(), SW_SHOW);
  SetFocus(pageTree.Handle());
  return 0;
}

void CPrefsDialog::DestroyCurrentPage() {
  if (!currentPage) return;
  COptionPage* page = currentPage;
  currentPage = nullptr;
  page->DestroyWindow();  // the page deletes itself with its window
}

void CPrefsDialog::Close() {
  // An edit that still holds a typed value validates and stores it on
  // losing the focus, before anything below.
  SetFocus(GetDlgItem(hwnd, IDOK));
  CBarWnd* bar = Bar();
  if (bar) {
    if (placeBrowsersOnClose) bar->PlaceBrowserWindows(nullptr);
    if (repositionBarOnClose) bar->PositionBar();
    bar->lastPrefsPage = currentPageId;
  }
  EndDialog(IDOK);
}

LRESULT CPrefsDialog::OnDestroy(WPARAM, LPARAM) {
  LRESULT result = Default();
  DestroyCurrentPage();
  return result;
}
