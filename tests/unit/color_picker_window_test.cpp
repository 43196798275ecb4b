// The colour picker as a real control: a parent window with an ordinary push
// button attached to a CColorButton, driven with real input and messages.
#include <doctest/doctest.h>
#include "framework/Dialog.h"
#include "framework/Wnd.h"
#include "prefs/ColorButton.h"
#include "prefs/ColorPopup.h"
#include <string>
#include <vector>

namespace {

const int BUTTON_ID = 209;

struct Note {
  UINT msg;
  COLORREF color;
  LPARAM id;
};

// Records every WM_COLOR_* notification it gets.
class PickerParent : public fw::CWnd {
public:
  std::vector<Note> notes;
  bool Create(int x, int y) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXA wc = {};
      wc.lpszClassName = "ColorPickerTestParent";
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      fw::CWnd::RegisterClass(wc);
      registered = true;
    }
    return CreateEx(0, "ColorPickerTestParent", "", WS_POPUP | WS_VISIBLE, x, y, 200, 44,
                    nullptr, nullptr);
  }
  UINT LastMessage() const { return notes.empty() ? 0 : notes.back().msg; }

protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg >= WM_COLOR_PREVIEW && msg <= WM_COLOR_CANCELLED) {
      notes.push_back({msg, static_cast<COLORREF>(wParam), lParam});
      return 1;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (fw::CWnd::RunPreTranslate(&m)) continue;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

template <class Done> bool PumpUntil(Done done, DWORD ms = 2000) {
  DWORD end = GetTickCount() + ms;
  while (!done()) {
    if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    Pump(10);
  }
  return true;
}

// Input as the user gives it; the callers pump or wait.
void SendMove(POINT p) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (p.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
  in.mi.dy = (p.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void SendLeftClick() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
}

void SendKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

bool CursorAt(POINT p) {
  POINT at;
  GetCursorPos(&at);
  return at.x == p.x && at.y == p.y;
}

// Wine under Xvfb now and then drops a move that follows another closely
// (the pointer warp of the earlier one overtakes it): move until it sticks.
void MouseTo(POINT p) {
  for (int tries = 0; tries < 5 && !CursorAt(p); ++tries) {
    SendMove(p);
    Pump(60);
  }
  CHECK(CursorAt(p));
}

void ClickAt(POINT p) {
  MouseTo(p);
  SendLeftClick();
  Pump(100);
}

void PressKey(WORD vk) {
  SendKey(vk);
  Pump(60);
}

COLORREF ScreenPixel(POINT p) {
  Pump(20);  // let the system put what was drawn on the screen
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

POINT Center(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A parent at (x, y) with a "Bar background color" button attached.
struct Picker {
  PickerParent parent;
  CColorButton button;
  explicit Picker(int x = 100, int y = 100, COLORREF color = 0x8E8E38) {
    REQUIRE(parent.Create(x, y));
    HWND b = CreateWindowExA(0, "BUTTON", "Bar background color",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 150, 24,
                             parent, reinterpret_cast<HMENU>(BUTTON_ID), nullptr, nullptr);
    REQUIRE(button.Subclass(b));
    button.SetColor(color);
    SetForegroundWindow(parent);
    Pump(50);
  }
  ~Picker() { parent.DestroyWindow(); }
  RECT ButtonRect() const {
    RECT r;
    GetWindowRect(button, &r);
    return r;
  }
  POINT ButtonPoint(int x, int y) const {
    POINT p = {x, y};
    ClientToScreen(button, &p);
    return p;
  }
  static HWND PopupWindow() { return FindWindowA("MarbelColorPopup", nullptr); }
  static CColorPopup* Popup() {
    return static_cast<CColorPopup*>(fw::CWnd::FromHandle(PopupWindow()));
  }
  // Opens the popup with a real click on the button.
  CColorPopup* Open() {
    ClickAt(Center(ButtonRect()));
    PumpUntil([] { return Popup() != nullptr; });
    Pump(50);
    return Popup();
  }
  POINT CellCenter(int i) const {
    RECT c = Popup()->Layout().CellRect(i);
    POINT p = Center(c);
    ClientToScreen(PopupWindow(), &p);
    return p;
  }
  POINT CellCorner(int i, int inset) const {
    RECT c = Popup()->Layout().CellRect(i);
    POINT p = {c.left + inset, c.top + inset};
    ClientToScreen(PopupWindow(), &p);
    return p;
  }
};

// Closes the colour dialog of this thread from inside its modal loop.
struct DialogCloser {
  static COLORREF pick;  // the colour to enter before OK, or COLOR_DEFAULT for Cancel
  static bool seen;
  static HWND destroy;   // destroyed instead, when set
  static HWND owner;     // the dialog's, and whether it took input meanwhile
  static bool ownerEnabled;
  static BOOL CALLBACK Find(HWND h, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, id);
    seen = true;
    owner = GetWindow(dialog, GW_OWNER);
    ownerEnabled = IsWindowEnabled(owner) != FALSE;
    if (destroy) return (void)DestroyWindow(destroy);
    int button = IDCANCEL;
    if (pick != COLOR_DEFAULT) {
      // The dialog's red, green and blue fields.
      SetDlgItemInt(dialog, 706, GetRValue(pick), FALSE);
      SetDlgItemInt(dialog, 707, GetGValue(pick), FALSE);
      SetDlgItemInt(dialog, 708, GetBValue(pick), FALSE);
      button = IDOK;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }
};
COLORREF DialogCloser::pick = COLOR_DEFAULT;
bool DialogCloser::seen = false;
HWND DialogCloser::destroy = nullptr;
HWND DialogCloser::owner = nullptr;
bool DialogCloser::ownerEnabled = true;

}  // namespace

TEST_CASE("the colour button draws a swatch beside its caption") {
  Picker picker;
  HWND b = picker.button;
  CHECK((GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);
  CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == 0x8E8E38);

  picker.button.SetColor(0x2068FF);
  CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == 0x2068FF);

  SUBCASE("\"Default\" shows an empty raised square") {
    picker.button.SetColor(COLOR_DEFAULT);
    CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == GetSysColor(COLOR_BTNFACE));
    CHECK(ScreenPixel(picker.ButtonPoint(5, 5)) != GetSysColor(COLOR_BTNFACE));
  }
  SUBCASE("disabled, the caption is embossed: white shadow under grey text") {
    auto countText = [&](COLORREF c) {
      Pump(20);
      HDC screen = GetDC(nullptr);
      int n = 0;
      for (int y = 4; y < 20; ++y)
        for (int x = 22; x < 140; ++x) {
          POINT p = picker.ButtonPoint(x, y);
          n += GetPixel(screen, p.x, p.y) == c;
        }
      ReleaseDC(nullptr, screen);
      return n;
    };
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    CHECK(countText(grey) == 0);
    CHECK(countText(0xFFFFFF) == 0);
    EnableWindow(b, FALSE);
    Pump(50);
    CHECK(countText(grey) > 20);
    CHECK(countText(0xFFFFFF) > 20);
    CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == 0x2068FF);
  }
}

TEST_CASE("a click opens the popup under the button; a click on a cell chooses it") {
  Picker picker;
  CColorPopup* popup = picker.Open();
  REQUIRE(popup != nullptr);
  HWND pw = Picker::PopupWindow();
  CHECK(picker.button.open);
  CHECK(GetCapture() == pw);
  REQUIRE(picker.parent.notes.size() == 1);
  CHECK(picker.parent.notes[0].msg == WM_COLOR_DROPDOWN);
  CHECK(picker.parent.notes[0].color == 0x8E8E38);
  CHECK(picker.parent.notes[0].id == BUTTON_ID);

  RECT b = picker.ButtonRect(), w;
  GetWindowRect(pw, &w);
  CHECK(w.left == b.left);
  CHECK(w.top == b.bottom);
  CHECK(w.right - w.left == 8 * 18 + 2 * GetSystemMetrics(SM_CXEDGE));
  CHECK(EqualRect(&w, &popup->Layout().window));

  // Teal, index 12, is the colour of the opening: its cell is pressed in.
  CHECK(popup->ChosenIndex() == 12);
  CHECK(popup->HotIndex() == BOX_NONE);
  CHECK(ScreenPixel(picker.CellCorner(12, 2)) == GetSysColor(COLOR_BTNHIGHLIGHT));
  CHECK(ScreenPixel(picker.CellCorner(11, 2)) == GetSysColor(COLOR_BTNFACE));
  CHECK(ScreenPixel(picker.CellCorner(11, 3)) == GetSysColor(COLOR_BTNSHADOW));
  for (int i : {0, 9, 26, 39}) {
    CAPTURE(i);
    CHECK(ScreenPixel(picker.CellCenter(i)) == COLOR_TABLE[i].color);
  }

  // Moving over a cell previews it in the button and to the parent.
  MouseTo(picker.CellCenter(20));
  CHECK(popup->HotIndex() == 20);
  CHECK(picker.button.color == COLOR_TABLE[20].color);
  CHECK(picker.parent.LastMessage() == WM_COLOR_PREVIEW);
  CHECK(picker.parent.notes.back().color == COLOR_TABLE[20].color);
  CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == COLOR_TABLE[20].color);
  CHECK(ScreenPixel(picker.CellCorner(20, 0)) == GetSysColor(COLOR_BTNHIGHLIGHT));  // raised

  ClickAt(picker.CellCenter(25));
  CHECK(!IsWindow(pw));
  CHECK(!picker.button.open);
  CHECK(picker.button.color == 0x00D7FF);
  CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == 0x00D7FF);
  const auto& n = picker.parent.notes;
  REQUIRE(n.size() >= 4);
  CHECK(n[n.size() - 3].msg == WM_COLOR_PREVIEW);
  CHECK(n[n.size() - 2].msg == WM_COLOR_CLOSEUP);
  CHECK(n[n.size() - 2].color == 0x00D7FF);
  CHECK(n.back().msg == WM_COLOR_CHOSEN);
  CHECK(n.back().color == 0x00D7FF);
  CHECK(n.back().id == BUTTON_ID);
}

TEST_CASE("the popup shows each colour's name as a tooltip") {
  Picker picker;
  CColorPopup* popup = picker.Open();
  REQUIRE(popup != nullptr);
  HWND tip = popup->ToolTip();
  REQUIRE(tip != nullptr);
  CHECK(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == COLOR_COUNT);
  for (int i = 0; i < COLOR_COUNT; ++i) {
    char text[80] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.lpszText = text;
    REQUIRE(SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&ti)));
    RECT cell = popup->Layout().CellRect(i);
    CAPTURE(i);
    CHECK(std::string(text) == COLOR_TABLE[i].name);
    CHECK(EqualRect(&ti.rect, &cell));
  }
  // Resting over "Pale green " brings its tip up, trailing blank and all.
  MouseTo(picker.CellCenter(35));
  MouseTo(picker.CellCenter(35));
  bool shown = PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000);
  CHECK(shown);
  char text[80] = {};
  GetWindowTextA(tip, text, sizeof text);
  CHECK(std::string(text) == "Pale green ");
  PressKey(VK_ESCAPE);
  CHECK(Picker::PopupWindow() == nullptr);
}

TEST_CASE("the keyboard moves, previews, chooses and cancels") {
  Picker picker;
  CColorPopup* popup = picker.Open();
  REQUIRE(popup != nullptr);
  CHECK(GetFocus() == Picker::PopupWindow());
  auto& n = picker.parent.notes;

  SUBCASE("Escape after several previews restores the colour of the opening") {
    PressKey(VK_RIGHT);  // nothing hot: "Other colors", which previews the opening colour
    CHECK(popup->HotIndex() == BOX_CUSTOM);
    CHECK(n.back().color == 0x8E8E38);
    PressKey(VK_RIGHT);  // "Default"
    CHECK(popup->HotIndex() == BOX_DEFAULT);
    CHECK(picker.button.color == COLOR_DEFAULT);
    PressKey(VK_RIGHT);
    PressKey(VK_DOWN);
    CHECK(popup->HotIndex() == 8);
    CHECK(picker.button.color == COLOR_TABLE[8].color);
    size_t before = n.size();
    PressKey(VK_ESCAPE);
    CHECK(Picker::PopupWindow() == nullptr);
    CHECK(picker.button.color == 0x8E8E38);
    CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == 0x8E8E38);
    REQUIRE(n.size() == before + 2);
    CHECK(n[before].msg == WM_COLOR_CLOSEUP);
    CHECK(n[before].color == 0x8E8E38);
    CHECK(n[before + 1].msg == WM_COLOR_CANCELLED);
    CHECK(n[before + 1].color == 0x8E8E38);
  }
  SUBCASE("Return chooses the hot colour") {
    PressKey(VK_LEFT);  // "Default"
    PressKey(VK_DOWN);  // first
    PressKey(VK_LEFT);  // back to "Default"
    PressKey(VK_UP);    // "Other colors"
    PressKey(VK_UP);    // last
    CHECK(popup->HotIndex() == COLOR_COUNT - 1);
    PressKey(VK_RETURN);
    CHECK(Picker::PopupWindow() == nullptr);
    CHECK(n.back().msg == WM_COLOR_CHOSEN);
    CHECK(n.back().color == 0xFFFFFF);
  }
  SUBCASE("Space on \"Default\" reports the default value") {
    PressKey(VK_UP);
    PressKey(VK_SPACE);
    CHECK(n.back().msg == WM_COLOR_CHOSEN);
    CHECK(n.back().color == COLOR_DEFAULT);
    CHECK(picker.button.color == COLOR_DEFAULT);
    CHECK(ScreenPixel(picker.ButtonPoint(9, 9)) == GetSysColor(COLOR_BTNFACE));
  }
  SUBCASE("Return with nothing hot reports the colour of the opening") {
    PressKey(VK_RETURN);
    CHECK(n.back().msg == WM_COLOR_CHOSEN);
    CHECK(n.back().color == 0x8E8E38);
  }
}

TEST_CASE("\"Other colors\" opens the colour dialog") {
  Picker picker(100, 100, 0x123456);
  CColorPopup* popup = picker.Open();
  REQUIRE(popup != nullptr);
  CHECK(popup->ChosenIndex() == BOX_CUSTOM);  // a colour outside the table
  auto& n = picker.parent.notes;
  PressKey(VK_DOWN);
  CHECK(popup->HotIndex() == BOX_CUSTOM);
  DialogCloser::seen = false;

  SUBCASE("its Cancel cancels the whole selection") {
    PressKey(VK_UP);  // preview the last colour first
    PressKey(VK_DOWN);
    DialogCloser::pick = COLOR_DEFAULT;
    SetTimer(nullptr, 0, 100, DialogCloser::Tick);
    PressKey(VK_RETURN);
    CHECK(DialogCloser::seen);
    PumpUntil([] { return Picker::PopupWindow() == nullptr; });
    CHECK(Picker::PopupWindow() == nullptr);
    CHECK(n.back().msg == WM_COLOR_CANCELLED);
    CHECK(n.back().color == 0x123456);
    CHECK(picker.button.color == 0x123456);
  }
  SUBCASE("its OK chooses the dialog's colour") {
    DialogCloser::pick = RGB(10, 20, 30);
    SetTimer(nullptr, 0, 100, DialogCloser::Tick);
    PressKey(VK_RETURN);
    CHECK(DialogCloser::seen);
    PumpUntil([] { return Picker::PopupWindow() == nullptr; });
    CHECK(n.back().msg == WM_COLOR_CHOSEN);
    CHECK(n.back().color == RGB(10, 20, 30));
    CHECK(picker.button.color == RGB(10, 20, 30));
  }
  SUBCASE("it blocks the popup's owner, which may go meanwhile: one cancel, nothing after") {
    HWND parent = picker.parent;
    DialogCloser::destroy = parent;
    SetTimer(nullptr, 0, 100, DialogCloser::Tick);
    PressKey(VK_RETURN);
    DialogCloser::destroy = nullptr;
    CHECK(DialogCloser::seen);
    CHECK(DialogCloser::owner == parent);
    CHECK_FALSE(DialogCloser::ownerEnabled);
    CHECK(Picker::PopupWindow() == nullptr);
    REQUIRE(n.size() >= 2);
    CHECK(n[n.size() - 2].msg == WM_COLOR_CLOSEUP);
    CHECK(n.back().msg == WM_COLOR_CANCELLED);
    CHECK(n.back().color == 0x123456);
  }
}

TEST_CASE("a click outside cancels; a click on \"Default\" chooses it") {
  Picker picker(100, 100, 0x000000);
  CColorPopup* popup = picker.Open();
  REQUIRE(popup != nullptr);
  CHECK(popup->ChosenIndex() == 0);
  auto& n = picker.parent.notes;

  SUBCASE("outside") {
    MouseTo(picker.CellCenter(30));
    CHECK(picker.button.color == COLOR_TABLE[30].color);
    ClickAt({700, 600});
    CHECK(Picker::PopupWindow() == nullptr);
    CHECK(n.back().msg == WM_COLOR_CANCELLED);
    CHECK(n.back().color == 0x000000);
    CHECK(picker.button.color == 0x000000);
  }
  SUBCASE("\"Default\"") {
    RECT d = popup->Layout().defaultBox;
    POINT p = Center(d);
    ClientToScreen(Picker::PopupWindow(), &p);
    ClickAt(p);
    CHECK(n.back().msg == WM_COLOR_CHOSEN);
    CHECK(n.back().color == COLOR_DEFAULT);
    CHECK(n[n.size() - 2].msg == WM_COLOR_CLOSEUP);
  }
}

TEST_CASE("the popup stays on the screen") {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  SUBCASE("near the bottom it opens above the button") {
    Picker picker(100, cy - 50);
    REQUIRE(picker.Open() != nullptr);
    RECT b = picker.ButtonRect(), w;
    GetWindowRect(Picker::PopupWindow(), &w);
    CHECK(w.bottom == b.top);
    CHECK(w.left == b.left);
    PressKey(VK_ESCAPE);
  }
  SUBCASE("near the right edge it moves left") {
    Picker picker(cx - 100, 100);
    REQUIRE(picker.Open() != nullptr);
    RECT b = picker.ButtonRect(), w;
    GetWindowRect(Picker::PopupWindow(), &w);
    CHECK(w.right == cx);
    CHECK(w.top == b.bottom);
    PressKey(VK_ESCAPE);
  }
  CHECK(Picker::PopupWindow() == nullptr);
}

TEST_CASE("losing the focus releases the capture but keeps the popup open") {
  Picker picker;
  REQUIRE(picker.Open() != nullptr);
  HWND pw = Picker::PopupWindow();
  SendMessageA(pw, WM_KILLFOCUS, 0, 0);
  CHECK(GetCapture() == nullptr);
  CHECK(IsWindow(pw));
  CHECK(picker.button.open);
  // Destroying the owner takes the open popup with it.
  picker.parent.DestroyWindow();
  CHECK(!IsWindow(pw));
}

TEST_CASE("a popup closed otherwise restores the colour of the opening and releases the button") {
  Picker picker;
  REQUIRE(picker.Open() != nullptr);
  HWND pw = Picker::PopupWindow();
  MouseTo(picker.CellCenter(20));
  REQUIRE(picker.button.color == COLOR_TABLE[20].color);
  SUBCASE("closed as by Alt+F4") { SendMessageA(pw, WM_CLOSE, 0, 0); }
  SUBCASE("its button clicked again after it lost the focus") {
    SendMessageA(pw, WM_KILLFOCUS, 0, 0);
    Pump(GetDoubleClickTime() + 50);  // a click, not the second half of a double click
    ClickAt(Center(picker.ButtonRect()));
  }
  CHECK(Picker::PopupWindow() == nullptr);
  CHECK_FALSE(picker.button.open);
  CHECK(picker.button.color == 0x8E8E38);
  CHECK(picker.parent.LastMessage() == WM_COLOR_CANCELLED);
  CHECK(picker.parent.notes.back().color == 0x8E8E38);
}

namespace {

// The picker on a modal dialog, driven from a timer inside the system's
// dialog loop, as on the option pages.
class PickerDialog : public fw::CDialog {
public:
  PickerDialog() : fw::CDialog(900) {}
  CColorButton button;
  std::vector<UINT> notes;
  int step = 0;
  bool popupSeen = false, tipShown = false, popupGone = false, focused = false;
  std::string tipText;
  HWND tip = nullptr;

  static void CALLBACK Tick(HWND h, UINT, UINT_PTR, DWORD) {
    auto* self = static_cast<PickerDialog*>(fw::CWnd::FromHandle(h));
    if (self) self->Step();
  }

protected:
  BOOL OnInitDialog() override {
    HWND b = CreateWindowExA(0, "BUTTON", "Blending color", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                             75, 30, 70, 20, hwnd, reinterpret_cast<HMENU>(203), nullptr, nullptr);
    button.Subclass(b);
    button.SetColor(0x0000FF);
    SetTimer(hwnd, 1, 100, Tick);
    return TRUE;
  }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg >= WM_COLOR_PREVIEW && msg <= WM_COLOR_CANCELLED) return notes.push_back(msg), 1;
    return CDialog::WindowProc(msg, wParam, lParam);
  }

private:
  enum Phase { Opening, Hovering, Closing } phase = Opening;
  // One look per tick; input is only sent while the state it aims at is not there.
  void Step() {
    HWND popup = Picker::PopupWindow();
    if (++step > 60) return Finish();
    switch (phase) {
      case Opening:
        if (!popup) {
          RECT r;
          GetWindowRect(button, &r);
          // Move first; click on a later tick, once the pointer is there.
          if (CursorAt(Center(r)))
            SendLeftClick();
          else
            SendMove(Center(r));
          return;
        }
        popupSeen = true;
        focused = GetFocus() == popup;
        tip = Picker::Popup()->ToolTip();
        phase = Hovering;
        [[fallthrough]];
      case Hovering:
        if (!IsWindowVisible(tip)) {
          if (!CursorAt(CellOnScreen(35))) SendMove(CellOnScreen(35));
          return;
        }
        tipShown = true;
        {
          char text[80] = {};
          GetWindowTextA(tip, text, sizeof text);
          tipText = text;
        }
        phase = Closing;
        SendKey(VK_ESCAPE);
        return;
      case Closing:
        if (popup) return;
        popupGone = true;
        Finish();
    }
  }
  void Finish() {
    KillTimer(hwnd, 1);
    EndDialog(IDOK);
  }
  static POINT CellOnScreen(int i) {
    POINT p = Center(Picker::Popup()->Layout().CellRect(i));
    ClientToScreen(Picker::PopupWindow(), &p);
    return p;
  }
};

}  // namespace

TEST_CASE("on a modal dialog the popup takes the keyboard and shows its tooltips") {
  PickerDialog dialog;
  CHECK(dialog.DoModal(nullptr) == IDOK);
  CHECK(dialog.popupSeen);
  CHECK(dialog.focused);
  CHECK(dialog.tipShown);
  CHECK(dialog.tipText == "Pale green ");
  CHECK(dialog.popupGone);
  REQUIRE(dialog.notes.size() >= 4);
  CHECK(dialog.notes.front() == WM_COLOR_DROPDOWN);
  CHECK(dialog.notes[dialog.notes.size() - 2] == WM_COLOR_CLOSEUP);
  CHECK(dialog.notes.back() == WM_COLOR_CANCELLED);
  CHECK(dialog.button.color == 0x0000FF);
}
