// libFuzzer target: the named-value persistence loading saved state it must not trust, in both forms. The
// first byte picks the form. The archive form reads the rest as an archive's bytes; the registry form reads it
// as records that fill the section's keys inside a write batch that is never committed, so nothing reaches the
// disk. Whatever the state, loading fills the settings or fails (the archive form may raise its error); it never
// crashes, hangs, leaks or allocates what the state merely claims. What loads is saved back in the same form, so
// the writers run over every shape the readers accept.
#include "platform/base/profile.h"
#include "platform/base/registry.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/paint/prop_exchange.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

class CFuzzPane : public CObject {
  DECLARE_SERIAL(CFuzzPane)
};
IMPLEMENT_SERIAL(CFuzzPane, CObject, 1)

class CFuzzOther : public CObject {
  DECLARE_SERIAL(CFuzzOther)
};
IMPLEMENT_SERIAL(CFuzzOther, CObject, 1)

// A list kept as one serialised blob, read as a careful object reads its count.
class CFuzzPoints : public CObject {
public:
  std::vector<int> points;
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar.WriteCount(points.size());
      for (int p : points) {
        ar << p;
      }
      return;
    }
    const DWORD_PTR count = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 4);
    points.resize(count);
    for (int& p : points) {
      ar >> p;
    }
  }
};

namespace {

constexpr char kAppKey[] = "Software\\Marvesta\\Tesmira Road";
constexpr char kSection[] = "Fuzz";

// Every kind of value, a section with an object made by class name, a serialised object, and numbered sections
// in both count modes, as the bars and the pane layout keep theirs.
struct Settings {
  int width = 100;
  BOOL visible = TRUE;
  CString title;
  CRect position;
  CSize size;
  std::vector<BYTE> data;
  BYTE fixed[8] = {};
  CRuntimeClass* kind = RUNTIME_CLASS(CFuzzPane);
  std::unique_ptr<CObject> pane;
  CFuzzPoints points;
  std::vector<int> items;
  std::vector<int> rows;
  BYTE raw[16] = {};

  void DoPropExchange(CTKPropExchange* pPX)
  {
    pPX->ExchangeSchema();
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
    // Into a buffer of the caller's: what does not fit is refused.
    BYTE* into = fixed;
    DWORD capacity = sizeof fixed;
    PX_Blob(pPX, "Fixed", into, capacity);

    PX_RuntimeClass(pPX, "Kind", kind, RUNTIME_CLASS(CFuzzPane));
    {
      CTKPropExchangeSectionPtr pSection(pPX->GetSection("Pane"));
      CObject* pObject = pane.get();
      if (pSection->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CFuzzPane)) && pSection->IsLoading()) {
        pane.reset(pObject);
      }
    }
    PX_Serialize(pPX, "Points", &points);

    // Sections are made as they are read, never all at once from a stored count.
    {
      CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Item"));
      POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(items.size()), FALSE);
      if (pPX->IsLoading()) {
        items.clear();
      }
      for (std::size_t i = 0; pos != nullptr; ++i) {
        CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
        if (pPX->IsLoading()) {
          items.push_back(0);
        }
        PX_Int(pSection.get(), "Id", items[i], 0);
      }
    }
    {
      CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Row"));
      POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(rows.size()), TRUE);
      if (pPX->IsLoading()) {
        rows.clear();
      }
      for (std::size_t i = 0; pos != nullptr; ++i) {
        CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
        if (pPX->IsLoading()) {
          rows.push_back(0);
        }
        PX_Int(pSection.get(), "Id", rows[i], 0);
      }
    }
    if (pPX->IsLoading()) {
      pPX->Read("Raw", raw, sizeof raw);
    } else {
      pPX->Write("Raw", raw, sizeof raw);
    }
  }
};

void FuzzArchive(const std::uint8_t* data, std::size_t size)
{
  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  Settings settings;
  bool loaded = false;
  {
    CArchive ar(&file, CArchive::load);
    try {
      CTKPropExchangeArchive px(ar);
      settings.DoPropExchange(&px);
      loaded = true;
    } catch (CException* e) {
      e->Delete();
    }
    ar.Abort();
  }
  if (loaded) {
    CMemFile out;
    CArchive ar(&out, CArchive::store);
    CTKPropExchangeArchive px(ar);
    settings.DoPropExchange(&px);
    ar.Close();
  }
}

// Records: key, name, type, length, then that many bytes of data.
void FuzzRegistry(HKEY app, const std::uint8_t* data, std::size_t size)
{
  static const char* const kKeys[] = {"",          "\\Pane",  "\\Item0",  "\\Item1", "\\Item2",
                                      "\\Item7",   "\\Row0",  "\\Row1",   "\\Item00", "\\Itemx",
                                      "\\Item4294967295"};
  static const char* const kNames[] = {"Schema", "Width",  "Visible", "Title", "Position", "Size", "Data",
                                       "Fixed",  "Kind",   "Class",   "Points", "Count",   "Id",   "Raw"};
  static const DWORD kTypes[] = {REG_DWORD, REG_SZ, REG_BINARY};

  platform::ProfileWriteBatch batch("Marvesta", "Tesmira Road");
  std::size_t at = 0;
  while (at + 4 <= size) {
    const std::string path = std::string(kSection) + kKeys[data[at] % std::size(kKeys)];
    const char* name = kNames[data[at + 1] % std::size(kNames)];
    const DWORD type = kTypes[data[at + 2] % std::size(kTypes)];
    const std::size_t length = std::min<std::size_t>(data[at + 3], size - at - 4);
    HKEY key = nullptr;
    if (RegCreateKeyEx(app, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                       nullptr) == ERROR_SUCCESS) {
      RegSetValueEx(key, name, 0, type, data + at + 4, static_cast<DWORD>(length));
      RegCloseKey(key);
    }
    at += 4 + length;
  }

  Settings settings;
  {
    CTKPropExchangeSectionPtr px(new CTKPropExchangeRegistry(TRUE, app, kSection));
    settings.DoPropExchange(px.get());
  }
  {
    CTKPropExchangeSectionPtr px(new CTKPropExchangeRegistry(FALSE, app, kSection));
    // Writing and emptying hundreds of sections again is slow, not unsafe: the save runs for the lists a
    // program writes, and the fuzzer keeps its pace.
    if (settings.items.size() + settings.rows.size() <= 32) {
      settings.DoPropExchange(px.get());
    }
    // Keys made without values live in the process: gone, the next input starts from nothing.
    px->EmptySection();
  }
  // The batch is abandoned: nothing of this input is written.
}

}  // namespace

// The profile's folder lies in the working folder; only its lock file is ever made there.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  mkdir("profile", 0700);
  char folder[4096];
  if (getcwd(folder, sizeof folder - 16) != nullptr) {
    setenv("TESMIRA_PROFILE_DIR", (std::string(folder) + "/profile").c_str(), 1);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0) {
    return 0;
  }
  if ((data[0] & 1) == 0) {
    FuzzArchive(data + 1, size - 1);
    return 0;
  }
  static HKEY app = [] {
    HKEY key = nullptr;
    RegCreateKeyEx(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }();
  FuzzRegistry(app, data + 1, size - 1);
  return 0;
}
