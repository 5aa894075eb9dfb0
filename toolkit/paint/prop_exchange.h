// Named-value persistence: one exchange routine per object that loads or saves its settings, either as named
// values under a registry key or as an anonymous stream inside a CArchive.
//
//   void CMyBar::DoPropExchange(CTKPropExchange* pPX)
//   {
//     PX_Int(pPX, "Width", m_nWidth, 100);
//     PX_Rect(pPX, "Position", m_rcPosition, CRect());
//   }
//
// Value encodings (type code, registry form, archive form):
//   3  VT_I4    int              REG_DWORD, 4 bytes          4 bytes
//   11 VT_BOOL  BOOL             REG_DWORD, 4 bytes          4 bytes
//   30 VT_LPSTR CString          REG_SZ with its end zero    CArchive's CString form
//   100         rectangle        REG_SZ "l, t, r, b"         16 bytes: left, top, right, bottom
//   101         size or point    REG_SZ "cx, cy"             8 bytes: cx, cy
//   blob        bytes            REG_BINARY                  compact count (CArchive::WriteCount), the bytes
// The archive form ignores names and defaults: values follow in call order, every one written and read.
//
// The registry form reads what it is given as hostile: loading never creates a key, an int is only a 4-byte
// REG_DWORD, counts beyond kTKTrustedCount are capped by what the key holds, and no stored size is allocated beyond
// kTKMaxBlobBytes.
#pragma once

#include "platform/com/variant.h"
#include "platform/base/registry.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/types.h"

#include <memory>

inline constexpr VARTYPE VT_TK_RECT = 100;
inline constexpr VARTYPE VT_TK_SIZE = 101;
inline constexpr DWORD kTKPropExchangeSchema = 16;
// Larger than any saved toolkit state (the customised bars' stream moves to a file past 16000 bytes); a stored
// size beyond it is damage, not data.
inline constexpr DWORD kTKMaxBlobBytes = 16u * 1024 * 1024;
// A stored count up to this many is believed as it stands: a section or value equal to its default leaves nothing
// in the store (a key without values does not outlive the process), so the last entries of a list may exist only
// in its count. A larger count is damage unless the key holds that many: believed, it would make as many sections
// for the next save to write and empty again. The toolkit's lists kept in the registry are far shorter.
inline constexpr DWORD kTKTrustedCount = 256;

class CTKPropExchangeEnumerator;

class CTKPropExchange : public CCmdTarget {
public:
  ~CTKPropExchange() override = default;

  virtual BOOL ExchangeProp(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault) = 0;
  // Loading with *ppData null allocates with malloc (the caller frees); a caller's buffer smaller than the data
  // fails and keeps it unchanged.
  virtual BOOL ExchangeBlob(LPCTSTR pszName, BYTE** ppData, DWORD* pnBytes) = 0;
  virtual BOOL ExchangeRuntimeClass(LPCTSTR pszName, CRuntimeClass** ppClass, CRuntimeClass* pDefault) = 0;
  virtual BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pClass);
  // A nested archive for PX_Serialize: null when loading finds no data under the name.
  virtual CArchive* GetArchive(LPCTSTR pszName);
  // Saving stores the archive's bytes under the name; whether that worked is told by m_bArchiveStored.
  virtual void ReleaseArchive(LPCTSTR pszName, CArchive* pArchive);
  // A new exchange of the same form and direction; the caller releases it (InternalRelease).
  virtual CTKPropExchange* GetSection(LPCTSTR pszSection) = 0;
  virtual void EmptySection();
  virtual void WriteCount(DWORD dwCount);
  virtual DWORD ReadCount();
  virtual void Write(LPCTSTR pszName, const void* pData, DWORD nBytes) = 0;
  // Bytes read; 0 when nothing fits the caller's buffer.
  virtual DWORD Read(LPCTSTR pszName, void* pData, DWORD nBytes) = 0;
  virtual BOOL IsAllowDefaultValues() const { return FALSE; }
  virtual BOOL IsAllowBlobValues() const { return TRUE; }
  virtual BOOL OnBeforeExchange();
  // The caller deletes it.
  virtual CTKPropExchangeEnumerator* GetEnumerator(LPCTSTR pszSection);

  BOOL IsLoading() const { return m_bLoading; }
  void ExchangeSchema();
  // The number of sections named prefix<n> that the section holds, or UINT_MAX when the form cannot tell.
  virtual DWORD CountNumberedSections(LPCTSTR pszPrefix);

  CObject* m_pOwner = nullptr;
  BOOL m_bLoading;
  DWORD m_nSchema = kTKPropExchangeSchema;
  BOOL m_bChildSection = FALSE;
  BOOL m_bEmptySection = FALSE;
  BOOL m_bInitialized = FALSE;
  BOOL m_bUseDefaultOnLoad = TRUE;
  BOOL m_bUseDefaultOnSave = TRUE;
  // Set by the last ReleaseArchive of a save: its bytes were stored.
  BOOL m_bArchiveStored = FALSE;

protected:
  explicit CTKPropExchange(BOOL bLoading) : m_bLoading(bLoading) {}
  // Owner, schema and flags passed down to a new section.
  void InitSection(CTKPropExchange* pSection) const;
};

class CTKPropExchangeRegistry : public CTKPropExchange {
public:
  // hParentKey is the caller's (not owned); the section's key below it is opened on the first value.
  CTKPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection);
  ~CTKPropExchangeRegistry() override;

  BOOL ExchangeProp(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault) override;
  BOOL ExchangeBlob(LPCTSTR pszName, BYTE** ppData, DWORD* pnBytes) override;
  BOOL ExchangeRuntimeClass(LPCTSTR pszName, CRuntimeClass** ppClass, CRuntimeClass* pDefault) override;
  CTKPropExchange* GetSection(LPCTSTR pszSection) override;
  void EmptySection() override;
  DWORD ReadCount() override;
  void Write(LPCTSTR pszName, const void* pData, DWORD nBytes) override;
  DWORD Read(LPCTSTR pszName, void* pData, DWORD nBytes) override;
  BOOL IsAllowDefaultValues() const override { return TRUE; }
  BOOL OnBeforeExchange() override;
  DWORD CountNumberedSections(LPCTSTR pszPrefix) override;

  HKEY GetKey() const { return m_hKey; }

private:
  void CloseKey();
  BOOL LoadValue(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault);
  BOOL SaveValue(LPCTSTR pszName, VARTYPE vt, const void* pvProp, const void* pvDefault);
  // The stored REG_SZ text, or FALSE when absent, of another type or implausibly long.
  BOOL QueryString(LPCTSTR pszName, CString& text);

  HKEY m_hKey = nullptr;
  HKEY m_hParentKey;
  CString m_strPath;
};

class CTKPropExchangeArchive : public CTKPropExchange {
public:
  explicit CTKPropExchangeArchive(CArchive& ar);

  BOOL ExchangeProp(LPCTSTR pszName, VARTYPE vt, void* pvProp, const void* pvDefault) override;
  BOOL ExchangeBlob(LPCTSTR pszName, BYTE** ppData, DWORD* pnBytes) override;
  BOOL ExchangeRuntimeClass(LPCTSTR pszName, CRuntimeClass** ppClass, CRuntimeClass* pDefault) override;
  BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pClass) override;
  CTKPropExchange* GetSection(LPCTSTR pszSection) override;
  void WriteCount(DWORD dwCount) override;
  DWORD ReadCount() override;
  void Write(LPCTSTR pszName, const void* pData, DWORD nBytes) override;
  DWORD Read(LPCTSTR pszName, void* pData, DWORD nBytes) override;
  BOOL OnBeforeExchange() override;

private:
  CArchive* m_pArchive;
};

// Sections prefix0, prefix1, ... with their count.
class CTKPropExchangeEnumerator {
public:
  CTKPropExchangeEnumerator(CTKPropExchange* pContainer, LPCTSTR lpszSection);
  virtual ~CTKPropExchangeEnumerator() = default;

  // Exchanges the count (compact: ReadCount/WriteCount, else the value "Count"); non-zero when there is a first
  // section. A loaded count above kTKTrustedCount is capped by the numbered sections that exist; the archive form
  // cannot tell, so callers make each section's object as they reach it, never all of them from the count.
  virtual POSITION GetPosition(DWORD dwCount = 0, BOOL bCompactMode = TRUE);
  // The section at pos (released by the caller); pos becomes 0 after the last.
  virtual CTKPropExchange* GetNext(POSITION& pos);

  DWORD GetCount() const { return m_nCount; }

protected:
  CTKPropExchange* m_pContainer;
  CString m_strSectionName;
  DWORD m_nCount = 0;
};

// HKEY_CURRENT_USER\Software\<company>\<product>[\<subKey>] of the running application, created when asked,
// else opened for reading; null without an application key or when the key cannot be had.
HKEY TKOpenApplicationKey(BOOL bCreate, LPCSTR pszSubKey = nullptr);

// Owners for what GetSection and GetEnumerator hand out: an archive error unwinding through an exchange routine
// then leaks nothing.
struct CTKPropExchangeRelease {
  void operator()(CTKPropExchange* pSection) const
  {
    if (pSection != nullptr) {
      pSection->InternalRelease();
    }
  }
};
using CTKPropExchangeSectionPtr = std::unique_ptr<CTKPropExchange, CTKPropExchangeRelease>;
using CTKPropExchangeEnumeratorPtr = std::unique_ptr<CTKPropExchangeEnumerator>;

BOOL PX_Int(CTKPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault);
BOOL PX_IntNoDefault(CTKPropExchange* pPX, LPCTSTR pszPropName, int& nValue);
BOOL PX_Bool(CTKPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_String(CTKPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR lpszDefault);
BOOL PX_StringNoDefault(CTKPropExchange* pPX, LPCTSTR pszPropName, CString& strValue);
BOOL PX_Size(CTKPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault);
BOOL PX_Rect(CTKPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault);
BOOL PX_RuntimeClass(CTKPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass, CRuntimeClass* pDefault);
BOOL PX_Blob(CTKPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes);
BOOL PX_Serialize(CTKPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject);
