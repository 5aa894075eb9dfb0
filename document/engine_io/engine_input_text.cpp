#include "document/engine_io/engine_input_text.h"

namespace EngineIo {

void InputText::Values(const std::vector<double>& values)
{
  for (std::size_t i = 0; i < values.size(); ++i) {
    CString number;
    number.Format("%g", values[i]);
    text += number.GetString();
    text += i + 1 < values.size() ? '\t' : '\n';
  }
}

}  // namespace EngineIo
