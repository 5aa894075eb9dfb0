#include "archive_bytes.h"

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/object.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testing_mfc;

}  // namespace

// Test classes live outside the anonymous namespace so their names register as written.
class CTestShape : public CObject {
  DECLARE_SERIAL(CTestShape)
public:
  LONG m_corners = 0;
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar << m_corners;
    } else {
      ar >> m_corners;
    }
  }
};
IMPLEMENT_SERIAL(CTestShape, CObject, 1)

class CTestSquare : public CTestShape {
  DECLARE_DYNCREATE(CTestSquare)
};
IMPLEMENT_DYNCREATE(CTestSquare, CTestShape)

class CTestAbstractish : public CObject {
  DECLARE_DYNAMIC(CTestAbstractish)
};
IMPLEMENT_DYNAMIC(CTestAbstractish, CObject)

// A class whose layout changed: it reads older schemas itself.
class CTestVersioned : public CObject {
  DECLARE_SERIAL(CTestVersioned)
public:
  UINT m_loadedSchema = 0;
  void Serialize(CArchive& ar) override
  {
    if (ar.IsLoading()) {
      m_loadedSchema = ar.GetObjectSchema();
    }
  }
};
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 3)

// A node owning a child read as an object record, to nest records.
class CTestNode : public CObject {
  DECLARE_SERIAL(CTestNode)
public:
  ~CTestNode() override { delete m_child; }
  CObject* m_child = nullptr;
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar << m_child;
    } else {
      ar >> m_child;
    }
  }
};
IMPLEMENT_SERIAL(CTestNode, CObject, 1)

namespace {

TEST(RuntimeClass, KindsAndCreationByName)
{
  std::unique_ptr<CObject> square(CRuntimeClass::CreateObject("CTestSquare"));
  ASSERT_NE(square, nullptr);
  EXPECT_TRUE(square->IsKindOf(RUNTIME_CLASS(CTestSquare)));
  EXPECT_TRUE(square->IsKindOf(RUNTIME_CLASS(CTestShape)));
  EXPECT_TRUE(square->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(square->IsKindOf(RUNTIME_CLASS(CTestAbstractish)));
  EXPECT_STREQ(square->GetRuntimeClass()->m_lpszClassName, "CTestSquare");
  EXPECT_EQ(square->GetRuntimeClass()->m_nObjectSize, static_cast<int>(sizeof(CTestSquare)));
  EXPECT_NE(DYNAMIC_DOWNCAST(CTestShape, square.get()), nullptr);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CTestAbstractish, square.get()), nullptr);

  EXPECT_EQ(CRuntimeClass::FromName("CTestShape"), RUNTIME_CLASS(CTestShape));
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
  // Known but not creatable.
  EXPECT_EQ(CRuntimeClass::CreateObject("CTestAbstractish"), nullptr);
  // The framework's own classes are registered too.
  std::unique_ptr<CObject> list(CRuntimeClass::CreateObject("CStringArray"));
  EXPECT_NE(DYNAMIC_DOWNCAST(CStringArray, list.get()), nullptr);
}

TEST(ObjectRecords, NewClassClassReferenceObjectReferenceAndNull)
{
  // a, a again, b (same class), null:
  //   FFFF, schema 1, name length 10, "CTestShape", a's data 7;  a is index 2 (the class is 1): 0002;
  //   class reference 0x8001, b's data 9;  null 0000.
  const Bytes expected = Hex("FF FF 01 00 0A 00 43 54 65 73 74 53 68 61 70 65 07 00 00 00"
                             "02 00"
                             "01 80 09 00 00 00"
                             "00 00");
  CTestShape a, b;
  a.m_corners = 7;
  b.m_corners = 9;
  EXPECT_EQ(Stored([&](CArchive& ar) { ar << &a << &a << &b << static_cast<CObject*>(nullptr); }), expected);

  LoadFrom(expected, [](CArchive& ar) {
    CTestShape* first = nullptr;
    CTestShape* again = nullptr;
    CObject* second = nullptr;
    CObject* none = reinterpret_cast<CObject*>(1);
    ar >> first >> again >> second >> none;
    std::unique_ptr<CTestShape> ownFirst(first);
    std::unique_ptr<CObject> ownSecond(second);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_corners, 7);
    EXPECT_EQ(again, first);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(static_cast<CTestShape*>(second)->m_corners, 9);
    EXPECT_EQ(none, nullptr);
  });
}

TEST(ObjectRecords, DamagedRecordsAreRefused)
{
  struct Case {
    const char* what;
    const char* bytes;
    int cause;
  };
  const Case cases[] = {
      {"unknown class name", "FF FF 01 00 03 00 43 58 79", CArchiveException::badClass},
      {"schema of another version", "FF FF 02 00 0A 00 43 54 65 73 74 53 68 61 70 65 07 00 00 00",
       CArchiveException::badSchema},
      {"reference to an object never read", "05 00", CArchiveException::badIndex},
      {"reference to a class never read", "03 80", CArchiveException::badIndex},
      {"class name longer than any class", "FF FF 01 00 FF 00", CArchiveException::badClass},
      {"record cut short", "FF FF 01 00 0A 00 43 54", CArchiveException::badClass},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArchiveCause([&] {
                LoadFrom(Hex(c.bytes), [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CTestShape)); });
              }),
              c.cause)
        << c.what;
  }
  // An object of an unrelated class where a shape is expected.
  const Bytes unrelated =
      Hex("FF FF 03 00 0E 00") + Bytes{'C', 'T', 'e', 's', 't', 'V', 'e', 'r', 's', 'i', 'o', 'n', 'e', 'd'};
  EXPECT_EQ(ArchiveCause([&] {
              LoadFrom(unrelated, [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CTestShape)); });
            }),
            CArchiveException::badClass);
}

TEST(ObjectRecords, VersionableClassesReceiveTheStoredSchema)
{
  const Bytes older = Hex("FF FF 02 00 0E 00") + Bytes{'C', 'T', 'e', 's', 't', 'V', 'e', 'r', 's', 'i', 'o', 'n', 'e', 'd'};
  LoadFrom(older, [](CArchive& ar) {
    std::unique_ptr<CObject> object(ar.ReadObject(nullptr));
    auto* versioned = DYNAMIC_DOWNCAST(CTestVersioned, object.get());
    ASSERT_NE(versioned, nullptr);
    EXPECT_EQ(versioned->m_loadedSchema, 2u);
  });
}

TEST(ObjectRecords, NestingIsBoundedAgainstFilesBuiltToExhaustTheStack)
{
  // A node (new class record), then nodes by class reference, each holding the next, ended by null.
  auto nested = [](int depth) {
    Bytes bytes = Hex("FF FF 01 00 09 00") + Bytes{'C', 'T', 'e', 's', 't', 'N', 'o', 'd', 'e'};
    for (int i = 1; i < depth; ++i) {
      bytes = bytes + Hex("01 80");
    }
    return bytes + Hex("00 00");
  };
  LoadFrom(nested(3), [](CArchive& ar) {
    std::unique_ptr<CObject> root(ar.ReadObject(RUNTIME_CLASS(CTestNode)));
    auto* second = static_cast<CTestNode*>(static_cast<CTestNode*>(root.get())->m_child);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->m_child, nullptr);
    EXPECT_EQ(static_cast<CTestNode*>(second->m_child)->m_child, nullptr);
  });
  EXPECT_EQ(ArchiveCause([&] {
              LoadFrom(nested(5000), [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CTestNode)); });
            }),
            CArchiveException::genericException);
}

}  // namespace
