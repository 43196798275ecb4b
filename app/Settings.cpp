#include "app/Settings.h"
#include <vector>

SettingsRecord Settings;

const char PREFERENCES[] = "Preferences";
const char COLOR_THEME[] = "Color theme";

namespace {

std::string WorkingDirectoryFile(const char* name) {
  char dir[261] = {};
  // A directory longer than the buffer leaves it empty: the file is then
  // looked for at the root of the current drive rather than at garbage.
  if (GetCurrentDirectoryA(sizeof dir, dir) >= sizeof dir) dir[0] = 0;
  return std::string(dir) + "\\" + name;
}

int ReadInt(const char* key, int def) {
  return static_cast<int>(GetPrivateProfileIntA(PREFERENCES, key, def, Settings.settingsPath.c_str()));
}
bool ReadBool(const char* key, bool def) { return ReadInt(key, def) != 0; }
std::string ReadString(const char* key, const char* def, DWORD bufferSize) {
  std::vector<char> buffer(bufferSize);
  GetPrivateProfileStringA(PREFERENCES, key, def, buffer.data(), bufferSize,
                           Settings.settingsPath.c_str());
  return buffer.data();
}
int ReadTheme(const char* key, int def) {
  return static_cast<int>(GetPrivateProfileIntA(COLOR_THEME, key, def, Settings.themePath.c_str()));
}
COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

// What LOGFONT holds of a face name: 31 bytes, no double-byte character split.
std::string FitFaceName(const std::string& face) {
  const char* begin = face.c_str();
  const char* end = begin;
  for (const char* next; *end && (next = CharNextA(end)) - begin < LF_FACESIZE; end = next) {}
  return std::string(begin, end);
}

}  // namespace

void LoadSettings() {
  SettingsRecord& s = Settings;
  s.settingsPath = WorkingDirectoryFile("marbel.ini");
  s.themePath = WorkingDirectoryFile("colors.ini");

  s.showOnTop = ReadInt("Show on top of desktop", EDGE_BOTTOM);
  s.showCloseButton = ReadBool("Show close button on IE buttons", true);
  s.closeOnlyOnActive = ReadBool("only on active IE button", true);
  s.closeBrowsersOnExit = ReadBool("Close browser windows on exit", false);
  s.forceOverFullScreen = ReadBool("Force placement over fullscreen popups", true);
  s.maximizeBrowsers = ReadBool("Maximize browser windows", true);
  s.alignBrowsers = ReadBool("Align browser windows", false);
  s.alignLeft = ReadInt("Left", 0);
  s.alignTop = ReadInt("Top", 0);
  s.alignWidth = ReadInt("Width", 700);
  s.alignHeight = ReadInt("Height", 500);
  s.hideBrowsersOnHide = ReadBool("Hide browsers when Marbel! hides", true);
  s.barHeight = ReadInt("Bar height", 24);
  s.hotKeyHide = static_cast<DWORD>(ReadInt("Hot Key Hide", 0x3006D));
  s.hotKeyNew = static_cast<DWORD>(ReadInt("Hot Key New", 0x3006B));
  s.hotKeyNext = static_cast<DWORD>(ReadInt("Hot Key Next", 0));
  s.browserCommand = ReadString("Internet Explorer path", "", 320);
  s.openBrowserOnStart = ReadBool("Open default browser on start", true);
  s.autoHide = ReadBool("Autohide", false);
  s.allowMinimize = ReadBool("Allow minimization of IE", false);
  s.autoRestore = ReadBool("Autorestore from tray", true);
  s.catchExplorer = ReadBool("Catch Windows Explorer windows", true);
  s.startInTray = ReadBool("Hide into the system tray on start", false);
  s.stickingMode = ReadBool("IE sticking mode", false);
  // A value that fills the buffer may end in a cut name: that one goes.
  const DWORD classesBuffer = 4096;
  std::string& classes = s.otherBrowserClasses = ReadString("Other browser classes", "", classesBuffer);
  if (classes.size() + 1 == classesBuffer) {
    const size_t lastSeparator = classes.rfind(';');
    classes.resize(lastSeparator == std::string::npos ? 0 : lastSeparator);
  }

  // Kept in memory only.
  if (s.browserCommand.empty())
    s.browserCommand = ReadRegistryString(
        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", nullptr,
        "iexplore.exe", HKEY_LOCAL_MACHINE);

  s.barColor = ReadTheme("Bar background color", ButtonFace());
  s.buttonColor = ReadTheme("Buttons background color", ButtonFace());
  s.buttonTextColor = ReadTheme("Buttons text color", 0);
  s.activeColor = ReadTheme("Active button color", CREAM);
  s.activeTextColor = ReadTheme("Active button text color", 0);
  s.enableBlending = ReadTheme("Enable blending", 0) != 0;
  s.alpha = ReadTheme("Alpha", 0);
  s.blendColor = ReadTheme("Blending color", ButtonFace());

  s.fontHeight = ReadInt("Font height", -11);
  s.fontWeight = ReadInt("Font weight", 400);
  s.fontItalic = ReadInt("Font italic", 0);
  s.fontCharset = ReadInt("Font charset", 1);
  s.fontFace = FitFaceName(ReadString("Font face name", "MS Sans Serif", 128));

  s.buttonFont = CreateButtonFont();
}

int BarHeight() {
  const int minimum = 24, maximum = GetSystemMetrics(SM_CYSCREEN) / 2;
  const int height = Settings.barHeight;
  return height < minimum ? minimum : height > maximum ? maximum : height;
}

HFONT CreateButtonFont() {
  const SettingsRecord& s = Settings;
  return CreateFontA(s.fontHeight, 0, 0, 0, s.fontWeight, s.fontItalic & 0xFF, 0, 0,
                     s.fontCharset & 0xFF, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, s.fontFace.c_str());
}

std::string FormatInt(int value) {
  char text[16];
  wsprintfA(text, "%d", value);  // the system's formatter keeps printf's out of the program
  return text;
}

std::string ReadRegistryString(const char* subKey, const char* valueName, const char* def,
                               HKEY root) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return def;
  std::string result = def;
  DWORD size = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &size, nullptr, nullptr) == ERROR_SUCCESS && size) {
    std::vector<char> buffer(size + 1, 0);
    if (RegQueryValueExA(key, valueName, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS)
      result = buffer.data();
  }
  RegCloseKey(key);
  return result;
}

UINT ConvertHotKeyModifiers(UINT modifiers) {
  return (modifiers & 1 ? 4 : 0) | (modifiers & 2) | (modifiers & 4 ? 1 : 0);
}

void WriteSetting(const char* key, int value) {
  WritePrivateProfileStringA(PREFERENCES, key, FormatInt(value).c_str(), Settings.settingsPath.c_str());
}
void WriteSetting(const char* key, const std::string& value) {
  WritePrivateProfileStringA(PREFERENCES, key, value.c_str(), Settings.settingsPath.c_str());
}
void WriteThemeSetting(const char* key, int value) {
  WritePrivateProfileStringA(COLOR_THEME, key, FormatInt(value).c_str(), Settings.themePath.c_str());
}
