#include "toolkit/commandbars/imageeditor.h"

#include "platform/base/codepage.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/commdlg.h"
#include "platform/mfc/imagelist.h"
#include "platform/user/clipboard.h"
#include "platform/user/picture.h"
#include "platform/user/picture_bytes.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_BORDER_TOP, the bars of the editor.
constexpr DWORD kBarStyle = 0x50002012;
constexpr UINT kBarId = 0xE800;
constexpr int kImageSize = 16;
constexpr int kButtonSize = 23;
constexpr int kPickerCell = 11;
constexpr int kPickerStep = 13;
constexpr int kMaxUndo = 16;
// Imported files are the user's: anything larger than this is no button picture, and refusing it before it is
// loaded keeps a hostile header from asking for a huge bitmap.
constexpr long kMaxImportFileBytes = 16L << 20;
constexpr LONG kMaxImportSide = 1024;

constexpr char kAlphaBitmapFormat[] = "Alpha Bitmap Image";

struct PaletteEntry {
  UINT nId;
  COLORREF clr;
};
// Row 0 then row 1, columns left to right.
constexpr PaletteEntry kPalette[16] = {
    {9450, 0x000000}, {9465, 0x808080}, {9458, 0x000080}, {9460, 0x008080}, {9461, 0x008000}, {9462, 0x808000},
    {9455, 0x800000}, {9472, 0x800080}, {9489, 0xFFFFFF}, {9481, 0xC0C0C0}, {9466, 0x0000FF}, {9476, 0x00FFFF},
    {9477, 0x00FF00}, {9478, 0xFFFF00}, {9463, 0xFF0000}, {9474, 0xFF00FF},
};

constexpr UINT kToolButtons[] = {
    TK_ID_IMAGEEDITOR_PENCIL, TK_ID_IMAGEEDITOR_FILL,   TK_ID_IMAGEEDITOR_UNDO,      TK_ID_IMAGEEDITOR_REDO,
    TK_ID_IMAGEEDITOR_PICKER, TK_ID_IMAGEEDITOR_LINE,   TK_ID_IMAGEEDITOR_COPY,      TK_ID_IMAGEEDITOR_PASTE,
    TK_ID_IMAGEEDITOR_RECTANGLE, TK_ID_IMAGEEDITOR_ELLIPSE, TK_ID_IMAGEEDITOR_CLEAR, TK_ID_IMAGEEDITOR_IMPORT,
};
constexpr UINT kMoveButtons[] = {TK_ID_IMAGEEDITOR_MOVE_LEFT, TK_ID_IMAGEEDITOR_MOVE_DOWN, TK_ID_IMAGEEDITOR_MOVE_UP,
                                 TK_ID_IMAGEEDITOR_MOVE_RIGHT};

enum Tool { kPencil = 0, kFill = 1, kPicker = 2, kLine = 3, kRectangle = 4, kEllipse = 5 };

DWORD ToPixel(COLORREF clr)
{
  return (static_cast<DWORD>(GetRValue(clr)) << 16) | (static_cast<DWORD>(GetGValue(clr)) << 8) | GetBValue(clr);
}

COLORREF FromPixel(DWORD pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

COLORREF SysColor(int nIndex) { return TKColorManager().GetColor(static_cast<UINT>(nIndex)); }

// A memory DC with a picture selected, for GDI drawing on it.
class CPictureDC : public CDC {
public:
  explicit CPictureDC(CBitmap* pBitmap)
  {
    CreateCompatibleDC(nullptr);
    m_pOld = SelectObject(pBitmap);
  }
  ~CPictureDC() override { SelectObject(m_pOld); }
  CPictureDC(const CPictureDC&) = delete;
  CPictureDC& operator=(const CPictureDC&) = delete;

private:
  CBitmap* m_pOld = nullptr;
};

// Floor division, so that a pointer left of or above the picture maps to a negative pixel.
int CellOf(int coordinate, int cell) { return coordinate >= 0 ? coordinate / cell : -((-coordinate + cell - 1) / cell); }

// The toolbar's CCmdUI: the dialog's update handlers enable and check the editor's buttons.
class CEditorBarCmdUI : public CCmdUI {
public:
  explicit CEditorBarCmdUI(CToolBar* pBar) : m_pBar(pBar) {}
  void Enable(BOOL bOn) override
  {
    m_bEnableChanged = TRUE;
    Change(TBBS_DISABLED, !bOn);
  }
  void SetCheck(int nCheck) override { Change(TBBS_CHECKED, nCheck != 0); }

private:
  void Change(UINT nBit, bool bSet)
  {
    const int nIndex = static_cast<int>(m_nIndex);
    const UINT nOld = m_pBar->GetButtonStyle(nIndex);
    const UINT nNew = bSet ? (nOld | nBit) : (nOld & ~nBit);
    if (nNew != nOld) {
      m_pBar->SetButtonStyle(nIndex, nNew);
    }
  }
  CToolBar* m_pBar;
};

std::string LowerExtension(const std::string& path)
{
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return {};
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The whole file when it is small enough to be a picture the editor takes.
bool ReadSmallFile(LPCSTR pszPath, std::vector<BYTE>& bytes)
{
  std::FILE* file = std::fopen(pszPath, "rb");
  if (file == nullptr) {
    return false;
  }
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size > 0 && size <= kMaxImportFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

// Size and depth of a bitmap or icon file checked before the system loader makes anything of it.
bool ImportableFile(LPCSTR pszPath, const std::string& ext)
{
  std::vector<BYTE> file;
  if (!ReadSmallFile(pszPath, file)) {
    return false;
  }
  if (ext == "ico") {
    SIZE largest{0, 0};
    return !picture_bytes::CheckIco(file, largest) && largest.cx <= kMaxImportSide && largest.cy <= kMaxImportSide;
  }
  if (picture_bytes::CheckBmp(file)) {
    return false;
  }
  std::optional<std::vector<BYTE>> packed = picture_bytes::PackedDibFromBmp(file);
  if (!packed) {
    return false;
  }
  std::optional<picture_bytes::Dib> dib = picture_bytes::ReadDib(packed->data(), packed->size());
  if (!dib) {
    return false;
  }
  const WORD bits = dib->header.biBitCount;
  const bool depthKnown = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
  return depthKnown && dib->width <= kMaxImportSide && dib->height <= kMaxImportSide;
}

}  // namespace

// ---- pictures

BOOL CTKImageEditorPicture::CAlphaBitmap::CreateBitmap32(int nWidth, int nHeight)
{
  if (nWidth <= 0 || nHeight <= 0) {
    return FALSE;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = nWidth;
  bmi.bmiHeader.biHeight = nHeight;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  if (hBitmap == nullptr || pBits == nullptr) {
    return FALSE;
  }
  Attach(hBitmap);
  m_pBits = static_cast<DWORD*>(pBits);
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  return TRUE;
}

CTKImageEditorPicture::Picture CTKImageEditorPicture::CopyBitmap(const CAlphaBitmap* pSource, int nWidth, int nHeight,
                                                                 int x, int y, COLORREF clrFrom, COLORREF clrTo)
{
  auto pTarget = std::make_unique<CAlphaBitmap>();
  if (!pTarget->CreateBitmap32(nWidth, nHeight)) {
    return nullptr;
  }
  std::fill_n(pTarget->Bits(), static_cast<std::size_t>(nWidth) * nHeight, ToPixel(TK_IMAGEEDITOR_TRANSPARENT));
  if (pSource != nullptr) {
    for (int sy = 0; sy < pSource->Height(); ++sy) {
      for (int sx = 0; sx < pSource->Width(); ++sx) {
        const int tx = sx + x;
        const int ty = sy + y;
        if (tx >= 0 && ty >= 0 && tx < nWidth && ty < nHeight) {
          pTarget->At(tx, ty) = pSource->At(sx, sy);
        }
      }
    }
    pTarget->m_bAlpha = pSource->m_bAlpha;
  }
  if (!pTarget->m_bAlpha && clrFrom != clrTo) {
    const DWORD from = ToPixel(clrFrom);
    for (DWORD* p = pTarget->Bits(); p != pTarget->Bits() + static_cast<std::size_t>(nWidth) * nHeight; ++p) {
      if ((*p & 0xFFFFFF) == from) {
        *p = ToPixel(clrTo);
      }
    }
  }
  return pTarget;
}

CTKImageEditorPicture::Picture CTKImageEditorPicture::CopyBitmap(HBITMAP hSource, BOOL bAlpha, int nWidth, int nHeight,
                                                                 COLORREF clrFrom, COLORREF clrTo)
{
  BITMAP bm{};
  if (hSource == nullptr || ::GetObject(hSource, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    return nullptr;
  }
  // Only the part that lands on the picture is read.
  const int cx = std::min<int>(bm.bmWidth, nWidth);
  const int cy = std::min<int>(bm.bmHeight, nHeight);
  CAlphaBitmap source;
  if (!source.CreateBitmap32(cx, cy)) {
    return nullptr;
  }
  {
    CPictureDC dc(&source);
    HDC hSourceDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hSourceDC, hSource);
    ::BitBlt(dc.GetSafeHdc(), 0, 0, cx, cy, hSourceDC, 0, 0, SRCCOPY);
    ::SelectObject(hSourceDC, hOld);
    ::DeleteDC(hSourceDC);
  }
  if (bm.bmBitsPixel == 32 && bAlpha) {
    // A copy by blitting may not keep alpha: take the pixels themselves.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(cy));
    HDC hDC = ::CreateCompatibleDC(nullptr);
    const int rows = ::GetDIBits(hDC, hSource, 0, static_cast<UINT>(cy), pixels.data(), &bmi, DIB_RGB_COLORS);
    ::DeleteDC(hDC);
    if (rows == cy) {
      for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
          source.At(x, y) = pixels[static_cast<std::size_t>(y) * bm.bmWidth + x];
        }
      }
    }
  } else {
    for (DWORD* p = source.Bits(); p != source.Bits() + static_cast<std::size_t>(cx) * cy; ++p) {
      *p &= 0xFFFFFF;
    }
  }
  source.m_bAlpha = bAlpha;
  return CopyBitmap(&source, nWidth, nHeight, 0, 0, clrFrom, clrTo);
}

void CTKImageEditorPicture::MergeAlpha(CAlphaBitmap* pPicture, const CAlphaBitmap* pBase)
{
  if (pPicture == nullptr || pPicture->Bits() == nullptr) {
    return;
  }
  const DWORD transparent = ToPixel(TK_IMAGEEDITOR_TRANSPARENT);
  for (int y = 0; y < pPicture->Height(); ++y) {
    for (int x = 0; x < pPicture->Width(); ++x) {
      DWORD& pixel = pPicture->At(x, y);
      const bool inBase = pBase != nullptr && x < pBase->Width() && y < pBase->Height();
      const bool changed = !inBase || pixel != pBase->At(x, y);
      if (changed && (pixel & 0xFFFFFF) != transparent) {
        pixel |= 0xFF000000;
      }
    }
  }
}

void CTKImageEditorPicture::MakeZeroTransparent(CAlphaBitmap* pPicture)
{
  if (pPicture == nullptr || pPicture->Bits() == nullptr) {
    return;
  }
  const std::size_t count = static_cast<std::size_t>(pPicture->Width()) * pPicture->Height();
  std::replace(pPicture->Bits(), pPicture->Bits() + count, DWORD{0}, ToPixel(TK_IMAGEEDITOR_TRANSPARENT));
}

// ---- the picture control

BEGIN_MESSAGE_MAP(CTKImageEditorPicture, CStatic)
  ON_WM_PAINT()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CTKImageEditorPicture::~CTKImageEditorPicture() = default;

void CTKImageEditorPicture::Init(CTKImageEditorDlg* pDlg, int nWidth, int nHeight)
{
  m_pDlg = pDlg;
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  CRect rc;
  GetClientRect(&rc);
  m_nCellWidth = std::max(1, rc.Width() / nWidth);
  m_nCellHeight = std::max(1, rc.Height() / nHeight);
  SetWindowPos(nullptr, 0, 0, nWidth * m_nCellWidth + 1, nHeight * m_nCellHeight + 1,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKImageEditorPicture::SetPicture(Picture pPicture)
{
  m_pCurrent = std::move(pPicture);
  m_lstUndo.clear();
  m_lstRedo.clear();
  m_pBase.reset();
  Changed();
}

CPoint CTKImageEditorPicture::PixelFromPoint(CPoint point) const
{
  return CPoint(CellOf(point.x, m_nCellWidth), CellOf(point.y, m_nCellHeight));
}

COLORREF CTKImageEditorPicture::GetPixelColor(CPoint pt) const
{
  if (m_pCurrent == nullptr || pt.x < 0 || pt.y < 0 || pt.x >= m_pCurrent->Width() || pt.y >= m_pCurrent->Height()) {
    return TK_IMAGEEDITOR_TRANSPARENT;
  }
  return FromPixel(m_pCurrent->At(pt.x, pt.y));
}

CTKImageEditorPicture::Picture CTKImageEditorPicture::CopyOfBase() const
{
  return CopyBitmap(m_pBase.get(), m_nWidth, m_nHeight);
}

void CTKImageEditorPicture::Changed()
{
  if (m_hWnd != nullptr) {
    Invalidate(FALSE);
  }
  if (m_pDlg != nullptr) {
    m_pDlg->RedrawPicture();
  }
}

void CTKImageEditorPicture::PushUndo()
{
  m_lstRedo.clear();
  while (static_cast<int>(m_lstUndo.size()) >= kMaxUndo) {
    m_lstUndo.pop_front();
  }
  m_lstUndo.push_back(std::move(m_pBase));
  Changed();
}

void CTKImageEditorPicture::Undo()
{
  if (m_lstUndo.empty()) {
    return;
  }
  m_lstRedo.push_back(std::move(m_pCurrent));
  m_pCurrent = std::move(m_lstUndo.back());
  m_lstUndo.pop_back();
  Changed();
}

void CTKImageEditorPicture::Redo()
{
  if (m_lstRedo.empty()) {
    return;
  }
  m_lstUndo.push_back(std::move(m_pCurrent));
  m_pCurrent = std::move(m_lstRedo.back());
  m_lstRedo.pop_back();
  Changed();
}

void CTKImageEditorPicture::Clear()
{
  m_pBase = std::move(m_pCurrent);
  PushUndo();
}

void CTKImageEditorPicture::MovePicture(int dx, int dy)
{
  m_pBase = std::move(m_pCurrent);
  m_pCurrent = CopyBitmap(m_pBase.get(), m_nWidth, m_nHeight, dx, dy);
  PushUndo();
}

void CTKImageEditorPicture::CopyToClipboard()
{
  if (!::OpenClipboard(m_hWnd)) {
    return;
  }
  ::EmptyClipboard();
  const BOOL bAlpha = m_pCurrent != nullptr && m_pCurrent->m_bAlpha;
  Picture pCopy = CopyBitmap(m_pCurrent.get(), m_nWidth, m_nHeight, 0, 0, TK_IMAGEEDITOR_TRANSPARENT, SysColor(COLOR_BTNFACE));
  if (pCopy != nullptr) {
    ::SetClipboardData(CF_BITMAP, pCopy->Detach());
  }
  if (bAlpha) {
    // The marker that tells a paste the bitmap's top bytes are alpha.
    HGLOBAL hMarker = ::GlobalAlloc(GMEM_MOVEABLE, 1);
    if (hMarker != nullptr) {
      ::SetClipboardData(::RegisterClipboardFormat(kAlphaBitmapFormat), hMarker);
    }
  }
  ::CloseClipboard();
}

void CTKImageEditorPicture::PasteFromClipboard()
{
  if (!::IsClipboardFormatAvailable(CF_BITMAP) || !::OpenClipboard(m_hWnd)) {
    return;
  }
  HBITMAP hBitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  if (hBitmap == nullptr) {
    ::CloseClipboard();
    return;
  }
  BOOL bAlpha = FALSE;
  bool bNamed = false;
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    char name[255] = {};
    if (::GetClipboardFormatName(format, name, 255) > 0 && std::strstr(name + 1, "DIB32") != nullptr) {
      bNamed = true;
      bAlpha = TRUE;
      break;
    }
  }
  if (!bNamed) {
    bAlpha = ::IsClipboardFormatAvailable(::RegisterClipboardFormat(kAlphaBitmapFormat));
  }
  Picture pPasted = CopyBitmap(hBitmap, bAlpha, m_nWidth, m_nHeight, SysColor(COLOR_BTNFACE), TK_IMAGEEDITOR_TRANSPARENT);
  ::CloseClipboard();
  if (pPasted == nullptr) {
    return;
  }
  m_pBase = std::move(m_pCurrent);
  m_pCurrent = std::move(pPasted);
  PushUndo();
}

void CTKImageEditorPicture::Import()
{
  CString strFilter;
  TKResourceManager()->LoadString(&strFilter, TK_IDS_IMAGEEDITOR_FILTER);
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, strFilter, m_pDlg);
  if (dlg.DoModal() == IDOK) {
    ImportFile(dlg.GetPathName());
  }
}

BOOL CTKImageEditorPicture::ImportFile(LPCSTR pszPath)
{
  if (pszPath == nullptr) {
    return FALSE;
  }
  const std::string ext = LowerExtension(pszPath);
  Picture pLoaded;
  if (ext == "ico" || ext == "bmp") {
    if (!ImportableFile(pszPath, ext)) {
      return FALSE;
    }
  }
  if (ext == "ico") {
    HBITMAP hAlpha = CTKImageManagerIcon::LoadAlphaIcon(pszPath, m_nWidth);
    if (hAlpha != nullptr) {
      pLoaded = CopyBitmap(hAlpha, TRUE, m_nWidth, m_nHeight, TK_IMAGEEDITOR_TRANSPARENT, TK_IMAGEEDITOR_TRANSPARENT);
      ::DeleteObject(hAlpha);
    } else {
      HICON hIcon = static_cast<HICON>(
          ::LoadImage(nullptr, pszPath, IMAGE_ICON, m_nWidth, m_nHeight, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
      if (hIcon == nullptr) {
        return FALSE;
      }
      pLoaded = CopyBitmap(static_cast<const CAlphaBitmap*>(nullptr), m_nWidth, m_nHeight);
      if (pLoaded != nullptr) {
        CPictureDC dc(pLoaded.get());
        dc.DrawState(CPoint(0, 0), CSize(m_nWidth, m_nHeight), hIcon, DST_ICON);
      }
      ::DestroyIcon(hIcon);
    }
  } else if (ext == "bmp") {
    HBITMAP hBitmap = static_cast<HBITMAP>(
        ::LoadImage(nullptr, pszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (hBitmap == nullptr) {
      return FALSE;
    }
    pLoaded = CopyBitmap(hBitmap, CTKImageManager::IsAlphaBitmapFile(pszPath), m_nWidth, m_nHeight,
                         TK_IMAGEEDITOR_TRANSPARENT, TK_IMAGEEDITOR_TRANSPARENT);
    ::DeleteObject(hBitmap);
  } else {
    WCHAR wide[MAX_PATH * 2] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, pszPath, -1, wide, MAX_PATH * 2) == 0) {
      return FALSE;
    }
    IPicture* pPicture = nullptr;
    if (FAILED(::OleLoadPicturePath(wide, nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&pPicture))) ||
        pPicture == nullptr) {
      return FALSE;
    }
    OLE_XSIZE_HIMETRIC cx = 0;
    OLE_YSIZE_HIMETRIC cy = 0;
    pPicture->get_Width(&cx);
    pPicture->get_Height(&cy);
    pLoaded = CopyBitmap(static_cast<const CAlphaBitmap*>(nullptr), m_nWidth, m_nHeight);
    if (pLoaded != nullptr) {
      CPictureDC dc(pLoaded.get());
      pPicture->Render(dc.GetSafeHdc(), 0, 0, m_nWidth, m_nHeight, 0, cy, cx, -cy, nullptr);
    }
    pPicture->Release();
  }
  if (pLoaded == nullptr) {
    return FALSE;
  }
  m_pBase = std::move(m_pCurrent);
  m_pCurrent = std::move(pLoaded);
  PushUndo();
  return TRUE;
}

BOOL CTKImageEditorPicture::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
  static constexpr UINT kCursors[] = {TK_IDC_IMAGEEDITOR_CURSOR_PENCIL, TK_IDC_IMAGEEDITOR_CURSOR_FILL,
                                      TK_IDC_IMAGEEDITOR_CURSOR_PICKER};
  const int nTool = m_pDlg != nullptr ? m_pDlg->GetCurrentTool() : kPencil;
  const UINT nCursor = nTool >= 0 && nTool < 3 ? kCursors[nTool] : TK_IDC_IMAGEEDITOR_CURSOR_DEFAULT;
  HCURSOR hCursor = TKResourceManager()->LoadCursor(nCursor);
  if (hCursor != nullptr) {
    ::SetCursor(hCursor);
    return TRUE;
  }
  return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void CTKImageEditorPicture::OnLButtonDown(UINT, CPoint point)
{
  if (m_pDlg == nullptr) {
    return;
  }
  const CPoint pt = PixelFromPoint(point);
  if (pt.x < 0 || pt.y < 0 || pt.x >= m_nWidth || pt.y >= m_nHeight) {
    return;
  }
  const COLORREF clrAt = GetPixelColor(pt);
  const COLORREF clrCurrent = m_pDlg->GetCurrentColor();
  switch (m_pDlg->GetCurrentTool()) {
  case kFill: {
    m_pBase = std::move(m_pCurrent);
    m_pCurrent = CopyOfBase();
    if (m_pCurrent != nullptr) {
      CPictureDC dc(m_pCurrent.get());
      CBrush brush(clrCurrent);
      CBrush* pOld = dc.SelectObject(&brush);
      dc.ExtFloodFill(pt.x, pt.y, clrAt, FLOODFILLSURFACE);
      dc.SelectObject(pOld);
    }
    if (m_pCurrent != nullptr && m_pCurrent->m_bAlpha) {
      MergeAlpha(m_pCurrent.get(), m_pBase.get());
    }
    PushUndo();
    return;
  }
  case kPicker:
    m_pDlg->GetFreeColorPicker().m_clr = clrAt;
    m_pDlg->SelectPicker(&m_pDlg->GetFreeColorPicker());
    m_pDlg->RestorePreviousTool();
    return;
  default:
    break;
  }
  m_pBase = std::move(m_pCurrent);
  m_pCurrent = CopyOfBase();
  m_clrDraw = clrAt == clrCurrent ? TK_IMAGEEDITOR_TRANSPARENT : clrCurrent;
  m_bTracking = TRUE;
  m_bStepOpen = TRUE;
  m_ptTracking = pt;
  SetCapture();
  OnMouseMove(0, point);
}

void CTKImageEditorPicture::OnMouseMove(UINT, CPoint point)
{
  if (!m_bTracking || m_pDlg == nullptr) {
    return;
  }
  const CPoint q = PixelFromPoint(point);
  const int nTool = m_pDlg->GetCurrentTool();
  const COLORREF clrCurrent = m_pDlg->GetCurrentColor();
  Picture pCopy = CopyBitmap(nTool == kPencil ? m_pCurrent.get() : m_pBase.get(), m_nWidth, m_nHeight);
  if (pCopy == nullptr) {
    return;
  }
  if (nTool == kPencil) {
    if (q.x >= 0 && q.y >= 0 && q.x < m_nWidth && q.y < m_nHeight) {
      pCopy->At(q.x, q.y) = ToPixel(m_clrDraw);
    }
  } else {
    CPictureDC dc(pCopy.get());
    const CRect rc(std::min(m_ptTracking.x, q.x), std::min(m_ptTracking.y, q.y), std::max(m_ptTracking.x, q.x),
                   std::max(m_ptTracking.y, q.y));
    CPen pen(PS_SOLID, 1, clrCurrent);
    CPen* pOldPen = dc.SelectObject(&pen);
    if (nTool == kLine) {
      dc.MoveTo(m_ptTracking);
      dc.LineTo(q);
    } else if (nTool == kRectangle) {
      dc.Draw3dRect(&rc, clrCurrent, clrCurrent);
    } else if (nTool == kEllipse) {
      CBrush brush(TK_IMAGEEDITOR_TRANSPARENT);
      CBrush* pOldBrush = dc.SelectObject(&brush);
      dc.Ellipse(&rc);
      dc.SelectObject(pOldBrush);
    }
    dc.SelectObject(pOldPen);
  }
  if (pCopy->m_bAlpha) {
    MergeAlpha(pCopy.get(), m_pBase.get());
  }
  m_pCurrent = std::move(pCopy);
  Changed();
}

void CTKImageEditorPicture::OnLButtonUp(UINT, CPoint)
{
  if (m_bTracking) {
    m_bTracking = FALSE;
    ::ReleaseCapture();
  }
}

void CTKImageEditorPicture::OnCaptureChanged(CWnd*)
{
  // A drag ends here whether the button came up or the capture was taken away, so it is one undo step either way.
  m_bTracking = FALSE;
  if (m_bStepOpen) {
    m_bStepOpen = FALSE;
    PushUndo();
  }
}

void CTKImageEditorPicture::OnPaint()
{
  CPaintDC paintDC(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) {
    return;
  }
  CAlphaBitmap view;
  if (!view.CreateBitmap32(rc.Width(), rc.Height())) {
    return;
  }
  const DWORD transparent = ToPixel(TK_IMAGEEDITOR_TRANSPARENT);
  const int cw = rc.Width();
  const int ch = rc.Height();
  for (int j = 0; j < ch; ++j) {
    for (int i = 0; i < cw; ++i) {
      // Rows counted from the bottom, as the bitmap stores them; chequer squares of 4, the first row and
      // column one pixel wide.
      const int g = (((i + 3) / 4 + (j + 3) / 4) % 2) == 1 ? 235 : 255;
      DWORD shown = (static_cast<DWORD>(g) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(g);
      if (m_pCurrent != nullptr) {
        const int px = i * m_nWidth / cw;
        const int pyFromBottom = j * m_nHeight / ch;
        const DWORD pixel = m_pCurrent->At(px, m_nHeight - 1 - pyFromBottom);
        if (m_pCurrent->m_bAlpha) {
          const int a = static_cast<int>(pixel >> 24);
          shown = 0;
          for (int shift = 0; shift <= 16; shift += 8) {
            const int c = static_cast<int>((pixel >> shift) & 0xFF);
            shown |= static_cast<DWORD>(g - a * (g - c) / 255) << shift;
          }
        } else if ((pixel & 0xFFFFFF) != transparent) {
          shown = pixel & 0xFFFFFF;
        }
      }
      view.At(i, ch - 1 - j) = shown;
    }
  }
  {
    CTKBufferDC dc(paintDC.GetSafeHdc(), rc);
    CPictureDC source(&view);
    dc.FillSolidRect(&rc, RGB(255, 255, 255));
    dc.BitBlt(0, 0, cw, ch, &source, 0, 0, SRCCOPY);
    dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
  }
}

// ---- the preview

BEGIN_MESSAGE_MAP(CTKImageEditorPreview, CStatic)
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CTKImageEditorPreview::Init(CTKImageEditorDlg* pDlg, int nWidth, int nHeight)
{
  m_pDlg = pDlg;
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
}

void CTKImageEditorPreview::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  const COLORREF clrFace = SysColor(COLOR_BTNFACE);
  dc.FillSolidRect(&rc, clrFace);
  CRect rcPicture(CPoint(10, (rc.Height() - m_nHeight) / 2), CSize(m_nWidth, m_nHeight));
  CRect rcFrame = rcPicture;
  rcFrame.InflateRect(3, 3);
  dc.Draw3dRect(&rcFrame, RGB(255, 255, 255), SysColor(COLOR_BTNSHADOW));
  rcFrame.InflateRect(1, 1);
  dc.Draw3dRect(&rcFrame, clrFace, SysColor(COLOR_3DDKSHADOW));
  const CTKImageEditorPicture::CAlphaBitmap* pPicture = m_pDlg != nullptr ? m_pDlg->GetPicture() : nullptr;
  if (pPicture == nullptr) {
    return;
  }
  if (pPicture->m_bAlpha) {
    HBITMAP hPreMultiplied = CTKImageManagerIcon::PreMultiplyAlphaBitmap(static_cast<HBITMAP>(pPicture->GetSafeHandle()));
    if (hPreMultiplied != nullptr) {
      CTKImageManagerIcon::DrawAlphaBitmap(&dc, hPreMultiplied, rcPicture.left, rcPicture.top, m_nWidth, m_nHeight);
      ::DeleteObject(hPreMultiplied);
    }
    return;
  }
  CTKImageEditorPicture::Picture pCopy =
      CTKImageEditorPicture::CopyBitmap(pPicture, m_nWidth, m_nHeight, 0, 0, TK_IMAGEEDITOR_TRANSPARENT, clrFace);
  if (pCopy != nullptr) {
    dc.DrawState(rcPicture.TopLeft(), rcPicture.Size(), static_cast<HBITMAP>(pCopy->GetSafeHandle()), DST_BITMAP);
  }
}

// ---- pickers

BEGIN_MESSAGE_MAP(CTKImageEditorPicker, CStatic)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CTKImageEditorPicker::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (m_clr == TK_IMAGEEDITOR_TRANSPARENT) {
    dc.FillSolidRect(&rc, RGB(255, 255, 255));
    const CPoint centre = rc.CenterPoint();
    dc.FillSolidRect(CRect(rc.left, rc.top, centre.x, centre.y), TK_IMAGEEDITOR_CHEQUER);
    dc.FillSolidRect(CRect(centre.x, centre.y, rc.right, rc.bottom), TK_IMAGEEDITOR_CHEQUER);
  } else {
    dc.FillSolidRect(&rc, m_clr);
  }
  if (m_bSelected) {
    dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, RGB(255, 255, 255), RGB(255, 255, 255));
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
  } else {
    dc.Draw3dRect(&rc, SysColor(COLOR_3DDKSHADOW), SysColor(COLOR_3DDKSHADOW));
  }
}

void CTKImageEditorPicker::OnLButtonDown(UINT, CPoint)
{
  NMHDR hdr{};
  hdr.hwndFrom = m_hWnd;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  hdr.code = static_cast<UINT>(NM_CLICK);
  CWnd* pParent = GetParent();
  if (pParent != nullptr) {
    pParent->SendMessage(WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
  }
}

// ---- the dialog's bars

BEGIN_MESSAGE_MAP(CTKImageEditorDlg::CDlgToolBar, CToolBar)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CTKImageEditorDlg::CDlgToolBar::OnIdleUpdateCmdUI)
  ON_WM_SIZE()
END_MESSAGE_MAP()

void CTKImageEditorDlg::CDlgToolBar::LoadToolTips()
{
  CTKResourceSwitch toolkitStrings;
  UpdateToolTips();
}

void CTKImageEditorDlg::CDlgToolBar::OnSize(UINT nType, int cx, int cy)
{
  // The tips are made again on every size; their strings are in the toolkit module.
  CTKResourceSwitch toolkitStrings;
  CToolBar::OnSize(nType, cx, cy);
}

void CTKImageEditorDlg::CDlgToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
  *lpRect = RECT{};
  if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size())) {
    return;
  }
  CRect inside;
  ::GetClientRect(m_hWnd, &inside);
  CalcInsideRect(inside, TRUE);
  int nRow = 0;
  int nColumn = 0;
  for (int i = 0; i < nIndex; ++i) {
    ++nColumn;
    if ((m_buttons[static_cast<std::size_t>(i)].nStyle & TBBS_WRAPPED) != 0) {
      ++nRow;
      nColumn = 0;
    }
  }
  const int x = inside.left + nColumn * m_sizeButton.cx;
  const int y = inside.top + nRow * m_sizeButton.cy;
  *lpRect = RECT{x, y, x + m_sizeButton.cx, y + m_sizeButton.cy};
}

CSize CTKImageEditorDlg::CDlgToolBar::CalcFixedLayout(BOOL, BOOL)
{
  int nRows = 1;
  int nColumns = 0;
  int nWidest = 0;
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    ++nColumns;
    nWidest = std::max(nWidest, nColumns);
    if ((m_buttons[i].nStyle & TBBS_WRAPPED) != 0 && i + 1 < m_buttons.size()) {
      ++nRows;
      nColumns = 0;
    }
  }
  CRect borders(0, 0, 0, 0);
  CalcInsideRect(borders, TRUE);
  return CSize(nWidest * m_sizeButton.cx - borders.Width(), nRows * m_sizeButton.cy - borders.Height());
}

LRESULT CTKImageEditorDlg::CDlgToolBar::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
  CWnd* pTarget = GetParent();
  if (pTarget == nullptr) {
    return 0;
  }
  CEditorBarCmdUI state(this);
  state.m_nIndexMax = static_cast<UINT>(m_buttons.size());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_buttons[state.m_nIndex].nID;
    state.DoUpdate(pTarget, FALSE);
  }
  return 0;
}

// ---- the dialog

BEGIN_MESSAGE_MAP(CTKImageEditorDlg, CDialog)
  ON_COMMAND_RANGE(TK_ID_IMAGEEDITOR_PENCIL, TK_ID_IMAGEEDITOR_ELLIPSE, &CTKImageEditorDlg::OnTool)
  ON_UPDATE_COMMAND_UI_RANGE(TK_ID_IMAGEEDITOR_PENCIL, TK_ID_IMAGEEDITOR_ELLIPSE, &CTKImageEditorDlg::OnUpdateTool)
  ON_COMMAND(TK_ID_IMAGEEDITOR_COPY, &CTKImageEditorDlg::OnCopy)
  ON_COMMAND(TK_ID_IMAGEEDITOR_PASTE, &CTKImageEditorDlg::OnPaste)
  ON_COMMAND(TK_ID_IMAGEEDITOR_CLEAR, &CTKImageEditorDlg::OnClear)
  ON_COMMAND(TK_ID_IMAGEEDITOR_UNDO, &CTKImageEditorDlg::OnUndo)
  ON_COMMAND(TK_ID_IMAGEEDITOR_REDO, &CTKImageEditorDlg::OnRedo)
  ON_UPDATE_COMMAND_UI(TK_ID_IMAGEEDITOR_UNDO, &CTKImageEditorDlg::OnUpdateUndo)
  ON_UPDATE_COMMAND_UI(TK_ID_IMAGEEDITOR_REDO, &CTKImageEditorDlg::OnUpdateRedo)
  ON_COMMAND(TK_ID_IMAGEEDITOR_IMPORT, &CTKImageEditorDlg::OnImport)
  ON_COMMAND_RANGE(TK_ID_IMAGEEDITOR_MOVE_LEFT, TK_ID_IMAGEEDITOR_MOVE_RIGHT, &CTKImageEditorDlg::OnMove)
  ON_NOTIFY(NM_CLICK, TK_IDC_IMAGEEDITOR_TRANSPARENT, &CTKImageEditorDlg::OnTransparentPickerClick)
  ON_NOTIFY_RANGE(NM_CLICK, TK_ID_IMAGEEDITOR_PALETTE_FIRST, TK_ID_IMAGEEDITOR_PALETTE_LAST,
                  &CTKImageEditorDlg::OnPalettePickerClick)
  ON_NOTIFY(NM_CLICK, TK_IDC_IMAGEEDITOR_MORE_COLORS, &CTKImageEditorDlg::OnMoreColors)
  ON_NOTIFY_RANGE(TTN_GETDISPINFOA, 0, 0xFFFF, &CTKImageEditorDlg::OnToolTipText)
  ON_NOTIFY_RANGE(TTN_GETDISPINFOW, 0, 0xFFFF, &CTKImageEditorDlg::OnToolTipText)
  ON_MESSAGE(WM_KICKIDLE, &CTKImageEditorDlg::OnKickIdle)
END_MESSAGE_MAP()

CTKImageEditorDlg::CTKImageEditorDlg(CWnd* pParent) { m_pParentWnd = pParent; }

CTKImageEditorDlg::~CTKImageEditorDlg() = default;

void CTKImageEditorDlg::SetPictureSize(int nWidth, int nHeight)
{
  if (nWidth > 0 && nHeight > 0) {
    m_nWidth = nWidth;
    m_nHeight = nHeight;
  }
}

void CTKImageEditorDlg::SetIcon(const CTKImageManagerIconHandle& hIcon)
{
  if (hIcon.IsEmpty()) {
    return;
  }
  const CSize extent = hIcon.GetExtent();
  if (extent.cx <= 0 || extent.cy <= 0) {
    return;
  }
  m_nWidth = extent.cx;
  m_nHeight = extent.cy;
  if (hIcon.IsAlpha()) {
    m_pInitial = CTKImageEditorPicture::CopyBitmap(hIcon.GetBitmap(), TRUE, m_nWidth, m_nHeight,
                                                   TK_IMAGEEDITOR_TRANSPARENT, TK_IMAGEEDITOR_TRANSPARENT);
    CTKImageEditorPicture::MakeZeroTransparent(m_pInitial.get());
  } else {
    m_pInitial = CTKImageEditorPicture::CopyBitmap(static_cast<const CTKImageEditorPicture::CAlphaBitmap*>(nullptr),
                                                   m_nWidth, m_nHeight);
    if (m_pInitial != nullptr) {
      CDC dc;
      dc.CreateCompatibleDC(nullptr);
      CBitmap* pOld = dc.SelectObject(m_pInitial.get());
      dc.DrawState(CPoint(0, 0), extent, hIcon.GetIcon(), DST_ICON);
      dc.SelectObject(pOld);
    }
  }
}

void CTKImageEditorDlg::GetIcon(CTKImageManagerIconHandle* pHandle) const
{
  const CTKImageEditorPicture::CAlphaBitmap* pPicture = m_wndPicture.GetPicture();
  if (pHandle == nullptr || pPicture == nullptr) {
    return;
  }
  if (pPicture->m_bAlpha) {
    pHandle->SetAlphaBitmap(static_cast<HBITMAP>(pPicture->GetSafeHandle()));
    return;
  }
  CImageList images;
  if (!images.Create(m_nWidth, m_nHeight, ILC_COLOR24 | ILC_MASK, 0, 1)) {
    return;
  }
  CTKImageEditorPicture::Picture pCopy = CTKImageEditorPicture::CopyBitmap(pPicture, m_nWidth, m_nHeight);
  if (pCopy == nullptr) {
    return;
  }
  images.Add(pCopy.get(), TK_IMAGEEDITOR_TRANSPARENT);
  if (images.GetImageCount() == 1) {
    pHandle->SetIcon(images.ExtractIcon(0));
  }
}

INT_PTR CTKImageEditorDlg::DoModal()
{
  const DLGTEMPLATE* pTemplate = TKResourceManager()->LoadDialogTemplate(TK_IDD_IMAGEEDITOR);
  if (pTemplate == nullptr || !InitModalIndirect(pTemplate, m_pParentWnd)) {
    return -1;
  }
  return CDialog::DoModal();
}

BOOL CTKImageEditorDlg::CreateEditor(CWnd* pParent)
{
  const DLGTEMPLATE* pTemplate = TKResourceManager()->LoadDialogTemplate(TK_IDD_IMAGEEDITOR);
  return pTemplate != nullptr && CreateIndirect(pTemplate, pParent);
}

BOOL CTKImageEditorDlg::CreateBar(CDlgToolBar& bar, UINT nPlaceholder, const UINT* pIds, int nCount, int nFirst)
{
  if (!bar.CreateEx(this, TBSTYLE_FLAT, kBarStyle, CRect(0, 0, 0, 0), kBarId)) {
    return FALSE;
  }
  bar.SetSizes(CSize(kButtonSize, kButtonSize), CSize(kImageSize, kImageSize));
  // The strip comes through the resource manager, so the toolkit module alone gives the buttons their images.
  CBitmap strip;
  if (TKResourceManager()->LoadBitmap(&strip, TK_IDB_IMAGEEDITOR_TOOLS)) {
    CBitmap part;
    CDC source;
    CDC target;
    source.CreateCompatibleDC(nullptr);
    target.CreateCompatibleDC(nullptr);
    CBitmap* pOldSource = source.SelectObject(&strip);
    part.Attach(::CreateCompatibleBitmap(source.GetSafeHdc(), nCount * kImageSize, kImageSize));
    CBitmap* pOldTarget = target.SelectObject(&part);
    target.BitBlt(0, 0, nCount * kImageSize, kImageSize, &source, nFirst * kImageSize, 0, SRCCOPY);
    target.SelectObject(pOldTarget);
    source.SelectObject(pOldSource);
    bar.SetBitmap(static_cast<HBITMAP>(part.Detach()));
  }
  {
    CTKResourceSwitch toolkitStrings;
    bar.SetButtons(pIds, nCount);
  }
  CWnd* pPlace = GetDlgItem(nPlaceholder);
  if (pPlace != nullptr) {
    CRect rc;
    pPlace->GetWindowRect(&rc);
    ScreenToClient(&rc);
    rc.OffsetRect(-7, -4);
    const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
    bar.SetWindowPos(nullptr, rc.left, rc.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  bar.LoadToolTips();
  return TRUE;
}

BOOL CTKImageEditorDlg::OnInitDialog()
{
  CDialog::OnInitDialog();

  CreateBar(m_wndToolsBar, TK_IDC_IMAGEEDITOR_TOOLS_PLACE, kToolButtons, 12, 0);
  for (int i = 3; i < 12; i += 4) {
    m_wndToolsBar.SetButtonStyle(i, m_wndToolsBar.GetButtonStyle(i) | TBBS_WRAPPED);
  }
  const CSize toolsSize = m_wndToolsBar.CalcFixedLayout(FALSE, TRUE);
  m_wndToolsBar.SetWindowPos(nullptr, 0, 0, toolsSize.cx, toolsSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_wndToolsBar.LoadToolTips();
  CreateBar(m_wndMoveBar, TK_ID_IMAGEEDITOR_MOVE_LEFT, kMoveButtons, 4, 12);

  CRect rcPalette(0, 0, 0, 0);
  if (CWnd* pPlace = GetDlgItem(TK_ID_IMAGEEDITOR_MOVE_RIGHT)) {
    pPlace->GetWindowRect(&rcPalette);
    ScreenToClient(&rcPalette);
  }
  for (int i = 0; i < 16; ++i) {
    const int nColumn = i % 8;
    const int nRow = i / 8;
    const CRect rc(CPoint(rcPalette.left + kPickerStep * nColumn, rcPalette.top - 4 + kPickerStep * nRow),
                   CSize(kPickerCell, kPickerCell));
    m_wndPickers[i].m_clr = kPalette[i].clr;
    m_wndPickers[i].Create("", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rc, this, kPalette[i].nId);
  }
  SelectPicker(&m_wndPickers[0]);

  m_wndPickerTransparent.m_clr = TK_IMAGEEDITOR_TRANSPARENT;
  m_wndPickerTransparent.SubclassDlgItem(TK_IDC_IMAGEEDITOR_TRANSPARENT, this);
  m_wndPickerMore.SubclassDlgItem(TK_IDC_IMAGEEDITOR_MORE_COLORS, this);
  m_wndPicture.SubclassDlgItem(TK_IDC_IMAGEEDITOR_PICTURE, this);
  m_wndPicture.Init(this, m_nWidth, m_nHeight);
  m_wndPreview.SubclassDlgItem(TK_IDC_IMAGEEDITOR_PREVIEW, this);
  m_wndPreview.Init(this, m_nWidth, m_nHeight);
  if (m_pInitial != nullptr) {
    m_wndPicture.SetPicture(std::move(m_pInitial));
  }
  return TRUE;
}

COLORREF CTKImageEditorDlg::GetCurrentColor() const
{
  return m_pSelectedPicker != nullptr ? m_pSelectedPicker->m_clr : 0;
}

void CTKImageEditorDlg::SelectPicker(CTKImageEditorPicker* pPicker)
{
  if (m_pSelectedPicker != nullptr) {
    m_pSelectedPicker->m_bSelected = FALSE;
    if (m_pSelectedPicker->m_hWnd != nullptr) {
      m_pSelectedPicker->Invalidate(FALSE);
    }
  }
  m_pSelectedPicker = pPicker;
  if (pPicker != nullptr) {
    pPicker->m_bSelected = TRUE;
    if (pPicker->m_hWnd != nullptr) {
      pPicker->Invalidate(FALSE);
    }
  }
}

void CTKImageEditorDlg::RedrawPicture()
{
  if (m_wndPreview.m_hWnd != nullptr) {
    m_wndPreview.Invalidate(FALSE);
  }
}

void CTKImageEditorDlg::OnTool(UINT nID)
{
  if (m_nCurrentTool != kPicker) {
    m_nPreviousTool = m_nCurrentTool;
  }
  m_nCurrentTool = static_cast<int>(nID - TK_ID_IMAGEEDITOR_PENCIL);
}

void CTKImageEditorDlg::OnUpdateTool(CCmdUI* pCmdUI)
{
  pCmdUI->SetCheck(static_cast<int>(pCmdUI->m_nID - TK_ID_IMAGEEDITOR_PENCIL) == m_nCurrentTool ? 1 : 0);
}

void CTKImageEditorDlg::OnCopy() { m_wndPicture.CopyToClipboard(); }
void CTKImageEditorDlg::OnPaste() { m_wndPicture.PasteFromClipboard(); }
void CTKImageEditorDlg::OnClear() { m_wndPicture.Clear(); }
void CTKImageEditorDlg::OnUndo() { m_wndPicture.Undo(); }
void CTKImageEditorDlg::OnRedo() { m_wndPicture.Redo(); }
void CTKImageEditorDlg::OnUpdateUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_wndPicture.CanUndo()); }
void CTKImageEditorDlg::OnUpdateRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_wndPicture.CanRedo()); }
void CTKImageEditorDlg::OnImport() { m_wndPicture.Import(); }

void CTKImageEditorDlg::OnMove(UINT nID)
{
  switch (nID) {
  case TK_ID_IMAGEEDITOR_MOVE_LEFT:
    m_wndPicture.MovePicture(-1, 0);
    break;
  case TK_ID_IMAGEEDITOR_MOVE_DOWN:
    m_wndPicture.MovePicture(0, 1);
    break;
  case TK_ID_IMAGEEDITOR_MOVE_UP:
    m_wndPicture.MovePicture(0, -1);
    break;
  default:
    m_wndPicture.MovePicture(1, 0);
    break;
  }
}

void CTKImageEditorDlg::OnTransparentPickerClick(NMHDR*, LRESULT* pResult)
{
  SelectPicker(&m_wndPickerTransparent);
  *pResult = 0;
}

void CTKImageEditorDlg::OnPalettePickerClick(UINT nID, NMHDR*, LRESULT* pResult)
{
  for (CTKImageEditorPicker& picker : m_wndPickers) {
    if (picker.m_hWnd != nullptr && static_cast<UINT>(picker.GetDlgCtrlID()) == nID) {
      SelectPicker(&picker);
    }
  }
  *pResult = 0;
}

void CTKImageEditorDlg::OnMoreColors(NMHDR*, LRESULT* pResult)
{
  CColorDialog dlg(m_wndPickerMore.m_clr, 0, this);
  if (dlg.DoModal() == IDOK) {
    m_wndPickerMore.m_clr = dlg.GetColor();
    SelectPicker(&m_wndPickerMore);
  }
  *pResult = 0;
}

BOOL CTKImageEditorDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
  UINT_PTR nID = pNMHDR->idFrom;
  const bool bWide = pNMHDR->code == static_cast<UINT>(TTN_GETDISPINFOW);
  const UINT uFlags = bWide ? reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags
                            : reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags;
  if ((uFlags & TTF_IDISHWND) != 0) {
    nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
  }
  CString strFull;
  CString strTip;
  if (nID != 0 && TKResourceManager()->LoadString(&strFull, static_cast<UINT>(nID))) {
    const int nNewLine = strFull.Find('\n');
    if (nNewLine >= 0) {
      strTip = strFull.Mid(nNewLine + 1);
    }
  }
  if (bWide) {
    auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, strTip, -1, pInfo->szText, 80);
    pInfo->szText[n > 0 ? std::min(n, 80) - 1 : 0] = 0;
    pInfo->lpszText = pInfo->szText;
  } else {
    auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    std::strncpy(pInfo->szText, strTip, 79);
    pInfo->szText[79] = 0;
    pInfo->lpszText = pInfo->szText;
  }
  *pResult = 0;
  if (pNMHDR->hwndFrom != nullptr) {
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
  }
  return TRUE;
}

LRESULT CTKImageEditorDlg::OnKickIdle(WPARAM, LPARAM)
{
  SendMessageToDescendants(WM_IDLEUPDATECMDUI, FALSE, 0, TRUE, TRUE);
  return 0;
}
