// libFuzzer target: custom button images read back from saved state or pasted from the clipboard. The first byte
// picks what the rest is: one icon's stream, or an icon set as the clipboard carries it. Loading makes images or
// nothing (the archive may raise its error); it never crashes, leaks or allocates what a header merely claims.
// What loads is written again, so the writer runs over every image the reader makes.
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/paint/imagepersist.h"
#include "toolkit/paint/prop_exchange.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

template <typename Read>
bool Load(std::vector<BYTE>& bytes, Read read)
{
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  try {
    read(ar);
    return true;
  } catch (CException* e) {
    e->Delete();
    ar.Abort();
    return false;
  }
}

template <typename Write>
void Save(Write write)
{
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  write(ar);
  ar.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0) {
    return 0;
  }
  std::vector<BYTE> bytes(data + 1, data + size);
  if (data[0] % 2 == 0) {
    CTKImageManagerIcon icon(1, 16, nullptr);
    if (Load(bytes, [&](CArchive& ar) { icon.Serialize(ar); })) {
      Save([&](CArchive& ar) { icon.Serialize(ar); });
    }
    return 0;
  }
  CTKImageManager manager;
  if (Load(bytes, [&](CArchive& ar) {
        CTKPropExchangeArchive px(ar);
        manager.DoPropExchange(68267, &px);
      })) {
    Save([&](CArchive& ar) {
      CTKPropExchangeArchive px(ar);
      manager.DoPropExchange(68267, &px);
    });
  }
  return 0;
}
