#include "model/cguid.h"
#include "model/identifiers.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using ObjectModel::IsVersionAtLeast;
using ObjectModel::MakeFormatVersion;

GUID WithLastByte(GUID g, BYTE last)
{
  g.Data4[7] = last;
  return g;
}

TEST(CGuid, EqualityAndText)
{
  struct Case {
    const char* what;
    GUID a;
    GUID b;
    bool equal;
  };
  const Case cases[] = {
      {"same bytes", IID_IProject, IID_IProject, true},
      {"last byte of Data4 differs", IID_IProject, WithLastByte(IID_IProject, 0x1D), false},
      {"all zero against all zero", GUID{}, GUID{}, true},
      {"different identifiers", IID_IArea, IID_IRoad, false},
  };
  for (const Case& c : cases) {
    CGuid id(&c.a);
    EXPECT_EQ(id.IsEqual(&c.b), c.equal) << c.what;
    EXPECT_EQ(id.IsNotEqual(&c.b), !c.equal) << c.what;
  }

  CGuid project(&IID_IProject);
  EXPECT_STREQ(project.ToString().GetString(), "{212A8C35-68D1-43E1-9B93-0B3D9DABB11C}");
}

TEST(CGuid, AssignAndCopy)
{
  CGuid id;
  id.Assign(&IID_IArea);
  EXPECT_TRUE(id.IsEqual(&IID_IArea));
  CGuid other(&IID_IWall);
  id.Copy(other);
  EXPECT_TRUE(id.IsEqual(&IID_IWall));
  id.Copy(id);
  EXPECT_TRUE(id.IsEqual(&IID_IWall));
}

TEST(CGuid, StraightRoadClassIdInFileForm)
{
  BYTE bytes[16];
  GuidToBytes(CLSID_CStraightRoad, bytes);
  const BYTE expected[16] = {0xA1, 0xAA, 0x54, 0xA3, 0xAF, 0x5D, 0x6A, 0x43,
                             0x97, 0x13, 0x69, 0xBB, 0x09, 0x0E, 0x95, 0x71};
  EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);
}

TEST(FormatVersion, Gates)
{
  struct Case {
    DWORD file;
    DWORD gate;
    bool passes;
  };
  const DWORD gate41800 = MakeFormatVersion(4, 0, 18, 0);
  EXPECT_EQ(gate41800, 0x04001200u);
  EXPECT_EQ(ObjectModel::kCurrentFormatVersion, 0x06002A00u);
  const Case cases[] = {
      {0x040011FF, gate41800, false},
      {0x04001200, gate41800, true},
      {0x04001201, gate41800, true},
      {0x06002A00, MakeFormatVersion(5, 0, 20, 0), true},
      {0x04030000, MakeFormatVersion(4, 3, 5, 0), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsVersionAtLeast(c.file, c.gate), c.passes) << std::hex << c.file << " against " << c.gate;
}

}  // namespace
