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
  EXPECT_EQ(grafocore::Serialize(out.get(), 0x06002A00), grafocore::kPartRead);
  Bytes expected;
  expected.i32(0);
  EXPECT_EQ(out.bytes(), expected.data());
}

// Each form the block may take when read; a byte after it tells how far the library read.
TEST(GrafoCore, ItsBlockEndsWhereItSaysAndAnotherLibrarysPartRunsToTheEnd)
{
  constexpr int kNoError = -1;
  struct Form {
    const char* name;
    Bytes bytes;
    int result;
    int error;
    bool nextByteLeft;
  };
  const Form forms[] = {
      {"no drawings", Bytes().i32(0).raw("!", 1), grafocore::kPartRead, kNoError, true},
      {"our drawings, read past", Bytes().raw("GRFC", 4).u32(1).u32(5).zeros(5).raw("!", 1),
       grafocore::kPartSkipped, kNoError, true},
      {"another library's part", Bytes().i32(2).zeros(64).raw("!", 1), grafocore::kPartSkipped, kNoError, false},
      {"our drawings, longer than the file", Bytes().raw("GRFC", 4).u32(1).u32(500).zeros(5), 0,
       CArchiveException::endOfFile, false},
      {"cut in its first word", Bytes().zeros(2), 0, CArchiveException::endOfFile, false},
      {"our drawings, cut in their length", Bytes().raw("GRFC", 4).u32(1).zeros(2), 0, CArchiveException::endOfFile,
       false},
  };
  for (const Form& f : forms) {
    SCOPED_TRACE(f.name);
    LoadingArchive in(f.bytes.data());
    int result = -1;
    EXPECT_EQ(ArchiveErrorOf([&] { result = grafocore::Serialize(in.get(), 0x06002A00); }), f.error);
    if (f.error != kNoError)
      continue;
    EXPECT_EQ(result, f.result);
    char next = 0;
    EXPECT_EQ(in->Read(&next, 1), f.nextByteLeft ? 1u : 0u);
  }
}

}  // namespace
