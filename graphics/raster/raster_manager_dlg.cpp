#include "graphics/raster/raster_manager_dlg.h"

#include "document/graphic_core.h"
#include "graphics/raster/dib_from_file.h"
#include "graphics/raster/raster_store.h"
#include "model/doc_interface.h"
#include "platform/base/module.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/commdlg.h"
#include "platform/shell/htmlhelp.h"
#include "res/program_ids.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace res::program;

constexpr int kMinWidth = 800;
constexpr int kMinHeight = 600;
constexpr int kLengthFieldWidth = 170;
constexpr int kLengthFieldItem = 9;
constexpr int kMaxDigits = 6;
constexpr UINT kHelpKeyword = 33015;  // "Геоподоснова"

CString Format(const char* format, double a, double b, int c, int d)
{
  char text[512];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

}  // namespace

// ---- the length field ----

BEGIN_MESSAGE_MAP(CNumericEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

void CNumericEdit::OnChar(UINT key, UINT, UINT)
{
  CString text;
  GetWindowText(text);
  bool accepted = key == VK_BACK;
  if (!accepted && text.GetLength() < kMaxDigits) {
    const bool separator = key == ',' || key == '.';
    accepted = (key >= '0' && key <= '9') || (separator && text.Find(',') < 0 && text.Find('.') < 0);
  }
  if (!accepted)
    return;
  Default();
  ParseValue();
}

void CNumericEdit::ParseValue()
{
  GetWindowText(m_text);
  CString number = m_text;
  number.Replace(',', '.');
  char* end = nullptr;
  const double value = std::strtod(number, &end);
  m_value = end != static_cast<LPCSTR>(number) ? value : 0;
  if (m_owner)
    m_owner->OnValueChanged();
}

BEGIN_MESSAGE_MAP(CWiseEdit, CStatic)
  ON_WM_SIZE()
  ON_WM_ENABLE()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CWiseEdit::CreateIn(CWnd* parent, const RECT& rect, CRasterManagerDlg* dialog)
{
  m_dialog = dialog;
  if (!Create("", WS_CHILD | WS_VISIBLE, rect, parent, ID_RASTER_SEGMENT_LENGTH))
    return FALSE;
  CreateChildren();
  Layout();
  return TRUE;
}

void CWiseEdit::CreateChildren()
{
  // Tahoma in the Cyrillic character set: 16 for the length, 12 for the plan size.
  m_editFont.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  m_labelFont.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  const CRect none(0, 0, 10, 10);
  m_edit.CreateEx(WS_EX_CLIENTEDGE, "Edit", "0.00", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER, 0, 0, 10, 10,
                  GetSafeHwnd(), reinterpret_cast<HMENU>(1));
  m_lengthLabel.Create("длина:   0.00 м.", WS_CHILD | WS_VISIBLE, none, this, 2);
  m_widthLabel.Create("ширина: 0.00 м.", WS_CHILD | WS_VISIBLE, none, this, 3);
  m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.GetSafeHandle()), FALSE);
  m_lengthLabel.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.GetSafeHandle()), FALSE);
  m_widthLabel.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.GetSafeHandle()), FALSE);
}

void CWiseEdit::Layout()
{
  if (!m_edit.GetSafeHwnd())
    return;
  CRect r;
  GetClientRect(&r);
  const int middle = (r.bottom - r.top) / 2;
  m_edit.MoveWindow(r.left, r.top + 1, 50 - r.left, r.bottom - r.top - 2);
  m_lengthLabel.MoveWindow(56, r.top, r.right - 10 - 56, middle - r.top);
  m_widthLabel.MoveWindow(56, middle, r.right - 10 - 56, r.bottom + 2 - middle);
}

void CWiseEdit::ShowPlanSize(double length, double width)
{
  char text[64];
  std::snprintf(text, sizeof text, "длина:   %.2f м.", length);
  m_lengthLabel.SetWindowText(text);
  std::snprintf(text, sizeof text, "ширина: %.2f м.", width);
  m_widthLabel.SetWindowText(text);
}

void CWiseEdit::OnValueChanged()
{
  if (!m_dialog)
    return;
  m_sizeCheck = m_dialog->CheckPlanSize();
  ShowPlanSize(m_dialog->m_planLength, m_dialog->m_planWidth);
  m_lengthLabel.Invalidate();
  m_widthLabel.Invalidate();
  m_dialog->UpdateButtons();
}

void CWiseEdit::OnSize(UINT, int, int) { Layout(); }

void CWiseEdit::OnEnable(BOOL enable)
{
  m_edit.EnableWindow(enable);
  m_lengthLabel.EnableWindow(enable);
  m_widthLabel.EnableWindow(enable);
}

HBRUSH CWiseEdit::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
  const bool enabled = wnd && wnd->IsWindowEnabled();
  const HWND control = wnd ? wnd->GetSafeHwnd() : nullptr;
  if (ctlColor == CTLCOLOR_STATIC && (control == m_lengthLabel.GetSafeHwnd() || control == m_widthLabel.GetSafeHwnd())) {
    dc->SetBkMode(TRANSPARENT);
    const int bit = control == m_lengthLabel.GetSafeHwnd() ? kLengthTooLong : kWidthTooLong;
    dc->SetTextColor(!enabled ? RGB(100, 100, 100) : (m_sizeCheck & bit) ? RGB(255, 0, 0) : RGB(0, 0, 0));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  dc->SetTextColor(enabled ? RGB(0, 0, 0) : RGB(100, 100, 100));
  const int background = enabled ? COLOR_WINDOW : COLOR_MENU;
  dc->SetBkColor(GetSysColor(background));
  return GetSysColorBrush(background);
}

// ---- the toolbar ----

namespace {

class CWiseToolCmdUI : public CCmdUI {
public:
  explicit CWiseToolCmdUI(CToolBar* bar) : m_bar(bar) {}
  void Enable(BOOL on) override
  {
    m_bEnableChanged = TRUE;
    const int index = static_cast<int>(m_nIndex);
    if (m_bar->GetItemID(index) == ID_RASTER_SEGMENT_LENGTH) {
      // The length field stands where its button was.
      auto* bar = static_cast<CWiseToolBar*>(m_bar);
      if (bar->m_wiseEdit.GetSafeHwnd())
        bar->m_wiseEdit.EnableWindow(on);
      return;
    }
    UINT style = m_bar->GetButtonStyle(index) & ~TBBS_DISABLED;
    if (!on)
      style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
    m_bar->SetButtonStyle(index, style);
  }
  void SetCheck(int check) override
  {
    const int index = static_cast<int>(m_nIndex);
    UINT style = m_bar->GetButtonStyle(index) & ~TBBS_CHECKED;
    m_bar->SetButtonStyle(index, style | (check == 1 ? TBBS_CHECKED : 0) | TBBS_CHECKBOX);
  }
  void SetText(LPCSTR) override {}

private:
  CToolBar* m_bar;
};

}  // namespace

void CWiseToolBar::UpdateFrom(CCmdTarget* dialog)
{
  CWiseToolCmdUI state(this);
  state.m_nIndexMax = static_cast<UINT>(m_buttons.size());
  for (UINT i = 0; i < m_buttons.size(); ++i) {
    // Separators have no command, except the one the length field stands in.
    if ((m_buttons[i].nStyle & TBBS_SEPARATOR) && m_buttons[i].nID != ID_RASTER_SEGMENT_LENGTH)
      continue;
    state.m_nIndex = i;
    state.m_nID = m_buttons[i].nID;
    state.DoUpdate(dialog, FALSE);
  }
}

// ---- the dialog ----

BEGIN_MESSAGE_MAP(CRasterManagerDlg, CTKResizeDialog)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_MOUSEWHEEL()
  ON_MESSAGE(WM_KICKIDLE, &CRasterManagerDlg::OnKickIdle)
  ON_COMMAND(ID_RASTER_OPEN, &CRasterManagerDlg::OnOpen)
  ON_COMMAND(ID_RASTER_UNBIND, &CRasterManagerDlg::OnUnbind)
  ON_COMMAND(ID_RASTER_RESTORE_SIZE, &CRasterManagerDlg::OnRestoreSize)
  ON_COMMAND(ID_RASTER_ZOOM_IN, &CRasterManagerDlg::OnZoomIn)
  ON_COMMAND(ID_RASTER_ZOOM_OUT, &CRasterManagerDlg::OnZoomOut)
  ON_COMMAND(ID_RASTER_MOVE, &CRasterManagerDlg::OnMove)
  ON_COMMAND(ID_RASTER_SEGMENT, &CRasterManagerDlg::OnSegment)
  ON_COMMAND(ID_RASTER_HELP, &CRasterManagerDlg::OnHelp)
  ON_UPDATE_COMMAND_UI(ID_RASTER_UNBIND, &CRasterManagerDlg::OnUpdateUnbind)
  ON_UPDATE_COMMAND_UI(ID_RASTER_MOVE, &CRasterManagerDlg::OnUpdateMove)
  ON_UPDATE_COMMAND_UI(ID_RASTER_SEGMENT, &CRasterManagerDlg::OnUpdateSegment)
  ON_UPDATE_COMMAND_UI(ID_RASTER_SEGMENT_LENGTH, &CRasterManagerDlg::OnUpdateLength)
  ON_UPDATE_COMMAND_UI(IDOK, &CRasterManagerDlg::OnUpdateOK)
END_MESSAGE_MAP()

CRasterManagerDlg::CRasterManagerDlg(CWnd* parent, IQorRoadDoc* document, int rasterId, const CString& path)
    : CTKResizeDialog(IDD_RASTER_MANAGER, parent), m_document(document), m_path(path), m_rasterId(rasterId),
      m_store(CRasterStore::GetInstance())
{
  m_viewer = std::make_unique<CRasterViewer>(this, RGB(0, 0, 0));
  if (document)
    m_core = document->GetGraphicCore();
}

CRasterManagerDlg::~CRasterManagerDlg() { DropUnstoredRaster(); }

void CRasterManagerDlg::DropUnstoredRaster()
{
  if (m_viewer && m_viewer->m_raster && !m_store->Contains(m_viewer->m_raster)) {
    delete m_viewer->m_raster;
    m_viewer->m_raster = nullptr;
  }
}

BOOL CRasterManagerDlg::OnInitDialog()
{
  CTKResizeDialog::OnInitDialog();
  SetWindowText("Выбор графического файла");
  m_resize.SetMinTrackSize(CSize(kMinWidth, kMinHeight));
  CreateToolBar();
  const char* viewerClass = AfxRegisterWndClass(CS_OWNDC, LoadCursor(nullptr, IDC_ARROW),
                                                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  m_viewer->CreateEx(WS_EX_CLIENTEDGE, viewerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                     GetSafeHwnd(), nullptr);
  m_progress.SubclassDlgItem(IDC_RASTER_PROGRESS, this);
  m_progress.ShowWindow(SW_HIDE);
  m_viewer->m_progress = m_progress.GetSafeHwnd();
  // At least the smallest size the dialog may take.
  CRect window;
  GetWindowRect(&window);
  if (window.Width() < kMinWidth || window.Height() < kMinHeight)
    SetWindowPos(nullptr, 0, 0, std::max(window.Width(), kMinWidth), std::max(window.Height(), kMinHeight),
                 SWP_NOMOVE | SWP_NOZORDER);
  Layout();
  AutoLoadPlacement(kPlacementSection);
  ShowCurrentRaster();
  if (!m_path.IsEmpty())
    LoadFile();
  UpdateButtons();
  return TRUE;
}

void CRasterManagerDlg::CreateToolBar()
{
  m_toolbar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS);
  m_toolbar.LoadToolBar(IDR_RASTER_TOOLBAR);
  m_toolbar.SetButtonInfo(kLengthFieldItem, ID_RASTER_SEGMENT_LENGTH, TBBS_SEPARATOR, kLengthFieldWidth);
  CRect item;
  m_toolbar.GetItemRect(kLengthFieldItem, &item);
  item.left += 6;
  m_toolbar.m_wiseEdit.CreateIn(&m_toolbar, item, this);
}

void CRasterManagerDlg::Layout()
{
  if (!m_viewer || !m_viewer->GetSafeHwnd())
    return;
  CRect client;
  GetClientRect(&client);
  const int w = client.Width(), h = client.Height();
  m_toolbar.MoveWindow(6, -1, w - 12, 28);
  m_viewer->MoveWindow(6, 30, w - 12, h - 63);
  if (CWnd* cancel = GetDlgItem(IDCANCEL))
    cancel->MoveWindow(w - 81, h - 29, 75, 23);
  if (CWnd* ok = GetDlgItem(IDOK))
    ok->MoveWindow(w - 161, h - 29, 75, 23);
  if (m_progress.GetSafeHwnd())
    m_progress.MoveWindow(6, h - 29, w - 173, 23);
}

int CRasterManagerDlg::CheckPlanSize()
{
  m_planLength = m_planWidth = 0;
  const CRasterSegment& segment = m_viewer->m_segment;
  const double typed = m_toolbar.m_wiseEdit.m_edit.m_value;
  const double pixels = segment.PixelLength();
  if (segment.m_complete && pixels != 0 && typed > 0 && m_viewer->m_zoom > 0) {
    const double perMetre = pixels / typed / m_viewer->m_zoom;
    m_planLength = m_viewer->m_pictureWidth / perMetre;
    m_planWidth = m_viewer->m_pictureHeight / perMetre;
  }
  // A side of exactly the limit passes, as in the parameters pane.
  return (m_planLength > kMaxPlanSide ? CWiseEdit::kLengthTooLong : 0) |
         (m_planWidth > kMaxPlanSide ? CWiseEdit::kWidthTooLong : 0);
}

void CRasterManagerDlg::ShowCurrentRaster()
{
  m_viewer->m_segment.Reset();
  DropUnstoredRaster();
  CDibFromFile* stored = m_store->Find(m_rasterId);
  m_viewer->m_raster = stored ? stored : new CDibFromFile;
  m_viewer->Show(m_viewer->m_raster);
}

void CRasterManagerDlg::LoadFile()
{
  if (CDibFromFile* stored = m_store->FindByPath(m_path)) {
    m_unbound = 0;
    stored->m_bound = 1;
    m_viewer->m_segment.Reset();
    DropUnstoredRaster();
    m_viewer->Show(stored);
  } else {
    DropUnstoredRaster();
    m_viewer->m_segment.Reset();
    m_viewer->LoadFile(m_path);
  }
  m_viewer->Invalidate(FALSE);
  UpdateButtons();
}

void CRasterManagerDlg::UpdateButtons()
{
  m_toolbar.UpdateFrom(this);
  UpdateDialogControls(this, FALSE);
}

void CRasterManagerDlg::OnSize(UINT type, int cx, int cy)
{
  CTKResizeDialog::OnSize(type, cx, cy);
  Layout();
}

void CRasterManagerDlg::OnDestroy()
{
  // The base saves the placement under the section given at start.
  CTKResizeDialog::OnDestroy();
  if (m_viewer && m_viewer->GetSafeHwnd())
    m_viewer->DestroyWindow();
}

BOOL CRasterManagerDlg::OnMouseWheel(UINT, short delta, CPoint)
{
  m_viewer->m_segment.Reset();
  if (m_viewer->HasPicture())
    m_viewer->ZoomStep(delta > 0);
  UpdateButtons();
  return TRUE;
}

LRESULT CRasterManagerDlg::OnKickIdle(WPARAM, LPARAM)
{
  UpdateButtons();
  return 0;
}

void CRasterManagerDlg::OnOpen()
{
  m_viewer->m_segment.Reset();
  CFileDialog open(TRUE, nullptr, "*.bmp", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                   "Все файлы изображений (*.bmp)|*.bmp;||", this);
  if (open.DoModal() != IDOK)
    return;
  m_changed = 0;
  m_path = open.GetPathName();
  SetWindowText(m_path);
  LoadFile();
}

void CRasterManagerDlg::OnUnbind()
{
  m_unbound = 1;
  m_changed = 1;
  if (m_viewer->m_raster)
    m_viewer->m_raster->m_bound = 0;
  m_viewer->Invalidate(FALSE);
  UpdateButtons();
}

void CRasterManagerDlg::OnRestoreSize()
{
  m_viewer->m_segment.Reset();
  m_viewer->FitToWindow();
  UpdateButtons();
}

void CRasterManagerDlg::OnZoomIn()
{
  m_viewer->m_segment.Reset();
  m_viewer->ZoomStep(true);
  UpdateButtons();
}

void CRasterManagerDlg::OnZoomOut()
{
  m_viewer->m_segment.Reset();
  m_viewer->ZoomStep(false);
  UpdateButtons();
}

void CRasterManagerDlg::OnMove()
{
  m_viewer->m_segment.Reset();
  m_viewer->Invalidate(FALSE);
  m_viewer->m_mode = CRasterViewer::kMove;
  UpdateButtons();
}

void CRasterManagerDlg::OnSegment()
{
  m_viewer->m_segment.Reset();
  m_viewer->m_mode = CRasterViewer::kSegment;
  UpdateButtons();
}

void CRasterManagerDlg::OnHelp()
{
  CString keyword;
  keyword.LoadString(kHelpKeyword);
  HH_AKLINK link;
  link.cbStruct = sizeof(HH_AKLINK);
  link.pszKeywords = keyword;
  link.fIndexOnFail = TRUE;
  ::HtmlHelp(GetSafeHwnd(), shell::ProgramHelpFile().c_str(), HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link));
}

void CRasterManagerDlg::OnUpdateUnbind(CCmdUI* ui) { ui->Enable(m_viewer->HasPicture()); }

void CRasterManagerDlg::OnUpdateMove(CCmdUI* ui) { ui->SetCheck(m_viewer->m_mode == CRasterViewer::kMove); }

void CRasterManagerDlg::OnUpdateSegment(CCmdUI* ui)
{
  ui->Enable(m_viewer->HasPicture());
  ui->SetCheck(m_viewer->m_mode == CRasterViewer::kSegment);
}

void CRasterManagerDlg::OnUpdateLength(CCmdUI* ui) { ui->Enable(m_viewer->m_segment.m_complete != 0); }

void CRasterManagerDlg::OnUpdateOK(CCmdUI* ui)
{
  ui->Enable(m_changed != 0 || m_toolbar.m_wiseEdit.m_edit.m_value > 0);
}

void CRasterManagerDlg::OnOK()
{
  if (CheckPlanSize() != 0) {
    const CString text = Format("Итоговые размеры проекта с учетом привязки растра: \n%.2f х %.2f м.\n\n"
                                "В данной версии Tesmira Road\nподдерживаюстя проекты со сторонами не более :\n"
                                "%d х %d м.\n\nПожалуйста, повторите процедуру привязки растра.",
                                m_planLength, m_planWidth, static_cast<int>(kMaxPlanSide),
                                static_cast<int>(kMaxPlanSide));
    MessageBox(text, nullptr, MB_ICONSTOP);
    return;
  }
  CDibFromFile* raster = m_viewer->m_raster;
  if (m_unbound || !raster) {
    m_rasterId = 0;
  } else if (m_store->Contains(raster)) {
    if (raster->m_bound && m_viewer->m_segment.m_complete) {
      raster->SetGeometry(m_planLength, m_planWidth);
      raster->MakeTiles();
      m_rasterId = raster->m_id;
    } else {
      m_rasterId = 0;
    }
  } else {
    const int id = m_store->Add(std::unique_ptr<CDibFromFile>(raster));
    raster->SetGeometry(m_planLength, m_planWidth);
    raster->MakeTiles();
    m_rasterId = id;
  }
  EndDialog(IDOK);
}

void CRasterManagerDlg::OnCancel()
{
  m_unbound = 0;
  if (m_viewer->m_raster)
    m_viewer->m_raster->m_bound = 1;
  DropUnstoredRaster();
  CTKResizeDialog::OnCancel();
}
