// One exchange routine saves and loads the same settings through the registry and through an archive; the
// archive's bytes and the registry's values are the ones the encodings name, and stored state is hostile input.
#include "toolkit/paint/prop_exchange.h"

#include "platform/base/profile.h"
#include "platform/mfc-core/memfile.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr char kAppKey[] = "Software\\Marvesta\\Tesmira Road";

struct Item {
  int id = 0;
  friend bool operator==(const Item&, const Item&) = default;
};

// The settings of a bar as a toolkit object would keep them.
struct BarSettings {
  int width = 100;
  BOOL visible = TRUE;
  CString title;
  CRect position;
  CSize size;
  std::vector<BYTE> data;
  std::vector<Item> items;

  void DoPropExchange(CTKPropExchange* pPX)
  {
    PX_Int(pPX, "Width", width, 100);
    PX_Bool(pPX, "Visible", visible, TRUE);
    PX_String(pPX, "Title", title, "");
    PX_Rect(pPX, "Position", position, CRect());
    PX_Size(pPX, "Size", size, CSize());
    BYTE* bytes = pPX->IsLoading() ? nullptr : data.data();
    DWORD count = static_cast<DWORD>(data.size());
    if (PX_Blob(pPX, "Data", bytes, count) && pPX->IsLoading()) {
      data.assign(bytes, bytes + count);
      std::free(bytes);
    }
    CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Item"));
    POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(items.size()));
    if (pPX->IsLoading()) {
      items.clear();
    }
    for (std::size_t i = 0; pos != nullptr; ++i) {
      CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
      if (pPX->IsLoading()) {
        items.emplace_back();
      }
      PX_Int(pSection.get(), "Id", items[i].id, 0);
    }
  }

  bool operator==(const BarSettings& o) const
  {
    return width == o.width && visible == o.visible && title == o.title && position == o.position &&
           size.cx == o.size.cx && size.cy == o.size.cy && data == o.data && items == o.items;
  }
};

BarSettings Sample()
{
  BarSettings s;
  s.width = 7;
  s.visible = TRUE;
  s.title = "Дорога";
  s.position = CRect(1, 2, 3, 4);
  s.size = CSize(5, 6);
  s.data = {0xAA, 0xBB};
  s.items = {{10}, {20}};
  return s;
}

// Sample() in the archive form, written out by hand from the encodings.
const std::vector<BYTE> kSampleArchiveBytes = {
    0x07, 0x00, 0x00, 0x00,                                      // Width 7
    0x01, 0x00, 0x00, 0x00,                                      // Visible TRUE
    0x06, 0xC4, 0xEE, 0xF0, 0xEE, 0xE3, 0xE0,                    // Title: length 6, "Дорога" in cp1251
    0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,              // Position left, top
    0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,              //   right, bottom
    0x05, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00,              // Size cx, cy
    0x02, 0x00, 0xAA, 0xBB,                                      // Data: compact count 2, the bytes
    0x02, 0x00,                                                  // Item count, compact
    0x0A, 0x00, 0x00, 0x00,                                      // Item0 Id 10
    0x14, 0x00, 0x00, 0x00,                                      // Item1 Id 20
};

std::vector<BYTE> SaveToArchive(BarSettings& s)
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CTKPropExchangeArchive px(ar);
    s.DoPropExchange(&px);
    ar.Close();
  }
  const auto length = static_cast<std::size_t>(file.GetLength());
  return std::vector<BYTE>(file.GetData(), file.GetData() + length);
}

class PropExchange : public ::testing::Test {
public:
  void SetUp() override
  {
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app_, nullptr),
              static_cast<LSTATUS>(ERROR_SUCCESS));
  }
  void TearDown() override { RegCloseKey(app_); }

  void Save(LPCTSTR section, const std::function<void(CTKPropExchange*)>& exchange)
  {
    auto* px = new CTKPropExchangeRegistry(FALSE, app_, section);
    exchange(px);
    px->InternalRelease();
  }
  void Load(LPCTSTR section, const std::function<void(CTKPropExchange*)>& exchange)
  {
    auto* px = new CTKPropExchangeRegistry(TRUE, app_, section);
    exchange(px);
    px->InternalRelease();
  }

  // The section's values as "name=kind:value", in name order.
  std::vector<std::string> Stored(const std::string& section)
  {
    std::vector<std::string> out;
    HKEY key = nullptr;
    if (RegOpenKeyEx(app_, section.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return {"<no key>"};
    }
    for (DWORD i = 0;; ++i) {
      char name[256];
      BYTE data[256];
      DWORD nameSize = sizeof name;
      DWORD dataSize = sizeof data;
      DWORD type = 0;
      if (RegEnumValue(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
        break;
      }
      std::string value;
      if (type == REG_DWORD) {
        int n = 0;
        std::memcpy(&n, data, 4);
        value = "dword:" + std::to_string(n);
      } else if (type == REG_SZ) {
        value = "sz:" + std::string(reinterpret_cast<const char*>(data)) + "|" + std::to_string(dataSize);
      } else {
        value = "bin:";
        for (DWORD b = 0; b < dataSize; ++b) {
          char hex[3];
          std::snprintf(hex, sizeof hex, "%02X", data[b]);
          value += hex;
        }
      }
      out.push_back(std::string(name) + "=" + value);
    }
    RegCloseKey(key);
    return out;
  }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  HKEY app_ = nullptr;
};

TEST_F(PropExchange, OneRoutineRoundTripsThroughTheArchiveInTheHandWrittenBytes)
{
  BarSettings saved = Sample();
  EXPECT_EQ(SaveToArchive(saved), kSampleArchiveBytes);

  std::vector<BYTE> bytes = kSampleArchiveBytes;
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  CTKPropExchangeArchive px(ar);
  BarSettings loaded;
  loaded.DoPropExchange(&px);
  EXPECT_TRUE(loaded == Sample());
  EXPECT_TRUE(ar.IsBufferEmpty());
}

TEST_F(PropExchange, ACutShortArchiveRaisesTheArchivesErrorAndLeaksNothing)
{
  for (std::size_t length = 0; length < kSampleArchiveBytes.size(); ++length) {
    SCOPED_TRACE(length);
    std::vector<BYTE> bytes(kSampleArchiveBytes.begin(), kSampleArchiveBytes.begin() + length);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CTKPropExchangeArchive px(ar);
    BarSettings loaded;
    try {
      loaded.DoPropExchange(&px);
      ADD_FAILURE() << "a cut-short archive loaded";
    } catch (CArchiveException* e) {
      EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
      e->Delete();
    }
    ar.Abort();
  }
}

TEST_F(PropExchange, OneRoutineRoundTripsThroughTheRegistryAsNamedValues)
{
  BarSettings saved = Sample();
  Save("CommandBars\\Bar0", [&](CTKPropExchange* px) { saved.DoPropExchange(px); });
  EXPECT_EQ(Stored("CommandBars\\Bar0"),
            (std::vector<std::string>{"Count=dword:2", "Data=bin:AABB", "Position=sz:1, 2, 3, 4|11",
                                      "Size=sz:5, 6|5", "Title=sz:Дорога|7", "Width=dword:7"}));
  EXPECT_EQ(Stored("CommandBars\\Bar0\\Item1"), (std::vector<std::string>{"Id=dword:20"}));

  BarSettings loaded;
  Load("CommandBars\\Bar0", [&](CTKPropExchange* px) { loaded.DoPropExchange(px); });
  EXPECT_TRUE(loaded == Sample());

  // A save is one atomic write when the caller holds a batch.
  platform::ProfileStore store("Marvesta", "Tesmira Road");
  const std::size_t writesBefore = platform::ProfileFileWritesForTest();
  {
    platform::ProfileWriteBatch batch(store);
    BarSettings other = Sample();
    other.items = {{1}, {2}, {3}, {4}};
    Save("CommandBars\\Bar1", [&](CTKPropExchange* px) { other.DoPropExchange(px); });
    EXPECT_TRUE(batch.Commit());
  }
  EXPECT_EQ(platform::ProfileFileWritesForTest(), writesBefore + 1);
}

TEST_F(PropExchange, RegistryRules)
{
  struct Case {
    const char* what;
    std::vector<std::string> before;  // "name=int" or "name=\"text\"" stored first
    std::function<void(PropExchange&)> act;
    std::vector<std::string> after;
  };
  const std::vector<Case> cases{
      {"a value equal to its default is not stored, and a stored copy goes",
       {"Width=5"},
       [](PropExchange& t) { t.Save("S", [](CTKPropExchange* px) { int w = 100; PX_Int(px, "Width", w, 100); }); },
       {}},
      {"a count of 0 deletes the stored count",
       {"Count=3"},
       [](PropExchange& t) { t.Save("S", [](CTKPropExchange* px) { px->WriteCount(0); }); },
       {}},
      {"a rectangle is text",
       {},
       [](PropExchange& t) {
         t.Save("S", [](CTKPropExchange* px) { CRect rc(1, 2, 3, 4); PX_Rect(px, "Rc", rc, CRect()); });
       },
       {"Rc=sz:1, 2, 3, 4|11"}},
      {"a rectangle of three numbers loads as the default",
       {"Rc=\"1, 2, 3\""},
       [](PropExchange& t) {
         t.Load("S", [](CTKPropExchange* px) {
           CRect rc(9, 9, 9, 9);
           EXPECT_TRUE(PX_Rect(px, "Rc", rc, CRect(0, 0, 8, 8)));
           EXPECT_EQ(rc, CRect(0, 0, 8, 8));
         });
       },
       {"Rc=sz:1, 2, 3|8"}},
      {"a number stored as text is not a number: the default",
       {"Width=\"12\""},
       [](PropExchange& t) {
         t.Load("S", [](CTKPropExchange* px) {
           int w = 0;
           EXPECT_TRUE(PX_Int(px, "Width", w, 100));
           EXPECT_EQ(w, 100);
         });
       },
       {"Width=sz:12|3"}},
      {"with both default flags cleared every value is written and a missing one is left alone",
       {},
       [](PropExchange& t) {
         t.Save("S", [](CTKPropExchange* px) {
           px->m_bUseDefaultOnSave = FALSE;
           int w = 100;
           PX_Int(px, "Width", w, 100);
         });
         t.Load("S", [](CTKPropExchange* px) {
           px->m_bUseDefaultOnLoad = FALSE;
           int h = 42;
           EXPECT_FALSE(PX_Int(px, "Height", h, 0));
           EXPECT_EQ(h, 42);
         });
       },
       {"Width=dword:100"}},
      {"emptying a section drops its values and sections before the new ones",
       {"Old=1", "Sub\\Deep=2"},
       [](PropExchange& t) {
         t.Save("S", [](CTKPropExchange* px) {
           px->EmptySection();
           int w = 100;
           PX_Int(px, "Width", w, 100);
           CString title = "x";
           PX_String(px, "Title", title, "");
         });
         EXPECT_EQ(t.Stored("S\\Sub"), std::vector<std::string>{"<no key>"});
       },
       {"Title=sz:x|2"}},
      {"a class is stored by name, its default not at all; an unknown name loads as none",
       {"Unknown=\"CNoSuchClass\""},
       [](PropExchange& t) {
         t.Save("S", [](CTKPropExchange* px) {
           CRuntimeClass* pClass = RUNTIME_CLASS(CMemFile);
           PX_RuntimeClass(px, "Class", pClass, RUNTIME_CLASS(CCmdTarget));
           CRuntimeClass* pDefault = RUNTIME_CLASS(CCmdTarget);
           PX_RuntimeClass(px, "Other", pDefault, RUNTIME_CLASS(CCmdTarget));
         });
         t.Load("S", [](CTKPropExchange* px) {
           CRuntimeClass* pClass = nullptr;
           EXPECT_TRUE(PX_RuntimeClass(px, "Class", pClass, nullptr));
           EXPECT_EQ(pClass, RUNTIME_CLASS(CMemFile));
           EXPECT_FALSE(PX_RuntimeClass(px, "Unknown", pClass, RUNTIME_CLASS(CCmdTarget)));
           EXPECT_EQ(pClass, nullptr);
         });
       },
       {"Class=sz:CMemFile|9", "Unknown=sz:CNoSuchClass|13"}},
  };
  platform::ProfileStore store("Marvesta", "Tesmira Road");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.DeleteSection("S");
    for (const std::string& entry : c.before) {
      const std::size_t eq = entry.find('=');
      std::string name = entry.substr(0, eq);
      std::string value = entry.substr(eq + 1);
      std::string section = "S";
      if (const std::size_t slash = name.rfind('\\'); slash != std::string::npos) {
        section += "\\" + name.substr(0, slash);
        name = name.substr(slash + 1);
      }
      if (value.front() == '"') {
        store.WriteProfileString(section.c_str(), name.c_str(), value.substr(1, value.size() - 2).c_str());
      } else {
        store.WriteProfileInt(section.c_str(), name.c_str(), std::stoi(value));
      }
    }
    c.act(*this);
    const std::vector<std::string> stored = Stored("S");
    EXPECT_EQ(stored == std::vector<std::string>{"<no key>"} ? std::vector<std::string>{} : stored, c.after);
  }
}

TEST_F(PropExchange, LoadingNeverCreatesAKeyAndEveryValueTakesItsDefault)
{
  BarSettings loaded;
  loaded.width = 1;
  Load("Missing\\Bar", [&](CTKPropExchange* px) {
    loaded.DoPropExchange(px);
    CTKPropExchange* pSection = px->GetSection("Child");
    int n = 3;
    EXPECT_TRUE(PX_Int(pSection, "N", n, 9));
    EXPECT_EQ(n, 9);
    pSection->InternalRelease();
  });
  EXPECT_EQ(loaded.width, 100);
  EXPECT_TRUE(loaded.items.empty());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(app_, "Missing", 0, KEY_READ, &key), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PropExchange, StoredCountsAreBoundedByWhatExists)
{
  platform::ProfileStore store("Marvesta", "Tesmira Road");
  // Sections saved with only default values leave no key: Item1 is such a gap and must not end the list. A count
  // this large makes no more than a plausible list...
  store.WriteProfileInt("Bar", "Count", 2000000000);
  store.WriteProfileInt("Bar\\Item0", "Id", 10);
  store.WriteProfileInt("Bar\\Item2", "Id", 30);
  BarSettings loaded;
  Load("Bar", [&](CTKPropExchange* px) { loaded.DoPropExchange(px); });
  ASSERT_EQ(loaded.items.size(), kTKTrustedCount);
  EXPECT_EQ(loaded.items[0].id, 10);
  EXPECT_EQ(loaded.items[1].id, 0);
  EXPECT_EQ(loaded.items[2].id, 30);
  // ...unless the sections go further.
  store.WriteProfileInt("Bar\\Item1500", "Id", 40);
  Load("Bar", [&](CTKPropExchange* px) {
    CTKPropExchangeEnumeratorPtr pEnumerator(px->GetEnumerator("Item"));
    EXPECT_NE(pEnumerator->GetPosition(0, FALSE), nullptr);
    EXPECT_EQ(pEnumerator->GetCount(), 1501u);
  });

  // A bare count of values likewise: believed up to the trusted count, beyond it capped by what the key holds.
  store.WriteProfileInt("Values", "Count", 1000000);
  for (int i = 0; i < 300; ++i) {
    store.WriteProfileString("Values", ("Item" + std::to_string(i)).c_str(), "a");
  }
  Load("Values", [&](CTKPropExchange* px) { EXPECT_EQ(px->ReadCount(), 301u); });
  store.WriteProfileInt("Values", "Count", 200);
  Load("Values", [&](CTKPropExchange* px) { EXPECT_EQ(px->ReadCount(), 200u); });
  store.WriteProfileInt("Values", "Count", -5);
  Load("Values", [&](CTKPropExchange* px) { EXPECT_EQ(px->ReadCount(), 0u); });
}

// The last entry of a list may be all defaults, which leaves no key behind once the process has gone: its count
// alone keeps it.
TEST_F(PropExchange, AListEndingInDefaultsKeepsItsLengthAcrossARestart)
{
  BarSettings saved = Sample();
  saved.items = {{10}, {0}, {0}};
  Save("Trail", [&](CTKPropExchange* px) { saved.DoPropExchange(px); });

  TempFolder restarted;
  std::filesystem::copy_file(folder_.Path() + "/profile", restarted.Path() + "/profile");
  ScopedEnv env("TESMIRA_PROFILE_DIR", restarted.Path());
  HKEY app = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app, nullptr),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(app, "Trail\\Item1", 0, KEY_READ, &key), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  BarSettings loaded;
  auto* px = new CTKPropExchangeRegistry(TRUE, app, "Trail");
  loaded.DoPropExchange(px);
  px->InternalRelease();
  RegCloseKey(app);
  EXPECT_EQ(loaded.items, saved.items);
}

TEST_F(PropExchange, ABlobLargerThanTheCallersBufferIsRefused)
{
  BYTE stored[6] = {1, 2, 3, 4, 5, 6};
  Save("Blob", [&](CTKPropExchange* px) { px->Write("Data", stored, sizeof stored); });
  Load("Blob", [&](CTKPropExchange* px) {
    BYTE small[4] = {9, 9, 9, 9};
    BYTE* pSmall = small;
    DWORD size = sizeof small;
    EXPECT_FALSE(PX_Blob(px, "Data", pSmall, size));
    EXPECT_EQ(small[0], 9);
    EXPECT_EQ(px->Read("Data", small, sizeof small), 0u);
    BYTE exact[6] = {};
    EXPECT_EQ(px->Read("Data", exact, sizeof exact), 6u);
    EXPECT_EQ(std::memcmp(exact, stored, 6), 0);
  });

  // The archive form: a count larger than the archive holds is refused before anything is allocated.
  std::vector<BYTE> bytes = {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 0xAA};
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  CTKPropExchangeArchive px(ar);
  BYTE* pData = nullptr;
  DWORD size = 0;
  try {
    PX_Blob(&px, "Data", pData, size);
    ADD_FAILURE() << "a blob longer than its archive was read";
  } catch (CArchiveException* e) {
    EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
    e->Delete();
  }
  EXPECT_EQ(pData, nullptr);
}

// An object that keeps its own bytes in a nested archive.
class CTestPoints : public CObject {
public:
  std::vector<int> points;
  bool failLoad = false;
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar.WriteCount(points.size());
      for (int p : points) {
        ar << p;
      }
    } else {
      const DWORD_PTR count = ar.ReadCount();
      ar.EnsureAvailable(count * 4);
      points.resize(count);
      for (int& p : points) {
        ar >> p;
      }
    }
  }
};

TEST_F(PropExchange, SerializedObjectsTravelAsOneBlobAndADamagedOneLoadsAsFailure)
{
  CTestPoints saved;
  saved.points = {3, 1, 4};
  Save("Ser", [&](CTKPropExchange* px) { EXPECT_TRUE(PX_Serialize(px, "Points", &saved)); });
  EXPECT_EQ(Stored("Ser"), (std::vector<std::string>{"Points=bin:0300030000000100000004000000"}));
  CTestPoints loaded;
  Load("Ser", [&](CTKPropExchange* px) {
    EXPECT_TRUE(PX_Serialize(px, "Points", &loaded));
    EXPECT_FALSE(PX_Serialize(px, "Absent", &loaded));
  });
  EXPECT_EQ(loaded.points, saved.points);

  // A store that fails the write is a failed save, and the earlier value stays.
  CTestPoints other;
  other.points = {2, 7};
  platform::SetProfileValueWriteFaultForTest(1);
  Save("Ser", [&](CTKPropExchange* px) { EXPECT_FALSE(PX_Serialize(px, "Points", &other)); });
  platform::SetProfileValueWriteFaultForTest(std::nullopt);
  Load("Ser", [&](CTKPropExchange* px) { EXPECT_TRUE(PX_Serialize(px, "Points", &loaded)); });
  EXPECT_EQ(loaded.points, saved.points);

  const BYTE damaged[] = {0x09, 0x00, 0x01, 0x00, 0x00, 0x00};
  Save("Ser", [&](CTKPropExchange* px) { px->Write("Points", damaged, sizeof damaged); });
  Load("Ser", [&](CTKPropExchange* px) { EXPECT_FALSE(PX_Serialize(px, "Points", &loaded)); });
}

}  // namespace

// Panes made by class name, as layouts make them.
class CTestPane : public CObject {
  DECLARE_SERIAL(CTestPane)
};
IMPLEMENT_SERIAL(CTestPane, CObject, 1)
class CTestOther : public CObject {
  DECLARE_SERIAL(CTestOther)
};
IMPLEMENT_SERIAL(CTestOther, CObject, 1)

namespace {

TEST_F(PropExchange, ObjectInstancesAreMadeByClassNameAndOfTheKindAsked)
{
  // Archive: the class record, then a later reference to the object is the index it was registered under.
  CTestPane pane;
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CTKPropExchangeArchive px(ar);
    CObject* pObject = &pane;
    EXPECT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTestPane)));
    ar << static_cast<const CObject*>(&pane);
    ar.Close();
  }
  const std::vector<BYTE> expected = {0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C', 'T', 'e', 's', 't',
                                      'P',  'a',  'n',  'e',  0x02, 0x00};
  const auto length = static_cast<std::size_t>(file.GetLength());
  EXPECT_EQ(std::vector<BYTE>(file.GetData(), file.GetData() + length), expected);

  std::vector<BYTE> bytes = expected;
  CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive load(&in, CArchive::load);
  CTKPropExchangeArchive pxLoad(load);
  CObject* pLoaded = nullptr;
  EXPECT_TRUE(pxLoad.ExchangeObjectInstance(&pLoaded, RUNTIME_CLASS(CTestPane)));
  ASSERT_NE(pLoaded, nullptr);
  EXPECT_TRUE(pLoaded->IsKindOf(RUNTIME_CLASS(CTestPane)));
  CObject* pReference = nullptr;
  load >> pReference;
  EXPECT_EQ(pReference, pLoaded);
  delete pLoaded;

  // Registry: the default class is not stored; a stored class of another kind makes nothing.
  Save("Obj", [&](CTKPropExchange* px) {
    CObject* pObject = &pane;
    EXPECT_TRUE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTestPane)));
  });
  EXPECT_EQ(Stored("Obj"), std::vector<std::string>{});
  Load("Obj", [&](CTKPropExchange* px) {
    CObject* pObject = nullptr;
    EXPECT_TRUE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTestPane)));
    EXPECT_TRUE(pObject != nullptr && pObject->IsKindOf(RUNTIME_CLASS(CTestPane)));
    delete pObject;
  });
  platform::ProfileStore("Marvesta", "Tesmira Road").WriteProfileString("Obj", "Class", "CTestOther");
  Load("Obj", [&](CTKPropExchange* px) {
    CObject* pObject = &pane;
    EXPECT_FALSE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTestPane)));
    EXPECT_EQ(pObject, nullptr);
  });
}

}  // namespace
