// One C++ object per window. Each class keeps a static message table that
// maps a message (and, for WM_COMMAND and WM_NOTIFY, a control id range and
// a notification code) to a member handler with one uniform signature.
#pragma once
#include <windows.h>

namespace fw {

class CWnd;
class CDialog;
typedef LRESULT (CWnd::*Handler)(WPARAM wParam, LPARAM lParam);

// Messages a parent passes back to the control that sent them.
const UINT REFLECT_BASE = 0x2000;
constexpr UINT Reflected(UINT msg) { return REFLECT_BASE + msg; }

enum class EntryKind : unsigned char { End, Message, Command, Notify };

struct MessageEntry {
  EntryKind kind;
  UINT msg;        // the message; for Notify the notification code
  UINT idFirst;    // Command/Notify: control id range
  UINT idLast;
  UINT code;       // Command: notification code, or AnyCode
  Handler handler;
  const MessageEntry* base;  // End: the base class's table, or null
};

const UINT AnyCode = 0xFFFFFFFF;

template <class T> constexpr Handler AsHandler(LRESULT (T::*f)(WPARAM, LPARAM)) {
  return static_cast<Handler>(f);
}
template <class T> constexpr MessageEntry OnMessage(UINT msg, LRESULT (T::*f)(WPARAM, LPARAM)) {
  return {EntryKind::Message, msg, 0, 0, 0, AsHandler(f), nullptr};
}
// WM_COMMAND from controls or menu items idFirst..idLast with the given code.
template <class T> constexpr MessageEntry OnCommand(UINT idFirst, UINT idLast,
    LRESULT (T::*f)(WPARAM, LPARAM), UINT code = AnyCode) {
  return {EntryKind::Command, WM_COMMAND, idFirst, idLast, code, AsHandler(f), nullptr};
}
// A control's own WM_COMMAND notification with the given code, reflected
// back to it by its parent; other codes still reach the parent.
template <class T> constexpr MessageEntry OnReflectedCommand(UINT code,
    LRESULT (T::*f)(WPARAM, LPARAM)) {
  return {EntryKind::Command, Reflected(WM_COMMAND), 0, 0xFFFF, code, AsHandler(f), nullptr};
}
// WM_NOTIFY with the notification code, from any control.
template <class T> constexpr MessageEntry OnNotify(UINT code, LRESULT (T::*f)(WPARAM, LPARAM),
    UINT idFirst = 0, UINT idLast = 0xFFFFFFFF) {
  return {EntryKind::Notify, code, idFirst, idLast, 0, AsHandler(f), nullptr};
}
constexpr MessageEntry EndOfTable(const MessageEntry* base) {
  return {EntryKind::End, 0, 0, 0, 0, nullptr, base};
}

// Put in a class body; define the table with BEGIN_MESSAGE_TABLE.
#define DECLARE_MESSAGE_TABLE()                                   \
 protected:                                                       \
  const ::fw::MessageEntry* MessageTable() const override;        \
 public:                                                          \
  static const ::fw::MessageEntry messageTable[]

#define BEGIN_MESSAGE_TABLE(cls)                                              \
  const ::fw::MessageEntry* cls::MessageTable() const { return messageTable; } \
  const ::fw::MessageEntry cls::messageTable[] = {
#define END_MESSAGE_TABLE(base) ::fw::EndOfTable(base::messageTable) };

// One message being handled, on its thread's stack of such frames. The
// per-message state lives here rather than in the object, so that nothing
// is written into an object whose window was destroyed under the handler.
struct Frame {
  Frame(CWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Pops the frame; the last one to leave whose window was destroyed
  // lets the objects of destroyed windows delete themselves.
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  // The innermost frame of that object on this thread, or null.
  static Frame* Of(const CWnd* wnd);

  CWnd* const wnd;
  const UINT msg;
  const WPARAM wParam;
  const LPARAM lParam;
  bool handled = true;     // dialogs: false once the dialog manager is to do it
  bool destroyed = false;  // the window got WM_NCDESTROY while this frame ran
  Frame* const outer;
};

class CWnd {
public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND Handle() const { return hwnd; }
  operator HWND() const { return hwnd; }
  static CWnd* FromHandle(HWND h);

  // Registers a window class whose procedure dispatches to the object.
  static ATOM RegisterClass(WNDCLASSEXA wc);
  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                int x, int y, int width, int height, HWND parent, HMENU menuOrId);
  // Takes over an existing control: its messages pass through our table first.
  bool Subclass(HWND control);
  bool SubclassDlgItem(int id, HWND parent) { return Subclass(GetDlgItem(parent, id)); }
  void DestroyWindow();
  // False once the window was destroyed under the message being handled,
  // e.g. during a nested loop: then nothing of the object may be used.
  bool Alive() const;

  // Walks from msg's window up through its parents' objects.
  static bool RunPreTranslate(MSG* msg);

  static const MessageEntry messageTable[];

protected:
  virtual const MessageEntry* MessageTable() const { return messageTable; }
  // The message procedure: reflection, the table, command routing, default.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called by Subclass with the control attached, before its messages pass
  // through our table: the place to adjust its styles.
  virtual void PreSubclassWindow() {}
  // Called with a message before it is dispatched; true swallows it.
  virtual bool PreTranslateMessage(MSG* msg) { return false; }
  // WM_COMMAND that no table entry took; true when handled.
  virtual bool OnCommandRoute(WPARAM wParam, LPARAM lParam) { return false; }
  // After WM_NCDESTROY, once no message of this window (or of one destroyed
  // with it) is being handled any more: heap objects may delete themselves.
  virtual void PostNcDestroy() {}
  // Default processing of a message that the table did not take.
  virtual LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled now.
  LRESULT Default();

  // Looks msg up in the tables; true when a handler took it.
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Offers a WM_COMMAND, WM_NOTIFY or WM_DRAWITEM to the control's own object.
  bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  void Attach(HWND h);
  void Detach();
  // WindowProc, and after WM_NCDESTROY the end of the link to the window.
  LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd = nullptr;
  WNDPROC superProc = nullptr;  // the control's own procedure when subclassed

  static LRESULT CALLBACK StaticWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

private:
  friend struct Frame;
  // Marks the window's frames, breaks the link and waits to be deleted.
  void WindowDestroyed();
  static void DeleteDestroyed();
  CWnd* nextDestroyed = nullptr;  // the thread's list of objects waiting for PostNcDestroy
  bool waiting = false;
};

}  // namespace fw
