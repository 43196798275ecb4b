// The stand-in shell (standin_shell.exe) started in a scenario, and the
// Windows version its taskbar follows. marbel.exe cannot start without a
// taskbar to hook, so nearly every scenario starts one first.
#pragma once
#include "rig.h"
#include "tests/fixtures/standin_shell.h"

namespace rig {

// Sets the Windows version for the processes started from now on, and puts
// Wine's default back afterwards.
struct WindowsVersion {
  explicit WindowsVersion(const char* version) { SetWindowsVersion(version); }
  ~WindowsVersion() { SetWindowsVersion(""); }
};

class StandinShell {
public:
  // args: "toolbar", "tab", "norebar" (see the fixture); waits until its
  // taskbar is the one FindWindow finds.
  StandinShell(Scenario& scenario, const std::string& args = "");
  LRESULT Command(const char* name, WPARAM wp = 0, LPARAM lp = 0) const;
  void Add(HWND w) const { Command(STANDIN_SHELL_ADD, (WPARAM)w); }
  void Trigger(int times = 1, UINT message = 0) const {
    Command(STANDIN_SHELL_TRIGGER, times, message);
  }
  // The titles of the buttons' windows ("?" for a button without one), in
  // order, once posted deletions have been handled: two reads a while
  // apart agree.
  std::string Buttons() const;
  Process process;
  HWND tray = nullptr;

private:
  std::string Read() const;
};

}  // namespace rig
