// Every option of the program: read once at start-up from "marbel.ini"
// (section "Preferences") and "colors.ini" (section "Color theme") in the
// working directory; each change is written back at once, one key at a time.
#pragma once
#include <windows.h>
#include <string>

// The default colour of the active button, of tooltips and of help popups.
const COLORREF CREAM = 0xB9E3F8;
// The docking edges the settings name.
const int EDGE_TOP = 1;     // ABE_TOP
const int EDGE_BOTTOM = 3;  // ABE_BOTTOM

struct SettingsRecord {
  std::string settingsPath;  // <working directory>\marbel.ini
  std::string themePath;     // <working directory>\colors.ini

  // "Preferences", in the order they are read.
  int showOnTop = EDGE_BOTTOM;             // "Show on top of desktop"
  bool showCloseButton = true;             // "Show close button on IE buttons"
  bool closeOnlyOnActive = true;           // "only on active IE button"
  bool closeBrowsersOnExit = false;        // "Close browser windows on exit"
  bool forceOverFullScreen = true;         // "Force placement over fullscreen popups"
  bool maximizeBrowsers = true;            // "Maximize browser windows"
  bool alignBrowsers = false;              // "Align browser windows"
  int alignLeft = 0;                       // "Left"
  int alignTop = 0;                        // "Top"
  int alignWidth = 700;                    // "Width"
  int alignHeight = 500;                   // "Height"
  bool hideBrowsersOnHide = true;          // "Hide browsers when Marbel! hides"
  int barHeight = 24;                      // "Bar height"
  DWORD hotKeyHide = 0x3006D;              // "Hot Key Hide": Ctrl+Alt+keypad minus
  DWORD hotKeyNew = 0x3006B;               // "Hot Key New": Ctrl+Alt+keypad plus
  DWORD hotKeyNext = 0;                    // "Hot Key Next": none
  std::string browserCommand;              // "Internet Explorer path"
  bool openBrowserOnStart = true;          // "Open default browser on start"
  bool autoHide = false;                   // "Autohide"
  bool allowMinimize = false;              // "Allow minimization of IE"
  bool autoRestore = true;                 // "Autorestore from tray"
  bool catchExplorer = true;               // "Catch Windows Explorer windows"
  bool startInTray = false;                // "Hide into the system tray on start"
  bool stickingMode = false;               // "IE sticking mode"
  std::string otherBrowserClasses;         // "Other browser classes"

  // "Color theme".
  COLORREF barColor = 0;                   // "Bar background color"
  COLORREF buttonColor = 0;                // "Buttons background color"
  COLORREF buttonTextColor = 0;            // "Buttons text color"
  COLORREF activeColor = CREAM;            // "Active button color"
  COLORREF activeTextColor = 0;            // "Active button text color"
  bool enableBlending = false;             // "Enable blending"
  int alpha = 0;                           // "Alpha"
  COLORREF blendColor = 0;                 // "Blending color"

  // The browser buttons' caption font, "Preferences" again.
  int fontHeight = -11;                    // "Font height"
  int fontWeight = 400;                    // "Font weight"
  int fontItalic = 0;                      // "Font italic"
  int fontCharset = 1;                     // "Font charset"
  std::string fontFace = "MS Sans Serif";  // "Font face name"
  HFONT buttonFont = nullptr;
};

extern SettingsRecord Settings;

// Sections and key names as they stand in the files.
extern const char PREFERENCES[];   // "Preferences"
extern const char COLOR_THEME[];   // "Color theme"

void LoadSettings();
// "Bar height" as the bar takes it: a hand-edited value below 24 is 24, one
// above half the screen height is half of it.
int BarHeight();
// Creates the caption font from the five font keys.
HFONT CreateButtonFont();
// Decimal text of a signed 32-bit value ("%d").
std::string FormatInt(int value);
// A registry string value, or the default when it cannot be read.
std::string ReadRegistryString(const char* subKey, const char* valueName, const char* def,
                               HKEY root);
// Swaps bit values 1 and 4, keeps 2, drops the rest: hot key control flags
// (Shift 1, Ctrl 2, Alt 4) <-> system hot key flags (Alt 1, Ctrl 2, Shift 4).
UINT ConvertHotKeyModifiers(UINT modifiers);

// Writing back: the field has changed; write its key to its file now.
void WriteSetting(const char* key, int value);                   // "Preferences"
void WriteSetting(const char* key, const std::string& value);    // "Preferences"
void WriteThemeSetting(const char* key, int value);              // "Color theme"
