// What the engine result readers share: 4-byte items read with every count checked against the file first, and
// the one way a result file is opened into an archive and read.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/cfile.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <type_traits>
#include <vector>

namespace EngineIo {

using Count = std::uint64_t;

// Counts from the file multiply without wrapping round: a product too large for any file stays too large.
Count Mul(Count a, Count b);

// The largest figure of light an engine answers (lux, cd/m2, per cent, ratios); a value above it, below 0 or no
// number at all is a damaged result, never one to show.
inline constexpr float kMostLight = 1.0e7f;
// A coordinate of a calculation point, m.
inline constexpr float kMostCoordinate = 1.0e7f;

inline bool IsLight(float v) { return v >= 0.0f && v <= kMostLight; }  // false for NaN too

class ItemReader {
public:
  explicit ItemReader(CArchive& ar) : ar_(ar) {}

  // Floats are coordinates unless read as Light(): a NaN, an infinity or a coordinate beyond any site ends the
  // read as a damaged file.
  template <class T>
  T Item()
  {
    static_assert(sizeof(T) == 4);
    T v{};
    ar_ >> v;
    if constexpr (std::is_floating_point_v<T>) {
      if (!(v >= -kMostCoordinate && v <= kMostCoordinate))
        AfxThrowArchiveException(CArchiveException::badIndex);
    }
    return v;
  }
  float Light()
  {
    const float v = Item<float>();
    if (!IsLight(v))
      AfxThrowArchiveException(CArchiveException::badIndex);
    return v;
  }
  std::vector<float> Lights(Count n)
  {
    std::vector<float> v = Items<float>(n);
    for (float f : v)
      if (!IsLight(f))
        AfxThrowArchiveException(CArchiveException::badIndex);
    return v;
  }
  // The file must hold every item of the array before anything is allocated for it.
  template <class T>
  std::vector<T> Items(Count n)
  {
    ar_.EnsureAvailable(Mul(n, 4));
    if (n > std::numeric_limits<std::size_t>::max() / 4)
      AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<T> v(static_cast<std::size_t>(n));
    for (T& item : v)
      item = Item<T>();
    return v;
  }

  CArchive& archive() { return ar_; }

private:
  CArchive& ar_;
};

template <class T>
void CopyItems(T* to, const std::vector<T>& from)
{
  if (to && !from.empty())
    std::memcpy(to, from.data(), from.size() * sizeof(T));
}

// Reads the open file through an archive with `read`: kOk, or kResultDamaged when the file ends early or a
// count is beyond what can be held.
int ReadResultArchive(CFile& file, const std::function<void(CArchive&)>& read);

}  // namespace EngineIo
