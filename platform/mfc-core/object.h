// CObject and run-time classes: a class record per class (name, size, schema, base, factory), kind tests,
// and creation by class name through a process-wide registry that IMPLEMENT_DYNAMIC and friends fill at start-up.
// Our libraries are static: a class registers only when its IMPLEMENT_* file is linked into the program, which
// happens as soon as anything else of that file is used (its constructor, a member function, its vtable).
#pragma once

#include "platform/base/wintypes.h"

class CObject;
class CArchive;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                     // 0xFFFF for classes that are not serialisable
  CObject* (*m_pfnCreateObject)();    // null unless the class can be created dynamically
  CRuntimeClass* m_pBaseClass;        // null for CObject
  CRuntimeClass* m_pNextClass;        // not used; kept for the record's shape

  // A new object of this class, or null when it cannot be created dynamically.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // The registered class of that name, or null.
  static CRuntimeClass* FromName(LPCSTR lpszClassName);
  // A new object of the named class, or null when unknown or not creatable.
  static CObject* CreateObject(LPCSTR lpszClassName);

  // Class records in archives: the schema (16-bit), the name length (16-bit), the name bytes.
  void Store(CArchive& ar) const;
  // Reads a record; null when the named class is not registered. `pwSchemaNum` receives the stored schema.
  static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

namespace platform {
// Adds a class to the registry by which classes are found by name. Called by IMPLEMENT_* at static
// initialisation; a second class of the same name replaces nothing (the first stays).
void RegisterRuntimeClass(CRuntimeClass* pClass);

struct RuntimeClassRegistrar {
  explicit RuntimeClassRegistrar(CRuntimeClass* pClass) { RegisterRuntimeClass(pClass); }
};
}  // namespace platform

class CObject {
public:
  static CRuntimeClass classCObject;
  static CRuntimeClass* GetThisClass() { return &classCObject; }

  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;

  // Objects serialise themselves; the base has nothing to store.
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const {}

  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  BOOL IsSerializable() const;

protected:
  CObject() = default;

public:
  // Objects are not copied through the base, as the framework has it.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                      \
public:                                                  \
  static CRuntimeClass class##class_name;                \
  static CRuntimeClass* GetThisClass();                  \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)  \
  DECLARE_DYNCREATE(class_name)     \
  friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define TESMIRA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                                 \
  CRuntimeClass class_name::class##class_name = {#class_name,     sizeof(class_name),        (wSchema),           \
                                                 pfnNew,          RUNTIME_CLASS(base_class_name), nullptr};        \
  static const ::platform::RuntimeClassRegistrar _init_##class_name(&class_name::class##class_name);                \
  CRuntimeClass* class_name::GetThisClass() { return &class_name::class##class_name; }                            \
  CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  TESMIRA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)        \
  CObject* class_name::CreateObject() { return new class_name; } \
  TESMIRA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                              \
  CObject* class_name::CreateObject() { return new class_name; }                             \
  TESMIRA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
  CArchive& operator>>(CArchive& ar, class_name*& pOb)                                        \
  {                                                                                           \
    pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));                 \
    return ar;                                                                                \
  }

// Schema flag: the stored schema is handed to the object (CArchive::GetObjectSchema) instead of
// having to match the class's own.
inline constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;

// The object as the class, or null when it is not of that kind.
#define DYNAMIC_DOWNCAST(class_name, object) \
  (static_cast<class_name*>(::platform::DynamicDowncast(RUNTIME_CLASS(class_name), (object))))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

namespace platform {
inline CObject* DynamicDowncast(const CRuntimeClass* pClass, CObject* pObject)
{
  return pObject != nullptr && pObject->IsKindOf(pClass) ? pObject : nullptr;
}
}  // namespace platform
