#include "prefs/CommonDialogs.h"

namespace {

FARPROC Entry(const char* name) {
  static HMODULE library;  // stays loaded for the run; a failed load is tried again
  if (!library) library = LoadLibraryA("comdlg32.dll");
  return library ? GetProcAddress(library, name) : nullptr;
}

template <class Record>
BOOL Run(const char* name, Record* record) {
  typedef BOOL(WINAPI * Dialog)(Record*);
  Dialog dialog = reinterpret_cast<Dialog>(Entry(name));
  return dialog ? dialog(record) : FALSE;
}

}  // namespace

BOOL ChooseColorLate(CHOOSECOLORA* record) { return Run("ChooseColorA", record); }
BOOL ChooseFontLate(CHOOSEFONTA* record) { return Run("ChooseFontA", record); }
BOOL GetOpenFileNameLate(OPENFILENAMEA* record) { return Run("GetOpenFileNameA", record); }
