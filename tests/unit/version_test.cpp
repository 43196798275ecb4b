// Each deliverable carries the version resource Explorer's Properties page
// shows: version 1.30, the product, a description, the original file name.
#include <doctest/doctest.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Deliverable(const char* name) {
  const char* bin = std::getenv("MARBEL_BIN");  // the build's bin directory, a Unix path
  std::string path = std::string("Z:") + (bin ? bin : "") + "/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string StringValue(const std::vector<char>& info, const char* key) {
  char* value = nullptr;
  UINT size = 0;
  std::string path = std::string("\\StringFileInfo\\040904E4\\") + key;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) || !size)
    return "";
  return value;
}

}  // namespace

TEST_CASE("every binary's version resource reads 1.30") {
  for (const char* name : {"marbel.exe", "barshell.dll", "bartask.dll"}) {
    CAPTURE(name);
    std::string path = Deliverable(name);
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    REQUIRE(size > 0);
    std::vector<char> info(size);
    REQUIRE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    REQUIRE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    CHECK(fixed->dwFileVersionMS == MAKELONG(30, 1));
    CHECK(fixed->dwProductVersionMS == MAKELONG(30, 1));
    CHECK(StringValue(info, "FileVersion") == "1.30");
    CHECK(StringValue(info, "ProductVersion") == "1.30");
    CHECK(StringValue(info, "ProductName") == "Marbel!");
    CHECK(StringValue(info, "OriginalFilename") == name);
    CHECK_FALSE(StringValue(info, "FileDescription").empty());
  }
}
