// The render core's part of the project file by the file's version, from bytes written out by hand:
//   below 4.2.0.0   nothing
//   4.2.x           int32 raster count, per raster: int32 id, string path, double width, double height
//   4.3.0.0 on      int32 raster count (whole records); int32 manager count, per manager: level array (count,
//                   floats), int32 id, int32 kinds, int32 display mode, double length, width, third size, int32
//                   area count, areas; the graphics library's block (int32 0: no drawings)
#include "model/version.h"
#include "platform/base/module.h"
#include "platform/mfc-core/archive.h"
#include "tests/geometry/fixtures.h"
#include "tests/graphics/core_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using ObjectModel::MakeFormatVersion;

constexpr int kOldManagerId = 3;
constexpr int kUnderlay = 5;

// A sentinel after the part: what the part must leave unread.
Bytes& Sentinel(Bytes& b) { return b.raw("ZZZZ", 4); }

Bytes RasterIds(int count)
{
  Bytes b;
  b.i32(count);
  if (count > 0)
    b.i32(kUnderlay).str("under.bmp").f64(40).f64(30);
  return b;
}

Bytes WholePart(int managerCount)
{
  Bytes b;
  b.i32(0);                 // rasters
  b.i32(managerCount);      // managers
  if (managerCount > 0) {
    b.u16(2).f32(1.5f).f32(3.0f);    // levels
    b.i32(7).i32(0).i32(3);          // id, kinds made, display mode
    b.f64(50).f64(20).f64(0);        // length, width, third size
    b.i32(0);                        // areas
  }
  b.i32(0);  // the library: no drawings
  return b;
}

class CoreFileVersions : public CoreTest {};

TEST_F(CoreFileVersions, EachVersionReadsItsOwnPart)
{
  struct Case {
    const char* name;
    DWORD version;
    Bytes bytes;
    bool sentinelFollows;           // the part stops before bytes of another kind
    std::vector<int> managersAfter; // ids
    int underlayAfter;
  };
  Bytes rasterIdsThenLibrary = RasterIds(1);
  rasterIdsThenLibrary.raw("GRFC", 4);  // a 4.2 file has no library part: these bytes are not the core's
  Bytes nothing;
  Sentinel(nothing);
  const Case cases[] = {
      {"4.1.x stores nothing", MakeFormatVersion(4, 1, 7, 0), nothing, true, {kOldManagerId}, kUnderlay},
      {"4.2.0.0 reads raster ids only", MakeFormatVersion(4, 2, 0, 0), rasterIdsThenLibrary, true,
       {kOldManagerId}, 0},
      {"4.2.255.255 reads raster ids only", MakeFormatVersion(4, 2, 255, 255), rasterIdsThenLibrary, true,
       {kOldManagerId}, 0},
      {"4.3.0.0 reads rasters, managers and the library", MakeFormatVersion(4, 3, 0, 0), WholePart(1), false, {7},
       kUnderlay},
      {"the current version as 4.3", ObjectModel::kCurrentFormatVersion, WholePart(1), false, {7}, kUnderlay},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    MakeDocument();
    IArea* area = ActiveArea();
    const int underlay = kUnderlay;
    area->SetUnderlayId(&underlay);
    ASSERT_NE(Core().GetCalcAreaManager(), nullptr);
    Core().GetManagers().GetManagers()[0]->SetId(kOldManagerId);

    LoadingArchive archive(test.bytes.data());
    Core().Serialize(*archive, test.version);
    if (test.sentinelFollows) {
      char rest[4] = {};
      EXPECT_EQ((*archive).Read(rest, 4), 4u);
      EXPECT_EQ(std::string(rest, 4), test.version < MakeFormatVersion(4, 2, 0, 0) ? "ZZZZ" : "GRFC");
    }
    EXPECT_TRUE(archive.AtEnd());
    std::vector<int> ids;
    for (const auto& manager : Core().GetManagers().GetManagers())
      ids.push_back(manager->GetId());
    EXPECT_EQ(ids, test.managersAfter);
    EXPECT_EQ(*area->GetUnderlayId(), test.underlayAfter);
    EXPECT_FALSE(Core().LibraryPartSkipped());
    document.reset();
  }
}

// What the loaded graphics library was asked, in order; its block is one int32 of its own.
std::vector<std::string> g_libraryCalls;
int LibraryDeleteObjects()
{
  g_libraryCalls.push_back("DeleteObjects");
  return 0;
}
int LibrarySerialize(CArchive* archive, DWORD version)
{
  g_libraryCalls.push_back("Serialize " + std::to_string(version));
  int mine = 0x1234;
  if (archive->IsStoring())
    *archive << mine;
  else
    *archive >> mine;
  return mine == 0x1234 ? 0 : 1;
}

// The library's block goes through the loaded library; one without "Serialize" leaves the block to the program's
// own reading, which reads past drawings it cannot take.
TEST_F(CoreFileVersions, TheLibrarysBlockGoesThroughTheLoadedLibrary)
{
  const DWORD version = MakeFormatVersion(4, 3, 0, 0);
  const struct {
    const char* name;
    platform::ModuleSymbols exports;
    Bytes library;
    std::vector<std::string> onLoad;
    bool skipped;  // the project opens without the block's drawings
  } cases[] = {
      {"a library with its part", {{"DeleteObjects", reinterpret_cast<void*>(&LibraryDeleteObjects)},
                                   {"Serialize", reinterpret_cast<void*>(&LibrarySerialize)}},
       Bytes().i32(0x1234), {"DeleteObjects", "Serialize " + std::to_string(version)}, false},
      {"a library without Serialize", {{"DeleteObjects", reinterpret_cast<void*>(&LibraryDeleteObjects)}},
       Bytes().raw("GRFC", 4).i32(1).i32(3).raw("abc", 3), {}, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    platform::RegisterModule("GrafoCore", test.exports);
    MakeDocument();
    Bytes bytes;
    bytes.i32(0).i32(0);  // no rasters, no managers; then this case's library block
    bytes.raw(test.library.data().data(), test.library.data().size());
    g_libraryCalls.clear();
    LoadingArchive archive(bytes.data());
    Core().Serialize(*archive, version);
    EXPECT_TRUE(archive.AtEnd());
    EXPECT_EQ(g_libraryCalls, test.onLoad);
    EXPECT_EQ(Core().LibraryPartSkipped(), test.skipped);
    document.reset();
    platform::UnregisterModule("GrafoCore");
  }
}

// Counts the rest of the file cannot hold are refused before anything is allocated.
TEST_F(CoreFileVersions, DamagedCountsAreRefused)
{
  const struct {
    const char* name;
    DWORD version;
    Bytes bytes;
  } cases[] = {
      {"negative raster count", MakeFormatVersion(4, 2, 1, 0), RasterIds(-1)},
      {"raster count beyond the file", MakeFormatVersion(4, 2, 1, 0), Bytes().i32(1000000)},
      {"negative manager count", MakeFormatVersion(4, 3, 0, 0), WholePart(-1)},
      {"cut inside a manager", MakeFormatVersion(4, 3, 0, 0), Bytes().i32(0).i32(1).u16(2).f32(1)},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    MakeDocument();
    LoadingArchive archive(test.bytes.data());
    bool refused = false;
    try {
      Core().Serialize(*archive, test.version);
    } catch (CArchiveException* e) {
      refused = true;
      e->Delete();
    }
    EXPECT_TRUE(refused);
    document.reset();
  }
}

}  // namespace
