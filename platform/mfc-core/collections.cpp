#include "platform/mfc-core/array.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc-core/list.h"
#include "platform/mfc-core/map.h"

IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)

namespace {

// The least an object record takes: its 16-bit tag.
constexpr ULONGLONG kMinObjectRecord = 2;

}  // namespace

template <>
void SerializeElements<CString>(CArchive& ar, CString* pElements, INT_PTR nCount)
{
  for (INT_PTR i = 0; i < nCount; ++i) {
    if (ar.IsStoring()) {
      ar << pElements[i];
    } else {
      ar >> pElements[i];
    }
  }
}

UINT HashString(const char* data, std::size_t length)
{
  UINT hash = 0;
  for (std::size_t i = 0; i < length; ++i) {
    hash = (hash << 5) + hash + static_cast<unsigned char>(data[i]);
  }
  return hash;
}

// Pointers mean nothing in a file; asking to store them is a mistake we want to hear about.
void CPtrArray::Serialize(CArchive& /*ar*/) { AfxThrowNotSupportedException(); }
void CPtrList::Serialize(CArchive& /*ar*/) { AfxThrowNotSupportedException(); }
void CMapStringToPtr::Serialize(CArchive& /*ar*/) { AfxThrowNotSupportedException(); }
void CMapPtrToPtr::Serialize(CArchive& /*ar*/) { AfxThrowNotSupportedException(); }
void CMapWordToPtr::Serialize(CArchive& /*ar*/) { AfxThrowNotSupportedException(); }

void CObArray::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(GetSize()));
    for (INT_PTR i = 0; i < GetSize(); ++i) {
      ar << GetAt(i);
    }
    return;
  }
  const DWORD_PTR nCount = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * kMinObjectRecord);
  SetSize(static_cast<INT_PTR>(nCount));
  for (INT_PTR i = 0; i < GetSize(); ++i) {
    ar >> ElementAt(i);
  }
}

void CObList::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
      ar << GetNext(pos);
    }
    return;
  }
  DWORD_PTR nCount = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * kMinObjectRecord);
  for (; nCount > 0; --nCount) {
    CObject* pOb = nullptr;
    ar >> pOb;
    AddTail(pOb);
  }
}

void CMapStringToOb::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
    for (const CPair* pair = PGetFirstAssoc(); pair != nullptr; pair = PGetNextAssoc(pair)) {
      ar << pair->key;
      ar << pair->value;
    }
    return;
  }
  DWORD_PTR nCount = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * (1 + kMinObjectRecord));
  for (; nCount > 0; --nCount) {
    CString key;
    CObject* pOb = nullptr;
    ar >> key;
    ar >> pOb;
    SetAt(key, pOb);
  }
}

BOOL CMapStringToString::LookupKey(LPCSTR key, LPCSTR& rKey) const
{
  const CPair* pair = PLookup(key);
  if (pair == nullptr) {
    return FALSE;
  }
  rKey = pair->key.GetString();
  return TRUE;
}
