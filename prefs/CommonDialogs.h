// The common dialogs, bound when the preferences first open one: most runs
// never do, and loading comdlg32.dll at start costs every run. Each returns
// what the system's function does; FALSE, as if cancelled, when the library
// could not be had.
#pragma once
#include <windows.h>
#include <commdlg.h>

BOOL ChooseColorLate(CHOOSECOLORA* record);
BOOL ChooseFontLate(CHOOSEFONTA* record);
BOOL GetOpenFileNameLate(OPENFILENAMEA* record);
