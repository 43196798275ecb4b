// The application object: start-up (single instance, settings, the bar)
// and the process-wide values the dialogs share.
#pragma once
#include <windows.h>
#include "framework/App.h"

// Set when the system is version 5.1 or later (XP look for some controls).
extern bool osVersionFlag;
// The fixed font of the preferences dialog and its pages.
extern HFONT dialogFont;

const char SECOND_INSTANCE_MESSAGE[] = "Another instance of Marbel! or Marbel Manager is running!";

// True when another bar (or a window claiming to be one) already runs.
bool AnotherInstanceRuns();

class CBarApp : public fw::CApp {
public:
  ~CBarApp() override;
  bool InitInstance() override;
};
