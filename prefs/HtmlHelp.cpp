#include "prefs/HtmlHelp.h"
#include "app/Settings.h"
#include <string>

static_assert(sizeof(HelpPopup) == 52, "HH_POPUP layout");

HtmlHelpFunc BindHtmlHelp() {
  static bool tried = false;
  static HtmlHelpFunc entry = nullptr;
  if (tried) return entry;
  tried = true;
  // The control's registered path first, then wherever the system finds it.
  std::string path = ReadRegistryString(
      "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", "", "", HKEY_CLASSES_ROOT);
  HMODULE library = path.empty() ? nullptr : LoadLibraryA(path.c_str());
  if (!library) library = LoadLibraryA("hhctrl.ocx");
  // The library stays loaded for the run: the entry points into it.
  if (library) entry = reinterpret_cast<HtmlHelpFunc>(GetProcAddress(library, MAKEINTRESOURCEA(14)));
  return entry;
}

void DisplayTextPopup(HWND caller, const char* text, POINT at) {
  HtmlHelpFunc htmlHelp = BindHtmlHelp();
  if (!htmlHelp) return;
  HelpPopup popup = {};
  popup.cbStruct = sizeof popup;
  popup.pszText = text;
  popup.pt = at;
  popup.clrForeground = RGB(71, 35, 35);
  popup.clrBackground = CREAM;
  popup.rcMargins = {8, 4, 6, 5};
  htmlHelp(caller, nullptr, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
}
