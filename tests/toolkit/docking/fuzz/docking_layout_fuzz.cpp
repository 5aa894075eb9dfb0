// libFuzzer target: a docking layout loaded from an archive it must not trust. Loading builds a tree or fails (the
// archive may raise its error); it never crashes, hangs, leaks or recurses without end. What loads is a tree that
// is saved back and loaded again, so the writer runs over every shape the reader accepts.
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/docking/layoutpersist.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/paint/prop_exchange.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

CTKDockingPaneManager& Manager()
{
  static CTKDockingPaneManager* manager = new CTKDockingPaneManager();
  return *manager;
}

// TRUE when the bytes loaded into the layout; an archive error counts as a refusal.
BOOL Load(CTKDockingPaneLayout& layout, std::vector<BYTE>& bytes)
{
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  try {
    CTKPropExchangeArchive px(ar);
    return layout.DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    ar.Abort();
    return FALSE;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::vector<BYTE> bytes(data, data + size);
  CTKDockingPaneLayout layout(&Manager());
  layout.m_bUserLayout = FALSE;
  if (!Load(layout, bytes)) {
    return 0;
  }
  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    layout.Serialize(ar);
    ar.Close();
  }
  std::vector<BYTE> saved(out.GetData(), out.GetData() + out.GetLength());
  CTKDockingPaneLayout again(&Manager());
  again.m_bUserLayout = FALSE;
  if (!Load(again, saved)) {
    std::abort();
  }
  return 0;
}
