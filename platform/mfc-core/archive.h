// CArchive: the framework's binary serialisation over a CFile (or CMemFile), through a buffer.
//
// Byte forms, all little-endian, no tags between values:
//   BYTE, char, bool: 1 byte (bool 0 or 1); WORD, short: 2; int, unsigned, LONG, DWORD, BOOL, float: 4;
//   double, LONGLONG, ULONGLONG and `long` (64-bit here!): 8. Store 32-bit fields as LONG/int, never `long`.
//   CString: length prefix, then the cp1251 bytes without terminator. Prefix: one byte below 255; else 0xFF and
//     a WORD below 0xFFFE; else 0xFF, WORD 0xFFFF and a DWORD. On loading, 0xFF WORD 0xFFFE marks UTF-16 text:
//     a second prefix of the same scheme counts 16-bit characters, which are converted to cp1251 ('?' when
//     unmappable).
//   Counts (WriteCount/ReadCount): a WORD below 0xFFFF; else WORD 0xFFFF and a DWORD.
//   Objects (WriteObject/ReadObject): WORD 0 for null; a new class as WORD 0xFFFF, WORD schema, WORD name
//     length and the name, then the object's own Serialize; a class seen before as WORD 0x8000 | index; an
//     object seen before as WORD index (0x7FFF and a DWORD when the index does not fit). Indexes count classes
//     and objects together from 1, in the order they first appear.
//
// Errors: CArchiveException endOfFile on a load past the end (and before allocating for a length the rest of
// the file cannot hold), readOnly on a store into a loading archive, writeOnly on a load from a storing one;
// badClass, badSchema, badIndex for object records. Read() of raw bytes answers a short count instead.
#pragma once

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

#include <bit>
#include <cstring>
#include <memory>
#include <type_traits>
#include <unordered_map>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the archive's byte forms assume a little-endian host");

class CFile;
class CDocument;

class CArchive {
public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  // lpBuf, when given, is a caller's buffer of nBufSize bytes that the archive uses and does not free.
  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
  // Closes (flushing a storing archive) unless bNoFlushOnDelete; errors at that point are dropped.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  BOOL IsByteSwapping() const { return FALSE; }
  // Loading: nothing read ahead is left; storing: nothing waits to be written.
  BOOL IsBufferEmpty() const { return IsLoading() ? m_lpBufCur == m_lpBufMax : m_lpBufCur == m_lpBufStart; }
  CFile* GetFile() const { return m_pFile; }

  // The schema of the object being loaded by ReadObject (versionable classes); answers it once, then -1.
  UINT GetObjectSchema();
  void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

  // Raw bytes. Read answers how many arrived (fewer only at the end of the file).
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);
  // Storing: writes the buffer to the file. Loading: gives back to the file what was buffered but not read.
  void Flush();
  void Close();
  // Detaches from the file without writing what is buffered; never throws.
  void Abort();

  // Text lines: WriteString writes the bytes as they are; ReadString reads up to LF (dropping CR LF / LF).
  void WriteString(LPCTSTR lpsz);
  BOOL ReadString(CString& rString);
  LPTSTR ReadString(LPTSTR lpsz, UINT nMax);

  DWORD_PTR ReadCount();
  void WriteCount(DWORD_PTR dwCount);

  // Throws endOfFile when fewer than nBytes can remain to be read, as far as the file's length tells.
  // Readers call it before allocating for a count or a length read from the file.
  void EnsureAvailable(ULONGLONG nBytes);

  CObject* ReadObject(const CRuntimeClass* pClass);
  void WriteObject(const CObject* pOb);
  // pClassRefRequested: the loaded class must derive from it (badClass otherwise).
  CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                           DWORD* pObTag = nullptr);
  void WriteClass(const CRuntimeClass* pClassRef);
  void SerializeClass(const CRuntimeClass* pClassRef);
  // Registers an object so that later references to it are written (or read) as an index.
  void MapObject(const CObject* pOb);
  void SetStoreParams(UINT /*nHashSize*/ = 2053, UINT /*nBlockSize*/ = 128) {}
  void SetLoadParams(UINT /*nGrowBy*/ = 1024) {}

  // Values.
  CArchive& operator<<(BYTE by) { return StoreValue(by); }
  CArchive& operator<<(char ch) { return StoreValue(ch); }
  CArchive& operator<<(signed char ch) { return StoreValue(ch); }
  CArchive& operator<<(bool b) { return StoreValue(static_cast<BYTE>(b ? 1 : 0)); }
  CArchive& operator<<(WORD w) { return StoreValue(w); }
  CArchive& operator<<(short w) { return StoreValue(w); }
  CArchive& operator<<(int i) { return StoreValue(i); }
  CArchive& operator<<(unsigned u) { return StoreValue(u); }
  CArchive& operator<<(long l) { return StoreValue(l); }
  CArchive& operator<<(unsigned long u) { return StoreValue(u); }
  CArchive& operator<<(long long l) { return StoreValue(l); }
  CArchive& operator<<(unsigned long long u) { return StoreValue(u); }
  CArchive& operator<<(float f) { return StoreValue(f); }
  CArchive& operator<<(double d) { return StoreValue(d); }
  // A C string is stored as a CString; other non-object pointers are refused at compile time rather than
  // quietly stored as a bool.
  CArchive& operator<<(LPCSTR lpsz);
  template <typename T>
    requires(!std::is_base_of_v<CObject, std::remove_cv_t<T>> && !std::is_same_v<std::remove_cv_t<T>, char>)
  CArchive& operator<<(T*) = delete;

  CArchive& operator>>(BYTE& by) { return LoadValue(by); }
  CArchive& operator>>(char& ch) { return LoadValue(ch); }
  CArchive& operator>>(signed char& ch) { return LoadValue(ch); }
  CArchive& operator>>(bool& b);
  CArchive& operator>>(WORD& w) { return LoadValue(w); }
  CArchive& operator>>(short& w) { return LoadValue(w); }
  CArchive& operator>>(int& i) { return LoadValue(i); }
  CArchive& operator>>(unsigned& u) { return LoadValue(u); }
  CArchive& operator>>(long& l) { return LoadValue(l); }
  CArchive& operator>>(unsigned long& u) { return LoadValue(u); }
  CArchive& operator>>(long long& l) { return LoadValue(l); }
  CArchive& operator>>(unsigned long long& u) { return LoadValue(u); }
  CArchive& operator>>(float& f) { return LoadValue(f); }
  CArchive& operator>>(double& d) { return LoadValue(d); }

  friend CArchive& operator<<(CArchive& ar, const CString& str);
  friend CArchive& operator>>(CArchive& ar, CString& str);
  friend CArchive& operator<<(CArchive& ar, const CObject* pOb) { ar.WriteObject(pOb); return ar; }
  friend CArchive& operator>>(CArchive& ar, CObject*& pOb) { pOb = ar.ReadObject(nullptr); return ar; }
  friend CArchive& operator>>(CArchive& ar, const CObject*& pOb) { pOb = ar.ReadObject(nullptr); return ar; }

  CString m_strFileName;
  CDocument* m_pDocument = nullptr;

private:
  template <typename T>
  CArchive& StoreValue(T value)
  {
    if (!IsStoring()) {
      ThrowArchive(CArchiveException::readOnly);
    }
    if (static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < sizeof(T)) {
      WriteBufferToFile();
    }
    std::memcpy(m_lpBufCur, &value, sizeof(T));
    m_lpBufCur += sizeof(T);
    return *this;
  }

  template <typename T>
  CArchive& LoadValue(T& value)
  {
    if (!IsLoading()) {
      ThrowArchive(CArchiveException::writeOnly);
    }
    if (static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < sizeof(T)) {
      FillBuffer(sizeof(T));
    }
    std::memcpy(&value, m_lpBufCur, sizeof(T));
    m_lpBufCur += sizeof(T);
    return *this;
  }

  [[noreturn]] void ThrowArchive(int cause) const;
  void CheckLoading() const;
  void CheckStoring() const;
  // Storing: empties the buffer into the file.
  void WriteBufferToFile();
  // Loading: keeps the unread bytes and reads more until at least nBytesNeeded are buffered, or throws endOfFile.
  void FillBuffer(UINT nBytesNeeded);
  // The string length prefix (after a UTF-16 marker too); sets *pWide when the text is 16-bit.
  ULONGLONG ReadStringLength(bool* pWide);

  struct LoadedEntry {
    void* pointer;
    bool isClass;
    UINT schema;
  };

  CFile* m_pFile;
  UINT m_nMode;
  UINT m_nBufSize;
  BYTE* m_lpBufStart;
  BYTE* m_lpBufCur;
  BYTE* m_lpBufMax;
  std::unique_ptr<BYTE[]> m_ownedBuffer;
  UINT m_nObjectSchema = static_cast<UINT>(-1);
  DWORD m_nMapCount = 1;  // index 0 stands for null
  UINT m_nReadDepth = 0;  // objects being read inside one another
  std::unordered_map<const void*, DWORD> m_storeMap;
  std::vector<LoadedEntry> m_loadArray;
};
