#include "document/engine_io/engine_result_reader.h"

#include "document/engine_io/engine_io_codes.h"

#include <new>

namespace EngineIo {

Count Mul(Count a, Count b)
{
  constexpr Count kMax = std::numeric_limits<Count>::max();
  return a != 0 && b > kMax / a ? kMax : a * b;
}

int ReadResultArchive(CFile& file, const std::function<void(CArchive&)>& read)
{
  try {
    CArchive ar(&file, CArchive::load, 4096);
    read(ar);
    ar.Close();
  } catch (CException* e) {
    e->Delete();
    return kResultDamaged;
  } catch (const std::bad_alloc&) {
    return kResultDamaged;
  }
  file.Close();
  return kOk;
}

}  // namespace EngineIo
