// The preferences dialog driven through real input: pages, the remembered
// page, the writes each control makes (ini files compared byte by byte),
// and the bar's response.
#include "rig_prefs.h"
#include "prefs/HtmlHelp.h"

#include <commctrl.h>
#include <cstring>
#include <doctest/doctest.h>

using namespace rig;

namespace {

const std::string BASE = "Open default browser on start=0\r\nMaximize browser windows=0\r\n";
const std::string INI_HEAD = "[Preferences]\r\n" + BASE;

bool HasPage(HWND page, int controlId) { return page && GetDlgItem(page, controlId) != nullptr; }

// Visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD pid) {
  std::vector<HWND> windows;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (ProcessOf(w) == pid && IsWindowVisible(w)) windows.push_back(w);
  return windows;
}

// Whether the system's HTML Help shows text popups at all: one asked for
// by the driver itself, then closed.
bool SystemShowsHelpPopups() {
  HMODULE library = LoadLibraryA("hhctrl.ocx");
  auto htmlHelp = library ? (HtmlHelpFunc)(void*)GetProcAddress(library, MAKEINTRESOURCEA(14)) : nullptr;
  if (!htmlHelp) return false;
  HelpPopup popup = {};
  popup.cbStruct = sizeof popup;
  popup.pszText = "probe";
  popup.pt = {300, 300};
  const DWORD self = GetCurrentProcessId();
  const size_t before = VisibleWindowsOf(self).size();
  htmlHelp(nullptr, nullptr, HH_DISPLAY_TEXT_POPUP, (DWORD_PTR)&popup);
  bool shown = WaitUntil([&] { return VisibleWindowsOf(self).size() > before; }, 2000);
  for (HWND w : VisibleWindowsOf(self)) PostMessageA(w, WM_CLOSE, 0, 0);
  return shown;
}

}  // namespace

TEST_CASE("the first opening shows General; closing on Hot keys reopens on Hot keys") {
  BarRun run("prefs_remembered_page", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  CHECK(SelectedTreeIndex(dialog) == PAGE_GENERAL);
  CHECK(HasPage(CurrentPage(dialog), 247));
  CHECK(TextOf(GetDlgItem(dialog, 254)) ==
        "Tip: Use question button at the right of titlebar to get quick help about options.");
  // The bar is disabled while the dialog runs.
  CHECK_FALSE(IsWindowEnabled(run.bar));

  HWND page = ChoosePage(dialog, PAGE_HOTKEYS);
  CHECK(HasPage(page, 234));
  CHECK_FALSE(HasPage(page, 247));  // one page at a time
  REQUIRE(ClosePrefs(dialog));
  CHECK(IsWindowEnabled(run.bar));

  dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  CHECK(SelectedTreeIndex(dialog) == PAGE_HOTKEYS);
  CHECK(HasPage(CurrentPage(dialog), 234));
  // Esc closes as well, and the page is remembered the same way.
  ChoosePage(dialog, PAGE_ADVANCED);
  PressKey(VK_ESCAPE);
  REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
  dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  CHECK(SelectedTreeIndex(dialog) == PAGE_ADVANCED);
  // The caption's close button: the system menu's close command.
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
  // Nothing was changed: nothing was written.
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD);
}

TEST_CASE("several rectangle edits place the browser windows once, when the dialog closes") {
  BarRun run("prefs_one_placement", BASE + "Align browser windows=1\r\n");
  REQUIRE(run.bar);
  BrowserFixture browser(run.scenario);
  REQUIRE(browser.Ready());
  HWND w = browser.Open("IEFrame", "A");
  REQUIRE(w);
  // Start-up's placement: the default rectangle 0, 0, 700 x 500.
  REQUIRE(WaitUntil([&] { RECT r = WindowRect(w); return r.right - r.left == 700; }));
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_BROWSERS);
  REQUIRE(HasPage(page, 239));
  TypeNumber(GetDlgItem(page, 239), "20");
  TypeNumber(GetDlgItem(page, 255), "30");
  TypeNumber(GetDlgItem(page, 258), "400");
  TypeNumber(GetDlgItem(page, 229), "300");
  // The height field loses the focus too.
  REQUIRE(ClickControlUntil(GetDlgItem(page, 239), [&] {
    return run.scenario.ReadFile("marbel.ini").find("Height=300") != std::string::npos;
  }));
  Pause(500);
  RECT r = WindowRect(w);
  CHECK(r.right - r.left == 700);  // not placed while editing
  REQUIRE(ClosePrefs(dialog));
  CHECK(WaitUntil([&] {
    RECT now = WindowRect(w);
    return now.left == 20 && now.top == 30 && now.right - now.left == 400 && now.bottom - now.top == 300;
  }));
  CHECK(run.scenario.ReadFile("marbel.ini") ==
        INI_HEAD + "Align browser windows=1\r\nLeft=20\r\nTop=30\r\nWidth=400\r\nHeight=300\r\n");
}

TEST_CASE("a value still being typed is stored by the closing; a bad one keeps the old value") {
  BarRun run("prefs_typed_values", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_APPEARANCE);
  HWND height = GetDlgItem(page, 208);
  REQUIRE(height);

  TypeNumber(height, "23");
  PressKey(VK_TAB);
  HWND box = FindMessageBox("marbel");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "Bad value!");
  CloseMessageBox(box);
  // The field has the focus again, its text selected; nothing stored.
  CHECK(WaitForFocus(height));
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD);

  TypeNumber(height, "30");
  REQUIRE(ClosePrefs(dialog));
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD + "Bar height=30\r\n");
  // The bar takes its new height as the dialog closes.
  CHECK(WaitUntil([&] { RECT b = WindowRect(run.bar); return b.bottom - b.top == 30; }));
  // Closed with a rejected value: told once, and the dialog closes.
  dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  height = GetDlgItem(ChoosePage(dialog, PAGE_APPEARANCE), 208);
  TypeNumber(height, "23");
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  box = FindMessageBox("marbel");
  REQUIRE(box);
  CloseMessageBox(box);
  CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
  CHECK_FALSE(FindMessageBox("marbel", 1500));
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD + "Bar height=30\r\n");
}

TEST_CASE("Maximize turns sticking mode off at once and docks the bar again") {
  BarRun run("prefs_sticking_off", BASE + "Align browser windows=1\r\nIE sticking mode=1\r\n");
  REQUIRE(run.bar);
  // Sticking without a browser window: the bar keeps its creation place.
  RECT bar = WindowRect(run.bar);
  CHECK(bar.right - bar.left == 400);
  HWND dialog = OpenPrefsByMenu({bar.left + 200, (bar.top + bar.bottom) / 2});
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_BROWSERS);
  REQUIRE(HasPage(page, 259));
  CHECK(IsChecked(page, 259));
  CHECK(IsEnabled(page, 259));
  REQUIRE(ClickControlUntil(GetDlgItem(page, 241), [&] { return !IsChecked(page, 259); }));
  CHECK_FALSE(IsEnabled(page, 259));
  CHECK(IsChecked(page, 241));
  CHECK_FALSE(IsChecked(page, 204));
  CHECK_FALSE(IsEnabled(page, 239));
  // Docked at once, across the whole screen.
  CHECK(WaitUntil([&] { return WindowRect(run.bar).right - WindowRect(run.bar).left == ScreenSize().cx; }));
  CHECK(run.scenario.ReadFile("marbel.ini") ==
        "[Preferences]\r\nOpen default browser on start=0\r\nMaximize browser windows=1\r\n"
        "Align browser windows=0\r\nIE sticking mode=0\r\n");
  ClosePrefs(dialog);
}

TEST_CASE("clearing the small close button disables 'on active IE button only' and repaints") {
  BarRun run("prefs_close_glyph", BASE + "only on active IE button=0\r\n");
  REQUIRE(run.bar);
  BrowserFixture browser(run.scenario);
  REQUIRE(browser.Ready());
  REQUIRE(browser.Open("IEFrame", "A"));
  REQUIRE(WaitForButtons(run.bar, 1));
  // The close glyph sits at the right end of the button: not the fill.
  RECT b = BrowserButton(run.bar, 0, 1);
  auto glyphShown = [&] {
    for (int x = b.right - 16; x < b.right - 3; ++x)
      if (ScreenPixel(x, (b.top + b.bottom) / 2) != BUTTON_COLOR) return true;
    return false;
  };
  REQUIRE(WaitUntil(glyphShown));
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  // The dialog opens at the bar's corner; the button must stay in sight.
  SetWindowPos(dialog, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pause(300);
  HWND page = ChoosePage(dialog, PAGE_APPEARANCE);
  REQUIRE(IsEnabled(page, 251));
  CHECK(ClickControlUntil(GetDlgItem(page, 250), [&] { return !IsEnabled(page, 251); }));
  CHECK(WaitUntil([&] { return !glyphShown(); }));
  CHECK(run.scenario.ReadFile("marbel.ini") ==
        INI_HEAD + "only on active IE button=0\r\nShow close button on IE buttons=0\r\n");
  ClosePrefs(dialog);
}

TEST_CASE("Enable blending writes colors.ini only") {
  BarRun run("prefs_enable_blending", BASE);
  REQUIRE(run.bar);
  const std::string colors = run.scenario.ReadFile("colors.ini");
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_ADVANCED);
  HWND box = GetDlgItem(page, 262);
  REQUIRE(box);
  const bool depth32 = ScreenBitsPerPixel() == 32;
  // Only a 32-bit display offers blending at all.
  CHECK(IsEnabled(page, 262) == depth32);
  CHECK_FALSE(IsEnabled(page, 203));
  CHECK_FALSE(IsEnabled(page, 261));
  if (depth32) {
    REQUIRE(ClickControlUntil(box, [&] { return run.scenario.ReadFile("colors.ini") != colors; }));
    CHECK(run.scenario.ReadFile("colors.ini") == colors + "Enable blending=1\r\n");
    CHECK_FALSE(IsEnabled(page, 203));  // until the next start
  } else {
    // A disabled box takes no click: nothing is written.
    ClickControl(box);
    Pause(500);
    CHECK(run.scenario.ReadFile("colors.ini") == colors);
  }
  ClosePrefs(dialog);
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD);
}

TEST_CASE("leaving Hot keys unchanged writes nothing; a changed hot key is registered anew") {
  BarRun run("prefs_hot_keys", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_HOTKEYS);
  REQUIRE(HasPage(page, 234));
  CHECK(SendMessageA(GetDlgItem(page, 234), HKM_GETHOTKEY, 0, 0) ==
        MAKEWORD(VK_SUBTRACT, HOTKEYF_CONTROL | HOTKEYF_ALT));
  ChoosePage(dialog, PAGE_GENERAL);
  Pause(300);
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD);

  page = ChoosePage(dialog, PAGE_HOTKEYS);
  HWND hide = GetDlgItem(page, 234);
  REQUIRE(ClickControlUntil(hide, [&] { return WaitForFocus(hide, 0); }));
  // A key alone becomes Ctrl+Alt with that key.
  PressKey(VK_F9);
  REQUIRE(WaitUntil([&] { return LOBYTE(SendMessageA(hide, HKM_GETHOTKEY, 0, 0)) == VK_F9; }));
  REQUIRE(ClosePrefs(dialog));  // the page goes: its hot keys are applied
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD + "Hot Key Hide=196728\r\n");
  // The bar holds the new combination, and no longer the old one.
  HWND probe = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  CHECK_FALSE(RegisterHotKey(probe, 1, MOD_CONTROL | MOD_ALT, VK_F9));
  CHECK(RegisterHotKey(probe, 2, MOD_CONTROL | MOD_ALT, VK_SUBTRACT));
  UnregisterHotKey(probe, 1);
  UnregisterHotKey(probe, 2);
  DestroyWindow(probe);
}

TEST_CASE("colour pickers: Default stores each setting's default, Esc stores the old colour") {
  BarRun run("prefs_colors", BASE);
  REQUIRE(run.bar);
  const std::string colors = run.scenario.ReadFile("colors.ini");
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = ChoosePage(dialog, PAGE_APPEARANCE);
  // "Default" is the box along the popup's top edge. A click the virtual
  // desktop mangles ends the popup as a cancel, which stores the colour the
  // file has already: then the popup gets another try.
  auto chooseDefault = [&](int id) {
    const std::string before = run.scenario.ReadFile("colors.ini");
    InputUntil([&] {
      HWND popup = OpenColorPopup(GetDlgItem(page, id));
      REQUIRE(popup);
      RECT r = WindowRect(popup);
      SingleClick((r.left + r.right) / 2, r.top + 12);
      REQUIRE(WaitUntil([&] { return !IsWindow(popup); }));
    }, [&] { return run.scenario.ReadFile("colors.ini") != before; });
  };
  chooseDefault(201);
  REQUIRE(WaitUntil([&] { return run.scenario.ReadFile("colors.ini") != colors; }));
  // The bar's colour was red; the file said so, and now says cream.
  std::string expected = colors;
  expected.replace(expected.find("Active button color=" + std::to_string(ACTIVE_COLOR)),
                   std::string("Active button color=" + std::to_string(ACTIVE_COLOR)).size(),
                   "Active button color=12182520");
  CHECK(run.scenario.ReadFile("colors.ini") == expected);

  chooseDefault(253);
  expected.replace(expected.find(ThemeLine("Buttons text color", TEXT_COLOR)),
                   ThemeLine("Buttons text color", TEXT_COLOR).size(), "Buttons text color=0\r\n");
  CHECK(WaitUntil([&] { return run.scenario.ReadFile("colors.ini") == expected; }));

  // Cancelled by Esc: the button's own colour is stored again.
  HWND bar = GetDlgItem(page, 209);
  HWND popup = OpenColorPopup(bar);
  REQUIRE(popup);
  PressKey(VK_ESCAPE);
  REQUIRE(WaitUntil([&] { return !IsWindow(popup); }));
  CHECK(IsWindow(dialog));  // Esc ended the popup only
  CHECK(WaitUntil([&] { return run.scenario.ReadFile("colors.ini") == expected; }));
  ClosePrefs(dialog);
  CHECK(run.scenario.ReadFile("marbel.ini") == INI_HEAD);
}

namespace {

// The font dialog of the Appearance page, opened by its button.
HWND OpenFontDialog(HWND dialog) {
  HWND page = ChoosePage(dialog, PAGE_APPEARANCE);
  HWND fontDialog = nullptr;
  REQUIRE(ClickControlUntil(GetDlgItem(page, 226), [&] {
    for (HWND w : TopLevelWindows("#32770"))
      if (w != dialog && IsWindowVisible(w) && GetDlgItem(w, 0x411)) fontDialog = w;
    return fontDialog != nullptr;
  }));
  return fontDialog;
}

}  // namespace

TEST_CASE("a font chosen with underline gives five font keys and no underline") {
  BarRun run("prefs_font", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND fontDialog = OpenFontDialog(dialog);
  HWND underline = GetDlgItem(fontDialog, 0x411);  // chx2, "Underline"
  REQUIRE(ClickControlUntil(underline, [&] {
    return SendMessageA(underline, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }));
  REQUIRE(ClickControlUntil(GetDlgItem(fontDialog, IDOK), [&] { return !IsWindow(fontDialog); }));
  ClosePrefs(dialog);
  const std::string ini = run.scenario.ReadFile("marbel.ini");
  // Exactly the five values, in this order, right after the lines there were;
  // which face and size the system's dialog offered first is its own affair.
  size_t at = INI_HEAD.size();
  CHECK(ini.compare(0, at, INI_HEAD) == 0);
  for (const char* key : {"Font height=", "Font weight=", "Font italic=0\r\n", "Font charset=",
                          "Font face name="}) {
    CHECK_MESSAGE(ini.compare(at, strlen(key), key) == 0, key);
    at = ini.find("\r\n", at) + 2;
  }
  CHECK(at == ini.size());
  CHECK(ini.find("nderline") == std::string::npos);
}

TEST_CASE("a font chosen while the bar is hidden in the tray leaves it hidden") {
  BarRun run("prefs_font_hidden", BASE + "Hide into the system tray on start=1\r\n");
  REQUIRE(run.bar);
  PostMessageA(run.bar, WM_COMMAND, 131, 0);  // "Preferences", as from the tray menu
  HWND dialog = WaitForWindow("#32770", PREFS_TITLE);
  REQUIRE(dialog);
  // Opened without input: a click gives it the keyboard. Under Wine, keys
  // typed after a SetForegroundWindow from here were now and then lost.
  ClickControl(GetDlgItem(dialog, 256));
  REQUIRE(!IsWindowVisible(run.bar));
  HWND fontDialog = OpenFontDialog(dialog);
  REQUIRE(ClickControlUntil(GetDlgItem(fontDialog, IDOK), [&] { return !IsWindow(fontDialog); }));
  REQUIRE(WaitUntil([&] { return run.scenario.ReadFile("marbel.ini").find("Font face name=") != std::string::npos; }));
  CHECK(Stays([&] { return !IsWindowVisible(run.bar); }));
  ClosePrefs(dialog);
}

TEST_CASE("the Alpha slider moved by a click on its track or by a key repaints the interface buttons") {
  BarRun run("prefs_alpha", BASE, "Enable blending=1\r\nAlpha=0\r\nBlending color=255\r\n");
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND slider = GetDlgItem(ChoosePage(dialog, PAGE_ADVANCED), 261);
  REQUIRE(slider);
  // Blending needs a 32-bit display; below, the slider is off and there is
  // nothing to move.
  const bool deep = ScreenBitsPerPixel() == 32;
  CHECK(IsWindowEnabled(slider) == deep);
  if (!deep) return (void)ClosePrefs(dialog);
  // The tint covers the whole new-window button: its middle shows it.
  RECT r = WindowRect(GetDlgItem(run.bar, 245));
  auto middle = [&] { return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2); };
  COLORREF before = middle();
  auto repainted = [&] { return middle() != before; };
  // The thumb sits at the left end: a click at the middle pages right.
  REQUIRE(ClickControlUntil(slider, [&] { return SendMessageA(slider, TBM_GETPOS, 0, 0) > 0; }));
  CHECK(WaitUntil(repainted));
  before = middle();
  PressKey(VK_END);
  REQUIRE(WaitUntil([&] { return SendMessageA(slider, TBM_GETPOS, 0, 0) == 255; }));
  CHECK(WaitUntil(repainted));
  // Stored when the key comes up, which may be a moment after the move.
  CHECK(WaitUntil([&] { return run.scenario.ReadFile("colors.ini").find("Alpha=255") != std::string::npos; }));
  ClosePrefs(dialog);
}

TEST_CASE("a help request on the tree shows nothing; one on a page control is no fault") {
  BarRun run("prefs_help", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  auto marbelWindows = [&] { return VisibleWindowsOf(run.marbel.pid).size(); };
  const size_t before = marbelWindows();
  REQUIRE(WaitForFocus(GetDlgItem(dialog, 256)));
  PressKey(VK_F1);  // help on the tree
  Pause(1000);
  CHECK(marbelWindows() == before);
  CHECK(IsWindow(dialog));

  HWND page = CurrentPage(dialog);
  HWND box = GetDlgItem(page, 248);
  // The click also flips the box: stored like any click.
  REQUIRE(ClickControlUntil(box, [&] { return IsChecked(page, 248) && WaitForFocus(box, 0); }));
  PressKey(VK_F1);
  // Whether a popup shows is the system's affair (the case below); no fault either way.
  Pause(1000);
  CHECK(IsWindow(dialog));
  ClosePrefs(dialog);
  // The click on 248 rewrote its line in place.
  CHECK(run.scenario.ReadFile("marbel.ini") ==
        "[Preferences]\r\nOpen default browser on start=1\r\nMaximize browser windows=0\r\n");
}

TEST_CASE("a help request on a page control shows a help popup" * MAY_SKIP) {
  if (!SystemShowsHelpPopups()) {
    Skip("the system's HTML Help shows no text popups (Wine's hhctrl.ocx): the help popup is not checked");
    return;
  }
  BarRun run("prefs_help_popup", BASE);
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND page = CurrentPage(dialog);
  HWND box = GetDlgItem(page, 248);
  REQUIRE(ClickControlUntil(box, [&] { return WaitForFocus(box, 0); }));
  const size_t before = VisibleWindowsOf(run.marbel.pid).size();
  PressKey(VK_F1);
  CHECK(WaitUntil([&] { return VisibleWindowsOf(run.marbel.pid).size() > before; }, 3000));
  PressKey(VK_ESCAPE);
  ClosePrefs(dialog);
}
