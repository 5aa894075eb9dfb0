// libFuzzer target: the photometric importers (IES LM-63 and EULUMDAT) on arbitrary text. Whatever the bytes, a
// reader either gives a photometry that passes the catalogue's check or raises its error; it never crashes, hangs
// or allocates what the file merely claims. The first byte chooses the reader.
#include "outside/servers/photometry.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0)
    return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    const qorsrv::Photometry p =
        (data[0] & 1) ? qorsrv::ParseIes(text, "fuzz.ies") : qorsrv::ParseEulumdat(text, "fuzz.ldt");
    qorsrv::Validate(p);
    qorsrv::FluxPerKilolumen(p);
    qorsrv::CompleteToFullCircle(p);
  } catch (const std::exception&) {
  }
  return 0;
}
