// libFuzzer target: the command bars' stored state, which comes from the profile and must not be trusted. The
// first byte picks what reads the rest: the stored shortcut table ("Accelerators", 6 bytes an entry), or the
// options in their archive form (switches, sizes and the two command sets as blobs). Loading fills what it can or
// fails with the archive's error; it never crashes, hangs, leaks or allocates what the state merely claims. What
// loads is saved back, so the writers run over every shape the readers accept.
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/prop_exchange.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void FuzzShortcuts(const std::uint8_t* data, std::size_t size)
{
  CTKShortcutManager manager;
  const ACCEL defaults[] = {{FVIRTKEY, VK_F5, 32772}};
  manager.SetAcceleratorTable(defaults, 1);
  manager.LoadShortcutsFromBytes(data, static_cast<UINT>(size));
  std::vector<ACCEL> entries = CTKShortcutManager::CopyTable(manager.GetAcceleratorTable());
  CString text;
  for (const ACCEL& entry : entries)
    text += manager.Format(&entry, nullptr);
  manager.FindDefaultAccelerator(entries.empty() ? 0 : entries.front().cmd, text);
  CTKShortcutManager::EncodeEntries(entries);
}

void FuzzOptions(const std::uint8_t* data, std::size_t size)
{
  std::vector<BYTE> bytes(data, data + size);
  CTKCommandBarsOptions options(nullptr);
  try {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CTKPropExchangeArchive px(ar);
    options.DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    return;
  }
  CMemFile out;
  CArchive ar(&out, CArchive::store);
  CTKPropExchangeArchive px(ar);
  options.DoPropExchange(&px);
  ar.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0)
    return 0;
  if ((data[0] & 1) == 0)
    FuzzShortcuts(data + 1, size - 1);
  else
    FuzzOptions(data + 1, size - 1);
  return 0;
}
