// What the engines' input readers share: checked numbers with their names for the message, the first failure
// kept with its line, and the intensity table's axes and values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "outside/engines/intensity_table.h"
#include "outside/engines/text_scan.h"

namespace Engines {

class NumberReader {
public:
  NumberReader(const NumberReader&) = delete;
  NumberReader& operator=(const NumberReader&) = delete;

  bool Fail(const std::string& what)
  {
    if (error_ && !failed_)
      *error_ = what + (scan_.Remaining() == 0 ? " (the file ends early)" : " on line " + std::to_string(scan_.Line()));
    failed_ = true;
    return false;
  }

  bool Unsigned(const char* what, unsigned long limit, unsigned long& value)
  {
    if (!scan_.Unsigned(value))
      return Fail(std::string("expected an unsigned number for ") + what);
    if (value > limit)
      return Fail(std::string(what) + " " + std::to_string(value) + " is above " + std::to_string(limit));
    return true;
  }
  bool Unsigned(const char* what, unsigned long limit, unsigned& value)
  {
    unsigned long v = 0;
    // A larger number would wrap round in the 32-bit field.
    if (!Unsigned(what, std::min<unsigned long>(limit, ~0u), v))
      return false;
    value = static_cast<unsigned>(v);
    return true;
  }
  bool Real(const char* what, double lo, double hi, double& value)
  {
    if (!scan_.Real(value))
      return Fail(std::string("expected a number for ") + what);
    if (value < lo || value > hi)
      return Fail(std::string(what) + " is out of range");
    return true;
  }

  bool Axis(const char* what, std::size_t count, std::vector<double>& axis)
  {
    axis.resize(count);
    for (double& a : axis)
      if (!Real(what, -3600.0, 3600.0, a))
        return false;
    if (!std::is_sorted(axis.begin(), axis.end()))
      return Fail(std::string(what) + " do not ascend");
    return true;
  }

  // A luminaire record's type, counted from 1.
  bool LuminaireType(unsigned typeCount, unsigned& type)
  {
    if (!Unsigned("the luminaire type", typeCount, type))
      return false;
    if (type == 0)
      return Fail("luminaire type 0 (types count from 1)");
    return true;
  }

  // The table after its counts: gamma angles, planes, then a candela value for each pair.
  bool IntensityValues(IntensityTable& table, unsigned system, unsigned angles, unsigned planes)
  {
    table.cPlanes = system == 0;
    // Every value takes at least two bytes of the file: a count beyond that is damage, not data.
    const std::size_t cells = static_cast<std::size_t>(angles) * planes;
    if (cells + angles + planes > scan_.Remaining() / 2 + 1)
      return Fail("the intensity table is larger than the rest of the file");
    if (!Axis("gamma angles", angles, table.angles) || !Axis("plane angles", planes, table.planes))
      return false;
    table.candela.resize(cells);
    for (double& cd : table.candela)
      if (!Real("an intensity", 0.0, 1e12, cd))
        return false;
    table.Index();
    return true;
  }

protected:
  // Reads `text` where it lies.
  NumberReader(std::string_view text, std::string* error) : scan_(text), error_(error) {}
  // Reads its own copy, for a reader that prepares the text first.
  NumberReader(std::string&& owned, std::string* error) : owned_(std::move(owned)), scan_(owned_), error_(error) {}

  std::string owned_;
  TextScan scan_;
  std::string* error_;
  bool failed_ = false;
};

}  // namespace Engines
