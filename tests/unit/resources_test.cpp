// The resources compiled into marbel.exe, read from the built program the
// way the bar loads them.
#include <doctest/doctest.h>
#include <windows.h>
#include "res/resource.h"
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// marbel.exe mapped as data: its resources without running any of its code.
HMODULE Program() {
  static HMODULE module = [] {
    const char* bin = std::getenv("MARBEL_BIN");  // the build's bin directory, a Unix path
    if (!bin) return HMODULE();
    std::string path = std::string("Z:") + bin + "/marbel.exe";
    for (char& c : path)
      if (c == '/') c = '\\';
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }();
  return module;
}

template <class T>
T* Resource(int id, LPCSTR type) {
  HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(id), type);
  return found ? static_cast<T*>(LockResource(LoadResource(Program(), found))) : nullptr;
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool IsStandardGrey(const RGBQUAD& c) {
  return c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue &&
         (c.rgbRed == 128 || c.rgbRed == 192 || c.rgbRed == 223);
}

// An 8-bit resource bitmap as stored: header, colour table, bottom-up rows.
struct StoredBitmap {
  const BITMAPINFOHEADER* header;
  explicit StoredBitmap(int id) : header(Resource<BITMAPINFOHEADER>(id, RT_BITMAP)) {}
  int Width() const { return header->biWidth; }
  int Height() const { return header->biHeight; }
  const RGBQUAD* Colours() const { return reinterpret_cast<const RGBQUAD*>(header + 1); }
  int ColourCount() const { return header->biClrUsed ? header->biClrUsed : 256; }
  // Pixel at (x, y), y counted from the top.
  const RGBQUAD& At(int x, int y) const {
    const BYTE* rows = reinterpret_cast<const BYTE*>(Colours() + ColourCount());
    return Colours()[rows[(Height() - 1 - y) * ((Width() + 3) & ~3) + x]];
  }
  // Summed brightness of the frame-th square frame.
  long FrameBrightness(int frame) const {
    long sum = 0;
    for (int y = 0; y < Height(); ++y)
      for (int x = frame * Height(); x < (frame + 1) * Height(); ++x)
        sum += At(x, y).rgbRed * 30 + At(x, y).rgbGreen * 59 + At(x, y).rgbBlue * 11;
    return sum;
  }
};

struct Strip {
  int id;
  int frameSize;
  bool grey;
};
const Strip kStrips[] = {
    {IDB_NEW_WINDOW_GREY, 18, true}, {IDB_NEW_WINDOW_AMBER, 18, false},
    {IDB_CLOSE_GREY, 12, true},      {IDB_CLOSE_AMBER, 12, false},
    {IDB_HIDE_GREY, 12, true},       {IDB_HIDE_AMBER, 12, false},
};

}  // namespace

TEST_CASE("marbel.exe is found through MARBEL_BIN") {
  REQUIRE(std::getenv("MARBEL_BIN"));
  REQUIRE(Program());
}

TEST_CASE("interface button strips") {
  REQUIRE(Program());
  for (const Strip& strip : kStrips) {
    CAPTURE(strip.id);
    StoredBitmap stored(strip.id);
    REQUIRE(stored.header);

    // Three square frames in an 8-bit palette.
    CHECK(stored.header->biBitCount == 8);
    CHECK(stored.header->biCompression == BI_RGB);
    CHECK(stored.Width() == 3 * strip.frameSize);
    CHECK(stored.Height() == strip.frameSize);

    // No grey that loading swaps for a 3-D colour; the grey set neutral for
    // tinting, the amber set warm.
    int standardGreys = 0, coloured = 0;
    long redOverBlue = 0;
    for (int y = 0; y < stored.Height(); ++y)
      for (int x = 0; x < stored.Width(); ++x) {
        const RGBQUAD& c = stored.At(x, y);
        standardGreys += IsStandardGrey(c);
        coloured += c.rgbRed != c.rgbGreen || c.rgbGreen != c.rgbBlue;
        redOverBlue += c.rgbRed - c.rgbBlue;
      }
    CHECK(standardGreys == 0);
    if (strip.grey)
      CHECK(coloured == 0);
    else
      CHECK(redOverBlue > 64L * stored.Width() * stored.Height());

    // Frames normal, pressed, hover: pressed darker, hover lighter.
    CHECK(stored.FrameBrightness(1) < stored.FrameBrightness(0));
    CHECK(stored.FrameBrightness(2) > stored.FrameBrightness(0));

    // Loaded as the buttons load it: one frame per button, colours as stored.
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(
        Program(), MAKEINTRESOURCEA(strip.id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    REQUIRE(loaded);
    BITMAP bm;
    GetObjectA(loaded, sizeof bm, &bm);
    CHECK(bm.bmWidth / 3 == strip.frameSize);
    CHECK(bm.bmHeight == strip.frameSize);
    HDC screen = GetDC(nullptr);
    if (GetDeviceCaps(screen, BITSPIXEL) >= 24) {  // fewer bits would round the colours
      BITMAPINFO info = {};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = bm.bmWidth;
      info.bmiHeader.biHeight = -bm.bmHeight;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      std::vector<RGBQUAD> shown(bm.bmWidth * bm.bmHeight);
      CHECK(GetDIBits(screen, loaded, 0, bm.bmHeight, shown.data(), &info, DIB_RGB_COLORS) ==
            bm.bmHeight);
      int changed = 0;
      for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) {
          const RGBQUAD &a = shown[y * bm.bmWidth + x], &b = stored.At(x, y);
          changed += a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue;
        }
      CHECK(changed == 0);
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(loaded);
  }
}

TEST_CASE("close glyph of the browser buttons is 11 x 11") {
  REQUIRE(Program());
  HBITMAP glyph = LoadBitmapA(Program(), MAKEINTRESOURCEA(IDB_CLOSE_GLYPH));
  REQUIRE(glyph);
  BITMAP bm;
  GetObjectA(glyph, sizeof bm, &bm);
  CHECK(bm.bmWidth == 11);
  CHECK(bm.bmHeight == 11);
  DeleteObject(glyph);
}

TEST_CASE("program icon has its own 32 x 32 and 16 x 16 images") {
  REQUIRE(Program());
  BYTE* directory = Resource<BYTE>(IDI_MARBEL, RT_GROUP_ICON);
  REQUIRE(directory);
  const struct {
    int size;
    UINT flags;
  } uses[] = {{32, LR_DEFAULTCOLOR}, {16, LR_VGACOLOR}};
  for (const auto& use : uses) {
    CAPTURE(use.size);
    // The image the loader picks must be drawn at this size, not scaled.
    int picked = LookupIconIdFromDirectoryEx(directory, TRUE, use.size, use.size, use.flags);
    const BITMAPINFOHEADER* image = Resource<BITMAPINFOHEADER>(picked, RT_ICON);
    REQUIRE(image);
    CHECK(image->biWidth == use.size);
    CHECK(image->biHeight == 2 * use.size);  // colour rows and mask rows

    HICON icon = static_cast<HICON>(
        LoadImageA(Program(), MAKEINTRESOURCEA(IDI_MARBEL), IMAGE_ICON, use.size, use.size, use.flags));
    CHECK(icon);
    DestroyIcon(icon);
  }
}

TEST_CASE("About box") {
  REQUIRE(Program());
  HWND about = CreateDialogParamA(Program(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, NoHandling, 0);
  REQUIRE(about);

  char text[64];
  GetWindowTextA(about, text, sizeof text);
  CHECK(std::string(text) == "About Marbel!");

  RECT units = {0, 0, 161, 78}, client;
  MapDialogRect(about, &units);
  GetClientRect(about, &client);
  CHECK(client.right == units.right);
  CHECK(client.bottom == units.bottom);

  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(about, WM_GETFONT, 0, 0)), sizeof font, &font);
  CHECK(std::string(font.lfFaceName) == "MS Sans Serif");

  RECT margin = {0, 0, 8, 8};  // the most a full-width control leaves free
  MapDialogRect(about, &margin);
  auto placeIn = [about](HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };

  SUBCASE("full-width default button Ok at the bottom") {
    HWND ok = GetDlgItem(about, IDOK);
    REQUIRE(ok);
    GetWindowTextA(ok, text, sizeof text);
    CHECK(std::string(text) == "Ok");
    CHECK((GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    RECT r = placeIn(ok);
    CHECK(r.left <= margin.right);
    CHECK(r.right >= client.right - margin.right);
    CHECK(r.bottom >= client.bottom - margin.bottom);
  }

  SUBCASE("icon at the top left with the version beside it, in a frame") {
    HWND version = FindWindowExA(about, nullptr, "Static", "Marbel! v1.30");
    REQUIRE(version);
    HWND icon = nullptr, frame = nullptr;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      LONG style = GetWindowLongA(child, GWL_STYLE);
      GetClassNameA(child, text, sizeof text);
      if (!lstrcmpiA(text, "Static") && (style & SS_TYPEMASK) == SS_ICON) icon = child;
      if (!lstrcmpiA(text, "Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) frame = child;
    }
    REQUIRE(icon);
    CHECK(SendMessageA(icon, STM_GETICON, 0, 0) != 0);
    RECT iconRect = placeIn(icon), versionRect = placeIn(version);
    CHECK(iconRect.left < client.right / 4);
    CHECK(iconRect.top < client.bottom / 4);
    CHECK(versionRect.left >= iconRect.right);
    CHECK(versionRect.top < iconRect.bottom);

    REQUIRE(frame);
    RECT frameRect = placeIn(frame);
    CHECK(frameRect.left <= iconRect.left);
    CHECK(frameRect.right >= versionRect.right);
  }

  DestroyWindow(about);
}
