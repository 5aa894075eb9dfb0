#include "app/template_import.h"

#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/mfc-core/exceptions.h"

#include <cstring>
#include <exception>
#include <fstream>
#include <string>

namespace {

constexpr char kTemplateExtension[] = ".qorrt";
constexpr char kProjectExtension[] = ".qorr5";
constexpr char kMagic[] = "QORR";
// Enough for any folder a person keeps; past it the import reports failure rather than loop.
constexpr int kMaxNameAttempts = 1000;

bool StartsWithMagic(const CString& path)
{
  std::ifstream in(platform::ToFileSystemPath(static_cast<LPCSTR>(path)), std::ios::binary);
  char head[4] = {};
  return in.read(head, 4) && std::memcmp(head, kMagic, 4) == 0;
}

bool Exists(const std::string& path) { return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TemplateImportResult ImportProjectTemplate(const CString& templatePath, const CString& targetFolder,
                                           const std::function<BOOL(const CString& path)>& open)
{
  TemplateImportResult result;
  const std::string path(templatePath);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.substr(dot) != kTemplateExtension || !StartsWithMagic(templatePath))
    return result;
  const std::string name(platform::FileNameOf(path));
  const std::string stem = name.substr(0, name.size() - std::strlen(kTemplateExtension));
  // An existing project of that name is the user's work: it is neither opened as the template nor deleted.
  std::string target;
  for (int attempt = 1; attempt <= kMaxNameAttempts && target.empty(); ++attempt) {
    const std::string candidate = platform::JoinPath(
        static_cast<LPCSTR>(targetFolder),
        attempt == 1 ? stem + kProjectExtension : stem + " (" + std::to_string(attempt) + ")" + kProjectExtension);
    if (!Exists(candidate))
      target = candidate;
  }
  result.outcome = TemplateImport::kOpenFailed;
  if (target.empty() || !CopyFile(path.c_str(), target.c_str(), TRUE))
    return result;
  result.projectPath = target.c_str();
  BOOL opened = FALSE;
  try {
    opened = open(result.projectPath);
  } catch (CException* e) {
    e->Delete();
    opened = FALSE;
  } catch (const std::exception&) {
    opened = FALSE;
  }
  DeleteFile(target.c_str());
  if (opened)
    result.outcome = TemplateImport::kOpened;
  return result;
}
