#include "toolkit/paint/prop_exchange.h"

#include "platform/mfc-core/memfile.h"
#include "platform/mfc/winapp.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Registry strings of the toolkit are short; anything longer is not a value we wrote.
constexpr DWORD kMaxStringBytes = 64 * 1024;

BOOL Succeeded(LSTATUS status) { return status == static_cast<LSTATUS>(ERROR_SUCCESS) ? TRUE : FALSE; }

std::size_t ValueBytes(VARTYPE vt)
{
  switch (vt) {
    case VT_I4:
    case VT_BOOL: return 4;
    case VT_TK_RECT: return 16;
    case VT_TK_SIZE: return 8;
    default: return 0;
  }
}

bool EqualsDefault(VARTYPE vt, const void* pvProp, const void* pvDefault)
{
  if (pvDefault == nullptr) {
    return false;
  }
  if (vt == VT_LPSTR) {
    return static_cast<const CString*>(pvProp)->Compare(static_cast<LPCTSTR>(pvDefault)) == 0;
  }
  return pvProp == pvDefault || std::memcmp(pvProp, pvDefault, ValueBytes(vt)) == 0;
}

void CopyDefault(VARTYPE vt, void* pvProp, const void* pvDefault)
{
  if (vt == VT_LPSTR) {
    *static_cast<CString*>(pvProp) = static_cast<LPCTSTR>(pvDefault);
  } else {
    std::memmove(pvProp, pvDefault, ValueBytes(vt));
  }
}

bool Known(VARTYPE vt) { return vt == VT_LPSTR || ValueBytes(vt) != 0; }

// "%i, %i[, %i, %i]": exactly `count` numbers or nothing.
bool ParseNumbers(const CString& text, int* numbers, int count)
{
  int consumed = 0;
  int parsed = count == 4 ? std::sscanf(text, "%i, %i, %i, %i%n", &numbers[0], &numbers[1], &numbers[2],
                                        &numbers[3], &consumed)
                          : std::sscanf(text, "%i, %i%n", &numbers[0], &numbers[1], &consumed);
  return parsed == count;
}

// Deletes the key and everything below it; the store refuses to delete a key that still has keys below.
void DeleteTree(HKEY hParent, LPCTSTR pszPath)
{
  HKEY key = nullptr;
  if (!Succeeded(RegOpenKeyEx(hParent, pszPath, 0, KEY_READ | KEY_WRITE, &key))) {
    return;
  }
  std::vector<CString> children;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (!Succeeded(RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr))) {
      break;
    }
    children.emplace_back(name);
  }
  for (const CString& child : children) {
    DeleteTree(key, child);
  }
  RegCloseKey(key);
  RegDeleteKey(hParent, pszPath);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Shared by both forms.

void CTKPropExchange::InitSection(CTKPropExchange* pSection) const
{
  pSection->m_pOwner = m_pOwner;
  pSection->m_nSchema = m_nSchema;
  pSection->m_bEmptySection = m_bEmptySection;
  pSection->m_bUseDefaultOnLoad = m_bUseDefaultOnLoad;
  pSection->m_bUseDefaultOnSave = m_bUseDefaultOnSave;
  pSection->m_bChildSection = TRUE;
}

BOOL CTKPropExchange::OnBeforeExchange()
{
  m_bInitialized = TRUE;
  return TRUE;
}

void CTKPropExchange::EmptySection() { m_bEmptySection = TRUE; }

void CTKPropExchange::WriteCount(DWORD dwCount)
{
  int count = static_cast<int>(dwCount);
  PX_Int(this, "Count", count, 0);
}

DWORD CTKPropExchange::ReadCount()
{
  int count = 0;
  PX_Int(this, "Count", count, 0);
  return count < 0 ? 0 : static_cast<DWORD>(count);
}

DWORD CTKPropExchange::CountNumberedSections(LPCTSTR) { return 0xFFFFFFFFu; }

void CTKPropExchange::ExchangeSchema()
{
  int schema = static_cast<int>(m_nSchema);
  PX_Int(this, "Schema", schema, static_cast<int>(kTKPropExchangeSchema));
  m_nSchema = static_cast<DWORD>(schema);
}

BOOL CTKPropExchange::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pClass)
{
  CRuntimeClass* pObjectClass = nullptr;
  if (!m_bLoading) {
    pObjectClass = *ppObject != nullptr ? (*ppObject)->GetRuntimeClass() : pClass;
    return ExchangeRuntimeClass("Class", &pObjectClass, pClass);
  }
  *ppObject = nullptr;
  if (!ExchangeRuntimeClass("Class", &pObjectClass, pClass) || pObjectClass == nullptr) {
    return FALSE;
  }
  CObject* pObject = pObjectClass->CreateObject();
  if (pObject == nullptr) {
    return FALSE;
  }
  if (pClass != nullptr && !pObject->IsKindOf(pClass)) {
    delete pObject;
    return FALSE;
  }
  *ppObject = pObject;
  return TRUE;
}

CArchive* CTKPropExchange::GetArchive(LPCTSTR pszName)
{
  if (!m_bLoading) {
    auto* pFile = new CMemFile(1024);
    return new CArchive(pFile, CArchive::store, 4096);
  }
  BYTE* pData = nullptr;
  DWORD nBytes = 0;
  if (!ExchangeBlob(pszName, &pData, &nBytes) || pData == nullptr) {
    std::free(pData);
    return nullptr;
  }
  if (nBytes == 0) {
    std::free(pData);
    return nullptr;
  }
  auto* pFile = new CMemFile(pData, nBytes);
  return new CArchive(pFile, CArchive::load, 4096);
}

void CTKPropExchange::ReleaseArchive(LPCTSTR pszName, CArchive* pArchive)
{
  if (pArchive == nullptr) {
    return;
  }
  auto* pFile = static_cast<CMemFile*>(pArchive->GetFile());
  if (!m_bLoading) {
    pArchive->Flush();
    DWORD nBytes = static_cast<DWORD>(pFile->GetLength());
    BYTE* pData = pFile->Detach();
    m_bArchiveStored = ExchangeBlob(pszName, &pData, &nBytes);
    std::free(pData);
  }
  pArchive->Abort();
  BYTE* pBuffer = m_bLoading ? pFile->Detach() : nullptr;
  pFile->Close();
  delete pFile;
  std::free(pBuffer);
  delete pArchive;
}

CTKPropExchangeEnumerator* CTKPropExchange::GetEnumerator(LPCTSTR pszSection)
{
  return new CTKPropExchangeEnumerator(this, pszSection);
}

// ---------------------------------------------------------------------------------------------------------------
// Registry form: sections are keys, values are named.

CTKPropExchangeRegistry::CTKPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection)
    : CTKPropExchange(bLoading), m_hParentKey(hParentKey), m_strPath(lpszSection)
{
}

CTKPropExchangeRegistry::~CTKPropExchangeRegistry() { CloseKey(); }

void CTKPropExchangeRegistry::CloseKey()
{
  if (m_hKey != nullptr) {
    RegCloseKey(m_hKey);
    m_hKey = nullptr;
  }
}

BOOL CTKPropExchangeRegistry::OnBeforeExchange()
{
  if (m_hParentKey == nullptr) {
    return FALSE;
  }
  if (!m_bInitialized) {
    m_bInitialized = TRUE;
    // Loading only opens: a read must not leave empty keys behind.
    if (m_bLoading) {
      RegOpenKeyEx(m_hParentKey, m_strPath, 0, KEY_READ, &m_hKey);
    } else {
      RegCreateKeyEx(m_hParentKey, m_strPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &m_hKey,
                     nullptr);
    }
  }
  return m_hKey != nullptr;
}

BOOL CTKPropExchangeRegistry::QueryString(LPCTSTR pszName, CString& text)
{
  DWORD type = 0;
  DWORD size = 0;
  if (!Succeeded(RegQueryValueEx(m_hKey, pszName, nullptr, &type, nullptr, &size)) || type != REG_SZ ||
      size > kMaxStringBytes) {
    return FALSE;
  }
  std::vector<BYTE> data(size + 1, 0);
  DWORD read = size;
  if (!Succeeded(RegQueryValueEx(m_hKey, pszName, nullptr, &type, data.data(), &read)) || read > size) {
    return FALSE;
  }
  data[read] = 0;
  text = reinterpret_cast<const char*>(data.data());
  return TRUE;
}

BOOL CTKPropExchangeRegistry::ExchangeProp(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault)
{
  if (!Known(vt)) {
    return FALSE;
  }
  if (m_bLoading) {
    return LoadValue(pszName, vt, pvProp, m_bUseDefaultOnLoad ? pvDefault : nullptr);
  }
  return SaveValue(pszName, vt, pvProp, m_bUseDefaultOnSave ? pvDefault : nullptr);
}

BOOL CTKPropExchangeRegistry::LoadValue(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault)
{
  auto takeDefault = [&] {
    if (pvDefault == nullptr) {
      return FALSE;
    }
    CopyDefault(vt, pvProp, pvDefault);
    return TRUE;
  };
  if (!OnBeforeExchange()) {
    return takeDefault();
  }
  if (vt == VT_I4 || vt == VT_BOOL) {
    DWORD type = 0;
    BYTE data[4];
    DWORD size = sizeof data;
    // Only a 4-byte REG_DWORD is a number: four bytes of a string would be a number nobody saved.
    if (Succeeded(RegQueryValueEx(m_hKey, pszName, nullptr, &type, data, &size)) && type == REG_DWORD &&
        size == sizeof data) {
      std::memcpy(pvProp, data, sizeof data);
      return TRUE;
    }
    return takeDefault();
  }
  CString text;
  if (!QueryString(pszName, text)) {
    return takeDefault();
  }
  if (vt == VT_LPSTR) {
    *static_cast<CString*>(pvProp) = text;
    return TRUE;
  }
  int numbers[4] = {};
  int count = vt == VT_TK_RECT ? 4 : 2;
  if (!ParseNumbers(text, numbers, count)) {
    return takeDefault();
  }
  std::memcpy(pvProp, numbers, sizeof(int) * count);
  return TRUE;
}

BOOL CTKPropExchangeRegistry::SaveValue(LPCTSTR pszName, VARTYPE vt, const void* pvProp, const void* pvDefault)
{
  if (!OnBeforeExchange()) {
    return FALSE;
  }
  if (EqualsDefault(vt, pvProp, pvDefault)) {
    if (!m_bEmptySection) {
      RegDeleteValue(m_hKey, pszName);
    }
    return TRUE;
  }
  CString text;
  switch (vt) {
    case VT_I4:
    case VT_BOOL:
      return Succeeded(RegSetValueEx(m_hKey, pszName, 0, REG_DWORD, static_cast<const BYTE*>(pvProp), 4));
    case VT_LPSTR: text = *static_cast<const CString*>(pvProp); break;
    case VT_TK_RECT: {
      const auto* rc = static_cast<const RECT*>(pvProp);
      text.Format("%i, %i, %i, %i", rc->left, rc->top, rc->right, rc->bottom);
      break;
    }
    default: {
      const auto* sz = static_cast<const SIZE*>(pvProp);
      text.Format("%i, %i", sz->cx, sz->cy);
      break;
    }
  }
  return Succeeded(RegSetValueEx(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(LPCTSTR(text)),
                                 static_cast<DWORD>(text.GetLength() + 1)));
}

BOOL CTKPropExchangeRegistry::ExchangeBlob(LPCTSTR pszName, BYTE** ppData, DWORD* pnBytes)
{
  if (!OnBeforeExchange()) {
    return FALSE;
  }
  if (!m_bLoading) {
    // What could never be loaded again is refused now, not found missing later.
    if (*pnBytes > kTKMaxBlobBytes) {
      return FALSE;
    }
    return Succeeded(RegSetValueEx(m_hKey, pszName, 0, REG_BINARY, *ppData, *pnBytes));
  }
  DWORD type = 0;
  DWORD size = 0;
  if (!Succeeded(RegQueryValueEx(m_hKey, pszName, nullptr, &type, nullptr, &size)) || type != REG_BINARY) {
    return FALSE;
  }
  BYTE* pTarget = *ppData;
  if (pTarget != nullptr) {
    if (size > *pnBytes) {
      return FALSE;
    }
  } else {
    if (size > kTKMaxBlobBytes) {
      return FALSE;
    }
    pTarget = static_cast<BYTE*>(std::malloc(size == 0 ? 1 : size));
    if (pTarget == nullptr) {
      return FALSE;
    }
  }
  // The value may have changed since its size was asked: the read is bounded by what was checked.
  DWORD read = size;
  if (!Succeeded(RegQueryValueEx(m_hKey, pszName, nullptr, &type, pTarget, &read)) || read != size) {
    if (pTarget != *ppData) {
      std::free(pTarget);
    }
    return FALSE;
  }
  *ppData = pTarget;
  *pnBytes = size;
  return TRUE;
}

BOOL CTKPropExchangeRegistry::ExchangeRuntimeClass(LPCTSTR pszName, CRuntimeClass** ppClass,
                                                   CRuntimeClass* pDefault)
{
  if (!m_bLoading) {
    CString name = *ppClass != nullptr ? (*ppClass)->m_lpszClassName : "";
    CString defaultName = pDefault != nullptr ? pDefault->m_lpszClassName : "";
    return PX_String(this, pszName, name, defaultName);
  }
  CString name;
  if (!PX_StringNoDefault(this, pszName, name)) {
    *ppClass = pDefault;
    return TRUE;
  }
  *ppClass = CRuntimeClass::FromName(name);
  return *ppClass != nullptr;
}

CTKPropExchange* CTKPropExchangeRegistry::GetSection(LPCTSTR pszSection)
{
  OnBeforeExchange();
  auto* pSection = new CTKPropExchangeRegistry(m_bLoading, m_hKey, pszSection);
  InitSection(pSection);
  return pSection;
}

void CTKPropExchangeRegistry::EmptySection()
{
  CTKPropExchange::EmptySection();
  CloseKey();
  if (m_hParentKey != nullptr) {
    DeleteTree(m_hParentKey, m_strPath);
  }
  // The next value creates the key afresh.
  m_bInitialized = FALSE;
}

DWORD CTKPropExchangeRegistry::ReadCount()
{
  DWORD count = CTKPropExchange::ReadCount();
  if (!m_bLoading || m_hKey == nullptr || count <= kTKTrustedCount) {
    return count;
  }
  // A count this large names values or sections of this key; it cannot exceed how many of both the key has.
  DWORD held = 0;
  for (DWORD i = 0; held < count; ++i, ++held) {
    char name[256];
    DWORD size = sizeof name;
    if (!Succeeded(RegEnumKeyEx(m_hKey, i, name, &size, nullptr, nullptr, nullptr, nullptr))) {
      break;
    }
  }
  for (DWORD i = 0; held < count; ++i, ++held) {
    char name[256];
    DWORD size = sizeof name;
    if (!Succeeded(RegEnumValue(m_hKey, i, name, &size, nullptr, nullptr, nullptr, nullptr))) {
      break;
    }
  }
  return std::max(held, kTKTrustedCount);
}

DWORD CTKPropExchangeRegistry::CountNumberedSections(LPCTSTR pszPrefix)
{
  if (!OnBeforeExchange()) {
    return 0;
  }
  // Sections that were saved empty leave no key, so count the highest number present, not the keys in a row.
  const std::size_t prefixLength = std::strlen(pszPrefix);
  DWORD limit = 0;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (!Succeeded(RegEnumKeyEx(m_hKey, i, name, &size, nullptr, nullptr, nullptr, nullptr))) {
      break;
    }
    if (size <= prefixLength || CString(name).Left(static_cast<int>(prefixLength)).CompareNoCase(pszPrefix) != 0) {
      continue;
    }
    char* end = nullptr;
    const char* digits = name + prefixLength;
    if (*digits < '0' || *digits > '9') {
      continue;
    }
    unsigned long number = std::strtoul(digits, &end, 10);
    if (*end == '\0' && number < 0xFFFFFFFFul && number + 1 > limit) {
      limit = static_cast<DWORD>(number + 1);
    }
  }
  return limit;
}

void CTKPropExchangeRegistry::Write(LPCTSTR pszName, const void* pData, DWORD nBytes)
{
  BYTE* pBytes = static_cast<BYTE*>(const_cast<void*>(pData));
  if (!m_bLoading) {
    ExchangeBlob(pszName, &pBytes, &nBytes);
  }
}

DWORD CTKPropExchangeRegistry::Read(LPCTSTR pszName, void* pData, DWORD nBytes)
{
  BYTE* pBytes = static_cast<BYTE*>(pData);
  if (!m_bLoading || pBytes == nullptr || !ExchangeBlob(pszName, &pBytes, &nBytes)) {
    return 0;
  }
  return nBytes;
}

// ---------------------------------------------------------------------------------------------------------------
// Archive form: names and defaults play no part; values follow in call order.

CTKPropExchangeArchive::CTKPropExchangeArchive(CArchive& ar) : CTKPropExchange(ar.IsLoading()), m_pArchive(&ar)
{
}

BOOL CTKPropExchangeArchive::OnBeforeExchange() { return CTKPropExchange::OnBeforeExchange(); }

BOOL CTKPropExchangeArchive::ExchangeProp(LPCTSTR, VARTYPE vt, void* pvProp, const void*)
{
  CArchive& ar = *m_pArchive;
  if (vt == VT_LPSTR) {
    if (m_bLoading) {
      ar >> *static_cast<CString*>(pvProp);
    } else {
      ar << *static_cast<const CString*>(pvProp);
    }
    return TRUE;
  }
  const std::size_t bytes = ValueBytes(vt);
  if (bytes == 0) {
    return FALSE;
  }
  auto* ints = static_cast<int*>(pvProp);
  for (std::size_t i = 0; i < bytes / 4; ++i) {
    if (m_bLoading) {
      ar >> ints[i];
    } else {
      ar << ints[i];
    }
  }
  return TRUE;
}

BOOL CTKPropExchangeArchive::ExchangeBlob(LPCTSTR, BYTE** ppData, DWORD* pnBytes)
{
  CArchive& ar = *m_pArchive;
  if (!m_bLoading) {
    ar.WriteCount(*pnBytes);
    if (*pnBytes != 0) {
      ar.Write(*ppData, *pnBytes);
    }
    return TRUE;
  }
  DWORD_PTR stored = ar.ReadCount();
  BYTE* pTarget = *ppData;
  if (pTarget != nullptr) {
    if (stored > *pnBytes) {
      return FALSE;
    }
  } else {
    // Nothing is allocated for bytes the archive cannot hold.
    ar.EnsureAvailable(stored);
    pTarget = static_cast<BYTE*>(std::malloc(stored == 0 ? 1 : stored));
    if (pTarget == nullptr) {
      return FALSE;
    }
  }
  UINT read = stored == 0 ? 0 : ar.Read(pTarget, static_cast<UINT>(stored));
  if (read != stored) {
    if (pTarget != *ppData) {
      std::free(pTarget);
    }
    return FALSE;
  }
  *ppData = pTarget;
  *pnBytes = static_cast<DWORD>(stored);
  return TRUE;
}

BOOL CTKPropExchangeArchive::ExchangeRuntimeClass(LPCTSTR, CRuntimeClass** ppClass, CRuntimeClass* pDefault)
{
  CArchive& ar = *m_pArchive;
  if (m_bLoading) {
    UINT schema = 0;
    *ppClass = ar.ReadClass(nullptr, &schema);
    return *ppClass != nullptr;
  }
  CRuntimeClass* pClass = *ppClass != nullptr ? *ppClass : pDefault;
  if (pClass == nullptr) {
    return FALSE;
  }
  ar.WriteClass(pClass);
  return TRUE;
}

BOOL CTKPropExchangeArchive::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pClass)
{
  if (!CTKPropExchange::ExchangeObjectInstance(ppObject, pClass)) {
    return FALSE;
  }
  if (*ppObject != nullptr) {
    m_pArchive->MapObject(*ppObject);
  }
  return TRUE;
}

CTKPropExchange* CTKPropExchangeArchive::GetSection(LPCTSTR)
{
  auto* pSection = new CTKPropExchangeArchive(*m_pArchive);
  InitSection(pSection);
  return pSection;
}

void CTKPropExchangeArchive::WriteCount(DWORD dwCount) { m_pArchive->WriteCount(dwCount); }

DWORD CTKPropExchangeArchive::ReadCount() { return static_cast<DWORD>(m_pArchive->ReadCount()); }

void CTKPropExchangeArchive::Write(LPCTSTR, const void* pData, DWORD nBytes) { m_pArchive->Write(pData, nBytes); }

DWORD CTKPropExchangeArchive::Read(LPCTSTR, void* pData, DWORD nBytes) { return m_pArchive->Read(pData, nBytes); }

// ---------------------------------------------------------------------------------------------------------------

CTKPropExchangeEnumerator::CTKPropExchangeEnumerator(CTKPropExchange* pContainer, LPCTSTR lpszSection)
    : m_pContainer(pContainer), m_strSectionName(lpszSection)
{
}

POSITION CTKPropExchangeEnumerator::GetPosition(DWORD dwCount, BOOL bCompactMode)
{
  m_nCount = dwCount;
  if (bCompactMode) {
    if (m_pContainer->IsLoading()) {
      m_nCount = m_pContainer->ReadCount();
    } else {
      m_pContainer->WriteCount(m_nCount);
    }
  } else {
    int count = static_cast<int>(m_nCount);
    PX_Int(m_pContainer, "Count", count, 0);
    m_nCount = count < 0 ? 0 : static_cast<DWORD>(count);
  }
  if (m_pContainer->IsLoading() && m_nCount > kTKTrustedCount) {
    m_nCount = std::min(m_nCount, std::max(m_pContainer->CountNumberedSections(m_strSectionName), kTKTrustedCount));
  }
  return m_nCount == 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CTKPropExchange* CTKPropExchangeEnumerator::GetNext(POSITION& pos)
{
  auto index = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(pos));
  CString name;
  name.Format("%s%i", LPCTSTR(m_strSectionName), static_cast<int>(index - 1));
  pos = index < m_nCount ? reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(index + 1)) : nullptr;
  return m_pContainer->GetSection(name);
}

// ---------------------------------------------------------------------------------------------------------------

BOOL PX_Int(CTKPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault)
{
  return pPX->ExchangeProp(pszPropName, VT_I4, &nValue, &nDefault);
}

BOOL PX_IntNoDefault(CTKPropExchange* pPX, LPCTSTR pszPropName, int& nValue)
{
  return pPX->ExchangeProp(pszPropName, VT_I4, &nValue, nullptr);
}

BOOL PX_Bool(CTKPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault)
{
  return pPX->ExchangeProp(pszPropName, VT_BOOL, &bValue, &bDefault);
}

BOOL PX_String(CTKPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR lpszDefault)
{
  return pPX->ExchangeProp(pszPropName, VT_LPSTR, &strValue, lpszDefault);
}

BOOL PX_StringNoDefault(CTKPropExchange* pPX, LPCTSTR pszPropName, CString& strValue)
{
  return pPX->ExchangeProp(pszPropName, VT_LPSTR, &strValue, nullptr);
}

BOOL PX_Size(CTKPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault)
{
  return pPX->ExchangeProp(pszPropName, VT_TK_SIZE, &szValue, &szDefault);
}

BOOL PX_Rect(CTKPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault)
{
  return pPX->ExchangeProp(pszPropName, VT_TK_RECT, &rcValue, &rcDefault);
}

BOOL PX_RuntimeClass(CTKPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass, CRuntimeClass* pDefault)
{
  return pPX->ExchangeRuntimeClass(pszPropName, &pClass, pDefault);
}

BOOL PX_Blob(CTKPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes)
{
  return pPX->ExchangeBlob(pszPropName, &pData, &nBytes);
}

BOOL PX_Serialize(CTKPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject)
{
  CArchive* pArchive = pPX->GetArchive(pszPropName);
  if (pArchive == nullptr) {
    return FALSE;
  }
  BOOL result = TRUE;
  try {
    pObject->Serialize(*pArchive);
  } catch (CArchiveException* e) {
    e->Delete();
    result = FALSE;
  }
  pPX->m_bArchiveStored = FALSE;
  pPX->ReleaseArchive(pszPropName, pArchive);
  // A save whose bytes did not reach the store is not a success.
  return result && (pPX->IsLoading() || pPX->m_bArchiveStored);
}

HKEY TKOpenApplicationKey(BOOL bCreate, LPCSTR pszSubKey)
{
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pszRegistryKey == nullptr || pApp->m_pszProfileName == nullptr)
    return nullptr;
  CString strKey = CString("Software\\") + pApp->m_pszRegistryKey + "\\" + pApp->m_pszProfileName;
  if (pszSubKey != nullptr)
    strKey += CString("\\") + pszSubKey;
  HKEY hKey = nullptr;
  const LSTATUS status =
      bCreate ? RegCreateKeyEx(HKEY_CURRENT_USER, strKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr)
              : RegOpenKeyEx(HKEY_CURRENT_USER, strKey, 0, KEY_READ, &hKey);
  return status == ERROR_SUCCESS ? hKey : nullptr;
}
