#include "toolkit/paint/imagepersist.h"

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/ole.h"
#include "toolkit/paint/prop_exchange.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr UINT kWrittenHeaderBytes = 52;
// A header with the largest colour table a 1 to 8-bit bitmap can carry.
constexpr UINT kMaxHeaderBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
constexpr UINT kMaxPixelBytes = kTKMaxStoredImageSide * kTKMaxStoredImageSide * 4;
constexpr char kCheckSum[] = "CTKImageManagerIcons";

int DibStride(int nWidth, int nBitCount) { return ((nWidth * nBitCount + 31) / 32) * 4; }

void WriteBitmapRecord(CArchive& ar, HBITMAP hBitmap)
{
  BYTE header[kWrittenHeaderBytes] = {};
  auto* pInfo = reinterpret_cast<BITMAPINFO*>(header);
  pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  HDC hDC = hBitmap != nullptr ? GetDC(nullptr) : nullptr;
  BOOL bDone = FALSE;
  if (hDC != nullptr && GetDIBits(hDC, hBitmap, 0, 0, nullptr, pInfo, DIB_RGB_COLORS) != 0) {
    BITMAPINFOHEADER& h = pInfo->bmiHeader;
    if (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32) {
      h.biBitCount = 32;
    }
    h.biCompression = BI_RGB;
    const int nHeight = std::abs(h.biHeight);
    const UINT nBytes = static_cast<UINT>(h.biWidth) * static_cast<UINT>(nHeight) * 4;
    std::vector<BYTE> bits(nBytes);
    if (h.biWidth > 0 && nHeight > 0 &&
        GetDIBits(hDC, hBitmap, 0, static_cast<UINT>(nHeight), bits.data(), pInfo, DIB_RGB_COLORS) != 0) {
      ar.WriteCount(kWrittenHeaderBytes);
      ar.Write(header, kWrittenHeaderBytes);
      ar.WriteCount(nBytes);
      ar.Write(bits.data(), nBytes);
      bDone = TRUE;
    }
  }
  if (hDC != nullptr) {
    ReleaseDC(nullptr, hDC);
  }
  if (!bDone) {
    ar.WriteCount(0);
  }
}

void ReadExactly(CArchive& ar, void* pData, UINT nBytes)
{
  if (nBytes != 0 && ar.Read(pData, nBytes) != nBytes) {
    AfxThrowArchiveException(CArchiveException::endOfFile);
  }
}

// A plain bitmap of a sensible size; anything else is not made at all.
BOOL IsUsableHeader(const BITMAPINFOHEADER& h, UINT nHeaderBytes)
{
  return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biSize <= nHeaderBytes && h.biPlanes == 1 &&
         (h.biBitCount == 1 || h.biBitCount == 24 || h.biBitCount == 32) &&
         (h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && h.biBitCount == 32)) && h.biWidth > 0 &&
         h.biWidth <= kTKMaxStoredImageSide && h.biHeight != 0 && h.biHeight >= -kTKMaxStoredImageSide &&
         h.biHeight <= kTKMaxStoredImageSide;
}

// Null for an empty record or one whose header is unusable (its bytes are still consumed).
HBITMAP ReadBitmapRecord(CArchive& ar)
{
  const auto nHeaderBytes = static_cast<UINT>(std::min<DWORD_PTR>(ar.ReadCount(), UINT_MAX));
  if (nHeaderBytes == 0) {
    return nullptr;
  }
  if (nHeaderBytes < sizeof(BITMAPINFOHEADER) || nHeaderBytes > kMaxHeaderBytes) {
    AfxThrowArchiveException(CArchiveException::badIndex);
  }
  std::vector<BYTE> header(kMaxHeaderBytes, 0);
  ReadExactly(ar, header.data(), nHeaderBytes);
  const auto nPixelBytes = static_cast<UINT>(std::min<DWORD_PTR>(ar.ReadCount(), UINT_MAX));
  if (nPixelBytes > kMaxPixelBytes) {
    AfxThrowArchiveException(CArchiveException::badIndex);
  }
  std::vector<BYTE> pixels(nPixelBytes);
  ReadExactly(ar, pixels.data(), nPixelBytes);

  BITMAPINFOHEADER h;
  std::memcpy(&h, header.data(), sizeof(h));
  if (!IsUsableHeader(h, nHeaderBytes)) {
    return nullptr;
  }
  // Masks come back as 24-bit bitmaps: the platform makes DIB sections of 24 and 32 bits only.
  BITMAPINFO made{};
  made.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  made.bmiHeader.biWidth = h.biWidth;
  made.bmiHeader.biHeight = h.biHeight;
  made.bmiHeader.biPlanes = 1;
  made.bmiHeader.biBitCount = h.biBitCount == 1 ? 24 : h.biBitCount;
  made.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HBITMAP hBitmap = CreateDIBSection(nullptr, &made, DIB_RGB_COLORS, &pBits, nullptr, 0);
  if (hBitmap == nullptr || pBits == nullptr) {
    if (hBitmap != nullptr) {
      DeleteObject(hBitmap);
    }
    return nullptr;
  }
  const int nHeight = std::abs(h.biHeight);
  const int nStride = DibStride(h.biWidth, made.bmiHeader.biBitCount);
  auto* pOut = static_cast<BYTE*>(pBits);
  if (h.biBitCount != 1) {
    const std::size_t nImage = static_cast<std::size_t>(nStride) * static_cast<std::size_t>(nHeight);
    if (!pixels.empty()) {
      std::memcpy(pOut, pixels.data(), std::min<std::size_t>(nImage, pixels.size()));
    }
    return hBitmap;
  }
  RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  if (nHeaderBytes >= h.biSize + sizeof(table)) {
    std::memcpy(table, header.data() + h.biSize, sizeof(table));
  }
  const int nMonoStride = DibStride(h.biWidth, 1);
  for (int y = 0; y < nHeight; ++y) {
    BYTE* pRow = pOut + static_cast<std::ptrdiff_t>(y) * nStride;
    std::memset(pRow, 0, static_cast<std::size_t>(nStride));
    for (int x = 0; x < h.biWidth; ++x) {
      const std::size_t nByte = static_cast<std::size_t>(y) * nMonoStride + static_cast<std::size_t>(x / 8);
      const int nBit = nByte < pixels.size() ? (pixels[nByte] >> (7 - x % 8)) & 1 : 0;
      pRow[x * 3] = table[nBit].rgbBlue;
      pRow[x * 3 + 1] = table[nBit].rgbGreen;
      pRow[x * 3 + 2] = table[nBit].rgbRed;
    }
  }
  return hBitmap;
}

struct BitmapOwner {
  HBITMAP hBitmap = nullptr;
  ~BitmapOwner()
  {
    if (hBitmap != nullptr) {
      DeleteObject(hBitmap);
    }
  }
  HBITMAP Release() { return std::exchange(hBitmap, nullptr); }
};

void WriteImage(CArchive& ar, const CTKImageManagerIconHandle& handle)
{
  if (handle.IsAlpha()) {
    WriteBitmapRecord(ar, handle.GetBitmap());
    ar.WriteCount(0);
    return;
  }
  ICONINFO info{};
  if (handle.GetIcon() == nullptr || !GetIconInfo(handle.GetIcon(), &info)) {
    ar.WriteCount(0);
    ar.WriteCount(0);
    return;
  }
  BitmapOwner colour{info.hbmColor};
  BitmapOwner mask{info.hbmMask};
  WriteBitmapRecord(ar, colour.hBitmap);
  WriteBitmapRecord(ar, mask.hBitmap);
}

void ReadImage(CArchive& ar, CTKImageManagerIconHandle& handle)
{
  handle.Clear();
  BitmapOwner colour{ReadBitmapRecord(ar)};
  BitmapOwner mask{ReadBitmapRecord(ar)};
  if (colour.hBitmap == nullptr) {
    return;
  }
  if (mask.hBitmap == nullptr) {
    handle.SetBitmap(colour.Release());
    return;
  }
  BITMAP bm{};
  GetObject(colour.hBitmap, sizeof(bm), &bm);
  HIMAGELIST hList = ImageList_Create(bm.bmWidth, std::abs(bm.bmHeight), ILC_COLOR24 | ILC_MASK, 0, 1);
  if (hList == nullptr) {
    return;
  }
  if (ImageList_Add(hList, colour.hBitmap, mask.hBitmap) >= 0) {
    handle.SetIcon(ImageList_GetIcon(hList, 0, ILD_NORMAL));
  }
  ImageList_Destroy(hList);
}

}  // namespace

CLIPFORMAT TKToolBarImageClipboardFormat()
{
  static const auto format = static_cast<CLIPFORMAT>(RegisterClipboardFormat("Vantro ToolBar Image"));
  return format;
}

void CTKImageManagerIcon::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(m_nHeight) << static_cast<DWORD>(16);
    WriteImage(ar, m_hNormal);
    WriteImage(ar, m_hDisabled);
    WriteImage(ar, m_hHot);
    WriteImage(ar, m_hChecked);
    return;
  }
  DWORD nHeight = 0;
  DWORD nSchema = 0;
  ar >> nHeight >> nSchema;
  if (nHeight > static_cast<DWORD>(kTKMaxStoredImageSide)) {
    AfxThrowArchiveException(CArchiveException::badIndex);
  }
  m_nHeight = static_cast<int>(nHeight);
  ClearDerived();
  ReadImage(ar, m_hNormal);
  ReadImage(ar, m_hDisabled);
  ReadImage(ar, m_hHot);
  if (nSchema >= 8) {
    ReadImage(ar, m_hChecked);
  } else {
    m_hChecked.Clear();
  }
}

void CTKImageManager::DoPropExchange(UINT nId, CTKPropExchange* pPX)
{
  CString strCheckSum = kCheckSum;
  if (!pPX->IsLoading()) {
    PX_String(pPX, "CheckSum", strCheckSum, kCheckSum);
    CTKImageManagerIconSet* pSet = GetIconSet(nId);
    std::vector<std::pair<UINT, CTKImageManagerIcon*>> icons;
    if (pSet != nullptr) {
      for (POSITION pos = pSet->m_mapIcons.GetStartPosition(); pos != nullptr;) {
        UINT nWidth = 0;
        CTKImageManagerIcon* pIcon = nullptr;
        pSet->m_mapIcons.GetNextAssoc(pos, nWidth, pIcon);
        if (!pIcon->IsScaled()) {
          icons.emplace_back(nWidth, pIcon);
        }
      }
    }
    CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Icon"));
    POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(icons.size()));
    for (const auto& [nWidth, pIcon] : icons) {
      if (pos == nullptr) {
        break;
      }
      CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
      int nStoredWidth = static_cast<int>(nWidth);
      PX_IntNoDefault(pSection.get(), "Width", nStoredWidth);
      PX_Serialize(pSection.get(), "Data", pIcon);
    }
    return;
  }

  if (nId > m_nCustomID) {
    m_nCustomID = nId;
  }
  PX_String(pPX, "CheckSum", strCheckSum, kCheckSum);
  if (strCheckSum != kCheckSum) {
    AfxThrowArchiveException(CArchiveException::badClass);
  }
  CTKImageManagerIconSet* pSet = GetIconSet(nId);
  if (pSet != nullptr) {
    pSet->RemoveAll();
  } else {
    pSet = new CTKImageManagerIconSet(nId, this);
    m_mapImages.SetAt(nId, pSet);
  }
  CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Icon"));
  POSITION pos = pEnumerator->GetPosition();
  while (pos != nullptr) {
    CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
    int nWidth = 16;
    PX_IntNoDefault(pSection.get(), "Width", nWidth);
    auto* pIcon = new CTKImageManagerIcon(nId, nWidth, pSet);
    BOOL bLoaded = FALSE;
    try {
      bLoaded = PX_Serialize(pSection.get(), "Data", pIcon);
    } catch (...) {
      pIcon->InternalRelease();
      throw;
    }
    // A width past any icon's is damage; a record that could not be read gives no icon rather than half of one.
    if (!bLoaded || nWidth <= 0 || nWidth > kTKMaxStoredImageSide) {
      pIcon->InternalRelease();
      continue;
    }
    CTKImageManagerIcon* pOld = nullptr;
    if (pSet->m_mapIcons.Lookup(static_cast<UINT>(nWidth), pOld)) {
      pOld->InternalRelease();
    }
    pSet->m_mapIcons.SetAt(static_cast<UINT>(nWidth), pIcon);
  }
}

void CTKImageManager::DoPropExchange(CTKPropExchange* pPX)
{
  std::vector<UINT> ids;
  if (!pPX->IsLoading()) {
    for (POSITION pos = m_mapImages.GetStartPosition(); pos != nullptr;) {
      UINT nId = 0;
      CTKImageManagerIconSet* pSet = nullptr;
      m_mapImages.GetNextAssoc(pos, nId, pSet);
      ids.push_back(nId);
    }
  } else {
    RemoveAll();
  }
  CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("IconSet"));
  POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(ids.size()));
  for (std::size_t i = 0; pos != nullptr; ++i) {
    CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
    int nId = pPX->IsLoading() ? 0 : static_cast<int>(ids[i]);
    PX_IntNoDefault(pSection.get(), "Id", nId);
    DoPropExchange(static_cast<UINT>(nId), pSection.get());
  }
}

void CTKImageManager::Serialize(CArchive& ar)
{
  CTKPropExchangeArchive px(ar);
  DoPropExchange(&px);
}

void CTKImageManager::CopyIconToClipboard(UINT nId)
{
  CMemFile file(1024);
  {
    CArchive ar(&file, CArchive::store, 4096);
    CTKPropExchangeArchive px(ar);
    DoPropExchange(nId, &px);
    ar.Flush();
  }
  const auto nBytes = static_cast<SIZE_T>(file.GetLength());
  HGLOBAL hMemory = GlobalAlloc(GMEM_MOVEABLE, nBytes);
  if (hMemory == nullptr) {
    return;
  }
  if (void* pData = GlobalLock(hMemory); pData != nullptr) {
    std::memcpy(pData, file.GetData(), nBytes);
    GlobalUnlock(hMemory);
    SetClipboardData(TKToolBarImageClipboardFormat(), hMemory);
  } else {
    GlobalFree(hMemory);
  }
}

UINT CTKImageManager::PasteIconFromClipboard(COleDataObject* pData)
{
  HGLOBAL hMemory = pData->GetGlobalData(TKToolBarImageClipboardFormat());
  if (hMemory == nullptr) {
    return 0;
  }
  CSharedFile file;
  file.SetHandle(hMemory, FALSE);
  CArchive ar(&file, CArchive::load, 4096);
  const UINT nId = ++m_nCustomID;
  try {
    CTKPropExchangeArchive px(ar);
    DoPropExchange(nId, &px);
  } catch (CException* e) {
    e->Delete();
    ar.Abort();
    // Whatever the damaged stream left under the new id goes with it.
    if (CTKImageManagerIconSet* pSet = GetIconSet(nId); pSet != nullptr) {
      m_mapImages.RemoveKey(nId);
      pSet->InternalRelease();
    }
    return 0;
  }
  return nId;
}
