// The engines' result files: every item 4 bytes, little-endian, no padding, as the program reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace Engines {

class ResultItems {
public:
  explicit ResultItems(std::size_t expectedItems = 0) { out_.reserve(expectedItems * 4); }

  // A count the program reads as 32 bits.
  void Count(std::size_t n) { Put(static_cast<std::uint32_t>(n)); }
  void I32(std::int32_t v) { Put(static_cast<std::uint32_t>(v)); }
  void F32(float f)
  {
    std::uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    Put(v);
  }
  template <class Range>
  void Floats(const Range& values)
  {
    for (float f : values)
      F32(f);
  }
  std::vector<std::uint8_t> Take() { return std::move(out_); }

private:
  void Put(std::uint32_t v)
  {
    for (int shift = 0; shift < 32; shift += 8)
      out_.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  std::vector<std::uint8_t> out_;
};

}  // namespace Engines
