// libFuzzer target: the customised bars' stream, read back from the profile or a hidden file and not to be
// trusted. Loading makes bars and controls only of the classes it may, refuses popup bars that open themselves,
// and fails with the archive's error on anything cut short or malformed; it never crashes, hangs, leaks or
// allocates what the stream merely claims. What loads is written back, so the writer runs over every shape the
// reader accepts.
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/commandbars/barsexchange.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/prop_exchange.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::vector<BYTE> bytes(data, data + size);
  CTKCommandBars commandBars;
  TK_BARSTATE_CONTEXT context;
  context.pCommandBars = &commandBars;
  CTKCommandBarList list;
  {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CTKPropExchangeArchive px(ar);
    px.m_pOwner = &context;
    BOOL bLoaded = commandBars.LoadCommandBarList(&px, &list);
    ar.Abort();
    file.Detach();
    if (!bLoaded)
      return 0;
  }
  CMemFile out;
  CArchive ar(&out, CArchive::store);
  CTKPropExchangeArchive px(ar);
  px.m_pOwner = &context;
  commandBars.SaveCommandBarList(&px, &list);
  ar.Abort();
  return 0;
}
