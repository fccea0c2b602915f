// The string table, the icons, the link cursor, the version block and the
// manifest as compiled into the program, read back the way the platform
// reads them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "ResourceBytes.h"

#ifndef TORVANE_MANIFEST_ARCH
#error "the build names the manifest's processor architecture"
#endif

namespace {

using restest::Bytes;
using restest::Narrow;
using restest::Reader;

// ---------------------------------------------------------------------------
// Strings

const std::pair<int, const char*> kStrings[] = {
    {IDS_ABOUTBOX, "&About Torvane..."},
    {IDS_TIP_STANDBY, "Put drive in standby mode"},
    {IDS_TIP_IDLE, "Put drive in idle mode"},
    {IDS_TIP_APM_SET, "Set power management level"},
    {IDS_TIP_AAM_SET, "Set seek noise control level"},
    {IDS_TIP_AAM_SLIDER, "Select seek noise control level"},
    {IDS_TIP_APM_SLIDER, "Select power management level"},
    {IDS_TIP_AAM_ENABLE, "Enable seek noise control"},
    {IDS_TIP_APM_ENABLE, "Enable power management"},
    {IDS_TIP_ALLOW_STANDBY, "Allow drive to go in standby mode"},
    {IDS_TIP_ALLOW_IDLE, "Allow drive to go in idle mode"},
    {IDS_TIP_IDLE_SET, "Set idle timer"},
    {IDS_TIP_STANDBY_SET, "Set standby timer"},
    {IDS_TIP_REFRESH, "Refresh speed settings"},
    {IDS_TIP_IDLE_TIME, "Select idle timer value"},
    {IDS_TIP_STANDBY_TIME, "Select standby timer value"},
    {IDS_TIP_FAST, "Set drive to the highest possible speed"},
    {IDS_TIP_SILENT, "Set to drive to a low speed to reduce noise"},
    {IDS_TIP_SPEED_LIST, "Select read speed"},
    {IDS_STANDBY_SYSTEM_DRIVE, "Standby mode not allowed for system drive."},
    {IDS_NO_DRIVES, "No drives found"},
    {IDS_STANDBY_ERROR, "Error setting drive in standby mode"},
    {IDS_TIP_MANUAL, "Open manual"},
};

std::string LoadText(int id) {
  wchar_t buffer[256] = {};
  int length = ::LoadStringW(restest::Module(), id, buffer, 256);
  return Narrow(std::wstring(buffer, length > 0 ? length : 0));
}

TEST(StringTable, EveryStringLoadsVerbatim) {
  for (const auto& [id, text] : kStrings) EXPECT_EQ(LoadText(id), text) << "string " << id;
}

TEST(StringTable, TheSilentTipKeepsItsWording) {
  EXPECT_EQ(LoadText(118), "Set to drive to a low speed to reduce noise");
}

TEST(StringTable, NoOtherStringsInTheRange) {
  std::set<int> used;
  for (const auto& entry : kStrings) used.insert(entry.first);
  for (int id = 96; id < 160; ++id) {
    if (used.count(id)) continue;
    wchar_t buffer[8];
    EXPECT_EQ(::LoadStringW(restest::Module(), id, buffer, 8), 0) << "string " << id << " exists";
  }
}

// ---------------------------------------------------------------------------
// Icons: the group directory and each image behind it.

struct GroupEntry {
  int width, height, colours, planes, bits;
  DWORD bytes;
  int imageId;
};

// GRPICONDIR / GRPCURSORDIR: reserved, type, count, then 14-byte entries.
std::vector<GroupEntry> ReadGroup(LPCSTR type, int id, WORD expectedKind) {
  std::vector<GroupEntry> entries;
  Bytes bytes = restest::FindBytes(type, id);
  Reader r(bytes);
  EXPECT_EQ(r.Word(), 0);
  EXPECT_EQ(r.Word(), expectedKind);
  WORD count = r.Word();
  for (WORD i = 0; i < count; ++i) {
    GroupEntry e = {};
    if (expectedKind == 1) {
      e.width = r.Byte();
      e.height = r.Byte();
      e.colours = r.Byte();
      r.Byte();
      if (e.width == 0) e.width = 256;
      if (e.height == 0) e.height = 256;
    } else {
      e.width = r.Word();
      e.height = r.Word();
    }
    e.planes = r.Word();
    e.bits = r.Word();
    e.bytes = r.Dword();
    e.imageId = r.Word();
    entries.push_back(e);
  }
  EXPECT_FALSE(r.failed()) << "group " << id << " is missing or cut short";
  return entries;
}

struct ImageHeader {
  bool png = false;
  int width = 0, height = 0, bits = 0;
};

ImageHeader ReadImageHeader(Bytes image) {
  ImageHeader h;
  static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (image.size >= 26 && std::memcmp(image.data, kPng, 8) == 0) {
    auto be32 = [&](std::size_t at) {
      return (image.data[at] << 24) | (image.data[at + 1] << 16) | (image.data[at + 2] << 8) |
             image.data[at + 3];
    };
    h.png = true;
    h.width = be32(16);
    h.height = be32(20);
    // 8 bits per channel, colour type 6 (RGBA): 32 bits per pixel.
    h.bits = image.data[24] == 8 && image.data[25] == 6 ? 32 : 0;
    return h;
  }
  Reader r(image);
  if (r.Dword() != sizeof(BITMAPINFOHEADER)) return h;
  h.width = static_cast<int>(r.Dword());
  h.height = static_cast<int>(r.Dword());
  r.Word();  // planes
  h.bits = r.Word();
  return h;
}

// Every size a display from 100 % to 400 % asks for: the window's icons and
// the About box's 48 px one.
TEST(ProgramIcon, FiveSizesAtThreeDepthsAndTheScaledSizesInTrueColour) {
  std::vector<GroupEntry> entries = ReadGroup(RT_GROUP_ICON, IDI_MAINFRAME, 1);
  std::multiset<std::pair<int, int>> got;
  for (const GroupEntry& e : entries) got.insert({e.width, e.bits});
  std::multiset<std::pair<int, int>> want;
  for (int size : {256, 48, 32, 24, 16})
    for (int bits : {4, 8, 32}) want.insert({size, bits});
  for (int size : {20, 40, 60, 64, 72, 96}) want.insert({size, 32});
  EXPECT_EQ(got, want);

  for (const GroupEntry& e : entries) {
    SCOPED_TRACE(std::to_string(e.width) + " px, " + std::to_string(e.bits) + " bits");
    EXPECT_EQ(e.height, e.width);
    EXPECT_EQ(e.planes, 1);
    EXPECT_EQ(e.colours, e.bits == 4 ? 16 : 0);
    Bytes image = restest::FindBytes(RT_ICON, e.imageId);
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.size, e.bytes);
    ImageHeader h = ReadImageHeader(image);
    EXPECT_EQ(h.width, e.width);
    EXPECT_EQ(h.height, h.png ? e.width : 2 * e.width);  // bitmaps: colour rows and mask rows
    EXPECT_EQ(h.bits, e.bits);
  }
}

int IconWidth(HICON icon) {
  ICONINFO info = {};
  if (!::GetIconInfo(icon, &info)) return -1;
  BITMAP bitmap = {};
  ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

TEST(ProgramIcon, LoadsAtEverySize) {
  for (int size : {16, 20, 24, 32, 40, 48, 60, 64, 72, 96, 256}) {
    HICON icon = static_cast<HICON>(::LoadImageW(restest::Module(), MAKEINTRESOURCEW(IDI_MAINFRAME),
                                                 IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size << " px";
    EXPECT_EQ(IconWidth(icon), size);
    ::DestroyIcon(icon);
  }
}

TEST(ProgramIcon, TheLoaderPicksTheAlphaImageOnATrueColourScreen) {
  Bytes group = restest::FindBytes(RT_GROUP_ICON, IDI_MAINFRAME);
  ASSERT_NE(group.data, nullptr);
  std::vector<GroupEntry> entries = ReadGroup(RT_GROUP_ICON, IDI_MAINFRAME, 1);
  HDC screen = ::GetDC(nullptr);
  int depth = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  if (depth < 24) GTEST_SKIP() << "the screen has " << depth << " bits per pixel";
  for (int size : {16, 48, 72}) {
    int chosen = ::LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data), TRUE, size, size,
                                               LR_DEFAULTCOLOR);
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const GroupEntry& e) { return e.imageId == chosen; });
    ASSERT_NE(entry, entries.end()) << size << " px";
    EXPECT_EQ(entry->width, size);
    EXPECT_EQ(entry->bits, 32);
  }
}

// The four small icons: 24-bit images with a mask at 16 px and at each size
// a scaled display asks for. Their colours are judged on the 16 px image.

constexpr int kSmallIconSizes[] = {16, 20, 24, 32, 40, 48, 64};

struct SmallIcon {
  std::vector<COLORREF> opaque;  // colours of the pixels the mask keeps
  int transparent = 0;
};

SmallIcon ReadSmallIcon(int id) {
  SmallIcon icon;
  std::vector<GroupEntry> entries = ReadGroup(RT_GROUP_ICON, id, 1);
  std::vector<int> sizes;
  for (const GroupEntry& e : entries) {
    sizes.push_back(e.width);
    EXPECT_EQ(e.bits, 24) << e.width << " px";
  }
  EXPECT_EQ(sizes, std::vector<int>(std::begin(kSmallIconSizes), std::end(kSmallIconSizes)));
  if (entries.empty()) return icon;
  const GroupEntry& e = entries[0];
  EXPECT_EQ(e.width, 16);
  EXPECT_EQ(e.height, 16);
  EXPECT_EQ(e.colours, 0);
  EXPECT_EQ(e.planes, 1);
  EXPECT_EQ(e.bits, 24);
  Bytes image = restest::FindBytes(RT_ICON, e.imageId);
  ImageHeader h = ReadImageHeader(image);
  EXPECT_FALSE(h.png);
  EXPECT_EQ(h.width, 16);
  EXPECT_EQ(h.height, 32);
  EXPECT_EQ(h.bits, 24);
  const std::size_t colourRows = 16 * 16 * 3, maskRows = 16 * 4;
  EXPECT_EQ(image.size, sizeof(BITMAPINFOHEADER) + colourRows + maskRows);
  if (h.bits != 24 || image.size != sizeof(BITMAPINFOHEADER) + colourRows + maskRows) return icon;
  const std::uint8_t* colours = image.data + sizeof(BITMAPINFOHEADER);
  const std::uint8_t* mask = colours + colourRows;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool see_through = mask[y * 4 + x / 8] & (0x80 >> (x % 8));
      const std::uint8_t* bgr = colours + (y * 16 + x) * 3;
      if (see_through)
        ++icon.transparent;
      else
        icon.opaque.push_back(RGB(bgr[2], bgr[1], bgr[0]));
    }
  }
  return icon;
}

int Count(const SmallIcon& icon, bool (*kind)(int r, int g, int b)) {
  return static_cast<int>(std::count_if(icon.opaque.begin(), icon.opaque.end(), [&](COLORREF c) {
    return kind(GetRValue(c), GetGValue(c), GetBValue(c));
  }));
}

bool Grey(int r, int g, int b) { return std::max({r, g, b}) - std::min({r, g, b}) < 32; }
bool Green(int r, int g, int b) { return g > r + 40 && g > b + 40; }
bool Blue(int r, int g, int b) { return b > r + 40 && b > g + 20; }

TEST(SmallIcons, HardDriveIsAGreyCaseWithAGreenLight) {
  SmallIcon icon = ReadSmallIcon(IDI_HARDDRIVE);
  ASSERT_FALSE(icon.opaque.empty());
  EXPECT_GT(icon.transparent, 0);
  EXPECT_GT(Count(icon, Grey), static_cast<int>(icon.opaque.size()) / 2);
  EXPECT_GE(Count(icon, Green), 2);
  EXPECT_EQ(Count(icon, Blue), 0);
}

TEST(SmallIcons, OpticalDriveIsMostlyGreyWithATintedDisc) {
  SmallIcon icon = ReadSmallIcon(IDI_OPTICALDRIVE);
  ASSERT_FALSE(icon.opaque.empty());
  EXPECT_GT(icon.transparent, 0);
  EXPECT_GT(Count(icon, Grey), static_cast<int>(icon.opaque.size()) / 2);
  EXPECT_GT(static_cast<int>(icon.opaque.size()) - Count(icon, Grey) - Count(icon, Green), 8)
      << "the disc's sheen";
}

TEST(SmallIcons, RefreshArrowsAreGreen) {
  SmallIcon icon = ReadSmallIcon(IDI_REFRESH);
  ASSERT_FALSE(icon.opaque.empty());
  EXPECT_GT(icon.transparent, 0);
  EXPECT_GT(Count(icon, Green), static_cast<int>(icon.opaque.size()) * 3 / 4);
}

TEST(SmallIcons, ManualQuestionMarkIsBlue) {
  SmallIcon icon = ReadSmallIcon(IDI_MANUAL);
  ASSERT_FALSE(icon.opaque.empty());
  EXPECT_GT(icon.transparent, 0);
  EXPECT_GT(Count(icon, Blue), static_cast<int>(icon.opaque.size()) * 3 / 4);
}

TEST(SmallIcons, LoadAtEverySize) {
  for (int id : {IDI_HARDDRIVE, IDI_OPTICALDRIVE, IDI_REFRESH, IDI_MANUAL}) {
    for (int size : kSmallIconSizes) {
      HICON icon = static_cast<HICON>(::LoadImageW(restest::Module(), MAKEINTRESOURCEW(id),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
      ASSERT_NE(icon, nullptr) << "icon " << id;
      EXPECT_EQ(IconWidth(icon), size);
      ::DestroyIcon(icon);
    }
  }
}

// ---------------------------------------------------------------------------
// The link cursor.

TEST(LinkCursor, OneMonochromeImageWithTheHotSpotAtTheTopLeft) {
  std::vector<GroupEntry> entries = ReadGroup(RT_GROUP_CURSOR, IDC_LINKHAND, 2);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 32);
  EXPECT_EQ(entries[0].height, 64);  // colour rows and mask rows
  EXPECT_EQ(entries[0].planes, 1);
  EXPECT_EQ(entries[0].bits, 1);

  Bytes image = restest::FindBytes(RT_CURSOR, entries[0].imageId);
  ASSERT_NE(image.data, nullptr);
  Reader r(image);
  EXPECT_EQ(r.Word(), 0) << "hot spot x";
  EXPECT_EQ(r.Word(), 0) << "hot spot y";
  ImageHeader h = ReadImageHeader(Bytes{image.data + 4, image.size - 4});
  EXPECT_EQ(h.width, 32);
  EXPECT_EQ(h.height, 64);
  EXPECT_EQ(h.bits, 1);
}

TEST(LinkCursor, LoadsAsACursorWhoseFingertipIsAtTheHotSpot) {
  HCURSOR cursor = ::LoadCursorW(restest::Module(), MAKEINTRESOURCEW(IDC_LINKHAND));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(::GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 0u);
  EXPECT_EQ(info.yHotspot, 0u);
  EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
  BITMAP mask = {};
  ASSERT_TRUE(::GetObjectW(info.hbmMask, sizeof(mask), &mask));
  EXPECT_EQ(mask.bmWidth, 32);
  EXPECT_EQ(mask.bmHeight, 64);

  // AND mask bits are 0 where the cursor draws: the fingertip must be within
  // a few pixels of the hot spot, and most of the cell stays see-through.
  std::vector<std::uint8_t> bits(mask.bmWidthBytes * mask.bmHeight);
  ASSERT_EQ(::GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data()),
            static_cast<LONG>(bits.size()));
  auto drawn = [&](int x, int y) { return !(bits[y * mask.bmWidthBytes + x / 8] & (0x80 >> (x % 8))); };
  int nearTip = 0, total = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (!drawn(x, y)) continue;
      ++total;
      if (x < 6 && y < 3) ++nearTip;
    }
  EXPECT_GE(nearTip, 3);
  EXPECT_GT(total, 100);
  EXPECT_LT(total, 32 * 32 / 2);
  ::DeleteObject(info.hbmMask);
}

// ---------------------------------------------------------------------------
// Version block.

class VersionBlock : public testing::Test {
 protected:
  void SetUp() override {
    Bytes bytes = restest::FindBytes(RT_VERSION, VS_VERSION_INFO);
    ASSERT_NE(bytes.data, nullptr);
    // VerQueryValue wants a copy it may write to, with room to spare.
    copy_.assign(bytes.data, bytes.data + bytes.size);
    copy_.resize(bytes.size * 3);
  }

  bool Query(const wchar_t* path, void** value, UINT* length) {
    return ::VerQueryValueW(copy_.data(), path, value, length) != FALSE;
  }

  std::string Text(const char* name) {
    std::wstring path = L"\\StringFileInfo\\040904B0\\" + restest::Wide(name);
    void* value = nullptr;
    UINT length = 0;
    if (!Query(path.c_str(), &value, &length)) return "<missing>";
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return Narrow(text);
  }

  std::vector<std::uint8_t> copy_;
};

TEST_F(VersionBlock, FixedPart) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(Query(L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionBlock, StringsInUsEnglishUnicode) {
  EXPECT_EQ(Text("FileDescription"), "Torvane Application");
  EXPECT_EQ(Text("FileVersion"), "1, 1, 0, 0");
  EXPECT_EQ(Text("InternalName"), "Torvane");
  EXPECT_EQ(Text("OriginalFilename"), "Torvane.EXE");
  EXPECT_EQ(Text("ProductName"), "Torvane Application");
  EXPECT_EQ(Text("ProductVersion"), "1, 1, 0, 0");
  for (const char* empty : {"Comments", "CompanyName", "LegalTrademarks", "PrivateBuild", "SpecialBuild"})
    EXPECT_EQ(Text(empty), "") << empty;
  std::string notice = Text("LegalCopyright");
  EXPECT_NE(notice, "<missing>");
  EXPECT_NE(notice, "");
}

TEST_F(VersionBlock, Translation) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(Query(L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const WORD* pair = static_cast<const WORD*>(value);
  EXPECT_EQ(pair[0], 0x0409);
  EXPECT_EQ(pair[1], 1200);
}

// ---------------------------------------------------------------------------
// Manifest.

std::string ManifestText(HMODULE module = restest::Module()) {
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  HGLOBAL handle = info ? ::LoadResource(module, info) : nullptr;
  if (handle == nullptr) return "";
  return std::string(static_cast<const char*>(::LockResource(handle)), ::SizeofResource(module, info));
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(Manifest, AsksForCommonControlsSixAndAdministratorRights) {
  std::string text = ManifestText();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(Occurrences(text, "name=\"Microsoft.Windows.Common-Controls\""), 1);
  EXPECT_EQ(Occurrences(text, "version=\"6.0.0.0\""), 1);
  EXPECT_EQ(Occurrences(text, "version=\"1.0.0.0\""), 1);
  EXPECT_EQ(Occurrences(text, "publicKeyToken=\"6595b64144ccf1df\""), 1);
  EXPECT_EQ(Occurrences(text, "language=\"*\""), 1);
  EXPECT_EQ(Occurrences(text, "type=\"win32\""), 2);
  EXPECT_EQ(Occurrences(text, "level=\"requireAdministrator\""), 1);
  EXPECT_EQ(Occurrences(text, "uiAccess=\"false\""), 1);
  // The program's own identity and the dependency name this build's architecture.
  EXPECT_EQ(Occurrences(text, "processorArchitecture="), 2);
  EXPECT_EQ(Occurrences(text, std::string("processorArchitecture=\"") + TORVANE_MANIFEST_ARCH + "\""), 2);
  EXPECT_EQ(Occurrences(text, "@"), 0) << "a placeholder was left unconfigured";
}

// The shipping 32-bit program, read as a file: Windows draws it unstretched
// at every scale and knows it from Vista to 11.
TEST(Manifest, TheShippingProgramScalesPerMonitorOnEveryWindowsItKnows) {
  const char* named = std::getenv("TORVANE_WIN32_PROGRAM");
  std::string path = named != nullptr ? named : "";
  std::replace(path.begin(), path.end(), '/', '\\');
  HMODULE program = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << "no 32-bit build's Torvane.exe at \"" << path << "\"";
  const std::string text = ManifestText(program);
  ::FreeLibrary(program);
  EXPECT_EQ(Occurrences(text, "processorArchitecture=\"X86\""), 2);
  EXPECT_EQ(Occurrences(text, "<activeCodePage"), 0);
  EXPECT_EQ(Occurrences(text, "<supportedOS Id="), 5);
  for (const char* part :
       {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, PerMonitor<",
        "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",   // Vista
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",   // 7
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",   // 8
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",   // 8.1
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})  // 10 and 11
    EXPECT_EQ(Occurrences(text, part), 1) << part;
}

// The loader applies the manifest: comctl32.dll is redirected to the side by
// side assembly of version 6, and that is the copy this program runs with.
// (DllGetVersion is no help: Wine's version 6 reports 5.81.)
TEST(Manifest, TheLoaderActivatesCommonControlsSix) {
  ACTCTX_SECTION_KEYED_DATA redirection = {};
  redirection.cbSize = sizeof(redirection);
  EXPECT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &redirection));

  HMODULE comctl = nullptr;
  ASSERT_TRUE(::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&::InitCommonControlsEx)), &comctl));
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::string lower = Narrow(path);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
      << Narrow(path);
}

}  // namespace
