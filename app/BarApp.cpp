#include "app/BarApp.h"
#include "app/Settings.h"
#include "bar/BarWnd.h"

bool osVersionFlag = false;
HFONT dialogFont = nullptr;

namespace {

// The font is freed with the process: it lives as long as the program.
HFONT CreateDialogFont() {
  return CreateFontA(-11, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                     CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
}

bool IsXPOrLater() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  GetVersionExA(&info);
  return info.dwMajorVersion >= 5 && info.dwMinorVersion >= 1;
}

}  // namespace

bool AnotherInstanceRuns() {
  // FindWindow sees hidden windows too, so a bar hidden in the tray counts.
  return IsWindow(FindWindowA(nullptr, "Marbel! main window")) ||
         IsWindow(FindWindowA(BAR_CLASS, nullptr));
}

CBarApp::~CBarApp() {
  if (Settings.buttonFont) DeleteObject(Settings.buttonFont);
}

bool CBarApp::InitInstance() {
  if (AnotherInstanceRuns()) {
    fw::MessageBox(SECOND_INSTANCE_MESSAGE, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  osVersionFlag = IsXPOrLater();
  LoadSettings();
  dialogFont = CreateDialogFont();

  MarkStartup(STARTUP_WINDOW);
  auto* bar = new CBarWnd;
  mainWnd = bar;
  // A failed creation has destroyed the window, and the object with it.
  if (!bar->Create(RECT{0, 0, 400, 24}, nullptr)) {
    mainWnd = nullptr;
    return false;
  }
  if (!Settings.startInTray) ShowWindow(bar->Handle(), SW_SHOW);
  MarkStartup(STARTUP_SHOWN);
  return true;
}
