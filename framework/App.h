// The application object: one static instance per program, a start-up
// override and the message loop.
#pragma once
#include <windows.h>

namespace fw {

class CWnd;

HINSTANCE Instance();
void SetInstance(HINSTANCE instance);

// A message box whose caption is the program file's name without extension.
int MessageBox(const char* text, UINT type = MB_OK | MB_ICONEXCLAMATION, HWND owner = nullptr);

class CApp {
public:
  CApp();
  virtual ~CApp();
  CApp(const CApp&) = delete;
  CApp& operator=(const CApp&) = delete;
  static CApp* Current();

  // Start-up: true runs the message loop, false ends the program.
  virtual bool InitInstance() = 0;
  // Runs start-up and then the message loop until WM_QUIT; the exit code.
  int Main(HINSTANCE instance);
  // One message loop: every message passes pre-translation first.
  static int RunMessageLoop();

  // Its destruction ends the message loop.
  CWnd* mainWnd = nullptr;
};

}  // namespace fw
