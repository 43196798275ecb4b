// Which top-level windows are browser windows, by class: one test for the
// bar and both hook libraries. The libraries run inside other programs, so
// this needs no runtime and allocates nothing, and the list of other
// browser classes is one fixed-size block that a library keeps in its
// shared section, where any program that maps it may have written anything.
#pragma once
#include <windows.h>

const char BROWSER_CLASS[] = "IEFrame";
const char EXPLORER_CLASS[] = "CabinetWClass";

// The other browser classes, each name followed by its zero; an empty name
// ends the list. Every read stays inside the block, ends or not.
const int CLASS_LIST_SIZE = 512;
struct ClassList {
  char names[CLASS_LIST_SIZE];
};

// Byte for byte: a locale collation (lstrcmp) ignores characters such as
// the soft hyphen, and "IE\xADFrame" is no browser.
inline bool SameName(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

// "Other browser classes" as the settings file holds it: names between
// ';', blanks around a name ignored, empty names skipped. A list longer
// than the block ends after the last name that fits whole.
inline void PackClassList(const char* text, ClassList& list) {
  int used = 0;
  for (bool more = true; more;) {
    while (*text == ' ' || *text == '\t') ++text;
    const char* name = text;
    while (*text && *text != ';') ++text;
    const char* end = text;
    more = *text++ != 0;
    while (end > name && (end[-1] == ' ' || end[-1] == '\t')) --end;
    const int length = static_cast<int>(end - name);
    if (!length) continue;
    if (used + length + 2 > CLASS_LIST_SIZE) break;  // the name, its zero, the list's end
    for (int i = 0; i < length; ++i) list.names[used++] = name[i];
    list.names[used++] = 0;
  }
  list.names[used] = 0;
}

inline bool IsListedName(const char* name, const ClassList& list) {
  const char* names = list.names;
  for (int i = 0; i < CLASS_LIST_SIZE && names[i]; ++i) {  // i: a name's first byte
    int j = 0;
    while (i < CLASS_LIST_SIZE && names[i] && names[i] == name[j]) ++i, ++j;
    if (i < CLASS_LIST_SIZE && !names[i] && !name[j]) return true;
    while (i < CLASS_LIST_SIZE && names[i]) ++i;
  }
  return false;
}

// "IEFrame" always, "CabinetWClass" when Explorer windows are caught, and
// the other classes only without an owner: a browser's dialogs and tool
// windows may share its class.
inline bool IsBrowserWindow(HWND window, bool catchExplorer, const ClassList& others) {
  char name[258];  // more than the longest class name: no read is cut
  if (!GetClassNameA(window, name, sizeof name)) return false;
  return SameName(name, BROWSER_CLASS) || (catchExplorer && SameName(name, EXPLORER_CLASS)) ||
         (IsListedName(name, others) && !GetWindow(window, GW_OWNER));
}
