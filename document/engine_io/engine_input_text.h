// The text every engine input file is made of.
#pragma once

#include "platform/mfc-core/mfcstring.h"

#include <string>
#include <vector>

namespace EngineIo {

// Numbers go through the framework's C-locale formatting, so a Russian locale cannot turn 1.5 into "1,5".
class InputText {
public:
  // One line: `format` filled in, then LF.
  template <class... T>
  void Line(const char* format, T... values)
  {
    CString line;
    line.Format(format, values...);
    text += line.GetString();
    text += '\n';
  }
  void Unsigned(unsigned value) { Line("%u", value); }
  void Flag(bool value) { Unsigned(value ? 1u : 0u); }
  void Long(long value) { Line("%ld", value); }
  void Short(double value) { Line("%g", value); }
  void Fixed(double value) { Line("%lf", value); }
  // Values of one table line: tab between them, LF after the last; nothing at all for no values.
  void Values(const std::vector<double>& values);

  std::string text;
};

// Writes `text` to a new file at `path`: kOk, kInputNotCreated or kInputNotWritten.
int WriteInputFile(const CString& path, const std::string& text);

}  // namespace EngineIo
