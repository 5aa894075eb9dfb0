// The graphics library's stand-in: its exports found by name and its block of the project file.
#include "outside/grafocore/grafocore.h"
#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(GrafoCore, ExportsAreFoundByTheirNames)
{
  for (const char* name : {"DeleteProject", "OpenDXFFile", "GetProjectDimentions", "GetProjectPosition",
                           "DeleteObjects", "Serialize"})
    EXPECT_NE(grafocore::GetExport(name), nullptr) << name;
  EXPECT_EQ(grafocore::GetExport("GetProjectDimensions"), nullptr);
  EXPECT_EQ(grafocore::GetExport(nullptr), nullptr);

  int id = 77;
  grafocore::OpenDXFFile("plan.dxf", &id);
  EXPECT_EQ(id, 0);
  double size[3] = {1, 2, 3};
  grafocore::GetProjectDimentions(&size[0], &size[1], &size[2]);
  EXPECT_EQ(size[0] + size[1] + size[2], 0.0);
}

TEST(GrafoCore, ItsBlockIsAnEmptyDrawingCount)
{
  StoringArchive out;
  grafocore::Serialize(out.get(), 0x06002A00);
  Bytes expected;
  expected.i32(0);
  EXPECT_EQ(out.bytes(), expected.data());

  LoadingArchive in(expected.data());
  grafocore::Serialize(in.get(), 0x06002A00);

  // Drawings of the real library cannot be read past: refused, never skipped blindly.
  Bytes drawings;
  drawings.i32(2).zeros(64);
  LoadingArchive refused(drawings.data());
  EXPECT_EQ(ArchiveErrorOf([&] { grafocore::Serialize(refused.get(), 0x06002A00); }), CArchiveException::badIndex);
}

}  // namespace
