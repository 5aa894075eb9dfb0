#include "report/protocol/protocol_frame.h"

#include "graphics/core/view_services.h"
#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "model/standards.h"
#include "outside/servers/istatistics.h"
#include "platform/com/bstr.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/gdiobj.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

#include <cstring>
#include <string>

namespace {

// Colour pairs of the writer (highlight, text colour).
constexpr int kResetColours = 8;
constexpr int kHeadingHighlight = 5;  // dark grey
constexpr int kHeadingText = 4;       // white
constexpr int kSubHeadingHighlight = 6;  // light grey
constexpr int kSubHeadingText = 0;       // black

template <class I>
ModelRef<I> DocumentPart(IQorRoadDoc* document, const IID& iid)
{
  void* part = nullptr;
  if (document == nullptr || FAILED(document->QueryInterface(iid, &part))) {
    part = nullptr;
  }
  return ModelRef<I>::Adopt(static_cast<I*>(part));
}

bool StatisticsFailure(HRESULT code) { return code < 0; }

// A text of the project as one group of its own, so that nothing in it can reach the document's structure.
CString Group(const CString& text) { return text.IsEmpty() ? CString() : "{" + EscapeRtfText(text) + "}"; }

}  // namespace

CString SectionMark(INT_PTR entry)
{
  CString mark;
  mark.Format("{\\*\\bkmkstart section%d}{\\*\\bkmkend section%d}", static_cast<int>(entry),
              static_cast<int>(entry));
  return mark;
}

CString GroupTitle(const CString& name)
{
  const CString title = "{Группа ОП: " + EscapeRtfText(name) + "}";
  // The title holds 254 characters, which a contents entry always takes whole.
  constexpr int kRoom = 254;
  static_assert(kRoom < static_cast<int>(sizeof(_tgCONTENT::text)));
  if (title.GetLength() <= kRoom) {
    return title;
  }
  // The name is cut, not its escaped form, so that no escape is split; texts are one byte a character.
  int keep = name.GetLength();
  CString cut;
  do {
    --keep;
    cut = "{Группа ОП: " + EscapeRtfText(name.Left(keep)) + "…}";
  } while (keep > 0 && cut.GetLength() > kRoom);
  return cut;
}

CString AreaTypeLabel(int typicalForm)
{
  // A form below the table names no kind; forms above it are free open sites.
  if (typicalForm == 6 || typicalForm < 0) {
    return CString();
  }
  const UINT id = TypicalFormStringId(typicalForm);
  return LoadReportString(id == 0 ? IDS_REPORT_OPEN_SITE : id);
}

CWnd* GetActiveReportView()
{
  CWnd* main = CWnd::FromHandlePermanent(Shell::GetMainWindow());
  if (main == nullptr || !main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    return nullptr;
  }
  CWnd* view = nullptr;
  main->SendMessage(UM_GETACTIVEVIEW, 0, reinterpret_cast<LPARAM>(&view));
  return view;
}

void CProtocolFrame::Progress(int percent)
{
  CWnd* main = CWnd::FromHandlePermanent(Shell::GetMainWindow());
  if (main != nullptr && main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    main->SendMessage(UM_PROGRESS, static_cast<WPARAM>(percent), 0);
  }
}

CProtocolFrame::CProtocolFrame(IQorRoadDoc* document_, CRTFWriter& writer_, IStatisticsSession* statistics,
                               int print_)
    : writer(writer_), document(document_), print(print_), m_statistics(statistics)
{
  options = DocumentPart<IVisualOpt>(document, IID_IVisualOpt);
  preferences = options ? options->GetReportPreferences() : nullptr;
  project = DocumentPart<IProject>(document, IID_IProject);
  area = ModelRef<IArea>(project.get(), IID_ActiveArea);
  norms = area ? area->GetStandards() : nullptr;
  results = ModelRef<IResultsOfCalc>(area.get(), IID_IResultsOfCalc);
}

CProtocolFrame::~CProtocolFrame()
{
  if (m_record != nullptr) {
    m_record->Release();
  }
}

int CProtocolFrame::ItemState(int id) const
{
  tag_ITEM_PREF_OF_REPORT item{};
  if (preferences == nullptr || !preferences->GetItem(id, &item)) {
    return 0;
  }
  return item.state;
}

BOOL CProtocolFrame::ItemOn(int id) const { return ItemState(id) != 0; }

int CProtocolFrame::CurrentPage() const { return writer.GetPageCount() + 1; }

void CProtocolFrame::AddContent(int tabsBefore, const CString& text, int bold, int tabsAfter, int page,
                                int lineBreaks)
{
  _tgCONTENT entry{};
  entry.tabsBefore = tabsBefore;
  // Longer texts are cut, as the entry's fixed field always has.
  std::strncpy(entry.text, text.GetString(), sizeof(entry.text) - 1);
  entry.bold = bold;
  entry.tabsAfter = tabsAfter;
  entry.page = page;
  entry.lineBreaks = lineBreaks;
  if (page != 0) {
    // The place the entry's page is read from by readers that lay the document out themselves.
    writer.WriteText(SectionMark(m_contents.GetSize()));
  }
  m_contents.Add(entry);
}

void CProtocolFrame::SectionHeading(std::initializer_list<const char*> textsAndTabs)
{
  writer.SetColours(kResetColours, 0);
  writer.WriteLineBreaks(2);
  writer.BeginParagraph(0);
  writer.KeepWithNext();
  writer.SetFont(2, 25, 1);
  writer.SetColours(kHeadingHighlight, kHeadingText);
  for (const char* part : textsAndTabs) {
    const std::string text(part);
    if (text.rfind("\\tab", 0) == 0) {
      writer.WriteTabs(static_cast<int>(text.size() / 4));
    } else {
      writer.WriteText(part);
    }
  }
  writer.EndParagraph();
  // The bar's colours end with the bar: what follows is black on white.
  writer.SetColours(kResetColours, 0);
  writer.BeginParagraph(0);
  writer.KeepWithNext();
  writer.EndParagraph();
}

void CProtocolFrame::SubHeading(const CString& text, int tabs)
{
  writer.BeginParagraph(0);
  writer.KeepWithNext();
  writer.SetFont(2, 22, 1);
  writer.SetColours(kSubHeadingHighlight, kSubHeadingText);
  writer.WriteText(text);
  writer.WriteTabs(tabs);
  writer.EndParagraph();
  writer.SetColours(kResetColours, 0);
  writer.WriteLineBreaks(1);
  BodyText();
}

void CProtocolFrame::BodyText()
{
  writer.BeginParagraph(0);
  writer.SetFont(2, 20, 0);
}

void CProtocolFrame::WritePicture(DWORD viewMode, int width, int height, IGroupOfDev* group)
{
  writer.SetFont(2, 20, 1);
  writer.SetColours(kResetColours, 0);
  writer.WriteLineBreaks(2);
  writer.WriteLineBreaks(3);
  writer.BeginParagraph(0);
  WriteRenderedBitmap(viewMode, width, height, group);
  writer.EndParagraph();
}

void CProtocolFrame::WriteRenderedBitmap(DWORD viewMode, int width, int height, IGroupOfDev* group)
{
  CWnd* view = GetActiveReportView();
  document->SetViewMode(viewMode);
  CBitmap bitmap;
  if (RenderViewToBitmap(view, width, height, &bitmap, group)) {
    writer.WriteBitmap(&bitmap);
  }
}

CPictureSection::CPictureSection(CProtocolFrame& frame, Kind kind) : m_frame(frame), m_kind(kind)
{
  IVisualOpt* options = m_frame.options.get();
  _CALC_RESULTS* block = m_frame.results ? m_frame.results->GetData() : nullptr;
  m_viewMode = m_frame.document->GetViewMode();
  if (options != nullptr) {
    m_display = *options->GetResultDisplay();
    m_quantity = *options->GetQuantity();
    m_autoObserver = *options->GetAutoObserver();
    const int on = 1;
    options->SetPrintMode(&on);
    if (m_kind == Kind::Results) {
      const int userChosen = 0;
      options->SetAutoObserver(&userChosen);
    }
  }
  if (block != nullptr) {
    m_shownObserver = block->shownObserver;
    m_valid = block->valid;
    if (m_kind == Kind::Placement) {
      block->valid = 0;
    }
  }
}

CPictureSection::~CPictureSection() { Restore(); }

void CPictureSection::Restore()
{
  if (m_restored) {
    return;
  }
  m_restored = true;
  IVisualOpt* options = m_frame.options.get();
  _CALC_RESULTS* block = m_frame.results ? m_frame.results->GetData() : nullptr;
  m_frame.document->SetViewMode(m_viewMode);
  if (options != nullptr) {
    const int off = 0;
    options->SetPrintMode(&off);
    if (m_kind == Kind::Results) {
      options->SetAutoObserver(&m_autoObserver);
    }
    options->SetResultDisplay(&m_display);
    options->SetQuantity(&m_quantity);
  }
  if (block != nullptr) {
    block->shownObserver = m_shownObserver;
    block->valid = m_valid;
  }
}

void CPictureSection::Picture(DWORD viewMode, int display, int quantity, int width, int height,
                              IGroupOfDev* group)
{
  if (m_pictures++ > 0) {
    m_frame.writer.NewPage();
  }
  if (IVisualOpt* options = m_frame.options.get()) {
    options->SetResultDisplay(&display);
    if (m_kind == Kind::Results) {
      options->SetQuantity(&quantity);
    }
  }
  m_frame.WritePicture(viewMode, width, height, group);
}

bool CProtocolFrame::StatisticsFailed(HRESULT code)
{
  if (!StatisticsFailure(code)) {
    return false;
  }
  // The statistics component is outside the program: its failure must not cost the user the protocol.
  if (!m_statisticsBroken) {
    CString text;
    text.Format("Статистика печати протокола не записана (код ошибки 0x%08X).", static_cast<unsigned>(code));
    Shell::ShowMessageBox(Shell::GetMainWindow(), text, "Tesmira Road", Shell::MB_OK | Shell::MB_ICONERROR);
  }
  m_statisticsBroken = true;
  if (m_record != nullptr) {
    m_record->Release();
    m_record = nullptr;
  }
  return true;
}

void CProtocolFrame::StatisticsBegin(IStatisticsSession* statistics)
{
  m_statistics = statistics;
  if (m_statistics == nullptr || print == 0) {
    m_statistics = nullptr;
    return;
  }
  IStatisticsRecord* record = nullptr;
  const HRESULT created = m_statistics->CreateRecord(&record);
  m_record = record;
  if (StatisticsFailed(created) || created != S_OK || m_record == nullptr) {
    if (m_record != nullptr) {
      m_record->Release();
      m_record = nullptr;
    }
    return;
  }
  if (StatisticsFailed(m_record->Begin())) {
    return;
  }
  const _bstr_t organisation(project ? project->GetOrganization()->GetString() : "");
  if (StatisticsFailed(m_record->SetOrganisation(const_cast<BSTR>(static_cast<const OLECHAR*>(organisation))))) {
    return;
  }
  StatisticsFailed(m_record->SetFlag(-1));
}

void CProtocolFrame::StatisticsEntry(IGroupOfDev* group, int count)
{
  if (m_record == nullptr) {
    return;
  }
  IStatisticsEntry* entry = nullptr;
  const HRESULT created = m_record->CreateEntry(&entry);
  if (StatisticsFailed(created) || created != S_OK || entry == nullptr) {
    if (entry != nullptr) {
      entry->Release();
    }
    return;
  }
  auto call = [this](HRESULT code) { return !StatisticsFailed(code); };
  const CLightDevice* luminaire = group->GetLightDevice();
  const CString luminaireName = luminaire != nullptr ? luminaire->GetDisplayName() : CString();
  const _bstr_t luminaireText(luminaireName.GetString());
  bool ok = call(entry->SetLuminaireName(const_cast<BSTR>(static_cast<const OLECHAR*>(luminaireText))));
  ModelRef<IPole> pole(group, IID_IPole);
  if (ok && pole && *pole->GetTypical() != 0 && pole->GetLampPost() != nullptr) {
    const CLampPost* post = pole->GetLampPost();
    Shell::RegisterAnalyticsEvent("Протокол.Печать", "Опора", post->designation, 0, 1);
    const _bstr_t poleName(post->designation.GetString());
    ok = call(entry->SetPoleName(const_cast<BSTR>(static_cast<const OLECHAR*>(poleName))));
    if (ok && post->GetCurrentBracket() != nullptr) {
      const CString& bracket = post->GetCurrentBracket()->designation;
      Shell::RegisterAnalyticsEvent("Протокол.Печать", "Кронштейн", bracket, 0, 1);
      const _bstr_t bracketName(bracket.GetString());
      ok = call(entry->SetBracketName(const_cast<BSTR>(static_cast<const OLECHAR*>(bracketName))));
    }
  }
  if (ok) {
    Shell::RegisterAnalyticsEvent("Протокол.Печать", "Светильник", luminaireName, 0, 1);
    call(entry->SetLuminaireCount(count));
  }
  entry->Release();
}

void CProtocolFrame::StatisticsEnd()
{
  if (m_record == nullptr || m_statistics == nullptr) {
    return;
  }
  StatisticsFailed(m_statistics->SubmitRecord(m_record));
  if (m_record != nullptr) {
    m_record->Release();
    m_record = nullptr;
  }
}

void CProtocolFrame::TitlePage()
{
  CString number;
  CString objectName, organisation, executor, customer;
  int day = 0, month = 0, year = 0;
  if (project) {
    number = Group(*project->GetProtocolNumber());
    objectName = Group(*project->GetObjectName());
    organisation = Group(*project->GetOrganization());
    executor = Group(*project->GetExecutor());
    customer = Group(*project->GetCustomer());
    const COleDateTime* date = project->GetDate();
    day = date->GetDay();
    month = date->GetMonth();
    year = date->GetYear();
  }
  writer.SetColours(kResetColours, 0);
  writer.WriteLineBreaks(12);
  writer.BeginParagraph(1);
  writer.SetFont(2, 40, 0);
  writer.WriteText("{ПРОТОКОЛ № }");
  writer.WriteText(number);
  writer.SetFont(2, 10, 0);
  writer.WriteLineBreaks(1);
  writer.EndParagraph();
  writer.BeginParagraph(1);
  writer.SetFont(2, 34, 0);
  writer.WriteText("{светотехнического расчета}");
  writer.WriteLineBreaks(1);
  writer.WriteText("{установки наружного освещения}");
  writer.EndParagraph();
  writer.WriteLineBreaks(3);
  writer.SetFont(2, 25, 0);
  writer.BeginParagraph(0);

  const struct {
    const char* label;
    int tabs;
    const CString& value;
  } lines[] = {{"{Объект}", 7, objectName},
               {"{Организация-исполнитель}", 4, organisation},
               {"{ФИО исполнителя  }", 5, executor},
               {"{Организация-заказчик}", 5, customer}};
  for (const auto& line : lines) {
    writer.WriteText(line.label);
    writer.WriteTabs(line.tabs);
    writer.WriteWrappedText(line.value, 22, 3, 0, 8, 0);
    writer.WriteLineBreaks(2);
  }
  CString date;
  date.Format("{%02d.%02d.%d}", day, month, year);
  writer.WriteText("{Дата выполнения}");
  writer.WriteTabs(6);
  writer.WriteText(date);
  writer.WriteLineBreaks(2);

  CString title;
  document->GetTitle(&title);
  writer.WriteText("{Файл проекта}");
  writer.WriteTabs(6);
  writer.WriteWrappedText("{" + EscapeRtfText(title) + "}", 22, 3, 0, 10, 0);
  writer.EndParagraph();
  writer.WriteLineBreaks(11);
  writer.SetFont(2, 16, 0);
  writer.BeginParagraph(1);
  writer.WriteLineBreaks(1);
  writer.WriteText("{Расчет выполнен по программе Tesmira Road версии 6.}");
  writer.WriteLineBreaks(1);
  writer.WriteText("{Программа сертифицирована на соответствие нормам освещения ГОСТ Р 55706-2013, ГОСТ Р 55708-2013, }");
  writer.WriteLineBreaks(1);
  writer.WriteText("{СП 52.13330.2016 (СНиП 23-05-95*), СанПиН 2.2.1/2.1.1.1278-03, ГОСТ Р ИСО 9127-94, ГОСТ Р ИСО/МЭК "
                   "12119-2000}");
  writer.WriteLineBreaks(2);
  writer.EndParagraph();
  writer.NewPage();
}

void CProtocolFrame::WriteContents()
{
  writer.WriteLineBreaks(2);
  writer.BeginParagraph(0);
  writer.SetFont(2, 25, 1);
  writer.SetColours(kHeadingHighlight, kHeadingText);
  writer.WriteText("{Содержание}");
  writer.WriteTabs(11);
  writer.EndParagraph();
  writer.SetColours(4, 0);
  writer.SetColours(kResetColours, 0);
  writer.BeginParagraph(0);
  writer.SetFont(2, 20, 0);
  writer.WriteLineBreaks(1);
  writer.WriteTabs(12);
  writer.WriteText("{стр.}");
  writer.EndParagraph();
  writer.BeginParagraph(0);
  writer.SetFont(2, 20, 0);
  for (INT_PTR i = 0; i < m_contents.GetSize(); ++i) {
    const _tgCONTENT& entry = m_contents[i];
    writer.WriteTabs(entry.tabsBefore);
    if (entry.bold != 0) {
      writer.SetFont(2, 21, 1);
    }
    writer.WriteText(entry.text);
    if (entry.bold != 0) {
      writer.SetFont(2, 20, 0);
    }
    writer.WriteTabs(entry.tabsAfter);
    if (entry.page != 0) {
      // The page as the build counted it, which a reader that paginates computes again from the section's mark.
      CString page;
      page.Format("{\\field{\\*\\fldinst PAGEREF section%d}{\\fldrslt %d}}", static_cast<int>(i), entry.page);
      writer.WriteText(page);
    }
    writer.WriteLineBreaks(entry.lineBreaks);
  }
  writer.EndParagraph();
}

namespace {

// The poles of a group's own list.
int PoleCount(IGroupOfDev* group)
{
  ModelRef<IPole> first(group, IID_IPole);
  int count = 0;
  for (IPole* pole = first.get(); pole != nullptr; pole = pole->GetNext()) {
    ++count;
  }
  return count;
}

}  // namespace

int BuildProtocol(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt, IStatisticsSession* statistics,
                  int print, CProtocolSections* sections, bool straightRoad)
{
  Shell::GetAnalyticsModule();
  if (writer.IsOpen() || writer.Open() == 0) {
    return 0;
  }
  // The protocol's page, whoever sets it: the text column the program prints with, so that what fits a printed
  // line fits a line of the exported document.
  writer.SetPage(kProtocolMargins.left, kProtocolMargins.right, kProtocolMargins.top, kProtocolMargins.bottom);
  CProtocolFrame::Progress(0);
  CProtocolFrame frame(document, writer, statistics, print);
  CProtocolSections none;
  CProtocolSections& s = sections != nullptr ? *sections : none;

  if (straightRoad) {
    ModelRef<IRoad> road(frame.area.get(), IID_IRoad);
    if (road) {
      road->UpdateAreaWidth();
    }
  }
  const _CALC_RESULTS* block = frame.results ? frame.results->GetData() : nullptr;
  if (block == nullptr || block->valid != 1) {
    writer.WriteLineBreaks(1);
    writer.SetFont(2, 20, 0);
    writer.WriteText(LoadReportString(neverBuilt != 0 ? IDS_REPORT_NOT_CALCULATED : IDS_REPORT_DATA_CHANGED));
    return 1;
  }

  frame.StatisticsBegin(statistics);
  neverBuilt = 0;
  if (straightRoad) {
    ModelRef<IRoad> road(frame.area.get(), IID_IRoad);
    ModelRef<IPavement> sidewalks(frame.area.get(), IID_IPavement);
    ModelRef<IWall> walls(frame.area.get(), IID_IWall);
    const int state = road ? *road->GetState() : 0;
    frame.roadShown = (state & 0x1) != 0 && (state & 0x2) == 0;
    frame.sidewalksShown = sidewalks && (*sidewalks->GetFlags() & 0x2) == 0;
    frame.wallsShown = walls && (*walls->GetFlags() & 0x2) == 0;
  }
  frame.hasNorms = frame.norms != nullptr && frame.norms->GetRecord()->normDocumentId != 0;

  if (frame.ItemOn(kItemTitlePage)) {
    frame.TitlePage();
    CProtocolFrame::Progress(10);
  }
  const CString label = straightRoad ? LoadReportString(IDS_REPORT_STRAIGHT_ROAD)
                                     : AreaTypeLabel(frame.area ? *frame.area->GetTypicalForm() : 0);
  Shell::RegisterAnalyticsEvent(print != 0 ? "Протокол.Печать" : "Протокол.Просмотр", "Тип участка дороги", label, 1,
                                1);

  if (frame.ItemOn(kItemRoadData) && s.InputData(frame)) {
    CProtocolFrame::Progress(15);
  }
  if (frame.ItemOn(kItemGroupData) && s.GroupData(frame)) {
    CProtocolFrame::Progress(20);
  }

  ModelRef<IGroupsOfDev> groups(frame.area.get(), IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> firstGroup(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = firstGroup.get(); group != nullptr; group = group->GetNext()) {
    frame.groupIdentity = true;
    // Open sites place by their placement scheme; groups along a contour or by points carry their poles in
    // sub-groups.
    const int placement = *group->GetPlacementScheme();
    if (!straightRoad && (placement == 3 || placement == 4)) {
      ModelRef<IGroupOfDev> firstSub(group, IID_FirstSubGroup);
      frame.walkParent = group;
      frame.walkParentScheme = placement;
      frame.subGroupIndex = 0;
      for (IGroupOfDev* sub = firstSub.get(); sub != nullptr; sub = sub->GetNext(), ++frame.subGroupIndex) {
        if ((*sub->GetState() & 0x1) != 0) {
          frame.StatisticsEntry(sub, PoleCount(sub));
          s.Group(frame, sub);
        }
      }
      frame.walkParent = nullptr;
      frame.walkParentScheme = 0;
      frame.subGroupIndex = 0;
      continue;
    }
    if ((*group->GetState() & 0x1) == 0) {
      continue;
    }
    const int scheme = *group->GetRoadScheme();
    const int count = straightRoad ? (scheme == 2 || scheme == 3 || scheme == 4 ? 12 : 6) : PoleCount(group);
    frame.StatisticsEntry(group, count);
    s.Group(frame, group);
  }
  CProtocolFrame::Progress(40);

  if (s.Summary(frame)) {
    CProtocolFrame::Progress(50);
  }
  s.Results(frame);

  if (frame.ItemOn(kItemEconomics) && frame.area && *frame.area->GetEconomicOutput() != 0) {
    frame.AddContent(0, "{Экономический расчет}", 0, 10, frame.CurrentPage(), 1);
    s.EconomicSection(frame);
  }
  if (frame.ItemOn(kItemTitlePage) && !frame.Contents().IsEmpty()) {
    writer.NewPage();
    frame.WriteContents();
  }
  frame.StatisticsEnd();
  CProtocolFrame::Progress(0);
  Shell::SendAnalyticsInfo(1);
  return 1;
}

int BuildFullReport(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt, IStatisticsSession* statistics,
                    int print, CProtocolSections* sections)
{
  return BuildProtocol(document, writer, neverBuilt, statistics, print, sections, true);
}

int BuildFullReport30(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt, IStatisticsSession* statistics,
                      int print, CProtocolSections* sections)
{
  return BuildProtocol(document, writer, neverBuilt, statistics, print, sections, false);
}
