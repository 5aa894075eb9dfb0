// libFuzzer target: the profile reader on arbitrary bytes, as the file the program finds at its start. Whatever the
// bytes, the store either reads them or sets the file aside and answers defaults; it never crashes, hangs or
// allocates what the file merely claims, and it can always write afterwards.
#include "platform/base/profile.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static const std::filesystem::path folder = [] {
    auto made = std::filesystem::temp_directory_path() / ("tesmira-profile-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(made);
    return made;
  }();
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    std::filesystem::remove(entry.path(), ignored);
  std::ofstream(folder / "profile", std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                           static_cast<std::streamsize>(size));
  auto store = platform::ProfileStore::InFolder(folder.string() + "/");
  store->GetProfileInt("Settings", "StartPage", 0);
  store->GetProfileString("Settings", "InstallDir", "");
  BYTE* bytes = nullptr;
  UINT length = 0;
  if (store->GetProfileBinary("Bars", "State", &bytes, &length))
    delete[] bytes;
  store->WriteProfileInt("Settings", "StartPage", 1);
  return 0;
}
