// Settings: defaults, reading order and encodings, the registry lookup of
// the browser command, and the write-one-key convention.
#include <doctest/doctest.h>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include "app/Settings.h"
#include "hooks/BrowserClass.h"
#include <commctrl.h>

namespace {

// Runs a test inside a fresh, empty working directory.
class WorkingDirectory {
public:
  WorkingDirectory() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    dir = std::string(temp) + "marbel-unit-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter);
    CreateDirectoryA(dir.c_str(), nullptr);
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(dir.c_str());
  }
  ~WorkingDirectory() {
    SetCurrentDirectoryA(previous);
    DeleteFileA((dir + "\\marbel.ini").c_str());
    DeleteFileA((dir + "\\colors.ini").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  void Write(const char* name, const std::string& text) const {
    std::ofstream(dir + "\\" + name, std::ios::binary) << text;
  }
  std::string Read(const char* name) const {
    std::ifstream in(dir + "\\" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const char* name) const {
    return GetFileAttributesA((dir + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::string dir;
  char previous[MAX_PATH] = {};
};

// Every field off its default, so that a value the loader leaves alone
// shows in the checks.
SettingsRecord Poisoned() {
  SettingsRecord r;
  r.showOnTop = 99;
  for (bool* b : {&r.showCloseButton, &r.closeOnlyOnActive, &r.closeBrowsersOnExit,
                  &r.forceOverFullScreen, &r.maximizeBrowsers, &r.alignBrowsers,
                  &r.hideBrowsersOnHide, &r.openBrowserOnStart, &r.autoHide, &r.allowMinimize,
                  &r.autoRestore, &r.catchExplorer, &r.startInTray, &r.stickingMode,
                  &r.enableBlending})
    *b = !*b;
  for (int* i : {&r.alignLeft, &r.alignTop, &r.alignWidth, &r.alignHeight, &r.barHeight,
                 &r.alpha, &r.fontHeight, &r.fontWeight, &r.fontItalic, &r.fontCharset})
    *i = 12345;
  for (DWORD* d : {&r.hotKeyHide, &r.hotKeyNew, &r.hotKeyNext, &r.barColor, &r.buttonColor, &r.buttonTextColor,
                   &r.activeColor, &r.activeTextColor, &r.blendColor})
    *d = 0x123456;
  r.browserCommand = r.fontFace = r.otherBrowserClasses = "poison";
  return r;
}

void Reload() {
  if (Settings.buttonFont) DeleteObject(Settings.buttonFont);
  Settings = Poisoned();
  LoadSettings();
}

}  // namespace

TEST_CASE("with no ini files every setting has its default and nothing is written") {
  WorkingDirectory wd;
  Reload();
  const SettingsRecord& s = Settings;
  CHECK(s.settingsPath == wd.dir + "\\marbel.ini");
  CHECK(s.themePath == wd.dir + "\\colors.ini");
  CHECK(s.showOnTop == 3);
  CHECK(s.showCloseButton);
  CHECK(s.closeOnlyOnActive);
  CHECK_FALSE(s.closeBrowsersOnExit);
  CHECK(s.forceOverFullScreen);
  CHECK(s.maximizeBrowsers);
  CHECK_FALSE(s.alignBrowsers);
  CHECK(s.alignLeft == 0);
  CHECK(s.alignTop == 0);
  CHECK(s.alignWidth == 700);
  CHECK(s.alignHeight == 500);
  CHECK(s.hideBrowsersOnHide);
  CHECK(s.barHeight == 24);
  CHECK(s.hotKeyHide == 196717);
  CHECK(s.hotKeyNew == 196715);
  CHECK(s.hotKeyNext == 0);
  CHECK(s.openBrowserOnStart);
  CHECK_FALSE(s.autoHide);
  CHECK_FALSE(s.allowMinimize);
  CHECK(s.autoRestore);
  CHECK(s.catchExplorer);
  CHECK_FALSE(s.startInTray);
  CHECK_FALSE(s.stickingMode);
  CHECK(s.otherBrowserClasses.empty());
  CHECK(s.barColor == GetSysColor(COLOR_BTNFACE));
  CHECK(s.buttonColor == GetSysColor(COLOR_BTNFACE));
  CHECK(s.buttonTextColor == 0);
  CHECK(s.activeColor == 12182520);
  CHECK(s.activeTextColor == 0);
  CHECK_FALSE(s.enableBlending);
  CHECK(s.alpha == 0);
  CHECK(s.blendColor == GetSysColor(COLOR_BTNFACE));
  CHECK(s.fontHeight == -11);
  CHECK(s.fontWeight == 400);
  CHECK(s.fontItalic == 0);
  CHECK(s.fontCharset == 1);
  CHECK(s.fontFace == "MS Sans Serif");
  REQUIRE(s.buttonFont != nullptr);
  LOGFONTA lf = {};
  GetObjectA(s.buttonFont, sizeof lf, &lf);
  CHECK(lf.lfHeight == -11);
  CHECK(std::string(lf.lfFaceName) == "MS Sans Serif");
  CHECK_FALSE(wd.Exists("marbel.ini"));
  CHECK_FALSE(wd.Exists("colors.ini"));
}

TEST_CASE("values are read from both files, signed, and the edge is taken as it stands") {
  WorkingDirectory wd;
  wd.Write("marbel.ini",
           "[Preferences]\r\nShow on top of desktop=2\r\nBar height=40\r\nLeft=-5\r\n"
           "Hot Key Hide=0\r\nAutohide=7\r\nFont height=-13\r\nFont italic=257\r\n"
           "Font charset=512\r\nFont face name=Arial\r\nInternet Explorer path=%WINDIR%\\x.exe\r\n");
  wd.Write("colors.ini",
           "[Color theme]\r\nBar background color=255\r\nAlpha=128\r\nEnable blending=1\r\n");
  Reload();
  const SettingsRecord& s = Settings;
  CHECK(s.showOnTop == 2);
  CHECK(s.barHeight == 40);
  CHECK(s.alignLeft == -5);
  CHECK(s.hotKeyHide == 0);
  CHECK(s.autoHide);  // any non-zero value is on
  CHECK(s.fontHeight == -13);
  CHECK(s.fontFace == "Arial");
  CHECK(s.browserCommand == "%WINDIR%\\x.exe");  // expanded only when it runs
  CHECK(s.barColor == 255);
  CHECK(s.alpha == 128);
  CHECK(s.enableBlending);
  // Italic and character set use their low byte only.
  LOGFONTA lf = {};
  GetObjectA(s.buttonFont, sizeof lf, &lf);
  CHECK(lf.lfItalic == 1);
  CHECK(lf.lfCharSet == 0);
  CHECK(lf.lfHeight == -13);
  // Keys of one file are not read from the other.
  CHECK(s.buttonColor == GetSysColor(COLOR_BTNFACE));
}

TEST_CASE("a face name longer than LOGFONT holds is cut to 31 characters, in memory only") {
  WorkingDirectory wd;
  const std::string file = "[Preferences]\r\nFont face name=" + std::string(40, 'F') + "\r\n";
  wd.Write("marbel.ini", file);
  Reload();
  CHECK(Settings.fontFace == std::string(LF_FACESIZE - 1, 'F'));
  CHECK(wd.Read("marbel.ini") == file);
}

TEST_CASE("the browser command falls back to the registry, then to iexplore.exe") {
  WorkingDirectory wd;
  SUBCASE("an empty value behaves like a missing key") {
    wd.Write("marbel.ini", "[Preferences]\r\nInternet Explorer path=\r\n");
    Reload();
    // Read here with the plain registry call, not the loader's own helper.
    char expected[MAX_PATH] = "";
    LONG size = sizeof expected;
    REQUIRE(RegQueryValueA(HKEY_LOCAL_MACHINE,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE",
                           expected, &size) == ERROR_SUCCESS);
    CHECK(Settings.browserCommand == expected);
    CHECK_FALSE(Settings.browserCommand.empty());
    // Kept in memory only.
    CHECK(wd.Read("marbel.ini").find("iexplore") == std::string::npos);
  }
  SUBCASE("at most 319 characters are kept") {
    wd.Write("marbel.ini", "[Preferences]\r\nInternet Explorer path=" + std::string(400, 'x') + "\r\n");
    Reload();
    CHECK(Settings.browserCommand == std::string(319, 'x'));
  }
}

TEST_CASE("registry strings: the value, or the default when it cannot be read") {
  const char* key = "Software\\MarbelUnitTest";
  HKEY k;
  REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                          nullptr) == ERROR_SUCCESS);
  CHECK(ReadRegistryString(key, nullptr, "dflt", HKEY_CURRENT_USER) == "dflt");  // no values
  RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\b.exe"), 9);
  RegSetValueExA(k, "empty", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  CHECK(ReadRegistryString(key, nullptr, "dflt", HKEY_CURRENT_USER) == "C:\\b.exe");
  CHECK(ReadRegistryString(key, "empty", "dflt", HKEY_CURRENT_USER).empty());
  CHECK(ReadRegistryString(key, "missing", "dflt", HKEY_CURRENT_USER) == "dflt");
  CHECK(ReadRegistryString("Software\\NoSuchKeyHere", nullptr, "dflt", HKEY_CURRENT_USER) == "dflt");
  RegCloseKey(k);
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST_CASE("writing changes one key of its own file and leaves the rest") {
  WorkingDirectory wd;
  const std::string original = "; kept\r\n[Preferences]\r\nBar height=30\r\nAutohide=1\r\n";
  wd.Write("marbel.ini", original);
  Reload();
  Settings.fontHeight = -13;
  WriteSetting("Font height", Settings.fontHeight);
  WriteThemeSetting("Alpha", 200);
  std::string prefs = wd.Read("marbel.ini");
  CHECK(prefs.find("; kept") != std::string::npos);
  CHECK(prefs.find("Autohide=1") != std::string::npos);
  CHECK(prefs.find("Font height=-13") != std::string::npos);
  CHECK(prefs.find("Alpha") == std::string::npos);
  CHECK(wd.Read("colors.ini").find("[Color theme]") != std::string::npos);
  Reload();
  CHECK(Settings.fontHeight == -13);  // negative values survive the round trip
  CHECK(Settings.alpha == 200);
  CHECK(Settings.barHeight == 30);
}

TEST_CASE("integers are written as plain signed decimal text") {
  CHECK(FormatInt(0) == "0");
  CHECK(FormatInt(-11) == "-11");
  CHECK(FormatInt(196717) == "196717");
  CHECK(FormatInt(INT_MIN) == "-2147483648");
  CHECK(FormatInt(INT_MAX) == "2147483647");
}

TEST_CASE("hot key modifiers swap Shift and Alt between the two flag sets") {
  CHECK(ConvertHotKeyModifiers(HOTKEYF_SHIFT) == MOD_SHIFT);
  CHECK(ConvertHotKeyModifiers(HOTKEYF_ALT) == MOD_ALT);
  CHECK(ConvertHotKeyModifiers(HOTKEYF_CONTROL) == MOD_CONTROL);
  CHECK(ConvertHotKeyModifiers(MOD_ALT | MOD_CONTROL) == (HOTKEYF_ALT | HOTKEYF_CONTROL));
  CHECK(ConvertHotKeyModifiers(HOTKEYF_EXT) == 0);  // the extended-key flag is never stored
  for (UINT m = 0; m < 8; ++m) CHECK(ConvertHotKeyModifiers(ConvertHotKeyModifiers(m)) == m);
}

namespace {

// The packed list's names, each followed by "|"; the block starts poisoned.
std::string Packed(const std::string& text, ClassList& list) {
  memset(list.names, 'x', sizeof list.names);
  PackClassList(text.c_str(), list);
  std::string names;
  for (const char* n = list.names; *n; n += strlen(n) + 1) names += std::string(n) + "|";
  return names;
}

}  // namespace

TEST_CASE("other browser classes: blanks and empty names dropped, names exact, a long list cut after a whole name") {
  ClassList list;
  CHECK(Packed(" ;\t; ;", list).empty());
  CHECK(Packed(" OpWindow ;;\tMozilla WindowClass\t;", list) == "OpWindow|Mozilla WindowClass|");
  CHECK(IsListedName("Mozilla WindowClass", list));
  for (const char* other : {"opwindow", "OpWindowX", "OpWin", ""}) CHECK_FALSE(IsListedName(other, list));
  // A name of 510 bytes, its zero and the list's end fill the block.
  CHECK(Packed(std::string(510, 'g') + ";h", list) == std::string(510, 'g') + "|");
  CHECK(Packed(std::string(511, 'g'), list).empty());
  // A block without any zero, as another program could leave it.
  memset(list.names, 'g', sizeof list.names);
  CHECK_FALSE(IsListedName(std::string(600, 'g').c_str(), list));
}

TEST_CASE("other browser classes: a value longer than the read loses its cut last name") {
  WorkingDirectory wd;
  // Empty names as filler: the read of 4095 characters ends in "Mozil".
  const std::string before = std::string(3000, ';') + "OpWindow" + std::string(1082, ';');
  wd.Write("marbel.ini", "[Preferences]\r\nOther browser classes=" + before + "MozillaWindowClass\r\n");
  Reload();
  ClassList list;
  CHECK(Packed(Settings.otherBrowserClasses, list) == "OpWindow|");
}
