// Damaged settings files through the program's own loader: 1,000 generated
// pairs of marbel.ini and colors.ini, each loaded and compared field by
// field with what the system's private-profile reader makes of the same
// files. The loader validates nothing but the face name's length (what LOGFONT
// holds), so that reading is the whole rule.
#include <doctest/doctest.h>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include "app/Settings.h"
#include "tests/fixtures/bad_ini.h"

namespace {

const int FILE_PAIRS = 1000;

struct IntKey {
  const char* section;  // PREFERENCES or COLOR_THEME
  const char* key;
  int def;
  bool boolean;         // loaded as "not 0"
  std::function<int(const SettingsRecord&)> field;
};

std::vector<IntKey> IntKeys() {
  const int face = static_cast<int>(GetSysColor(COLOR_BTNFACE));
  const char* P = PREFERENCES;
  const char* T = COLOR_THEME;
  using S = const SettingsRecord&;
  return {
      {P, "Show on top of desktop", 3, false, [](S s) { return s.showOnTop; }},
      {P, "Show close button on IE buttons", 1, true, [](S s) { return int(s.showCloseButton); }},
      {P, "only on active IE button", 1, true, [](S s) { return int(s.closeOnlyOnActive); }},
      {P, "Close browser windows on exit", 0, true, [](S s) { return int(s.closeBrowsersOnExit); }},
      {P, "Force placement over fullscreen popups", 1, true, [](S s) { return int(s.forceOverFullScreen); }},
      {P, "Maximize browser windows", 1, true, [](S s) { return int(s.maximizeBrowsers); }},
      {P, "Align browser windows", 0, true, [](S s) { return int(s.alignBrowsers); }},
      {P, "Left", 0, false, [](S s) { return s.alignLeft; }},
      {P, "Top", 0, false, [](S s) { return s.alignTop; }},
      {P, "Width", 700, false, [](S s) { return s.alignWidth; }},
      {P, "Height", 500, false, [](S s) { return s.alignHeight; }},
      {P, "Hide browsers when Marbel! hides", 1, true, [](S s) { return int(s.hideBrowsersOnHide); }},
      {P, "Bar height", 24, false, [](S s) { return s.barHeight; }},
      {P, "Hot Key Hide", 196717, false, [](S s) { return int(s.hotKeyHide); }},
      {P, "Hot Key New", 196715, false, [](S s) { return int(s.hotKeyNew); }},
      {P, "Hot Key Next", 0, false, [](S s) { return int(s.hotKeyNext); }},
      {P, "Open default browser on start", 1, true, [](S s) { return int(s.openBrowserOnStart); }},
      {P, "Autohide", 0, true, [](S s) { return int(s.autoHide); }},
      {P, "Allow minimization of IE", 0, true, [](S s) { return int(s.allowMinimize); }},
      {P, "Autorestore from tray", 1, true, [](S s) { return int(s.autoRestore); }},
      {P, "Catch Windows Explorer windows", 1, true, [](S s) { return int(s.catchExplorer); }},
      {P, "Hide into the system tray on start", 0, true, [](S s) { return int(s.startInTray); }},
      {P, "IE sticking mode", 0, true, [](S s) { return int(s.stickingMode); }},
      {P, "Font height", -11, false, [](S s) { return s.fontHeight; }},
      {P, "Font weight", 400, false, [](S s) { return s.fontWeight; }},
      {P, "Font italic", 0, false, [](S s) { return s.fontItalic; }},
      {P, "Font charset", 1, false, [](S s) { return s.fontCharset; }},
      {T, "Bar background color", face, false, [](S s) { return int(s.barColor); }},
      {T, "Buttons background color", face, false, [](S s) { return int(s.buttonColor); }},
      {T, "Buttons text color", 0, false, [](S s) { return int(s.buttonTextColor); }},
      {T, "Active button color", 12182520, false, [](S s) { return int(s.activeColor); }},
      {T, "Active button text color", 0, false, [](S s) { return int(s.activeTextColor); }},
      {T, "Enable blending", 0, true, [](S s) { return int(s.enableBlending); }},
      {T, "Alpha", 0, false, [](S s) { return s.alpha; }},
      {T, "Blending color", face, false, [](S s) { return int(s.blendColor); }},
  };
}

// The reader's text for a key, read into a buffer larger than any line,
// then cut to what a buffer of `size` characters holds.
std::string ReaderText(const std::string& path, const char* key, const char* def, size_t size) {
  std::vector<char> buffer(1 << 16);  // longer than any value the generator writes
  GetPrivateProfileStringA(PREFERENCES, key, def, buffer.data(), buffer.size(), path.c_str());
  std::string text = buffer.data();
  return text.substr(0, size - 1);
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int FileCount(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  int count = 0;
  if (search == INVALID_HANDLE_VALUE) return 0;
  do count += found.cFileName[0] != '.';
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

void LoadFresh() {
  if (Settings.buttonFont) DeleteObject(Settings.buttonFont);
  Settings = SettingsRecord();
  LoadSettings();
}

}  // namespace

TEST_CASE("1,000 damaged settings files: every field is what the private-profile reader reads") {
  char temp[MAX_PATH], previous[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  GetCurrentDirectoryA(sizeof previous, previous);
  const std::string root = std::string(temp) + "marbel-bad-ini-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  // The other tests get the record back as it was, font and all.
  const SettingsRecord saved = Settings;
  Settings.buttonFont = nullptr;

  // The browser command a load without a value falls back to.
  REQUIRE(SetCurrentDirectoryA(root.c_str()));
  LoadFresh();
  const std::string fallbackCommand = Settings.browserCommand;

  const std::vector<IntKey> keys = IntKeys();
  std::map<std::string, int> changedFromDefault;  // the generator's reach, per key
  for (int seed = 0; seed < FILE_PAIRS; ++seed) {
    // A directory per pair: the reader caches files by path and time.
    const std::string dir = root + "\\" + std::to_string(seed);
    CreateDirectoryA(dir.c_str(), nullptr);
    const badini::Files files = badini::Make(seed);
    const std::string settingsPath = dir + "\\marbel.ini", themePath = dir + "\\colors.ini";
    Write(settingsPath, files.settings);
    Write(themePath, files.theme);

    REQUIRE(SetCurrentDirectoryA(dir.c_str()));
    LoadFresh();
    const SettingsRecord& s = Settings;
    INFO("seed " << seed);
    CHECK(s.settingsPath == settingsPath);
    CHECK(s.themePath == themePath);
    for (const IntKey& k : keys) {
      const std::string& path = k.section == PREFERENCES ? settingsPath : themePath;
      int read = static_cast<int>(GetPrivateProfileIntA(k.section, k.key, k.def, path.c_str()));
      int expected = k.boolean ? read != 0 : read;
      INFO("key " << k.key);
      CHECK(k.field(s) == expected);
      if (k.field(s) != (k.boolean ? k.def != 0 : k.def)) ++changedFromDefault[k.key];
    }
    std::string command = ReaderText(settingsPath, "Internet Explorer path", "", 320);
    CHECK(s.browserCommand == (command.empty() ? fallbackCommand : command));
    if (!command.empty()) ++changedFromDefault["Internet Explorer path"];
    std::string face = ReaderText(settingsPath, "Font face name", "MS Sans Serif", 128);
    CHECK(s.fontFace == face.substr(0, LF_FACESIZE - 1));
    if (face != "MS Sans Serif") ++changedFromDefault["Font face name"];
    // Whole, or cut after a whole name when the read filled its buffer.
    std::string classes = ReaderText(settingsPath, "Other browser classes", "", 4096);
    CHECK(classes.compare(0, s.otherBrowserClasses.size(), s.otherBrowserClasses) == 0);
    if (classes.size() < 4095) CHECK(s.otherBrowserClasses == classes);
    if (!classes.empty()) ++changedFromDefault["Other browser classes"];

    // The font is built from the five font keys as loaded.
    REQUIRE(s.buttonFont != nullptr);
    LOGFONTA lf = {};
    REQUIRE(GetObjectA(s.buttonFont, sizeof lf, &lf) == sizeof lf);
    CHECK(lf.lfHeight == s.fontHeight);
    CHECK(lf.lfWeight == s.fontWeight);
    CHECK(lf.lfItalic == (s.fontItalic & 0xFF));
    CHECK(lf.lfCharSet == (s.fontCharset & 0xFF));
    CHECK(std::string(lf.lfFaceName) == s.fontFace);

    // Loading wrote nothing.
    CHECK(Read(settingsPath) == files.settings);
    CHECK(Read(themePath) == files.theme);
    CHECK(FileCount(dir) == 2);

    SetCurrentDirectoryA(root.c_str());
    DeleteFileA(settingsPath.c_str());
    DeleteFileA(themePath.c_str());
    RemoveDirectoryA(dir.c_str());
  }
  SetCurrentDirectoryA(previous);
  RemoveDirectoryA(root.c_str());
  DeleteObject(Settings.buttonFont);
  Settings = saved;

  // Every key was read away from its default in some of the files, so each
  // comparison above met real values.
  for (const IntKey& k : keys) CHECK_MESSAGE(changedFromDefault[k.key] > 20, k.key);
  CHECK(changedFromDefault["Internet Explorer path"] > 20);
  CHECK(changedFromDefault["Font face name"] > 20);
  CHECK(changedFromDefault["Other browser classes"] > 20);
}

TEST_CASE("damaged values: what the loader makes of them, spelled out") {
  // Expected values written down here, not asked of the reader the loader
  // itself calls, so that the 1,000 files above cannot hide a shared fault.
  struct Case { const char* text; int barHeight; };
  const Case cases[] = {
      {"[Preferences]\r\nBar height=  42  \r\n", 42},
      {"[Preferences]\r\nBar height=17xyz\r\n", 17},
      {"[Preferences]\r\nBar height=-30\r\n", -30},
      {"[Preferences]\r\nBar height=abc\r\n", 0},
      {"[Preferences]\r\nBar height=\r\n", 24},  // an empty value is no value
      {"[preferences]\r\nbar HEIGHT=31\r\n", 31},
      {"[Preferences]\r\nBar height=33\r\nBar height=44\r\n", 33},
      {"[Other]\r\nBar height=50\r\n", 24},
      {"Bar height=50\r\n", 24},
  };
  char temp[MAX_PATH], previous[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  GetCurrentDirectoryA(sizeof previous, previous);
  const SettingsRecord saved = Settings;
  Settings.buttonFont = nullptr;
  int n = 0;
  for (const Case& c : cases) {
    // A directory per file: the reader caches files by path and time.
    const std::string dir = std::string(temp) + "marbel-spelled-" +
                            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++n);
    CreateDirectoryA(dir.c_str(), nullptr);
    Write(dir + "\\marbel.ini", c.text);
    REQUIRE(SetCurrentDirectoryA(dir.c_str()));
    LoadFresh();
    INFO(std::string(c.text));
    CHECK(Settings.barHeight == c.barHeight);
    SetCurrentDirectoryA(previous);
    DeleteFileA((dir + "\\marbel.ini").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  DeleteObject(Settings.buttonFont);
  Settings = saved;
}
