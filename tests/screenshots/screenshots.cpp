// The pictures of docs/screenshots: the end-to-end rig drives the bar into
// each scene and the part of the screen that shows it is saved as a BMP
// file into the folder named by MARBEL_SHOTS (tools/screenshots.sh turns
// them into PNG). The bar runs on its defaults, as a new user sees it.
#include "tests/e2e/rig_prefs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <doctest/doctest.h>
#include <functional>

using namespace rig;

namespace {

const int MARGIN = 8;  // surroundings shown around the subject

const char* const TITLES[] = {
    "Example Domain - Microsoft Internet Explorer",
    "Wikipedia, the free encyclopedia - Microsoft Internet Explorer",
    "Marbel! - a task bar for your browser windows - Microsoft Internet Explorer",
};
const int ACTIVE = 1;  // the browser window shown as the active one

std::string OutputPath(const char* name) {
  std::string dir = getenv("MARBEL_SHOTS") ? getenv("MARBEL_SHOTS") : ".";
  if (dir[0] == '/') dir = "Z:" + dir;  // Wine shows the Unix root as drive Z:
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir + "\\" + name + ".bmp";
}

RECT Union(RECT a, const RECT& b) {
  UnionRect(&a, &a, &b);
  return a;
}

// The screen's pixels inside r, grown by MARGIN and kept on the screen,
// as a 24-bit BMP file.
void SaveScreen(const char* name, RECT r) {
  SIZE screen = ScreenSize();
  InflateRect(&r, MARGIN, MARGIN);
  RECT all = {0, 0, screen.cx, screen.cy};
  IntersectRect(&r, &r, &all);
  const int width = r.right - r.left, height = r.bottom - r.top;
  REQUIRE(width > 0);
  REQUIRE(height > 0);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up rows, as BMP files keep them
  header.biPlanes = 1;
  header.biBitCount = 24;
  HDC screenDC = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDC);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screenDC, (BITMAPINFO*)&header, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screenDC, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD size = ((width * 3 + 3) & ~3) * height;
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
  BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
  FILE* f = fopen(OutputPath(name).c_str(), "wb");
  REQUIRE_MESSAGE(f, "cannot write " << OutputPath(name));
  fwrite(&file, sizeof file, 1, f);
  fwrite(&header, sizeof header, 1, f);
  fwrite(bits, size, 1, f);
  fclose(f);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screenDC);
  MESSAGE(std::string(name) << ": " << width << " x " << height);
}

// The desktop of one scene: the stand-in taskbar the bar needs, browser
// windows with everyday titles, and the bar started among them on its
// defaults (so it maximises them). The browser windows come first, so the
// bar opens none of its own at start.
struct Scene {
  explicit Scene(const char* name) : scenario(name), shell(scenario), browser(scenario) {
    REQUIRE(shell.tray);
    REQUIRE(browser.Ready());
    for (const char* title : TITLES) windows.push_back(browser.Open("IEFrame", title));
    for (HWND w : windows) REQUIRE(w);
    marbel = scenario.StartMarbel();
    bar = WaitForBar(marbel);
    REQUIRE(bar);
    // Wine's shell hook never reports activation: tell the bar as the
    // hook does on Windows.
    browser.Do("activate", windows[ACTIVE]);
    ReportActivation(bar, windows[ACTIVE]);
    MoveMouse(ScreenSize().cx / 2, ScreenSize().cy / 3);  // off the bar
    Pause(1000);  // the browser windows settle, the bar repaints
  }
  Scenario scenario;
  StandinShell shell;
  BrowserFixture browser;
  std::vector<HWND> windows;
  Process marbel;
  HWND bar = nullptr;
};

// The page once it is the one shown: the old page may linger a moment.
HWND ShowPage(HWND dialog, PrefsPage page, int control) {
  ChoosePage(dialog, page);
  HWND shown = nullptr;
  WaitUntil([&] { return (shown = CurrentPage(dialog)) && GetDlgItem(shown, control); });
  return shown && GetDlgItem(shown, control) ? shown : nullptr;
}

}  // namespace

TEST_CASE("bar: the docked bar, the active button's tooltip showing") {
  Scene scene("shot_bar");
  HWND tip = BarToolTip(scene.bar);
  REQUIRE(tip);
  const int count = sizeof TITLES / sizeof *TITLES;
  RECT button = BrowserButton(scene.bar, ACTIVE, count);
  int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
  MoveMouse(x, y);
  MoveMouse(x + 1, y);  // a move inside, so the tip starts its delay
  REQUIRE(WaitUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000));
  Pause(300);
  SaveScreen("bar", Union(WindowRect(scene.bar), WindowRect(tip)));
}

TEST_CASE("menu: the bar menu with its list of browser windows") {
  Scene scene("shot_menu");
  POINT p = EmptySpot(scene.bar);
  REQUIRE(InputUntil([&] { SingleClick(p.x, p.y, true); }, [] { return !VisibleMenus().empty(); }));
  PressKey(VK_UP);     // the last item, "IE windows list"
  PressKey(VK_RIGHT);  // opens the list at its first window
  REQUIRE(WaitUntil([] { return VisibleMenus().size() == 2; }));
  Pause(300);
  RECT shown = WindowRect(scene.bar);
  for (HWND menu : VisibleMenus()) shown = Union(shown, WindowRect(menu));
  SaveScreen("menu", shown);
  PressKey(VK_ESCAPE);
  PressKey(VK_ESCAPE);
}

TEST_CASE("prefs: the preferences dialog on each page, and the colour picker") {
  Scene scene("shot_prefs");
  HWND dialog = OpenPrefs(scene.bar);
  REQUIRE(dialog);
  // Each page with a control that only it has.
  const struct { PrefsPage page; int control; const char* name; } pages[] = {
      {PAGE_GENERAL, 247, "prefs-general"},   {PAGE_APPEARANCE, 209, "prefs-appearance"},
      {PAGE_BROWSERS, 239, "prefs-browsers"}, {PAGE_HOTKEYS, 234, "prefs-hotkeys"},
      {PAGE_ADVANCED, 227, "prefs-advanced"},
  };
  for (const auto& p : pages) {
    REQUIRE(ShowPage(dialog, p.page, p.control));
    Pause(1000);
    SaveScreen(p.name, WindowRect(dialog));
  }

  HWND page = ShowPage(dialog, PAGE_APPEARANCE, 209);
  REQUIRE(page);
  HWND popup = OpenColorPopup(GetDlgItem(page, 201));  // "Active button color"
  REQUIRE(popup);
  // The pointer on a colour of the grid: it shows as the hot one.
  RECT r = WindowRect(popup);
  MoveMouse(r.left + 40, r.top + 45);
  MoveMouse(r.left + 41, r.top + 45);
  Pause(1000);
  SaveScreen("color-picker", Union(WindowRect(dialog), WindowRect(popup)));
  PressKey(VK_ESCAPE);
  WaitUntil([&] { return !IsWindow(popup); });
  ClosePrefs(dialog);
}
