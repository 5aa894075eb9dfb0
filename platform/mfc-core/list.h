// CList: a doubly linked list walked by POSITION. A null position where an element is needed, and GetHead,
// GetTail, RemoveHead, RemoveTail on an empty list, throw CInvalidArgException.
// Serialize: the count in the archive's count form, then the elements as SerializeElements stores them.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/object.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

public:
  explicit CList(INT_PTR /*nBlockSize*/ = 10) {}
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
  const TYPE& GetHead() const { return NonEmpty(m_pNodeHead)->data; }
  TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
  const TYPE& GetTail() const { return NonEmpty(m_pNodeTail)->data; }

  TYPE RemoveHead();
  TYPE RemoveTail();
  POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(nullptr, newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(nullptr, newElement); }
  void AddHead(const CList* pNewList);
  void AddTail(const CList* pNewList);
  void RemoveAll();

  POSITION GetHeadPosition() const { return ToPosition(m_pNodeHead); }
  POSITION GetTailPosition() const { return ToPosition(m_pNodeTail); }
  // The element at rPosition; rPosition moves to the next one (null after the last).
  TYPE& GetNext(POSITION& rPosition);
  const TYPE& GetNext(POSITION& rPosition) const;
  TYPE& GetPrev(POSITION& rPosition);
  const TYPE& GetPrev(POSITION& rPosition) const;

  TYPE& GetAt(POSITION position) { return FromPosition(position)->data; }
  const TYPE& GetAt(POSITION position) const { return FromPosition(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { FromPosition(pos)->data = newElement; }
  void RemoveAt(POSITION position);

  // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
  POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

  // The first element equal to searchValue after startAfter (from the head when null), or null.
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const;
  // The position of the nIndex-th element from the head, or null when there is none.
  POSITION FindIndex(INT_PTR nIndex) const;

  void Serialize(CArchive& ar) override;

protected:
  static POSITION ToPosition(CNode* node) { return reinterpret_cast<POSITION>(node); }
  static CNode* FromPosition(POSITION position)
  {
    if (position == nullptr || position == BEFORE_START_POSITION) {
      AfxThrowInvalidArgException();
    }
    return reinterpret_cast<CNode*>(position);
  }
  static CNode* NonEmpty(CNode* node)
  {
    if (node == nullptr) {
      AfxThrowInvalidArgException();
    }
    return node;
  }

  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  INT_PTR m_nCount = 0;
};

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
  CNode* node = NonEmpty(m_pNodeHead);
  TYPE value(std::move(node->data));
  RemoveAt(ToPosition(node));
  return value;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
  CNode* node = NonEmpty(m_pNodeTail);
  TYPE value(std::move(node->data));
  RemoveAt(ToPosition(node));
  return value;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(const CList* pNewList)
{
  if (pNewList == nullptr) {
    AfxThrowInvalidArgException();
  }
  // Walk backwards so the new list keeps its order in front of ours; a list added to itself is walked as
  // it was before.
  CNode* node = pNewList->m_pNodeTail;
  for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pPrev) {
    AddHead(node->data);
  }
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(const CList* pNewList)
{
  if (pNewList == nullptr) {
    AfxThrowInvalidArgException();
  }
  CNode* node = pNewList->m_pNodeHead;
  for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pNext) {
    AddTail(node->data);
  }
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll()
{
  CNode* node = m_pNodeHead;
  while (node != nullptr) {
    CNode* next = node->pNext;
    delete node;
    node = next;
  }
  m_pNodeHead = m_pNodeTail = nullptr;
  m_nCount = 0;
}

template <class TYPE, class ARG_TYPE>
TYPE& CList<TYPE, ARG_TYPE>::GetNext(POSITION& rPosition)
{
  CNode* node = FromPosition(rPosition);
  rPosition = ToPosition(node->pNext);
  return node->data;
}

template <class TYPE, class ARG_TYPE>
const TYPE& CList<TYPE, ARG_TYPE>::GetNext(POSITION& rPosition) const
{
  CNode* node = FromPosition(rPosition);
  rPosition = ToPosition(node->pNext);
  return node->data;
}

template <class TYPE, class ARG_TYPE>
TYPE& CList<TYPE, ARG_TYPE>::GetPrev(POSITION& rPosition)
{
  CNode* node = FromPosition(rPosition);
  rPosition = ToPosition(node->pPrev);
  return node->data;
}

template <class TYPE, class ARG_TYPE>
const TYPE& CList<TYPE, ARG_TYPE>::GetPrev(POSITION& rPosition) const
{
  CNode* node = FromPosition(rPosition);
  rPosition = ToPosition(node->pPrev);
  return node->data;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position)
{
  CNode* node = FromPosition(position);
  (node->pPrev != nullptr ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
  (node->pNext != nullptr ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
  delete node;
  --m_nCount;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement)
{
  CNode* next = position == nullptr ? m_pNodeHead : FromPosition(position);
  CNode* prev = next != nullptr ? next->pPrev : nullptr;
  CNode* node = new CNode{next, prev, TYPE(newElement)};
  (prev != nullptr ? prev->pNext : m_pNodeHead) = node;
  (next != nullptr ? next->pPrev : m_pNodeTail) = node;
  ++m_nCount;
  return ToPosition(node);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement)
{
  CNode* prev = position == nullptr ? m_pNodeTail : FromPosition(position);
  CNode* next = prev != nullptr ? prev->pNext : nullptr;
  CNode* node = new CNode{next, prev, TYPE(newElement)};
  (prev != nullptr ? prev->pNext : m_pNodeHead) = node;
  (next != nullptr ? next->pPrev : m_pNodeTail) = node;
  ++m_nCount;
  return ToPosition(node);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const
{
  CNode* node = startAfter == nullptr ? m_pNodeHead : FromPosition(startAfter)->pNext;
  for (; node != nullptr; node = node->pNext) {
    if (CompareElements<TYPE>(&node->data, &searchValue)) {
      return ToPosition(node);
    }
  }
  return nullptr;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const
{
  if (nIndex < 0 || nIndex >= m_nCount) {
    return nullptr;
  }
  CNode* node = m_pNodeHead;
  while (nIndex-- > 0) {
    node = node->pNext;
  }
  return ToPosition(node);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
    for (CNode* node = m_pNodeHead; node != nullptr; node = node->pNext) {
      SerializeElements<TYPE>(ar, &node->data, 1);
    }
  } else {
    DWORD_PTR nNewCount = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(nNewCount) * MinStoredElementSize<TYPE>());
    for (; nNewCount > 0; --nNewCount) {
      TYPE newData{};
      SerializeElements<TYPE>(ar, &newData, 1);
      AddTail(newData);
    }
  }
}

// A list of pointers typed over CPtrList or CObList.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
  explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
  TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
  TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
  TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
  TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
  TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
  TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
  POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
  POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
  TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
  TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
  TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
  TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
  TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
  TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
  void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
  POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
  POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
  POSITION Find(TYPE searchValue, POSITION startAfter = nullptr) const { return BASE_CLASS::Find(searchValue, startAfter); }
};

// Pointer lists do not serialise their pointers.
class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
public:
  explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
// Objects serialise as object records (CArchive::WriteObject).
class CObList : public CList<CObject*, CObject*> {
  DECLARE_SERIAL(CObList)
public:
  explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};
class CStringList : public CList<CString, const CString&> {
  DECLARE_SERIAL(CStringList)
public:
  explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};
