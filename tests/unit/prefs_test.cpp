// The option pages' rules, and the preferences' resources as the built
// program holds them.
#include <doctest/doctest.h>
#include <windows.h>
#include <commctrl.h>
#include "app/Settings.h"
#include "prefs/ColorGrid.h"
#include "prefs/PageRules.h"
#include "res/resource.h"
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Accepted(int id, int value, int left = 0, int top = 0) {
  return IsNumberAccepted(id, value, left, top, 1024, 768);
}

HMODULE Program() {
  static HMODULE module = [] {
    const char* bin = std::getenv("MARBEL_BIN");
    if (!bin) return HMODULE();
    std::string path = std::string("Z:") + bin + "/marbel.exe";
    for (char& c : path)
      if (c == '/') c = '\\';
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }();
  return module;
}

std::string String(int id) {
  char text[2048] = "";
  LoadStringA(Program(), id, text, sizeof text);
  return text;
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Control {
  int id;
  std::string className;
  RECT units;  // dialog units
};

// The template's controls in their order (the tab order), positions in
// dialog units: each page made as a real dialog and measured back.
std::vector<Control> ControlsOf(int templateId, SIZE* size = nullptr) {
  std::vector<Control> controls;
  InitCommonControls();  // the tree, trackbar and hot key classes
  // Pages are child windows: they need a parent.
  HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND dialog = CreateDialogParamA(Program(), MAKEINTRESOURCEA(templateId), parent, NoHandling, 0);
  if (!dialog) {
    DestroyWindow(parent);
    return controls;
  }
  RECT unit = {0, 0, 4, 8};
  MapDialogRect(dialog, &unit);  // pixels of 4 x 8 dialog units
  auto toUnits = [&](RECT r) {
    return RECT{MulDiv(r.left, 4, unit.right), MulDiv(r.top, 8, unit.bottom),
                MulDiv(r.right - r.left, 4, unit.right), MulDiv(r.bottom - r.top, 8, unit.bottom)};
  };
  if (size) {
    RECT client;
    GetClientRect(dialog, &client);
    RECT u = toUnits(client);
    *size = {u.right, u.bottom};
  }
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char name[64] = "";
    GetClassNameA(c, name, sizeof name);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    controls.push_back({static_cast<short>(GetDlgCtrlID(c)), name, toUnits(r)});
  }
  DestroyWindow(dialog);
  DestroyWindow(parent);
  return controls;
}

std::vector<int> Ids(const std::vector<Control>& controls) {
  std::vector<int> ids;
  for (const Control& c : controls) ids.push_back(c.id);
  return ids;
}

}  // namespace

TEST_CASE("number fields: bar height from 24 up, no upper limit") {
  CHECK_FALSE(Accepted(IDC_BAR_HEIGHT, 23));
  CHECK_FALSE(Accepted(IDC_BAR_HEIGHT, 0));
  CHECK(Accepted(IDC_BAR_HEIGHT, 24));
  CHECK(Accepted(IDC_BAR_HEIGHT, 5000));
}

TEST_CASE("number fields: the rectangle against a 1024 x 768 screen") {
  CHECK(Accepted(IDC_LEFT, 1024));
  CHECK_FALSE(Accepted(IDC_LEFT, 1025));
  CHECK(Accepted(IDC_LEFT, 1024, 0, 0));
  CHECK(Accepted(IDC_TOP, 768));
  CHECK_FALSE(Accepted(IDC_TOP, 769));
  // "Left" alone is tested against the screen, not against "Width".
  CHECK(Accepted(IDC_LEFT, 1000, 0, 0));
  CHECK(Accepted(IDC_WIDTH, 1000, 24));
  CHECK_FALSE(Accepted(IDC_WIDTH, 1001, 24));
  CHECK_FALSE(Accepted(IDC_WIDTH, 0, 0));
  CHECK_FALSE(Accepted(IDC_WIDTH, 0, -10));
  CHECK(Accepted(IDC_HEIGHT, 700, 0, 68));
  CHECK_FALSE(Accepted(IDC_HEIGHT, 701, 0, 68));
  CHECK_FALSE(Accepted(IDC_HEIGHT, 0));
  // A huge width cannot wrap round into range.
  CHECK_FALSE(Accepted(IDC_WIDTH, 0x7FFFFFFF, 24));
  CHECK_FALSE(Accepted(IDC_HEIGHT, 0x7FFFFFFF, 0, 1));
  CHECK_FALSE(Accepted(IDC_COMMAND, 100));  // not a number field
}

TEST_CASE("number fields: the leading digits make the value") {
  CHECK(ParseLeadingDigits("") == 0);
  CHECK(ParseLeadingDigits("24") == 24);
  CHECK(ParseLeadingDigits("0123") == 123);
  CHECK(ParseLeadingDigits("12ab3") == 12);
  CHECK(ParseLeadingDigits("x12") == 0);
  CHECK(ParseLeadingDigits("2147483647") == 2147483647);
  CHECK(ParseLeadingDigits("4294967320") == 2147483647);  // would wrap to 24
}

TEST_CASE("colour pickers: Default stands for each setting's own default") {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  CHECK(ResolveDefaultColor(IDC_ACTIVE_COLOR, COLOR_DEFAULT) == 12182520);
  CHECK(ResolveDefaultColor(IDC_TEXT_COLOR, COLOR_DEFAULT) == 0);
  CHECK(ResolveDefaultColor(IDC_ACTIVE_TEXT_COLOR, COLOR_DEFAULT) == 0);
  CHECK(ResolveDefaultColor(IDC_BAR_COLOR, COLOR_DEFAULT) == face);
  CHECK(ResolveDefaultColor(IDC_BUTTON_COLOR, COLOR_DEFAULT) == face);
  CHECK(ResolveDefaultColor(IDC_BLEND_COLOR, COLOR_DEFAULT) == face);
  CHECK(ResolveDefaultColor(IDC_ACTIVE_COLOR, RGB(1, 2, 3)) == RGB(1, 2, 3));
  CHECK(ResolveDefaultColor(IDC_BAR_COLOR, 0) == 0);
}

TEST_CASE("hot keys: control value and setting swap Shift and Alt") {
  // Ctrl+Alt+keypad minus: control flags Ctrl 2 | Alt 4, system Alt 1 | Ctrl 2.
  CHECK(HotKeySettingFromControl(MAKEWORD(VK_SUBTRACT, HOTKEYF_CONTROL | HOTKEYF_ALT)) == 196717);
  CHECK(HotKeyControlFromSetting(196717) == MAKEWORD(VK_SUBTRACT, HOTKEYF_CONTROL | HOTKEYF_ALT));
  // Shift+F5: control Shift 1 -> MOD_SHIFT 4.
  CHECK(HotKeySettingFromControl(MAKEWORD(VK_F5, HOTKEYF_SHIFT)) == 4 * 65536 + VK_F5);
  CHECK(HotKeyControlFromSetting(4 * 65536 + VK_F5) == MAKEWORD(VK_F5, HOTKEYF_SHIFT));
  // The extended-key flag is never stored; an empty control gives 0.
  CHECK(HotKeySettingFromControl(MAKEWORD(VK_HOME, HOTKEYF_EXT | HOTKEYF_CONTROL)) == 2 * 65536 + VK_HOME);
  CHECK(HotKeySettingFromControl(0) == 0);
  CHECK(HotKeyControlFromSetting(0) == 0);
}

TEST_CASE("preferences strings: exact texts, spelling included") {
  REQUIRE(Program());
  CHECK(String(IDS_BAD_VALUE) == "Bad value!");
  CHECK(String(IDS_PREFS_HINT) ==
        "Tip: Use question button at the right of titlebar to get quick help about options.");
  CHECK(String(IDC_BLEND_COLOR) ==
        "Color for blending interface buttons \"Close\", \"Hide\" and \"New\".");
  CHECK(String(IDC_BROWSE) ==
        "Browse for iexpore.exe file. It is located in \"Program Files\\Internet Explorer\" "
        "directory by default.");
  CHECK(String(IDC_COMMAND) ==
        "You can manually enter full path to iexplore.exe and add command line parameters.\r"
        "Tip: Add \"-nohome\" parameter for quick IE opening. In this mode IE disables some menu "
        "items and hides some toolbar buttons. To resolve this just hit the \"Stop\" button on "
        "the IE toolbar.");
  CHECK(String(IDC_CLOSE_ONLY_ACTIVE) ==
        "Show close button only on active IE button.  If you hold <shift> button when clicking "
        "on close button, all IE windows will be closed.");
  CHECK(String(IDC_BUTTON_COLOR) == "Backgrounf color for active IE button.");
  CHECK(String(IDC_OPEN_ON_START) == "Open new Inernet Explorer window when Marbel! runs.");
  // Every page control with an id has its help; the dialog's tree has none.
  for (int page = IDD_PAGE_ADVANCED; page <= IDD_PAGE_HOTKEYS; ++page)
    for (const Control& c : ControlsOf(page))
      if (c.id != -1) CHECK_MESSAGE(!String(c.id).empty(), "control ", c.id);
  CHECK(String(IDC_PAGE_TREE).empty());
}

TEST_CASE("preferences dialog template: size, tree, Close button and hint line") {
  REQUIRE(Program());
  SIZE size = {};
  auto controls = ControlsOf(IDD_PREFERENCES, &size);
  CHECK(size.cx == 302);
  CHECK(size.cy == 138);
  REQUIRE(Ids(controls) == std::vector<int>{IDC_PAGE_TREE, IDOK, IDC_PREFS_HINT});
  CHECK(controls[0].className == "SysTreeView32");
  CHECK(controls[0].units.left == 4);
  CHECK(controls[0].units.right == 78);
  CHECK(controls[1].units.top == 118);
  CHECK(controls[2].units.left == 88);
}

TEST_CASE("page templates: ids in tab order, 213 x 115, invisible children") {
  REQUIRE(Program());
  struct Expected { int page; std::vector<int> ids; };
  const Expected pages[] = {
      {IDD_PAGE_GENERAL, {247, 248, 218, 233, 206, 207, 205, 252, -1, 237, 236, -1}},
      {IDD_PAGE_APPEARANCE, {209, 201, 253, 202, 226, 208, 250, 251, -1, -1, 254}},
      {IDD_PAGE_BROWSERS, {246, 241, 204, 239, 255, 258, 229, -1, -1, -1, -1, -1, 259}},
      {IDD_PAGE_HOTKEYS, {234, 235, 264, -1, -1, -1, -1, -1}},
      {IDD_PAGE_ADVANCED, {-1, 227, 216, -1, 260, 203, 261, -1, -1, -1, 262}},
  };
  for (const Expected& e : pages) {
    SIZE size = {};
    auto controls = ControlsOf(e.page, &size);
    CHECK_MESSAGE(Ids(controls) == e.ids, "page ", e.page);
    CHECK(size.cx == 213);
    CHECK(size.cy == 115);
  }
  auto browsers = ControlsOf(IDD_PAGE_BROWSERS);
  REQUIRE(browsers.size() == 13);
  CHECK(browsers[12].units.left == 86);
  CHECK(browsers[12].units.bottom == 26);
  auto hotKeys = ControlsOf(IDD_PAGE_HOTKEYS);
  REQUIRE(hotKeys.size() == 8);
  CHECK(hotKeys[0].className == "msctls_hotkey32");
  CHECK(hotKeys[2].className == "msctls_hotkey32");
  CHECK(hotKeys[2].units.top == 67);  // below the other two, which stay
  auto advanced = ControlsOf(IDD_PAGE_ADVANCED);
  REQUIRE(advanced.size() == 11);
  CHECK(advanced[6].className == "msctls_trackbar32");
}
