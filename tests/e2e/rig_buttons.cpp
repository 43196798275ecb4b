#include "rig_buttons.h"

namespace rig {

namespace {

void SendButton(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// The pixels of a bitmap as 0x00BBGGRR colour references, rows top-down.
std::vector<COLORREF> PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> raw(width * height);
  GetDIBits(dc, bitmap, 0, height, raw.data(), &bi, DIB_RGB_COLORS);
  std::vector<COLORREF> pixels;
  for (DWORD p : raw) pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return pixels;
}

}  // namespace

std::vector<COLORREF> Strip::Frame(int frame) const {
  std::vector<COLORREF> out;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = 0; x < frameWidth; ++x) out.push_back(At(frame, x, y));
  return out;
}

Strip LoadStrip(UINT resourceId) {
  Strip strip;
  HMODULE program = LoadLibraryExA((BinDir() + "\\marbel.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
  HBITMAP loaded = (HBITMAP)LoadImageA(program, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0,
                                       LR_LOADMAP3DCOLORS);
  if (loaded) {
    BITMAP info = {};
    GetObjectA(loaded, sizeof info, &info);
    strip.frameWidth = info.bmWidth / 3;
    strip.frameHeight = info.bmHeight;
    // Through a bitmap of the screen's format, as the button's copy goes.
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP onScreen = CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
    HGDIOBJ oldFrom = SelectObject(from, loaded), oldTo = SelectObject(to, onScreen);
    BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    strip.pixels = PixelsOf(screen, onScreen, info.bmWidth, info.bmHeight);
    DeleteObject(onScreen);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(loaded);
  }
  if (program) FreeLibrary(program);
  return strip;
}

std::vector<COLORREF> ScreenPixels(HWND w) {
  RECT r = WindowRect(w);
  std::vector<COLORREF> pixels;
  for (int y = r.top; y < r.bottom; ++y) {
    std::vector<COLORREF> row = ScreenRow(y, r.left, r.right);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  return pixels;
}

bool WaitForPixels(HWND w, const std::vector<COLORREF>& expected, int tolerance,
                   DWORD timeoutMs) {
  auto within = [&](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
  return WaitUntil([&] {
    std::vector<COLORREF> shown = ScreenPixels(w);
    if (shown.size() != expected.size()) return false;
    for (size_t i = 0; i < shown.size(); ++i)
      if (!within(GetRValue(shown[i]), GetRValue(expected[i])) ||
          !within(GetGValue(shown[i]), GetGValue(expected[i])) ||
          !within(GetBValue(shown[i]), GetBValue(expected[i])))
        return false;
    return true;
  }, timeoutMs);
}

int ShownFrame(HWND w, const Strip& strip) {
  std::vector<COLORREF> shown = ScreenPixels(w);
  for (int frame = 0; frame < 3; ++frame)
    if (shown == strip.Frame(frame)) return frame;
  return -1;
}

bool WaitForFrame(HWND w, const Strip& strip, int frame, DWORD timeoutMs) {
  return WaitUntil([&] { return ShownFrame(w, strip) == frame; }, timeoutMs);
}

HWND ButtonToolTip(HWND bar, HWND button) {
  for (HWND tip : TopLevelWindows(TOOLTIPS_CLASSA)) {
    if (GetWindow(tip, GW_OWNER) != bar) continue;
    for (const Tool& t : ToolsOf(tip))
      if (t.owner == button) return tip;
  }
  return nullptr;
}

void LeftDownAt(int x, int y) { MouseAt(MOUSEEVENTF_LEFTDOWN, x, y); }
void LeftUp() { SendButton(MOUSEEVENTF_LEFTUP); }

void LeftUpAt(int x, int y) { MouseAt(MOUSEEVENTF_LEFTUP, x, y); }
void MiddleDownAt(int x, int y) { MouseAt(MOUSEEVENTF_MIDDLEDOWN, x, y); }
void MiddleUpAt(int x, int y) { MouseAt(MOUSEEVENTF_MIDDLEUP, x, y); }

POINT CenterOf(HWND w) {
  RECT r = WindowRect(w);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace rig
