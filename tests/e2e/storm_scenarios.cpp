// The bar under a storm of shell events: four processes open and close
// thousands of browser windows at the same time, each of them sending the
// bar a created and a destroyed notification from its own thread. The list
// must end up holding exactly the windows that still exist.
#include "rig_fault.h"

#include <algorithm>
#include <doctest/doctest.h>

using namespace rig;

TEST_CASE("storm: 4 processes open and close 1,500 browser windows each; the list stays exact") {
  Scenario s("storm");
  BrowserFixture browser(s, "--title \"Stays A\" --title \"Stays B\"");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.bar);
  REQUIRE(run.tip);
  REQUIRE(ToolCount(run.tip) == 2);
  DWORD marbel = ProcessOf(run.bar);
  HANDLE marbelProcess = OpenProcess(SYNCHRONIZE, FALSE, marbel);

  DWORD start = GetTickCount();
  std::vector<Process> churns = StartChurn(s, 4, 1500);
  // One more window opened and one closed while the storm runs.
  HWND during = browser.Open("IEFrame", "Opened during the storm");
  CHECK(during);
  CHECK(browser.Do("close", browser.Windows().front()));
  CHECK(ChurnsSucceed(churns, 240000));
  MESSAGE("6,000 windows opened and closed in " << (GetTickCount() - start) / 1000 << " s");

  CHECK(WaitForSingleObject(marbelProcess, 0) == WAIT_TIMEOUT);  // still running
  CloseHandle(marbelProcess);
  DWORD_PTR answer;
  CHECK(SendMessageTimeoutA(run.bar, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer));
  std::vector<HWND> live = LiveBrowserWindows();
  CHECK(live.size() == 2);
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == (int)live.size(); }, 5000));
  std::vector<HWND> listed;
  for (const Tool& t : ToolsOf(run.tip)) listed.push_back((HWND)t.id);
  std::sort(live.begin(), live.end());
  std::sort(listed.begin(), listed.end());
  CHECK(listed == live);
  CHECK(WaitForButtons(run.bar, live.size()).size() == live.size());

  // And it goes on working: a new window is listed, its closing unlisted.
  HWND after = browser.Open("IEFrame", "After the storm");
  REQUIRE(after);
  CHECK(WaitUntil([&] { return ToolFor(run.tip, after).id == (UINT_PTR)after; }));
  CHECK(browser.Do("close", after));
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == (int)live.size(); }));
}
