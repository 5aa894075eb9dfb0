#include "document/engine_io/engine_input_text.h"

#include "document/engine_io/engine_io_codes.h"
#include "platform/mfc-core/cfile.h"

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

int WriteInputFile(const CString& path, const std::string& text)
{
  CFile file;
  if (!file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite))
    return kInputNotCreated;
  try {
    file.Write(text.data(), static_cast<UINT>(text.size()));
    file.Close();
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    return kInputNotWritten;
  }
  return kOk;
}

}  // namespace EngineIo
