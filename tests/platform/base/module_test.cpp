#include "platform/base/module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

int FakeInitA(int x) { return x + 1; }
int FakeClose() { return 7; }

TEST(Modules, TableModuleLoadsByNameWithoutASharedObject)
{
  platform::RegisterModule("QorAnalytics", {{"InitA", reinterpret_cast<void*>(&FakeInitA)},
                                            {"Close", reinterpret_cast<void*>(&FakeClose)}});
  HMODULE module = LoadLibrary("/opt/tesmira/Bin\\QORANALYTICS.DLL");
  ASSERT_NE(module, nullptr);
  auto initA = reinterpret_cast<int (*)(int)>(GetProcAddress(module, "InitA"));
  ASSERT_NE(initA, nullptr);
  EXPECT_EQ(initA(41), 42);
  EXPECT_EQ(GetProcAddress(module, "SendInfo"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  // The same module again: the same handle, one more reference.
  EXPECT_EQ(LoadLibrary("qoranalytics"), module);
  EXPECT_EQ(GetModuleHandle("QorAnalytics.dll"), module);
  char name[MAX_PATH];
  EXPECT_EQ(GetModuleFileName(module, name, MAX_PATH), std::strlen("/opt/tesmira/Bin\\QORANALYTICS.DLL"));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_NE(GetProcAddress(module, "Close"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  // Unloaded now.
  EXPECT_EQ(GetProcAddress(module, "Close"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(platform::UnregisterModule("QorAnalytics.dll"));
  EXPECT_EQ(LoadLibrary("QorAnalytics.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(Modules, NamesWithOtherExtensionsKeepThem)
{
  platform::RegisterModule("QorRoad.ru", {});
  HMODULE module = LoadLibrary("QorRoad.ru");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadLibrary("QorRoad"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  platform::UnregisterModule("QorRoad.ru");
}

TEST(Modules, MissingModuleSetsModNotFound)
{
  SetLastError(0);
  EXPECT_EQ(LoadLibrary("/no/such/library.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibrary(""), nullptr);
}

TEST(Modules, SharedObjectsLoadThroughDlopen)
{
  HMODULE libm = LoadLibrary("libm.so.6");
  ASSERT_NE(libm, nullptr);
  auto cosine = reinterpret_cast<double (*)(double)>(GetProcAddress(libm, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(GetProcAddress(libm, "no_such_function_here"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(LoadLibrary("libm.so.6"), libm);
  char name[MAX_PATH];
  EXPECT_GT(GetModuleFileName(libm, name, MAX_PATH), 0u);
  EXPECT_NE(std::strstr(name, "libm"), nullptr);
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_FALSE(FreeLibrary(libm));
}

TEST(Modules, TheProgramsOwnFileName)
{
  char name[MAX_PATH];
  DWORD length = GetModuleFileName(nullptr, name, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_NE(std::strstr(name, "platform_base_tests"), nullptr);
  EXPECT_EQ(GetModuleHandle(nullptr), GetModuleHandle(nullptr));
  // A short buffer gets what fits, terminated.
  char shortBuffer[4];
  EXPECT_EQ(GetModuleFileName(nullptr, shortBuffer, 4), 4u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::strlen(shortBuffer), 3u);
}

}  // namespace
