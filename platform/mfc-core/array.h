// CArray and the framework's fixed arrays. Every index outside the array (GetAt, SetAt, ElementAt,
// operator[], RemoveAt, a negative size) throws CInvalidArgException.
//
// Serialize: the element count in the archive's count form (CArchive::WriteCount), then the elements through
// SerializeElements: raw bytes for plain types, each string's own form for CString. Loading refuses a count
// that the rest of the file cannot hold before it allocates.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// Element serialisation: raw bytes by default; specialised below for CString. An element type that is not
// plain bytes needs its own SerializeElements; without one its collections throw CNotSupportedException when
// serialised (they must still compile: Serialize is virtual).
template <class TYPE>
void SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
  if constexpr (!std::is_trivially_copyable_v<TYPE>) {
    (void)ar;
    (void)pElements;
    (void)nCount;
    AfxThrowNotSupportedException();
  } else {
    // In pieces: one Read or Write takes a 32-bit count.
    constexpr ULONGLONG kPiece = 0x40000000u;
    const ULONGLONG total = nCount > 0 ? static_cast<ULONGLONG>(nCount) * sizeof(TYPE) : 0;
    auto* bytes = reinterpret_cast<BYTE*>(pElements);
    for (ULONGLONG done = 0; done < total;) {
      const auto piece = static_cast<UINT>(std::min(total - done, kPiece));
      if (ar.IsStoring()) {
        ar.Write(bytes + done, piece);
      } else if (ar.Read(bytes + done, piece) != piece) {
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
      }
      done += piece;
    }
  }
}

template <>
void SerializeElements<CString>(CArchive& ar, CString* pElements, INT_PTR nCount);

// The least number of bytes one stored element takes, for the count check before allocating.
template <class TYPE>
constexpr ULONGLONG MinStoredElementSize()
{
  if constexpr (std::is_same_v<TYPE, CString>) {
    return 1;
  } else if constexpr (std::is_trivially_copyable_v<TYPE>) {
    return sizeof(TYPE);
  } else {
    return 0;
  }
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
  CArray() = default;
  ~CArray() override { SetSize(0); ::operator delete(m_pData, std::align_val_t(alignof(TYPE))); }

  INT_PTR GetSize() const { return m_nSize; }
  INT_PTR GetCount() const { return m_nSize; }
  BOOL IsEmpty() const { return m_nSize == 0; }
  INT_PTR GetUpperBound() const { return m_nSize - 1; }
  // nGrowBy -1 keeps the current step; the step only sets how much room is made ahead.
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);

  void FreeExtra();
  void RemoveAll() { SetSize(0); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[CheckIndex(nIndex)] = newElement; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
  TYPE& ElementAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
  const TYPE& operator[](INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
  TYPE& operator[](INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }

  const TYPE* GetData() const { return m_pData; }
  TYPE* GetData() { return m_pData; }

  // Grows the array when nIndex lies beyond its end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
  INT_PTR Add(ARG_TYPE newElement);
  INT_PTR Append(const CArray& src);
  void Copy(const CArray& src);

  // nIndex may lie beyond the end: the array grows to hold it.
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

  void Serialize(CArchive& ar) override;

  // Range-for support for our own code.
  TYPE* begin() { return m_pData; }
  TYPE* end() { return m_pData + m_nSize; }
  const TYPE* begin() const { return m_pData; }
  const TYPE* end() const { return m_pData + m_nSize; }

private:
  INT_PTR CheckIndex(INT_PTR nIndex) const
  {
    if (nIndex < 0 || nIndex >= m_nSize) {
      AfxThrowInvalidArgException();
    }
    return nIndex;
  }
  void Reserve(INT_PTR nCapacity);

  TYPE* m_pData = nullptr;
  INT_PTR m_nSize = 0;
  INT_PTR m_nMaxSize = 0;
  INT_PTR m_nGrowBy = -1;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reserve(INT_PTR nCapacity)
{
  if (nCapacity <= m_nMaxSize) {
    return;
  }
  if (static_cast<ULONGLONG>(nCapacity) > static_cast<ULONGLONG>(PTRDIFF_MAX) / sizeof(TYPE)) {
    AfxThrowMemoryException();
  }
  TYPE* pNew;
  try {
    pNew = static_cast<TYPE*>(::operator new(nCapacity * sizeof(TYPE), std::align_val_t(alignof(TYPE))));
  } catch (const std::bad_alloc&) {
    AfxThrowMemoryException();
  }
  for (INT_PTR i = 0; i < m_nSize; ++i) {
    ::new (static_cast<void*>(pNew + i)) TYPE(std::move(m_pData[i]));
    m_pData[i].~TYPE();
  }
  ::operator delete(m_pData, std::align_val_t(alignof(TYPE)));
  m_pData = pNew;
  m_nMaxSize = nCapacity;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
  if (nNewSize < 0) {
    AfxThrowInvalidArgException();
  }
  if (nGrowBy >= 0) {
    m_nGrowBy = nGrowBy;
  }
  if (nNewSize > m_nMaxSize) {
    INT_PTR grow = m_nGrowBy;
    if (grow <= 0) {
      // The framework's default step: an eighth of the size, between 4 and 1024.
      grow = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, m_nSize / 8));
    }
    INT_PTR capacity = m_nMaxSize == 0 && m_nGrowBy < 0 ? nNewSize : std::max(nNewSize, m_nMaxSize + grow);
    Reserve(capacity);
  }
  for (INT_PTR i = m_nSize; i < nNewSize; ++i) {
    ::new (static_cast<void*>(m_pData + i)) TYPE();
  }
  for (INT_PTR i = nNewSize; i < m_nSize; ++i) {
    m_pData[i].~TYPE();
  }
  m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
  if (m_nSize == m_nMaxSize) {
    return;
  }
  CArray tmp;
  tmp.Reserve(m_nSize);
  for (INT_PTR i = 0; i < m_nSize; ++i) {
    ::new (static_cast<void*>(tmp.m_pData + i)) TYPE(std::move(m_pData[i]));
  }
  tmp.m_nSize = m_nSize;
  std::swap(m_pData, tmp.m_pData);
  std::swap(m_nMaxSize, tmp.m_nMaxSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
{
  if (nIndex < 0) {
    AfxThrowInvalidArgException();
  }
  if (nIndex >= m_nSize) {
    TYPE copy(newElement);  // the argument may live in this array
    SetSize(nIndex + 1);
    m_pData[nIndex] = std::move(copy);
    return;
  }
  m_pData[nIndex] = newElement;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement)
{
  INT_PTR nIndex = m_nSize;
  SetAtGrow(nIndex, newElement);
  return nIndex;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
  INT_PTR nOldSize = m_nSize;
  if (&src == this) {
    CArray copy;
    copy.Copy(src);
    return Append(copy);
  }
  SetSize(m_nSize + src.m_nSize);
  for (INT_PTR i = 0; i < src.m_nSize; ++i) {
    m_pData[nOldSize + i] = src.m_pData[i];
  }
  return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
  if (&src == this) {
    return;
  }
  SetSize(src.m_nSize);
  for (INT_PTR i = 0; i < src.m_nSize; ++i) {
    m_pData[i] = src.m_pData[i];
  }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount)
{
  if (nIndex < 0 || nCount <= 0) {
    AfxThrowInvalidArgException();
  }
  TYPE copy(newElement);  // the argument may live in this array
  if (nIndex >= m_nSize) {
    SetSize(nIndex + nCount);
  } else {
    INT_PTR nOldSize = m_nSize;
    SetSize(m_nSize + nCount);
    std::move_backward(m_pData + nIndex, m_pData + nOldSize, m_pData + nOldSize + nCount);
  }
  for (INT_PTR i = 0; i < nCount; ++i) {
    m_pData[nIndex + i] = copy;
  }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
{
  if (pNewArray == nullptr || nStartIndex < 0) {
    AfxThrowInvalidArgException();
  }
  if (pNewArray->GetSize() == 0) {
    return;
  }
  CArray copy;
  copy.Copy(*pNewArray);
  InsertAt(nStartIndex, copy.GetAt(0), copy.GetSize());
  for (INT_PTR i = 1; i < copy.GetSize(); ++i) {
    m_pData[nStartIndex + i] = copy.m_pData[i];
  }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
  if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize) {
    AfxThrowInvalidArgException();
  }
  std::move(m_pData + nIndex + nCount, m_pData + m_nSize, m_pData + nIndex);
  SetSize(m_nSize - nCount);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_nSize));
  } else {
    DWORD_PTR nCount = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * MinStoredElementSize<TYPE>());
    SetSize(static_cast<INT_PTR>(nCount), -1);
  }
  SerializeElements<TYPE>(ar, m_pData, m_nSize);
}

// An array of pointers typed over CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
  TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
  TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
  void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
  void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
  INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
  INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
  void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
  void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) { BASE_CLASS::InsertAt(nIndex, newElement, nCount); }
  TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
  TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
};

class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_SERIAL(CByteArray)
};
class CWordArray : public CArray<WORD, WORD> {
  DECLARE_SERIAL(CWordArray)
};
class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_SERIAL(CDWordArray)
};
class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};
class CStringArray : public CArray<CString, const CString&> {
  DECLARE_SERIAL(CStringArray)
};
// Pointer arrays do not serialise their pointers.
class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
public:
  void Serialize(CArchive& ar) override;
};
// Objects serialise as object records (CArchive::WriteObject).
class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_SERIAL(CObArray)
public:
  void Serialize(CArchive& ar) override;
};
