// Values on the option pages: typed numbers and texts, the
// file and font dialogs, the colour buttons and the alpha trackbar.
#include "prefs/OptionPage.h"
#include "app/Settings.h"
#include "bar/BarWnd.h"
#include "bar/Launch.h"
#include "framework/App.h"
#include "prefs/PageRules.h"
#include "prefs/PrefsDialog.h"
#include "res/resource.h"
#include "prefs/CommonDialogs.h"
#include <vector>

namespace {

std::string WindowText(HWND window) {
  std::vector<char> text(GetWindowTextLengthA(window) + 1);
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

struct NumberField {
  int id;
  int SettingsRecord::*field;
  const char* key;
  bool placesBrowsers;  // else it moves the bar
};
const NumberField NUMBER_FIELDS[] = {
    {IDC_BAR_HEIGHT, &SettingsRecord::barHeight, "Bar height", false},
    {IDC_LEFT, &SettingsRecord::alignLeft, "Left", true},
    {IDC_TOP, &SettingsRecord::alignTop, "Top", true},
    {IDC_WIDTH, &SettingsRecord::alignWidth, "Width", true},
    {IDC_HEIGHT, &SettingsRecord::alignHeight, "Height", true},
};

// Text fields, stored as typed.
struct TextField {
  int id;
  std::string SettingsRecord::*field;
  const char* key;
};
const TextField TEXT_FIELDS[] = {
    {IDC_COMMAND, &SettingsRecord::browserCommand, "Internet Explorer path"},
    // Read by the bar at its start only.
    {IDC_OTHER_CLASSES, &SettingsRecord::otherBrowserClasses, "Other browser classes"},
};

struct ThemeColor {
  int id;
  COLORREF SettingsRecord::*field;
  const char* key;
};
const ThemeColor THEME_COLORS[] = {
    {IDC_BAR_COLOR, &SettingsRecord::barColor, "Bar background color"},
    {IDC_BUTTON_COLOR, &SettingsRecord::buttonColor, "Buttons background color"},
    {IDC_TEXT_COLOR, &SettingsRecord::buttonTextColor, "Buttons text color"},
    {IDC_ACTIVE_COLOR, &SettingsRecord::activeColor, "Active button color"},
    {IDC_ACTIVE_TEXT_COLOR, &SettingsRecord::activeTextColor, "Active button text color"},
    {IDC_BLEND_COLOR, &SettingsRecord::blendColor, "Blending color"},
};

}  // namespace

LRESULT COptionPage::OnNumberKillFocus(WPARAM wParam, LPARAM lParam) {
  HWND edit = reinterpret_cast<HWND>(lParam);
  if (!SendMessageA(edit, EM_GETMODIFY, 0, 0)) return 0;
  for (const NumberField& f : NUMBER_FIELDS) {
    if (f.id != LOWORD(wParam)) continue;
    int value = ParseLeadingDigits(WindowText(edit).c_str());
    if (!IsNumberAccepted(f.id, value, Settings.alignLeft, Settings.alignTop,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))) {
      // The closing took the focus and reported it already; the field
      // loses the focus once more as the preferences go.
      if (CPrefsDialog* dialog = Dialog(); dialog && dialog->Ending()) return 0;
      char text[64] = "";
      LoadStringA(fw::Instance(), IDS_BAD_VALUE, text, sizeof text);
      fw::MessageBox(text, MB_OK | MB_ICONEXCLAMATION, hwnd);
      // The modification flag stays: the test runs again on the next loss.
      SendMessageA(edit, EM_SETSEL, 0, -1);
      SendMessageA(edit, EM_SCROLLCARET, 0, 0);
      SetFocus(edit);
      return 0;
    }
    Settings.*f.field = value;
    WriteSetting(f.key, value);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    if (f.placesBrowsers) RequestPlacement();
    else RequestBarPosition();
  }
  return 0;
}

LRESULT COptionPage::OnTextKillFocus(WPARAM wParam, LPARAM lParam) {
  HWND edit = reinterpret_cast<HWND>(lParam);
  if (!SendMessageA(edit, EM_GETMODIFY, 0, 0)) return 0;
  for (const TextField& f : TEXT_FIELDS) {
    if (f.id != LOWORD(wParam)) continue;
    Settings.*f.field = WindowText(edit);
    WriteSetting(f.key, Settings.*f.field);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
  }
  return 0;
}

LRESULT COptionPage::OnBrowse(WPARAM, LPARAM) {
  char file[MAX_PATH] = "";
  lstrcpynA(file, Settings.browserCommand.c_str(), sizeof file);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the record every system knows
  ofn.hwndOwner = hwnd;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_LONGNAMES | OFN_ENABLESIZING;
  if (!GetOpenFileNameLate(&ofn)) return 0;
  // Quoted when it has blanks: the command must start this program and not
  // one at a shorter path ("C:\Program.exe").
  Settings.browserCommand = QuoteProgramPath(file);
  WriteSetting("Internet Explorer path", Settings.browserCommand);
  SetDlgItemTextA(hwnd, IDC_COMMAND, Settings.browserCommand.c_str());
  return 0;
}

LRESULT COptionPage::OnFont(WPARAM, LPARAM) {
  LOGFONTA font = {};
  GetObjectA(Settings.buttonFont, sizeof font, &font);
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = hwnd;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
  if (!ChooseFontLate(&cf)) return 0;

  SettingsRecord& s = Settings;
  s.fontHeight = font.lfHeight;
  WriteSetting("Font height", s.fontHeight);
  s.fontWeight = font.lfWeight;
  WriteSetting("Font weight", s.fontWeight);
  s.fontItalic = font.lfItalic;
  WriteSetting("Font italic", s.fontItalic);
  s.fontCharset = font.lfCharSet;
  WriteSetting("Font charset", s.fontCharset);
  s.fontFace = font.lfFaceName;
  WriteSetting("Font face name", s.fontFace);

  // Swapped before the old one is deleted, with no message handled in
  // between: no paint can use a deleted font. (Turning the bar's redraw
  // off and on instead would show a bar hidden in the tray.)
  HFONT old = s.buttonFont;
  s.buttonFont = CreateButtonFont();
  if (old) DeleteObject(old);
  RepaintBar();
  return 0;
}

LRESULT COptionPage::OnColorEnded(WPARAM, LPARAM lParam) {
  auto* button = dynamic_cast<CColorButton*>(FromHandle(Item(static_cast<int>(lParam))));
  for (const ThemeColor& c : THEME_COLORS) {
    if (c.id != lParam || !button) continue;
    COLORREF color = ResolveDefaultColor(c.id, button->color);
    Settings.*c.field = color;
    RepaintBar();
    WriteThemeSetting(c.key, static_cast<int>(color));
    if (c.id == IDC_BLEND_COLOR) SetInterfaceButtons(Settings.alpha, color);
  }
  return 0;
}

void COptionPage::SetInterfaceButtons(int alpha, COLORREF blendColor) {
  CBarWnd* bar = CPrefsDialog::Bar();
  if (!bar) return;
  for (CHoverButton* b : {&bar->closeButtonRight, &bar->closeButtonLeft, &bar->hideButtonRight,
                          &bar->hideButtonLeft, &bar->newWindowButton}) {
    b->alpha = alpha;
    b->blendColor = blendColor;
    InvalidateRect(b->Handle(), nullptr, TRUE);
  }
}

LRESULT COptionPage::OnHScroll(WPARAM wParam, LPARAM) {
  // Every move (drag, keys, a click on the track) shows at once; the file
  // is written when the move ends.
  if (alphaSlider.Handle()) {
    int alpha = alphaSlider.GetPos();
    if (alpha != Settings.alpha) {
      Settings.alpha = alpha;
      SetInterfaceButtons(alpha, Settings.blendColor);
    }
    if (LOWORD(wParam) == TB_ENDTRACK) WriteThemeSetting("Alpha", alpha);
  }
  return Default();
}
