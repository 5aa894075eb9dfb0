#include "platform/com/comdef.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// {5E0D2B61-3C11-4A7B-9E55-0A1B2C3D4E01}
constexpr IID IID_ILampCounter{0x5E0D2B61, 0x3C11, 0x4A7B, {0x9E, 0x55, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x01}};
// {5E0D2B61-3C11-4A7B-9E55-0A1B2C3D4E02}
constexpr CLSID CLSID_LampCounter{0x5E0D2B61, 0x3C11, 0x4A7B, {0x9E, 0x55, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x02}};
// {5E0D2B61-3C11-4A7B-9E55-0A1B2C3D4E03}
constexpr CLSID CLSID_Unknown{0x5E0D2B61, 0x3C11, 0x4A7B, {0x9E, 0x55, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x03}};

struct ILampCounter : IUnknown {
  virtual HRESULT Count(LONG* lamps) = 0;

protected:
  ~ILampCounter() = default;
};
_COM_SMARTPTR_TYPEDEF(ILampCounter, IID_ILampCounter);

std::atomic<int> g_alive{0};

class LampCounter final : public ILampCounter {
public:
  LampCounter() { ++g_alive; }
  ~LampCounter() { --g_alive; }
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == IID_IUnknown || iid == IID_ILampCounter) {
      *out = static_cast<ILampCounter*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override
  {
    ULONG left = --m_refs;
    if (left == 0)
      delete this;
    return left;
  }
  HRESULT Count(LONG* lamps) override
  {
    *lamps = 3;
    return S_OK;
  }

private:
  std::atomic<ULONG> m_refs{0};
};

HRESULT CreateLampCounter(REFIID iid, void** out)
{
  auto* object = new LampCounter;
  object->AddRef();
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

class Com : public testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    platform::RegisterComClass(CLSID_LampCounter, CreateLampCounter, "Tesmira.LampCounter");
  }
  void TearDown() override
  {
    platform::UnregisterComClass(CLSID_LampCounter);
    CoUninitialize();
    EXPECT_FALSE(platform::ComInitializedOnThisThread());
    EXPECT_EQ(g_alive, 0);
  }
};

TEST(ComInit, CountedPerThread)
{
  EXPECT_FALSE(platform::ComInitializedOnThisThread());
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  std::thread other([] {
    EXPECT_FALSE(platform::ComInitializedOnThisThread());
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_Unknown, nullptr, CLSCTX_ALL, IID_IUnknown, &object), CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
  });
  other.join();
  OleUninitialize();
  EXPECT_TRUE(platform::ComInitializedOnThisThread());
  CoUninitialize();
  EXPECT_FALSE(platform::ComInitializedOnThisThread());
  // An unbalanced call does no harm.
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

TEST_F(Com, CreatesARegisteredClassWithOneReference)
{
  ILampCounter* counter = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_LampCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ILampCounter,
                             reinterpret_cast<void**>(&counter)),
            S_OK);
  LONG lamps = 0;
  EXPECT_EQ(counter->Count(&lamps), S_OK);
  EXPECT_EQ(lamps, 3);
  EXPECT_EQ(g_alive, 1);
  EXPECT_EQ(counter->AddRef(), 2u);
  EXPECT_EQ(counter->Release(), 1u);
  EXPECT_EQ(counter->Release(), 0u);
  EXPECT_EQ(g_alive, 0);
}

TEST_F(Com, CreationFailures)
{
  struct Case {
    const char* name;
    CLSID clsid;
    bool outer;
    DWORD context;
    IID iid;
    HRESULT hr;
  };
  LampCounter* outerObject = new LampCounter;
  outerObject->AddRef();
  const Case cases[] = {
      {"class not in the table", CLSID_Unknown, false, CLSCTX_ALL, IID_IUnknown, REGDB_E_CLASSNOTREG},
      {"out-of-process only", CLSID_LampCounter, false, CLSCTX_LOCAL_SERVER, IID_IUnknown, REGDB_E_CLASSNOTREG},
      {"aggregation", CLSID_LampCounter, true, CLSCTX_ALL, IID_IUnknown, CLASS_E_NOAGGREGATION},
      {"interface refused", CLSID_LampCounter, false, CLSCTX_ALL, IID_IDispatch, E_NOINTERFACE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(c.clsid, c.outer ? outerObject : nullptr, c.context, c.iid, &object), c.hr);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(CoCreateInstance(CLSID_LampCounter, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
  outerObject->Release();
  EXPECT_EQ(g_alive, 0);

  EXPECT_TRUE(platform::UnregisterComClass(CLSID_LampCounter));
  EXPECT_FALSE(platform::UnregisterComClass(CLSID_LampCounter));
  void* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_LampCounter, nullptr, CLSCTX_ALL, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
}

TEST_F(Com, ProgIdFindsTheClass)
{
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(u"tesmira.lampcounter", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_LampCounter);
  EXPECT_EQ(CLSIDFromProgID(u"Msxml2.NoSuchThing", &clsid), CO_E_CLASSSTRING);
}

TEST_F(Com, SmartPointerOwnsOneReference)
{
  {
    ILampCounterPtr counter;
    ASSERT_EQ(counter.CreateInstance(CLSID_LampCounter), S_OK);
    ILampCounterPtr second = counter;
    LONG lamps = 0;
    second->Count(&lamps);
    EXPECT_EQ(lamps, 3);
    // Asking through IUnknown gives the same object back.
    IUnknown* unknown = counter;
    ILampCounterPtr requeried(unknown);
    EXPECT_EQ(requeried.GetInterfacePtr(), counter.GetInterfacePtr());
    EXPECT_EQ(g_alive, 1);
    counter = nullptr;
    EXPECT_EQ(g_alive, 1);
  }
  EXPECT_EQ(g_alive, 0);

  ILampCounterPtr empty;
  try {
    LONG lamps;
    empty->Count(&lamps);
    FAIL() << "no exception";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
  }
  try {
    ILampCounterPtr missing(CLSID_Unknown);
    FAIL() << "no exception";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), REGDB_E_CLASSNOTREG);
  }
}

TEST(ComError, MessagesAndChecks)
{
  EXPECT_STREQ(_com_error(REGDB_E_CLASSNOTREG).ErrorMessage(), "Class not registered");
  EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80041234u)).ErrorMessage(), "Unknown error 0x80041234");
  EXPECT_EQ(_com_error(static_cast<HRESULT>(0x80040205u)).WCode(), 5);
  EXPECT_EQ(_com_error(E_FAIL).WCode(), 0);
  EXPECT_EQ(ComCheck(S_FALSE), S_FALSE);
  EXPECT_THROW(ComCheck(E_FAIL), _com_error);
}

}  // namespace
