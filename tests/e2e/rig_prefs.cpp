#include "rig_prefs.h"
#include <commctrl.h>
#include <doctest/doctest.h>

namespace rig {

namespace {

HWND WaitForPrefs() {
  HWND dialog = WaitForWindow("#32770", PREFS_TITLE);
  if (dialog) WaitUntil([&] { return CurrentPage(dialog) != nullptr; });
  return dialog;
}

}  // namespace

HWND OpenPrefs(HWND bar) {
  POINT p = EmptySpot(bar);
  // A dialog that is up ignores a second try: the bar is disabled behind it.
  InputUntil([&] { SingleClick(p.x, p.y); Click(p.x, p.y); },
             [] { return FindWindowA("#32770", PREFS_TITLE) != nullptr; });
  return WaitForPrefs();
}

HWND OpenPrefsByMenu(POINT at) {
  SingleClick(at.x, at.y, true);
  if (!FindPopupMenu()) return nullptr;
  ChooseByKeyboard(5);  // New, Minimize all, Close all, Hide/restore, Preferences
  return WaitForPrefs();
}

HWND CurrentPage(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "#32770" && IsWindowVisible(c)) return c;
  return nullptr;
}

int SelectedTreeIndex(HWND dialog) {
  HWND tree = GetDlgItem(dialog, 256);
  auto selected = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  if (!selected) return -1;
  int index = 0;
  for (auto item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0); item;
       item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item), ++index)
    if (item == selected) return index;
  return -1;
}

HWND ChoosePage(HWND dialog, PrefsPage page) {
  HWND tree = GetDlgItem(dialog, 256);
  if (!WaitForFocus(tree)) {
    ClickControl(tree);
    WaitForFocus(tree);
  }
  PressKey(VK_HOME);
  for (int i = 0; i < page; ++i) PressKey(VK_DOWN);
  if (!WaitUntil([&] { return SelectedTreeIndex(dialog) == page; })) {
    MESSAGE("rig: the preferences tree stayed at item " << SelectedTreeIndex(dialog) << ", not "
                                                       << page << "; in front: \""
                                                       << TextOf(GetForegroundWindow()) << "\"");
    return nullptr;
  }
  HWND shown = nullptr;
  WaitUntil([&] { return (shown = CurrentPage(dialog)) != nullptr && WaitForFocus(tree, 100); });
  return shown;
}

bool ClosePrefs(HWND dialog) {
  return ClickControlUntil(GetDlgItem(dialog, IDOK), [&] { return !IsWindow(dialog); });
}

HWND OpenColorPopup(HWND colorButton) {
  HWND popup = nullptr;
  bool shown = ClickControlUntil(colorButton, [&] {
    return (popup = FindWindowA("MarbelColorPopup", nullptr)) && IsWindowVisible(popup);
  });
  return shown ? popup : nullptr;
}

bool WaitForFocus(HWND control, DWORD timeoutMs) {
  DWORD thread = GetWindowThreadProcessId(control, nullptr);
  return WaitUntil([&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control;
  }, timeoutMs);
}

void ClickControl(HWND control) {
  RECT r = WindowRect(control);
  SingleClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool ClickControlUntil(HWND control, const std::function<bool()>& done) {
  if (!IsWindow(control)) return done();
  RECT r = WindowRect(control);
  return ClickUntil((r.left + r.right) / 2, (r.top + r.bottom) / 2, done);
}

void TypeNumber(HWND edit, const std::string& digits) {
  REQUIRE(ClickControlUntil(edit, [&] { return WaitForFocus(edit, 0); }));
  // Select everything, so the digits replace it.
  PressKey(VK_HOME);
  KeyDown(VK_SHIFT);
  PressKey(VK_END);
  KeyUp(VK_SHIFT);
  for (char d : digits) PressKey(static_cast<WORD>(d));
  WaitUntil([&] { return EditText(edit) == digits; });
}

bool IsChecked(HWND page, int id) {
  return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

std::string EditText(HWND edit) {
  char text[512] = "";
  DWORD_PTR ignored;
  SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 3000, &ignored);
  return text;
}

}  // namespace rig
