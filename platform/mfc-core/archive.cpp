#include "platform/mfc-core/archive.h"

#include "platform/base/codepage.h"
#include "platform/mfc-core/cfile.h"

#include <algorithm>
#include <string>

namespace {

// Object record tags.
constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000u;
constexpr DWORD kMaxMapCount = 0x3FFFFFFEu;

constexpr UINT kMinBufferSize = 128;
// Objects nest only a few levels in real files; a file that nests deeper is built to exhaust the stack.
constexpr UINT kMaxReadDepth = 1000;

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf) : m_pFile(pFile), m_nMode(nMode)
{
  if (pFile == nullptr) {
    AfxThrowInvalidArgException();
  }
  m_strFileName = pFile->GetFilePath();
  if (lpBuf != nullptr && nBufSize >= static_cast<int>(kMinBufferSize)) {
    m_nBufSize = static_cast<UINT>(nBufSize);
    m_lpBufStart = static_cast<BYTE*>(lpBuf);
  } else {
    m_nBufSize = std::max<UINT>(kMinBufferSize, nBufSize > 0 ? static_cast<UINT>(nBufSize) : 0);
    m_ownedBuffer = std::make_unique<BYTE[]>(m_nBufSize);
    m_lpBufStart = m_ownedBuffer.get();
  }
  m_lpBufCur = m_lpBufStart;
  // A loading archive starts empty and fills on demand; a storing one has the whole buffer to fill.
  m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive()
{
  if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete)) {
    try {
      Close();
    } catch (CException* e) {
      // A destructor cannot report; callers who care close the archive themselves.
      e->Delete();
    }
  }
  m_pFile = nullptr;
}

void CArchive::ThrowArchive(int cause) const { AfxThrowArchiveException(cause, m_strFileName); }

void CArchive::CheckLoading() const
{
  if (!IsLoading()) {
    ThrowArchive(CArchiveException::writeOnly);
  }
}

void CArchive::CheckStoring() const
{
  if (!IsStoring()) {
    ThrowArchive(CArchiveException::readOnly);
  }
}

UINT CArchive::GetObjectSchema()
{
  UINT schema = m_nObjectSchema;
  m_nObjectSchema = static_cast<UINT>(-1);
  return schema;
}

void CArchive::WriteBufferToFile()
{
  if (m_lpBufCur != m_lpBufStart) {
    const auto n = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
    // Reset first: should the write throw, the archive is still consistent (and the bytes are lost).
    m_lpBufCur = m_lpBufStart;
    m_pFile->Write(m_lpBufStart, n);
  }
}

void CArchive::FillBuffer(UINT nBytesNeeded)
{
  if (m_pFile == nullptr) {
    ThrowArchive(CArchiveException::endOfFile);
  }
  const auto unread = static_cast<std::size_t>(m_lpBufMax - m_lpBufCur);
  if (unread > 0 && m_lpBufCur != m_lpBufStart) {
    std::memmove(m_lpBufStart, m_lpBufCur, unread);
  }
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = m_lpBufStart + unread;
  while (static_cast<UINT>(m_lpBufMax - m_lpBufStart) < nBytesNeeded) {
    const UINT room = m_nBufSize - static_cast<UINT>(m_lpBufMax - m_lpBufStart);
    const UINT got = m_pFile->Read(m_lpBufMax, room);
    if (got == 0) {
      ThrowArchive(CArchiveException::endOfFile);
    }
    m_lpBufMax += got;
  }
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
  CheckLoading();
  if (nMax == 0) {
    return 0;
  }
  auto* out = static_cast<BYTE*>(lpBuf);
  UINT done = std::min<UINT>(nMax, static_cast<UINT>(m_lpBufMax - m_lpBufCur));
  std::memcpy(out, m_lpBufCur, done);
  m_lpBufCur += done;
  while (done < nMax) {
    const UINT want = nMax - done;
    if (want >= m_nBufSize) {
      // Large reads go straight from the file into the caller's memory.
      const UINT got = m_pFile->Read(out + done, want);
      if (got == 0) {
        break;
      }
      done += got;
      continue;
    }
    m_lpBufCur = m_lpBufMax = m_lpBufStart;
    const UINT got = m_pFile->Read(m_lpBufStart, m_nBufSize);
    if (got == 0) {
      break;
    }
    m_lpBufMax = m_lpBufStart + got;
    const UINT piece = std::min(want, got);
    std::memcpy(out + done, m_lpBufCur, piece);
    m_lpBufCur += piece;
    done += piece;
  }
  return done;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
  CheckStoring();
  if (nMax == 0) {
    return;
  }
  const auto* in = static_cast<const BYTE*>(lpBuf);
  const UINT room = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
  if (nMax <= room) {
    std::memcpy(m_lpBufCur, in, nMax);
    m_lpBufCur += nMax;
    return;
  }
  std::memcpy(m_lpBufCur, in, room);
  m_lpBufCur += room;
  in += room;
  nMax -= room;
  WriteBufferToFile();
  if (nMax >= m_nBufSize) {
    m_pFile->Write(in, nMax);
    return;
  }
  std::memcpy(m_lpBufCur, in, nMax);
  m_lpBufCur += nMax;
}

void CArchive::Flush()
{
  if (m_pFile == nullptr) {
    return;
  }
  if (IsStoring()) {
    WriteBufferToFile();
  } else if (m_lpBufMax != m_lpBufCur) {
    // Give back what was read ahead, so the file stands where the archive's reader stopped.
    const LONGLONG unread = m_lpBufMax - m_lpBufCur;
    m_lpBufCur = m_lpBufMax = m_lpBufStart;
    m_pFile->Seek(-unread, CFile::current);
  }
}

void CArchive::Close()
{
  Flush();
  m_pFile = nullptr;
}

void CArchive::Abort()
{
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
  m_pFile = nullptr;
}

void CArchive::EnsureAvailable(ULONGLONG nBytes)
{
  const auto buffered = static_cast<ULONGLONG>(m_lpBufMax - m_lpBufCur);
  if (!IsLoading() || nBytes <= buffered || m_pFile == nullptr) {
    return;
  }
  ULONGLONG length = 0;
  ULONGLONG position = 0;
  try {
    length = m_pFile->GetLength();
    position = m_pFile->GetPosition();
  } catch (CException* e) {
    // A file that cannot tell its length (a stream) is read as it comes.
    e->Delete();
    return;
  }
  const ULONGLONG inFile = length > position ? length - position : 0;
  if (nBytes > buffered + inFile) {
    ThrowArchive(CArchiveException::endOfFile);
  }
}

void CArchive::WriteString(LPCTSTR lpsz)
{
  if (lpsz != nullptr) {
    Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
  }
}

BOOL CArchive::ReadString(CString& rString)
{
  CheckLoading();
  std::string line;
  bool any = false;
  for (;;) {
    if (m_lpBufCur == m_lpBufMax) {
      m_lpBufCur = m_lpBufMax = m_lpBufStart;
      const UINT got = m_pFile != nullptr ? m_pFile->Read(m_lpBufStart, m_nBufSize) : 0;
      if (got == 0) {
        break;
      }
      m_lpBufMax = m_lpBufStart + got;
    }
    any = true;
    const char ch = static_cast<char>(*m_lpBufCur++);
    if (ch == '\n') {
      break;
    }
    line += ch;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  rString = CString(std::string_view(line));
  return any ? TRUE : FALSE;
}

LPTSTR CArchive::ReadString(LPTSTR lpsz, UINT nMax)
{
  if (lpsz == nullptr || nMax == 0) {
    return nullptr;
  }
  CString line;
  if (!ReadString(line)) {
    *lpsz = '\0';
    return nullptr;
  }
  const UINT n = std::min<UINT>(static_cast<UINT>(line.GetLength()), nMax - 1);
  std::memcpy(lpsz, line.GetString(), n);
  lpsz[n] = '\0';
  return lpsz;
}

DWORD_PTR CArchive::ReadCount()
{
  WORD wCount = 0;
  *this >> wCount;
  if (wCount != 0xFFFF) {
    return wCount;
  }
  DWORD dwCount = 0;
  *this >> dwCount;
  return dwCount;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
  if (dwCount < 0xFFFF) {
    *this << static_cast<WORD>(dwCount);
    return;
  }
  if (dwCount > 0xFFFFFFFFu) {
    // The 32-bit form is all the program's files know.
    AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
  }
  *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(dwCount);
}

CArchive& CArchive::operator<<(LPCSTR lpsz) { return *this << CString(lpsz); }

CArchive& CArchive::operator>>(bool& b)
{
  BYTE by = 0;
  LoadValue(by);
  b = by != 0;
  return *this;
}

ULONGLONG CArchive::ReadStringLength(bool* pWide)
{
  *pWide = false;
  BYTE bLength = 0;
  *this >> bLength;
  if (bLength < 0xFF) {
    return bLength;
  }
  WORD wLength = 0;
  *this >> wLength;
  if (wLength == 0xFFFE) {
    // UTF-16 text: the real length follows in the same scheme, counting 16-bit characters.
    *pWide = true;
    *this >> bLength;
    if (bLength < 0xFF) {
      return bLength;
    }
    *this >> wLength;
  }
  if (wLength < 0xFFFF) {
    return wLength;
  }
  DWORD dwLength = 0;
  *this >> dwLength;
  return dwLength;
}

CArchive& operator<<(CArchive& ar, const CString& str)
{
  const auto length = static_cast<ULONGLONG>(str.GetLength());
  if (length < 0xFF) {
    ar << static_cast<BYTE>(length);
  } else if (length < 0xFFFE) {
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
  } else {
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
  }
  ar.Write(str.GetString(), static_cast<UINT>(length));
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& str)
{
  bool wide = false;
  const ULONGLONG length = ar.ReadStringLength(&wide);
  const ULONGLONG bytes = wide ? length * 2 : length;
  ar.EnsureAvailable(bytes);
  if (bytes > 0x7FFFFFFFu) {
    // Beyond what a CString holds; only a file that cannot tell its length gets this far.
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  }
  if (!wide) {
    CString text;
    char* buffer = text.GetBufferSetLength(static_cast<int>(length));
    if (ar.Read(buffer, static_cast<UINT>(length)) != length) {
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
    str = std::move(text);
    return ar;
  }
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  if (ar.Read(text.data(), static_cast<UINT>(bytes)) != bytes) {
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  }
  str = CString::FromUtf16(text);
  return ar;
}

// Object records.

void CArchive::MapObject(const CObject* pOb)
{
  if (IsStoring()) {
    if (pOb != nullptr && !m_storeMap.contains(pOb)) {
      m_storeMap.emplace(pOb, m_nMapCount++);
    }
  } else {
    m_loadArray.push_back({const_cast<CObject*>(pOb), false, 0});
    ++m_nMapCount;
  }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
  CheckStoring();
  if (pClassRef == nullptr || pClassRef->m_wSchema == 0xFFFF) {
    // Only serialisable classes have records.
    AfxThrowNotSupportedException();
  }
  if (auto it = m_storeMap.find(pClassRef); it != m_storeMap.end()) {
    const DWORD nClassIndex = it->second;
    if (nClassIndex < kBigObjectTag) {
      *this << static_cast<WORD>(kClassTag | nClassIndex);
    } else {
      *this << kBigObjectTag << (kBigClassTag | nClassIndex);
    }
    return;
  }
  *this << kNewClassTag;
  pClassRef->Store(*this);
  if (m_nMapCount >= kMaxMapCount) {
    ThrowArchive(CArchiveException::badIndex);
  }
  m_storeMap.emplace(pClassRef, m_nMapCount++);
}

void CArchive::WriteObject(const CObject* pOb)
{
  CheckStoring();
  if (pOb == nullptr) {
    *this << kNullTag;
    return;
  }
  if (auto it = m_storeMap.find(pOb); it != m_storeMap.end()) {
    const DWORD nObIndex = it->second;
    if (nObIndex < kBigObjectTag) {
      *this << static_cast<WORD>(nObIndex);
    } else {
      *this << kBigObjectTag << nObIndex;
    }
    return;
  }
  WriteClass(pOb->GetRuntimeClass());
  if (m_nMapCount >= kMaxMapCount) {
    ThrowArchive(CArchiveException::badIndex);
  }
  // Mapped before its contents, so that objects inside referring back to it store an index.
  m_storeMap.emplace(pOb, m_nMapCount++);
  const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
  CheckLoading();
  if (pClassRefRequested != nullptr && pClassRefRequested->m_wSchema == 0xFFFF) {
    AfxThrowNotSupportedException();
  }
  WORD wTag = 0;
  *this >> wTag;
  DWORD obTag;
  if (wTag == kBigObjectTag) {
    *this >> obTag;
  } else {
    obTag = (static_cast<DWORD>(wTag & kClassTag) << 16) | (wTag & ~kClassTag);
  }
  if (pObTag != nullptr) {
    *pObTag = obTag;
  }

  CRuntimeClass* pClassRef = nullptr;
  UINT nSchema = 0;
  if (wTag == kNewClassTag) {
    pClassRef = CRuntimeClass::Load(*this, &nSchema);
    if (pClassRef == nullptr) {
      ThrowArchive(CArchiveException::badClass);
    }
    const UINT ownSchema = pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA;
    if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA) && ownSchema != nSchema) {
      ThrowArchive(CArchiveException::badSchema);
    }
    if (m_nMapCount >= kMaxMapCount) {
      ThrowArchive(CArchiveException::badIndex);
    }
    m_loadArray.push_back({pClassRef, true, nSchema});
    ++m_nMapCount;
  } else if (obTag & kBigClassTag) {
    const DWORD nClassIndex = obTag & ~kBigClassTag;
    if (nClassIndex == 0 || nClassIndex > m_loadArray.size() || !m_loadArray[nClassIndex - 1].isClass) {
      ThrowArchive(CArchiveException::badIndex);
    }
    const LoadedEntry& entry = m_loadArray[nClassIndex - 1];
    pClassRef = static_cast<CRuntimeClass*>(entry.pointer);
    nSchema = entry.schema;
  } else {
    // An object reference (or null): no class here.
    return nullptr;
  }
  if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested)) {
    ThrowArchive(CArchiveException::badClass);
  }
  if (pSchema != nullptr) {
    *pSchema = nSchema;
  } else {
    m_nObjectSchema = nSchema;
  }
  return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
  if (IsStoring()) {
    WriteClass(pClassRef);
  } else {
    ReadClass(pClassRef);
  }
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
  CheckLoading();
  UINT nSchema = 0;
  DWORD obTag = 0;
  CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
  if (pClassRef == nullptr) {
    if (obTag == 0) {
      return nullptr;
    }
    if (obTag > m_loadArray.size() || m_loadArray[obTag - 1].isClass) {
      ThrowArchive(CArchiveException::badIndex);
    }
    auto* pOb = static_cast<CObject*>(m_loadArray[obTag - 1].pointer);
    if (pOb != nullptr && pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested)) {
      ThrowArchive(CArchiveException::badClass);
    }
    return pOb;
  }
  if (m_nReadDepth >= kMaxReadDepth) {
    ThrowArchive(CArchiveException::genericException);
  }
  CObject* pOb = pClassRef->CreateObject();
  if (pOb == nullptr) {
    ThrowArchive(CArchiveException::badClass);
  }
  const std::size_t ownEntry = m_loadArray.size();
  m_loadArray.push_back({pOb, false, 0});
  ++m_nMapCount;
  const UINT savedSchema = m_nObjectSchema;
  m_nObjectSchema = nSchema;
  ++m_nReadDepth;
  try {
    pOb->Serialize(*this);
  } catch (...) {
    // The half-read object is dropped; references to it already handed out are the caller's to forget.
    --m_nReadDepth;
    m_loadArray[ownEntry].pointer = nullptr;
    delete pOb;
    m_nObjectSchema = savedSchema;
    throw;
  }
  --m_nReadDepth;
  m_nObjectSchema = savedSchema;
  return pOb;
}
