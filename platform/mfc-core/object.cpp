#include "platform/mfc-core/object.h"

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace platform {
namespace {

// Classes register during static initialisation of every library, in no set order: the registry must
// exist before the first of them, hence a function-local object that is never destroyed.
struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, CRuntimeClass*, std::less<>> byName;
};

ClassRegistry& Registry()
{
  static auto* registry = new ClassRegistry;
  return *registry;
}

// The framework keeps class names short; a longer name in a file is damage, not a class.
constexpr WORD kMaxClassNameLength = 64;

}  // namespace

void RegisterRuntimeClass(CRuntimeClass* pClass)
{
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.byName.emplace(pClass->m_lpszClassName, pClass);
}

void AssertFailed(const char* expression, const char* file, int line)
{
  std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, expression);
  std::abort();
}

}  // namespace platform

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};
static const platform::RuntimeClassRegistrar _init_CObject(&CObject::classCObject);

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive& /*ar*/) {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
  for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
    if (c == pBaseClass) {
      return TRUE;
    }
  }
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
  if (lpszClassName == nullptr) {
    return nullptr;
  }
  auto& registry = platform::Registry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.byName.find(std::string_view(lpszClassName));
  return it != registry.byName.end() ? it->second : nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
  CRuntimeClass* pClass = FromName(lpszClassName);
  return pClass != nullptr ? pClass->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
  const auto nLen = static_cast<WORD>(std::strlen(m_lpszClassName));
  ar << static_cast<WORD>(m_wSchema) << nLen;
  ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
  WORD wSchema = 0;
  WORD nLen = 0;
  ar >> wSchema >> nLen;
  if (pwSchemaNum != nullptr) {
    *pwSchemaNum = wSchema;
  }
  if (nLen >= platform::kMaxClassNameLength) {
    return nullptr;
  }
  char name[platform::kMaxClassNameLength] = {};
  if (ar.Read(name, nLen) != nLen) {
    return nullptr;
  }
  return FromName(name);
}
