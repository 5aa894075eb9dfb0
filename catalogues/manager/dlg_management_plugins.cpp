#include "catalogues/manager/dlg_management_plugins.h"

#include "catalogues/manager/plugin_messages.h"
#include "catalogues/manager/plugin_threads.h"
#include "model/doc_interface.h"
#include "model/shell/shell_services.h"
#include "platform/base/fileops.h"
#include "platform/mfc/dc.h"
#include "platform/user/msgbox.h"
#include "platform/user/resources.h"
#include "res/program_ids.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ManagementPlugins {
namespace {

using namespace res::program;

constexpr long kFirstRemovableId = 100000000;
constexpr UINT kAppTitle = 0xE000;

// The once-per-run question about updates.
bool g_askUpdates = true;

bool IsRemovableId(const CString& id) { return std::atol(id) >= kFirstRemovableId; }

CString AppTitle()
{
  CString title;
  title.LoadString(kAppTitle);
  return title;
}

CString Formatted(UINT stringId, const CString& argument)
{
  CString format;
  format.LoadString(stringId);
  CString text;
  text.Format(format, static_cast<LPCSTR>(argument));
  return text;
}

}  // namespace

// CManufactInfo

CManufactInfo::CManufactInfo(const CManufactInfo& other)
    : m_id(other.m_id),
      m_name(other.m_name),
      m_trademark(other.m_trademark),
      m_date(other.m_date),
      m_updateAvailable(other.m_updateAvailable),
      m_updateChosen(other.m_updateChosen)
{
}

CManufactInfo::~CManufactInfo()
{
  if (m_picture)
    DeleteObject(m_picture);
}

void CManufactInfo::SetPicture(const gdiplus::DecodedPicture& picture)
{
  if (m_picture)
    DeleteObject(m_picture);
  m_picture = nullptr;
  m_pictureWidth = m_pictureHeight = 0;
  if (picture.pixels.empty())
    return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits)
    return;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::uint32_t p = picture.pixels[i];
    const std::uint32_t a = p >> 24;
    auto over = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    out[i] = (over((p >> 16) & 0xFF) << 16) | (over((p >> 8) & 0xFF) << 8) | over(p & 0xFF);
  }
  m_picture = bitmap;
  m_pictureWidth = picture.width;
  m_pictureHeight = picture.height;
}

// The list

BEGIN_MESSAGE_MAP(CDlgManagementPlugins::CListBoxManuf, CListBox)
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CDlgManagementPlugins::CListBoxManuf::CListBoxManuf()
{
  const HINSTANCE module = AfxGetResourceHandle();
  m_unticked = LoadIcon(module, MAKEINTRESOURCE(IDI_CATALOGUE_UPDATE_UNTICKED));
  m_ticked = LoadIcon(module, MAKEINTRESOURCE(IDI_CATALOGUE_UPDATE_TICKED));
}

CDlgManagementPlugins::CListBoxManuf::~CListBoxManuf()
{
  if (m_unticked)
    DestroyIcon(m_unticked);
  if (m_ticked)
    DestroyIcon(m_ticked);
}

void CDlgManagementPlugins::CListBoxManuf::Clear()
{
  if (GetSafeHwnd())
    ResetContent();
  m_entries.clear();
}

void CDlgManagementPlugins::CListBoxManuf::Append(std::unique_ptr<CManufactInfo> entry)
{
  const CString text = entry->m_name;
  m_entries.push_back(std::move(entry));
  if (!GetSafeHwnd())
    return;
  const int item = AddString(text);
  if (item >= 0) {
    SetItemData(item, m_entries.size() - 1);
    SetItemHeight(item, kItemHeight);
  }
}

CManufactInfo* CDlgManagementPlugins::CListBoxManuf::EntryOfItem(int item)
{
  if (item < 0 || item >= GetCount())
    return nullptr;
  const DWORD_PTR index = GetItemData(item);
  return index < m_entries.size() ? m_entries[index].get() : nullptr;
}

CManufactInfo* CDlgManagementPlugins::CListBoxManuf::SelectedEntry() { return EntryOfItem(GetCurSel()); }

void CDlgManagementPlugins::CListBoxManuf::Draw(const DRAWITEMSTRUCT& draw)
{
  CManufactInfo* entry = EntryOfItem(static_cast<int>(draw.itemID));
  if (!entry)
    return;
  CDC* dc = CDC::FromHandle(draw.hDC);
  const CRect rc(draw.rcItem);
  const int height = kItemHeight;

  // Only the active list shows its selection.
  const bool selected = m_active && (draw.itemState & ODS_SELECTED) != 0 &&
                        (draw.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
  dc->FillSolidRect(rc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  dc->SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);

  LOGFONT font{};
  if (const auto listFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)))
    GetObjectA(listFont, sizeof font, &font);
  const int textTop = rc.top + std::max(0, height - (height - static_cast<int>(font.lfHeight)) / 2 - 2);
  // The text stands beside the maker's picture; an entry without one (the program's own catalogue) would have it
  // pushed past a narrow list's edge.
  const int textLeft = rc.left + (entry->m_picture ? 160 : kTextInsetWithoutPicture);
  dc->TextOut(textLeft, textTop, entry->m_trademark, entry->m_trademark.GetLength());

  if (entry->m_picture) {
    const int inset = std::max(0, (height - entry->m_pictureHeight) / 2);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory.GetSafeHdc(), entry->m_picture);
    dc->BitBlt(rc.left + inset, rc.top + inset, entry->m_pictureWidth, entry->m_pictureHeight, &memory, 1, 0,
               SRCCOPY);
    SelectObject(memory.GetSafeHdc(), old);
  }
  if (entry->m_updateAvailable) {
    const HICON icon = entry->m_updateChosen ? m_ticked : m_unticked;
    if (icon)
      DrawIconEx(draw.hDC, rc.right - 20, rc.top + height / 2 - 8, icon, 16, 16, 0, nullptr, DI_NORMAL);
  }
}

bool CDlgManagementPlugins::CListBoxManuf::ToggleSelectedUpdate()
{
  CManufactInfo* entry = SelectedEntry();
  if (!entry || !entry->m_updateAvailable)
    return false;
  entry->m_updateChosen = entry->m_updateChosen ? 0 : 1;
  Invalidate();
  if (CWnd* dialog = GetParent())
    dialog->PostMessage(UM_PLUGINS_BUTTONS, 0, 0);
  return true;
}

void CDlgManagementPlugins::CListBoxManuf::OnLButtonUp(UINT flags, CPoint point)
{
  Default();
  (void)flags;
  const int selected = GetCurSel();
  if (selected < 0)
    return;
  CRect client;
  GetClientRect(&client);
  // Every item has the same height.
  const int top = (selected - GetTopIndex()) * kItemHeight;
  const int centre = top + kItemHeight / 2;
  if (std::abs(point.y - centre) < 8 && point.x >= client.right - 20)
    ToggleSelectedUpdate();
}

void CDlgManagementPlugins::CListBoxManuf::OnKeyDown(UINT key, UINT, UINT)
{
  if (key == VK_SPACE && GetCurSel() >= 0) {
    ToggleSelectedUpdate();
    return;
  }
  Default();
}

// The dialog

BEGIN_MESSAGE_MAP(CDlgManagementPlugins, CTKResizeDialog)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_DRAWITEM, &CDlgManagementPlugins::OnDrawItem)
  ON_MESSAGE(WM_MEASUREITEM, &CDlgManagementPlugins::OnMeasureItem)
  ON_MESSAGE(UM_PLUGINS_READINDEX, &CDlgManagementPlugins::OnReadIndex)
  ON_MESSAGE(UM_PLUGINS_STOPINDEX, &CDlgManagementPlugins::OnStopIndex)
  ON_MESSAGE(UM_PLUGINS_STATUS, &CDlgManagementPlugins::OnStatus)
  ON_MESSAGE(UM_PLUGINS_PROGRESS, &CDlgManagementPlugins::OnProgress)
  ON_MESSAGE(UM_PLUGINS_PAINTINSTALLED, &CDlgManagementPlugins::OnPaintInstalled)
  ON_MESSAGE(UM_PLUGINS_PAINTOFFERED, &CDlgManagementPlugins::OnPaintOffered)
  ON_MESSAGE(UM_PLUGINS_BUTTONS, &CDlgManagementPlugins::OnButtons)
  ON_MESSAGE(UM_PLUGINS_STOPDOWNLOAD, &CDlgManagementPlugins::OnStopDownload)
  ON_MESSAGE(UM_PLUGINS_DOWNLOAD, &CDlgManagementPlugins::OnDownload)
  ON_MESSAGE(UM_PLUGINS_INSTALL, &CDlgManagementPlugins::OnInstall)
  ON_MESSAGE(UM_PLUGINS_ASKUPDATES, &CDlgManagementPlugins::OnAskUpdates)
  ON_MESSAGE(UM_PLUGINS_CLEAROFFERED, &CDlgManagementPlugins::OnClearOffered)
  ON_MESSAGE(UM_PLUGINS_ADDOFFERED, &CDlgManagementPlugins::OnAddOffered)
  ON_MESSAGE(UM_PLUGINS_MARKUPDATE, &CDlgManagementPlugins::OnMarkUpdate)
  ON_BN_CLICKED(IDC_CATALOGUE_ADD, &CDlgManagementPlugins::OnAdd)
  ON_BN_CLICKED(IDC_CATALOGUE_REMOVE, &CDlgManagementPlugins::OnRemove)
  ON_BN_CLICKED(IDC_CATALOGUE_FROM_FILE, &CDlgManagementPlugins::OnFromFile)
  ON_BN_CLICKED(IDC_CATALOGUE_UPDATE, &CDlgManagementPlugins::OnUpdate)
  ON_LBN_SELCHANGE(IDC_CATALOGUE_OFFERED, &CDlgManagementPlugins::OnOfferedSelChange)
  ON_LBN_SETFOCUS(IDC_CATALOGUE_OFFERED, &CDlgManagementPlugins::OnOfferedSetFocus)
  ON_LBN_SELCHANGE(IDC_CATALOGUE_INSTALLED, &CDlgManagementPlugins::OnInstalledSelChange)
  ON_LBN_SETFOCUS(IDC_CATALOGUE_INSTALLED, &CDlgManagementPlugins::OnInstalledSetFocus)
END_MESSAGE_MAP()

CDlgManagementPlugins::CDlgManagementPlugins(CWnd* parent, IQorRoadDoc* document)
    : CTKResizeDialog(IDD_CATALOGUE_MANAGER, parent, CTKResize::flagNoSizeIcon), m_document(document)
{
}

CDlgManagementPlugins::~CDlgManagementPlugins()
{
  if (Shell::GetAnalyticsModule())
    Shell::SendAnalyticsInfo(1);
}

BOOL CDlgManagementPlugins::OnInitDialog()
{
  CTKResizeDialog::OnInitDialog();
  if (HICON icon = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_CATALOGUE_MANAGER)))
    SendMessage(WM_SETICON, 0 /* small */, reinterpret_cast<LPARAM>(icon));
  m_offered.SubclassDlgItem(IDC_CATALOGUE_OFFERED, this);
  m_installed.SubclassDlgItem(IDC_CATALOGUE_INSTALLED, this);
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  if (CWnd* progress = GetDlgItem(IDC_CATALOGUE_PROGRESS))
    progress->SendMessage(PBM_SETRANGE32, 0, 100);
  SendMessage(UM_PLUGINS_STATUS, 0, 0);
  SendMessage(UM_PLUGINS_PROGRESS, 0, 0);
  FillInstalled();
  PostMessage(UM_PLUGINS_BUTTONS, 0, 0);
  PostMessage(UM_PLUGINS_READINDEX, 0, 0);
  Shell::RegisterAnalyticsScreen("Управление каталогами", 1);
  return TRUE;
}

void CDlgManagementPlugins::OnCancel()
{
  StopWorker(Worker::Download);
  StopWorker(Worker::Index);
  CTKResizeDialog::OnCancel();
}

void CDlgManagementPlugins::OnDestroy()
{
  // However the dialog goes, no worker outlives it.
  StopWorker(Worker::Download);
  StopWorker(Worker::Index);
  if (m_offered.GetSafeHwnd())
    m_offered.UnsubclassWindow();
  if (m_installed.GetSafeHwnd())
    m_installed.UnsubclassWindow();
  CTKResizeDialog::OnDestroy();
}

void CDlgManagementPlugins::FillInstalled()
{
  m_installed.Clear();
  if (!m_document)
    return;
  const int count = m_document->GetCatalogCount();
  bool haveBuiltIn = false;
  for (int i = 0; i < count; ++i) {
    const _CATALOG_INFO* record = m_document->GetCatalogInfo(i);
    if (!record)
      continue;
    auto entry = std::make_unique<CManufactInfo>();
    entry->m_id = CString(record->id, static_cast<int>(strnlen(record->id, sizeof record->id)));
    entry->m_trademark = CString(record->text3, static_cast<int>(strnlen(record->text3, sizeof record->text3)));
    entry->m_name = entry->m_trademark;
    entry->m_date = record->date;
    // Of the program's own catalogues (ids below the first maker's number) only the first is listed.
    if (!IsRemovableId(entry->m_id)) {
      if (haveBuiltIn)
        continue;
      haveBuiltIn = true;
    }
    if (m_installed.IsPictureDecoding() && record->picture && record->pictureBytes > 0) {
      gdiplus::DecodedPicture picture;
      if (gdiplus::DecodePicture(record->picture, static_cast<std::size_t>(record->pictureBytes), &picture))
        entry->SetPicture(picture);
    }
    m_installed.Append(std::move(entry));
  }
  m_installed.Invalidate();
}

LRESULT CDlgManagementPlugins::OnReadIndex(WPARAM, LPARAM)
{
  StopWorker(Worker::Index);
  auto run = std::make_unique<IndexRun>();
  run->dialog = GetSafeHwnd();
  for (const auto& entry : m_installed.Entries())
    run->installed.push_back({std::string(static_cast<LPCSTR>(entry->m_id)), entry->m_date});
  run->texts = LoadWorkerTexts();
  run->state = std::make_shared<WorkerRunState>();
  StartWorker(Worker::Index, std::move(run));
  return 1;
}

LRESULT CDlgManagementPlugins::OnStopIndex(WPARAM, LPARAM)
{
  CWaitCursor wait;
  StopWorker(Worker::Index);
  return 1;
}

LRESULT CDlgManagementPlugins::OnStatus(WPARAM, LPARAM text)
{
  const CString wanted = text ? CString(reinterpret_cast<LPCSTR>(text)) : CString();
  CString shown;
  GetDlgItemText(IDC_CATALOGUE_STATUS, shown);
  if (shown != wanted) {
    SetDlgItemText(IDC_CATALOGUE_STATUS, wanted);
    if (CWnd* status = GetDlgItem(IDC_CATALOGUE_STATUS))
      status->Invalidate();
  }
  return 1;
}

LRESULT CDlgManagementPlugins::OnProgress(WPARAM percent, LPARAM)
{
  CWnd* bar = GetDlgItem(IDC_CATALOGUE_PROGRESS);
  if (!bar)
    return 1;
  if (percent >= 1 && percent <= 100) {
    bar->SendMessage(PBM_SETPOS, percent, 0);
    bar->ShowWindow(SW_SHOW);
  } else {
    bar->SendMessage(PBM_SETPOS, 0, 0);
    bar->ShowWindow(SW_HIDE);
  }
  return 1;
}

LRESULT CDlgManagementPlugins::OnPaintInstalled(WPARAM, LPARAM)
{
  m_installed.Invalidate();
  return 1;
}

LRESULT CDlgManagementPlugins::OnPaintOffered(WPARAM, LPARAM)
{
  m_offered.Invalidate();
  return 1;
}

LRESULT CDlgManagementPlugins::OnButtons(WPARAM, LPARAM)
{
  auto enable = [this](UINT id, bool on) {
    if (CWnd* button = GetDlgItem(id))
      button->EnableWindow(on ? TRUE : FALSE);
  };
  if (m_busy || IsWorkerRunning(Worker::Download)) {
    enable(IDC_CATALOGUE_ADD, false);
    enable(IDC_CATALOGUE_REMOVE, false);
    enable(IDC_CATALOGUE_FROM_FILE, false);
    enable(IDC_CATALOGUE_UPDATE, false);
    if (m_busy)
      enable(IDCANCEL, false);
    return 1;
  }
  CManufactInfo* installed = m_installed.m_active ? m_installed.SelectedEntry() : nullptr;
  if (installed) {
    enable(IDC_CATALOGUE_REMOVE, IsRemovableId(installed->m_id));
    enable(IDC_CATALOGUE_ADD, false);
  } else {
    enable(IDC_CATALOGUE_ADD, m_offered.m_active && m_offered.SelectedEntry() != nullptr);
    enable(IDC_CATALOGUE_REMOVE, false);
  }
  const auto& entries = m_installed.Entries();
  enable(IDC_CATALOGUE_UPDATE, std::any_of(entries.begin(), entries.end(), [](const auto& e) {
           return e->m_updateAvailable && e->m_updateChosen;
         }));
  enable(IDC_CATALOGUE_FROM_FILE, true);
  enable(IDCANCEL, true);
  return 1;
}

LRESULT CDlgManagementPlugins::OnStopDownload(WPARAM, LPARAM)
{
  CWaitCursor wait;
  StopWorker(Worker::Download);
  return 1;
}

void CDlgManagementPlugins::StartDownload(std::unique_ptr<CLoadPlaginInfo> info)
{
  auto run = std::make_unique<DownloadRun>();
  run->info = std::move(info);
  run->texts = LoadWorkerTexts();
  run->state = std::make_shared<WorkerRunState>();
  StartWorker(Worker::Download, std::move(run));
}

LRESULT CDlgManagementPlugins::OnDownload(WPARAM, LPARAM)
{
  SendMessage(UM_PLUGINS_STOPDOWNLOAD, 0, 0);
  CManufactInfo* selected = m_offered.SelectedEntry();
  if (!selected)
    return 1;
  auto info = std::make_unique<CLoadPlaginInfo>();
  info->m_dialog = GetSafeHwnd();
  info->m_entries.emplace_back(*selected);
  StartDownload(std::move(info));
  return 1;
}

LRESULT CDlgManagementPlugins::OnInstall(WPARAM, LPARAM path)
{
  BOOL installed = FALSE;
  {
    CWaitCursor wait;
    installed = m_document ? m_document->InstallCatalog(this, reinterpret_cast<const char*>(path), FALSE) : FALSE;
  }
  if (!installed)
    return 0;
  m_offered.Clear();
  FillInstalled();
  PostMessage(UM_PLUGINS_READINDEX, 0, 0);
  return 1;
}

LRESULT CDlgManagementPlugins::OnAskUpdates(WPARAM, LPARAM)
{
  if (!g_askUpdates)
    return 1;
  g_askUpdates = false;
  CString question;
  question.LoadString(847);
  if (Shell::ShowMessageBox(GetSafeHwnd(), question, AppTitle(), MB_YESNO | MB_ICONQUESTION) == IDYES)
    PostMessage(WM_COMMAND, IDC_CATALOGUE_UPDATE, 0);
  return 1;
}

LRESULT CDlgManagementPlugins::OnClearOffered(WPARAM, LPARAM)
{
  m_offered.Clear();
  return 1;
}

LRESULT CDlgManagementPlugins::OnAddOffered(WPARAM, LPARAM lParam)
{
  std::unique_ptr<OfferedEntry> offered(reinterpret_cast<OfferedEntry*>(lParam));
  if (!offered)
    return 0;
  auto entry = std::make_unique<CManufactInfo>();
  entry->m_id = offered->catalogue.id.c_str();
  entry->m_name = offered->catalogue.name.c_str();
  entry->m_trademark = offered->catalogue.trademark.c_str();
  entry->m_date = offered->catalogue.date;
  if (m_offered.IsPictureDecoding())
    entry->SetPicture(offered->picture);
  m_offered.Append(std::move(entry));
  return 1;
}

LRESULT CDlgManagementPlugins::OnMarkUpdate(WPARAM, LPARAM id)
{
  if (!id)
    return 0;
  for (const auto& entry : m_installed.Entries()) {
    if (entry->m_id == reinterpret_cast<LPCSTR>(id)) {
      entry->m_updateAvailable = 1;
      entry->m_updateChosen = 1;
      break;
    }
  }
  return 1;
}

LRESULT CDlgManagementPlugins::OnDrawItem(WPARAM, LPARAM lParam)
{
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!draw || draw->itemID == static_cast<UINT>(-1))
    return TRUE;
  if (draw->CtlID == IDC_CATALOGUE_OFFERED)
    m_offered.Draw(*draw);
  else if (draw->CtlID == IDC_CATALOGUE_INSTALLED)
    m_installed.Draw(*draw);
  return TRUE;
}

LRESULT CDlgManagementPlugins::OnMeasureItem(WPARAM, LPARAM lParam)
{
  reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
  return TRUE;
}

void CDlgManagementPlugins::OnAdd()
{
  if (m_offered.GetCurSel() >= 0)
    SendMessage(UM_PLUGINS_DOWNLOAD, 0, 0);
}

void CDlgManagementPlugins::OnUpdate()
{
  SendMessage(UM_PLUGINS_STOPDOWNLOAD, 0, 0);
  auto info = std::make_unique<CLoadPlaginInfo>();
  info->m_dialog = GetSafeHwnd();
  for (const auto& entry : m_installed.Entries())
    if (entry->m_updateAvailable && entry->m_updateChosen)
      info->m_entries.emplace_back(*entry);
  if (!info->m_entries.empty())
    StartDownload(std::move(info));
}

void CDlgManagementPlugins::OnFromFile() { PostMessage(UM_PLUGINS_INSTALL, 0, 0); }

void CDlgManagementPlugins::OnRemove()
{
  CManufactInfo* selected = m_installed.SelectedEntry();
  if (!selected)
    return;
  // The id names a file: one that could leave the catalogue folder is never deleted.
  const std::string id(static_cast<LPCSTR>(selected->m_id));
  const CString trademark = selected->m_trademark;
  const CString path = Shell::GetPluginsFolder() + selected->m_id + ".qord";
  const CString title = AppTitle();
  if (!IsSafeCatalogueId(id) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    Shell::ShowMessageBox(GetSafeHwnd(), Formatted(837, trademark), title, MB_ICONERROR);
    return;
  }
  if (Shell::ShowMessageBox(GetSafeHwnd(), Formatted(839, trademark), title,
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  m_busy = 1;
  SendMessage(UM_PLUGINS_BUTTONS, 0, 0);
  if (!DeleteFileA(path)) {
    Shell::ShowMessageBox(GetSafeHwnd(), Formatted(837, trademark), title, MB_ICONERROR);
  } else {
    CWaitCursor wait;
    Shell::RegisterAnalyticsEvent("Управление каталогами", "Удаление каталога", trademark, 1, 1);
    if (m_document && m_document->UnloadCatalog(0, id.c_str(), 0)) {
      m_offered.Clear();
      FillInstalled();
      PostMessage(UM_PLUGINS_READINDEX, 0, 0);
    }
  }
  m_busy = 0;
  SendMessage(UM_PLUGINS_BUTTONS, 0, 0);
}

void CDlgManagementPlugins::SetActiveList(CListBoxManuf& active)
{
  CListBoxManuf& other = &active == &m_offered ? m_installed : m_offered;
  active.m_active = true;
  other.m_active = false;
  active.Invalidate();
  other.Invalidate();
}

void CDlgManagementPlugins::OnOfferedSelChange()
{
  SetActiveList(m_offered);
  PostMessage(UM_PLUGINS_BUTTONS, 0, 0);
}

void CDlgManagementPlugins::OnOfferedSetFocus() { PostMessage(UM_PLUGINS_BUTTONS, 0, 0); }

void CDlgManagementPlugins::OnInstalledSelChange() { PostMessage(UM_PLUGINS_BUTTONS, 0, 0); }

void CDlgManagementPlugins::OnInstalledSetFocus()
{
  SetActiveList(m_installed);
  m_installed.UpdateWindow();
  m_offered.UpdateWindow();
  PostMessage(UM_PLUGINS_BUTTONS, 0, 0);
}

void CDlgManagementPlugins::OnSize(UINT type, int cx, int cy)
{
  CTKResizeDialog::OnSize(type, cx, cy);
  Layout(cx, cy);
}

void CDlgManagementPlugins::Layout(int width, int height)
{
  CWnd* add = GetDlgItem(IDC_CATALOGUE_ADD);
  if (!add)
    return;
  auto sizeOf = [this](UINT id) {
    CRect r;
    if (CWnd* w = GetDlgItem(id))
      w->GetWindowRect(&r);
    return CSize(r.Width(), r.Height());
  };
  auto place = [this](UINT id, int x, int y, int w, int h) {
    if (CWnd* control = GetDlgItem(id))
      control->MoveWindow(x, y, std::max(0, w), std::max(0, h));
  };
  const CSize button = sizeOf(IDC_CATALOGUE_ADD);
  const int w = button.cx;
  const int h = button.cy;
  const int u = h / 2;
  const int captionHeight = sizeOf(IDC_CATALOGUE_OFFERED_CAPTION).cy;
  const int listTop = u + 2 * captionHeight;
  const int listBottom = height - 2 * h - 3 * u;
  const int offeredWidth = width / 2 - w / 2 - 2 * u;
  const int installedLeft = width / 2 + w / 2 + u;

  place(IDC_CATALOGUE_OFFERED_CAPTION, u, u, offeredWidth, captionHeight);
  place(IDC_CATALOGUE_INSTALLED_CAPTION, installedLeft, u, width - u - installedLeft, captionHeight);
  place(IDC_CATALOGUE_OFFERED, u, listTop, offeredWidth, listBottom - listTop);
  place(IDC_CATALOGUE_INSTALLED, installedLeft, listTop, width - u - installedLeft, listBottom - listTop);

  const int centre = (listTop + listBottom) / 2;
  place(IDC_CATALOGUE_ADD, width / 2 - w / 2, centre - h / 4 - h, w, h);
  const CSize remove = sizeOf(IDC_CATALOGUE_REMOVE);
  place(IDC_CATALOGUE_REMOVE, width / 2 - remove.cx / 2, centre + h / 4, remove.cx, remove.cy);

  const CSize close = sizeOf(IDCANCEL);
  const int closeTop = height - u - close.cy;
  place(IDCANCEL, width - u - close.cx, closeTop, close.cx, close.cy);
  const CSize update = sizeOf(IDC_CATALOGUE_UPDATE);
  const int rowTop = closeTop - u - update.cy;
  place(IDC_CATALOGUE_UPDATE, width - u - update.cx, rowTop, update.cx, update.cy);
  const CSize fromFile = sizeOf(IDC_CATALOGUE_FROM_FILE);
  place(IDC_CATALOGUE_FROM_FILE, width - u - update.cx - u - fromFile.cx, rowTop, fromFile.cx, fromFile.cy);
  place(IDC_CATALOGUE_STATUS, u, rowTop, offeredWidth, update.cy);
  place(IDC_CATALOGUE_PROGRESS, u, rowTop + update.cy, offeredWidth, u);
  Invalidate();
}

INT_PTR RunCatalogueManager(HWND parent, IQorRoadDoc* document)
{
  if (!parent)
    return IDCANCEL;
  CDlgManagementPlugins dialog(CWnd::FromHandle(parent), document);
  return dialog.DoModal();
}

bool IsIndexThreadRunning() { return IsWorkerRunning(Worker::Index); }
bool IsDownloadThreadRunning() { return IsWorkerRunning(Worker::Download); }
void ResetUpdateQuestionForNewRun() { g_askUpdates = true; }

}  // namespace ManagementPlugins
