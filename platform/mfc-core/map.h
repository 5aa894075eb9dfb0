// CMap: a hash map with chained buckets (17 by default, as the framework's). GetStartPosition/GetNextAssoc
// walk the buckets in order, newest entry first within a bucket; removing the entry just returned by
// GetNextAssoc is allowed during the walk. A null position given to GetNextAssoc throws CInvalidArgException.
// Serialize: the count in the archive's count form, then key and value of each entry (SerializeElements).
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/object.h"

#include <memory>

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
  using BASE_KEY = KEY;
  using BASE_ARG_KEY = ARG_KEY;
  using BASE_VALUE = VALUE;
  using BASE_ARG_VALUE = ARG_VALUE;

  // The entry type, as PLookup and the pair walk answer it.
  struct CPair {
    const KEY key;
    VALUE value;

  protected:
    explicit CPair(ARG_KEY keyval) : key(keyval), value() {}
  };

protected:
  struct CAssoc : CPair {
    explicit CAssoc(ARG_KEY k) : CPair(k) {}
    CAssoc* pNext = nullptr;
    UINT nHashValue = 0;
  };

public:
  explicit CMap(INT_PTR /*nBlockSize*/ = 10) {}
  ~CMap() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  BOOL Lookup(ARG_KEY key, VALUE& rValue) const;
  const CPair* PLookup(ARG_KEY key) const { return GetAssocAt(key); }
  CPair* PLookup(ARG_KEY key) { return GetAssocAt(key); }
  // The value of key, added (default-constructed) when absent.
  VALUE& operator[](ARG_KEY key);
  void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
  BOOL RemoveKey(ARG_KEY key);
  void RemoveAll();

  POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
  void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;
  const CPair* PGetFirstAssoc() const { return FirstFrom(0); }
  CPair* PGetFirstAssoc() { return FirstFrom(0); }
  const CPair* PGetNextAssoc(const CPair* pAssoc) const { return Next(static_cast<const CAssoc*>(pAssoc)); }
  CPair* PGetNextAssoc(const CPair* pAssoc) { return Next(static_cast<const CAssoc*>(pAssoc)); }

  UINT GetHashTableSize() const { return m_nHashTableSize; }
  // Sets the bucket count; only while the map is empty, as the framework allows.
  void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);

  void Serialize(CArchive& ar) override;

protected:
  CAssoc* GetAssocAt(ARG_KEY key) const;
  CAssoc* FirstFrom(UINT bucket) const;
  CAssoc* Next(const CAssoc* assoc) const;

  std::unique_ptr<CAssoc*[]> m_pHashTable;
  UINT m_nHashTableSize = 17;
  INT_PTR m_nCount = 0;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow)
{
  if (m_nCount != 0 || hashSize == 0) {
    AfxThrowInvalidArgException();
  }
  m_nHashTableSize = hashSize;
  m_pHashTable.reset();
  if (bAllocNow) {
    m_pHashTable = std::make_unique<CAssoc*[]>(hashSize);
  }
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetAssocAt(
    ARG_KEY key) const
{
  if (m_pHashTable == nullptr) {
    return nullptr;
  }
  UINT nHash = HashKey<ARG_KEY>(key);
  for (CAssoc* assoc = m_pHashTable[nHash % m_nHashTableSize]; assoc != nullptr; assoc = assoc->pNext) {
    if (assoc->nHashValue == nHash && CompareElements<KEY>(&assoc->key, &key)) {
      return assoc;
    }
  }
  return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& rValue) const
{
  CAssoc* assoc = GetAssocAt(key);
  if (assoc == nullptr) {
    return FALSE;
  }
  rValue = assoc->value;
  return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
  if (CAssoc* assoc = GetAssocAt(key)) {
    return assoc->value;
  }
  if (m_pHashTable == nullptr) {
    m_pHashTable = std::make_unique<CAssoc*[]>(m_nHashTableSize);
  }
  UINT nHash = HashKey<ARG_KEY>(key);
  auto* assoc = new CAssoc(key);
  assoc->nHashValue = nHash;
  CAssoc*& head = m_pHashTable[nHash % m_nHashTableSize];
  assoc->pNext = head;
  head = assoc;
  ++m_nCount;
  return assoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
  if (m_pHashTable == nullptr) {
    return FALSE;
  }
  UINT nHash = HashKey<ARG_KEY>(key);
  for (CAssoc** link = &m_pHashTable[nHash % m_nHashTableSize]; *link != nullptr; link = &(*link)->pNext) {
    CAssoc* assoc = *link;
    if (assoc->nHashValue == nHash && CompareElements<KEY>(&assoc->key, &key)) {
      *link = assoc->pNext;
      delete assoc;
      --m_nCount;
      return TRUE;
    }
  }
  return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
  if (m_pHashTable != nullptr) {
    for (UINT i = 0; i < m_nHashTableSize; ++i) {
      CAssoc* assoc = m_pHashTable[i];
      while (assoc != nullptr) {
        CAssoc* next = assoc->pNext;
        delete assoc;
        assoc = next;
      }
    }
  }
  m_pHashTable.reset();
  m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FirstFrom(
    UINT bucket) const
{
  if (m_pHashTable == nullptr) {
    return nullptr;
  }
  for (; bucket < m_nHashTableSize; ++bucket) {
    if (m_pHashTable[bucket] != nullptr) {
      return m_pHashTable[bucket];
    }
  }
  return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Next(
    const CAssoc* assoc) const
{
  if (assoc == nullptr) {
    AfxThrowInvalidArgException();
  }
  if (assoc->pNext != nullptr) {
    return assoc->pNext;
  }
  return FirstFrom(assoc->nHashValue % m_nHashTableSize + 1);
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
{
  if (rNextPosition == nullptr) {
    AfxThrowInvalidArgException();
  }
  CAssoc* assoc = rNextPosition == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<CAssoc*>(rNextPosition);
  if (assoc == nullptr) {
    AfxThrowInvalidArgException();
  }
  rNextPosition = reinterpret_cast<POSITION>(Next(assoc));
  rKey = assoc->key;
  rValue = assoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Serialize(CArchive& ar)
{
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
    for (CAssoc* assoc = FirstFrom(0); assoc != nullptr; assoc = Next(assoc)) {
      SerializeElements<KEY>(ar, const_cast<KEY*>(&assoc->key), 1);
      SerializeElements<VALUE>(ar, &assoc->value, 1);
    }
  } else {
    DWORD_PTR nNewCount = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(nNewCount) *
                       (MinStoredElementSize<KEY>() + MinStoredElementSize<VALUE>()));
    for (; nNewCount > 0; --nNewCount) {
      KEY newKey{};
      VALUE newValue{};
      SerializeElements<KEY>(ar, &newKey, 1);
      SerializeElements<VALUE>(ar, &newValue, 1);
      SetAt(newKey, newValue);
    }
  }
}

// Maps whose values are pointers do not serialise them.
class CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*> {
  DECLARE_DYNAMIC(CMapStringToPtr)
public:
  explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
class CMapStringToOb : public CMap<CString, LPCSTR, CObject*, CObject*> {
  DECLARE_SERIAL(CMapStringToOb)
public:
  explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
  DECLARE_DYNAMIC(CMapPtrToPtr)
public:
  explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
  DECLARE_DYNAMIC(CMapWordToPtr)
public:
  explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
class CMapStringToString : public CMap<CString, LPCSTR, CString, LPCSTR> {
  DECLARE_SERIAL(CMapStringToString)
public:
  explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
  // Lookup that also answers the stored key.
  BOOL LookupKey(LPCSTR key, LPCSTR& rKey) const;
};

// A map of pointers typed over one of the pointer maps.
template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
public:
  explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
  BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
  {
    const auto* pair = BASE_CLASS::PLookup(key);
    if (pair == nullptr) {
      return FALSE;
    }
    rValue = static_cast<VALUE>(pair->value);
    return TRUE;
  }
  VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key)
  {
    return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
  }
  void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
  BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
  void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
  {
    typename BASE_CLASS::BASE_KEY key{};
    typename BASE_CLASS::BASE_VALUE value{};
    BASE_CLASS::GetNextAssoc(rPosition, key, value);
    rKey = static_cast<KEY>(key);
    rValue = static_cast<VALUE>(value);
  }
};
