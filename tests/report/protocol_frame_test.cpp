// The protocol frame over a project in memory: the text for missing results, the title page byte for byte, the
// contents at the end, analytics events and the statistics records of printed protocols.
#include "report/protocol/protocol_frame.h"

#include "graphics/core/view_services.h"
#include "model/igroups.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "outside/servers/istatistics.h"
#include "platform/com/bstr.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc/gdiobj.h"
#include "platform/mfc-core/oledatetime.h"
#include "summary_fixture.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The shell's analytics and message boxes, recorded.
class RecordingShell : public Shell::CShellServices {
public:
  RecordingShell() { Shell::SetShellServices(this); }
  ~RecordingShell() override { Shell::SetShellServices(nullptr); }
  int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag) override
  {
    events.push_back(std::string(category) + "|" + action + "|" + label + "|" + std::to_string(value) + "|" +
                     std::to_string(flag));
    return 0;
  }
  HWND GetMainWindow() override { return mainWindow; }
  int SendAnalyticsInfo(int flag) override
  {
    events.push_back("info|" + std::to_string(flag));
    return 0;
  }
  int ShowMessageBox(HWND, LPCSTR text, LPCSTR, UINT) override
  {
    boxes.push_back(text);
    return Shell::IDOK;
  }
  std::vector<std::string> events;
  std::vector<std::string> boxes;
  HWND mainWindow = nullptr;
};

// The statistics component's session, record and entry in one object, logging every call; one call may fail.
class FakeStatistics : public IStatisticsSession, public IStatisticsRecord, public IStatisticsEntry {
public:
  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }

  HRESULT CreateRecord(IStatisticsRecord** out) override
  {
    *out = this;
    ++references;
    return Log("CreateRecord");
  }
  HRESULT SubmitRecord(IStatisticsRecord*) override { return Log("SubmitRecord"); }
  HRESULT SetOrganisation(BSTR text) override { return Log("SetOrganisation " + Narrow(text)); }
  HRESULT Begin() override { return Log("Begin"); }
  HRESULT SetFlag(int flag) override { return Log("SetFlag " + std::to_string(flag)); }
  HRESULT CreateEntry(IStatisticsEntry** out) override
  {
    *out = this;
    ++references;
    return Log("CreateEntry");
  }
  HRESULT SetLuminaireName(BSTR text) override { return Log("SetLuminaireName " + Narrow(text)); }
  HRESULT SetLuminaireCount(int count) override { return Log("SetLuminaireCount " + std::to_string(count)); }
  HRESULT SetPoleName(BSTR text) override { return Log("SetPoleName " + Narrow(text)); }
  HRESULT SetBracketName(BSTR text) override { return Log("SetBracketName " + Narrow(text)); }

  std::vector<std::string> calls;
  std::string failing;  // the call (its first word) that answers E_FAIL
  int references = 1;

private:
  static std::string Narrow(BSTR text) { return static_cast<const char*>(_bstr_t(text, true)); }
  HRESULT Log(const std::string& call)
  {
    calls.push_back(call);
    return call.substr(0, call.find(' ')) == failing ? E_FAIL : S_OK;
  }
};

// The protocol's page: A4 with the margins it is printed with, and room for the footer of an exported page.
const std::string kProtocolPage = "\\paperw11906\\paperh16838\\margl1700\\margr500\\margt1250\\margb1000 ";

// What the build wrote after the writer's head and the protocol's page.
std::string Body(const std::string& document)
{
  const std::size_t head = document.find("\\pard ");
  const std::string body = document.substr(head + 6);
  EXPECT_EQ(body.substr(0, kProtocolPage.size()), kProtocolPage);
  return body.substr(std::min(body.size(), kProtocolPage.size()));
}

// Sections that write one contents entry per section, on pages of their own.
class PagedSections : public CProtocolSections {
public:
  bool InputData(CProtocolFrame& frame) override
  {
    frame.AddContent(0, "{Исходные данные}", 1, 0, 0, 2);
    frame.AddContent(1, "{Параметры дороги}", 0, 11, frame.CurrentPage(), 1);
    frame.writer.NewPage();
    return true;
  }
  void Group(CProtocolFrame& frame, IGroupOfDev*) override
  {
    ++groups;
    frame.AddContent(1, "{Группа}", 0, 12, frame.CurrentPage(), 1);
  }
  int groups = 0;
};

TEST(ProtocolFrame, WithoutResultsOnlyTheTextForMissingResults)
{
  RecordingShell shell;
  ProjectDocument doc;
  FakeStatistics statistics;
  int neverBuilt = 1;
  CRTFWriter writer;
  EXPECT_EQ(BuildFullReport(&doc, writer, neverBuilt, &statistics, 1, nullptr), 1);
  EXPECT_EQ(Body(Document(writer)), "\\line\\b0\\f2\\fs20{Расчет не выполнялся}");
  writer.Close();
  neverBuilt = 0;
  EXPECT_EQ(BuildFullReport(&doc, writer, neverBuilt, &statistics, 1, nullptr), 1);
  EXPECT_EQ(Body(Document(writer)), "\\line\\b0\\f2\\fs20{Данные изменены}");
  EXPECT_TRUE(shell.events.empty());
  EXPECT_TRUE(statistics.calls.empty());
  EXPECT_EQ(BuildFullReport(&doc, writer, neverBuilt, &statistics, 1, nullptr), 0) << "writer open already";
}

TEST(ProtocolFrame, EveryItemOffWritesNothingButTheEventIsSent)
{
  RecordingShell shell;
  ProjectDocument doc;
  AllItemsOff(doc);
  ResultsOf(doc.Areas()[0]).valid = 1;
  int neverBuilt = 1;
  CRTFWriter writer;
  ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, nullptr), 1);
  EXPECT_EQ(Body(Document(writer)), "");
  EXPECT_EQ(neverBuilt, 0);
  EXPECT_EQ(shell.events, (std::vector<std::string>{"Протокол.Просмотр|Тип участка дороги|Прямая дорога|1|1", "info|1"}));
}

TEST(ProtocolFrame, TitlePageByteForByteWithNamesEscaped)
{
  RecordingShell shell;
  ProjectDocument doc;
  AllItemsOff(doc);
  SetItem(doc, kItemTitlePage, 2);
  IArea* site = doc.project->ResetAreas(CLSID_CCustomizeRoad);
  site->Release();
  ResultsOf(site).valid = 1;
  const CString number("7{\\b}"), object("Тверская улица"), organisation("ООО Свет"), executor("Иванов"),
      customer("Город");
  doc.project->SetProtocolNumber(&number);
  doc.project->SetObjectName(&object);
  doc.project->SetOrganization(&organisation);
  doc.project->SetExecutor(&executor);
  doc.project->SetCustomer(&customer);
  const COleDateTime date(2026, 3, 9, 0, 0, 0);
  doc.project->SetDate(&date);
  int neverBuilt = 1;
  CRTFWriter writer;
  ASSERT_EQ(BuildFullReport30(&doc, writer, neverBuilt, nullptr, 1, nullptr), 1);
  std::string lines12;
  for (int i = 0; i < 12; ++i)
    lines12 += "\\line";
  const std::string expected =
      " \\highlight0\\cf1\\highlight5  \\highlight0\\cf9 " + lines12 +
      "\\pard\\qc\\b0\\f2\\fs40{ПРОТОКОЛ № }{7\\{\\\\b\\}}\\b0\\f2\\fs10\\line\\par"
      "\\pard\\qc\\b0\\f2\\fs34{светотехнического расчета}\\line{установки наружного освещения}\\par"
      "\\line\\line\\line\\b0\\f2\\fs25\\pard\\ql"
      "{Объект}\\tab\\tab\\tab\\tab\\tab\\tab\\tab{Тверская улица} \\line\\line"
      "{Организация-исполнитель}\\tab\\tab\\tab\\tab{ООО Свет} \\line\\line"
      "{ФИО исполнителя  }\\tab\\tab\\tab\\tab\\tab{Иванов} \\line\\line"
      "{Организация-заказчик}\\tab\\tab\\tab\\tab\\tab{Город} \\line\\line"
      "{Дата выполнения}\\tab\\tab\\tab\\tab\\tab\\tab{09.03.2026}\\line\\line"
      "{Файл проекта}\\tab\\tab\\tab\\tab\\tab\\tab{} \\par"
      "\\line\\line\\line\\line\\line\\line\\line\\line\\line\\line\\line\\b0\\f2\\fs16\\pard\\qc\\line"
      "{Расчет выполнен по программе Tesmira Road версии 6.}\\line"
      "{Программа сертифицирована на соответствие нормам освещения ГОСТ Р 55706-2013, ГОСТ Р 55708-2013, }\\line"
      "{СП 52.13330.2016 (СНиП 23-05-95*), СанПиН 2.2.1/2.1.1.1278-03, ГОСТ Р ИСО 9127-94, ГОСТ Р ИСО/МЭК "
      "12119-2000}\\line\\line\\par\\page";
  EXPECT_EQ(Body(Document(writer)), expected);
  EXPECT_EQ(writer.GetPageCount(), 1);
  EXPECT_EQ(shell.events.front(), "Протокол.Печать|Тип участка дороги|Открытые территории в одном уровне|1|1");
}

TEST(ProtocolFrame, ContentsStandAtTheEndWithThePagesOfTheirSections)
{
  RecordingShell shell;
  ProjectDocument doc;
  AllItemsOff(doc);
  ResultsOf(doc.Areas()[0]).valid = 1;
  PagedSections sections;
  int neverBuilt = 1;
  {
    // Title page alone: no contents and no extra page break.
    SetItem(doc, kItemTitlePage, 2);
    CRTFWriter writer;
    ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, nullptr), 1);
    EXPECT_EQ(writer.GetPageCount(), 1);
    EXPECT_EQ(Document(writer).find("Содержание"), std::string::npos);
  }
  SetItem(doc, kItemRoadData, 2);
  CRTFWriter writer;
  ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
  const std::string body = Body(Document(writer));
  const std::string contents =
      "\\page\\line\\line\\pard\\ql\\b\\f2\\fs25 \\highlight0\\cf5\\highlight6 {Содержание}"
      "\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\par"
      " \\highlight0\\cf1\\highlight5  \\highlight0\\cf1\\highlight5  \\highlight0\\cf9 "
      "\\pard\\ql\\b0\\f2\\fs20\\line\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab{стр.}\\par"
      "\\pard\\ql\\b0\\f2\\fs20"
      "\\b\\f2\\fs21{Исходные данные}\\b0\\f2\\fs20\\line\\line"
      "\\tab{Параметры дороги}\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab"
      "{\\field{\\*\\fldinst PAGEREF section1}{\\fldrslt 2}}\\line";
  const std::size_t at = body.find("\\page\\line\\line\\pard\\ql\\b\\f2\\fs25");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(body.substr(at, contents.size()), contents);
  // Then the groups' entries on the page after the input data, and the end of the contents.
  const std::size_t group =
      body.find("\\tab{Группа}\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab{\\field{\\*\\fldinst PAGEREF section");
  ASSERT_NE(group, std::string::npos);
  EXPECT_EQ(body.find("}{\\fldrslt 3}}\\line", group), body.find("}{\\fldrslt ", group));
  // The page field refers to the mark written where the section starts, before its heading.
  const std::size_t mark = body.find("{\\*\\bkmkstart section1}{\\*\\bkmkend section1}");
  ASSERT_NE(mark, std::string::npos);
  EXPECT_LT(mark, body.find("{Параметры дороги}"));
  EXPECT_EQ(body.substr(body.size() - 4), "\\par");
  EXPECT_GE(sections.groups, 1);
}

TEST(ProtocolFrame, PrintedProtocolsLeaveAStatisticsRecordAndAFailingOneIsToldOnceWithoutLosingTheProtocol)
{
  RecordingShell shell;
  ProjectDocument doc;
  AllItemsOff(doc);
  SetItem(doc, kItemTitlePage, 2);
  SetItem(doc, kItemRoadData, 2);
  IArea* road = doc.Areas()[0];
  ResultsOf(road).valid = 1;
  const CString organisation("ООО Свет");
  doc.project->SetOrganization(&organisation);
  auto* groups = Part<IGroupsOfDev>(road, IID_IGroupsOfDev);
  auto* group = Part<IGroupOfDev>(groups, IID_IGroupOfDev);
  ASSERT_NE(group, nullptr);
  const int on = 1, twoSided = 2;
  group->SetState(&on);
  group->SetRoadScheme(&twoSided);
  PagedSections sections;
  int neverBuilt = 1;

  {
    FakeStatistics preview;
    CRTFWriter writer;
    ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, &preview, 0, &sections), 1);
    EXPECT_TRUE(preview.calls.empty()) << "a preview leaves no record";
  }
  {
    FakeStatistics statistics;
    CRTFWriter writer;
    ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, &statistics, 1, &sections), 1);
    ASSERT_GE(statistics.calls.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(statistics.calls.begin(), statistics.calls.begin() + 5),
              (std::vector<std::string>{"CreateRecord", "Begin", "SetOrganisation ООО Свет", "SetFlag -1",
                                        "CreateEntry"}));
    EXPECT_EQ(statistics.calls[5].rfind("SetLuminaireName ", 0), 0u);
    EXPECT_EQ(statistics.calls[statistics.calls.size() - 2], "SetLuminaireCount 12");
    EXPECT_EQ(statistics.calls.back(), "SubmitRecord");
    EXPECT_EQ(statistics.references, 1) << "every record and entry released";
    EXPECT_TRUE(shell.boxes.empty());
  }
  for (const char* failing : {"CreateRecord", "SetFlag", "CreateEntry", "SetLuminaireCount", "SubmitRecord"}) {
    shell.boxes.clear();
    FakeStatistics statistics;
    statistics.failing = failing;
    CRTFWriter writer;
    ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, &statistics, 1, &sections), 1) << failing;
    EXPECT_EQ(shell.boxes.size(), 1u) << failing;
    EXPECT_NE(Document(writer).find("{Содержание}"), std::string::npos) << failing << ": the protocol is whole";
    EXPECT_EQ(statistics.calls.back().rfind(failing, 0), 0u) << "nothing asked of the component after its failure";
    EXPECT_EQ(statistics.references, 1) << failing;
  }
}

// The application's view, telling what the display state was while it drew each picture.
class StateRecordingView : public CViewServices {
public:
  StateRecordingView(ProjectDocument& doc, IArea* area) : m_doc(doc), m_area(area) { SetViewServices(this); }
  ~StateRecordingView() override { SetViewServices(nullptr); }
  BOOL RenderViewToBitmap(CWnd*, int width, int height, CBitmap* bitmap, IGroupOfDev*) override
  {
    IVisualOpt* o = m_doc.options;
    char state[128];
    std::snprintf(state, sizeof state, "mode %lx display %d quantity %d print %d auto %d valid %d %dx%d",
                  static_cast<unsigned long>(m_doc.viewMode), *o->GetResultDisplay(), *o->GetQuantity(),
                  *o->GetPrintMode(), *o->GetAutoObserver(), ResultsOf(m_area).valid, width, height);
    drawn.push_back(state);
    const std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height, 0x00FFFFFF);
    return bitmap->CreateBitmap(width, height, 1, 32, pixels.data());
  }
  std::vector<std::string> drawn;

private:
  ProjectDocument& m_doc;
  IArea* m_area;
};

TEST(ProtocolFrame, PictureSectionsDrawInPrintModeAndPutTheDisplayStateBack)
{
  RecordingShell shell;
  ProjectDocument doc;
  IArea* road = doc.Areas()[0];
  _CALC_RESULTS& r = ResultsOf(road);
  r.valid = 1;
  r.shownObserver = 2;
  const int filled = 1, illuminance = 1, automatic = 1;
  doc.options->SetResultDisplay(&filled);
  doc.options->SetQuantity(&illuminance);
  doc.options->SetAutoObserver(&automatic);
  StateRecordingView view(doc, road);

  CRTFWriter writer;
  ASSERT_EQ(writer.Open(), 1);
  {
    CProtocolFrame frame(&doc, writer, nullptr, 0);
    {
      CPictureSection section(frame, CPictureSection::Kind::Results);
      r.shownObserver = 0;  // the section chooses its observers
      section.Picture(0x1001, 0, 0, 600, 700, nullptr);
      section.Picture(0x1001, 3, 0, 600, 700, nullptr);
    }
    {
      CPictureSection placement(frame, CPictureSection::Kind::Placement);
      placement.Picture(0x42001, 1, 2, 640, 480, nullptr);
    }
  }
  EXPECT_EQ(view.drawn, (std::vector<std::string>{"mode 1001 display 0 quantity 0 print 1 auto 0 valid 1 600x700",
                                                  "mode 1001 display 3 quantity 0 print 1 auto 0 valid 1 600x700",
                                                  "mode 42001 display 1 quantity 1 print 1 auto 1 valid 0 640x480"}));
  EXPECT_EQ(doc.viewMode, 0x2u);
  EXPECT_EQ(*doc.options->GetResultDisplay(), 1);
  EXPECT_EQ(*doc.options->GetQuantity(), 1);
  EXPECT_EQ(*doc.options->GetAutoObserver(), 1);
  EXPECT_EQ(*doc.options->GetPrintMode(), 0);
  EXPECT_EQ(r.shownObserver, 2);
  EXPECT_EQ(r.valid, 1);
  // Each picture in its paragraph; a page break between the two of one section. The frame alone sets no page.
  const std::string document = Document(writer);
  const std::string body = document.substr(document.find("\\pard ") + 6);
  const std::string picture = "\\b\\f2\\fs20 \\highlight0\\cf1\\highlight5  \\highlight0\\cf9 "
                              "\\line\\line\\line\\line\\line\\pard\\ql{\\pict\\wbitmap0\\pich700\\picw600";
  EXPECT_EQ(body.rfind(picture, 0), 0u) << body.substr(0, 200);
  EXPECT_NE(body.find("} \\par\\page\\b\\f2\\fs20"), std::string::npos);
  std::size_t pages = 0;
  for (std::size_t at = body.find("\\page"); at != std::string::npos; at = body.find("\\page", at + 1))
    ++pages;
  EXPECT_EQ(pages, 1u) << "the placement section starts its own count";
}

// A main frame that shows progress and names the view that renders pictures.
class ProgressFrame : public CFrameWnd {
public:
  LRESULT OnProgress(WPARAM percent, LPARAM)
  {
    progress.push_back(static_cast<int>(percent));
    return 0;
  }
  LRESULT OnGetActiveView(WPARAM, LPARAM out)
  {
    *reinterpret_cast<CWnd**>(out) = this;
    return 1;
  }
  std::vector<int> progress;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProgressFrame, CFrameWnd)
  ON_MESSAGE(UM_PROGRESS, &ProgressFrame::OnProgress)
  ON_MESSAGE(UM_GETACTIVEVIEW, &ProgressFrame::OnGetActiveView)
END_MESSAGE_MAP()

TEST(ProtocolFrame, ProgressGoesToAFrameWindowOnlyForSectionsThatWrote)
{
  RecordingShell shell;
  ProjectDocument doc;
  AllItemsOff(doc);
  SetItem(doc, kItemTitlePage, 2);
  SetItem(doc, kItemRoadData, 2);
  SetItem(doc, kItemGroupData, 2);
  ResultsOf(doc.Areas()[0]).valid = 1;
  auto* frame = new ProgressFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
  shell.mainWindow = frame->m_hWnd;
  EXPECT_EQ(GetActiveReportView(), frame);

  PagedSections sections;  // writes input data only
  int neverBuilt = 1;
  CRTFWriter writer;
  ASSERT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
  EXPECT_EQ(frame->progress, (std::vector<int>{0, 10, 15, 40, 0}));

  // Results missing: the first 0 only.
  frame->progress.clear();
  ResultsOf(doc.Areas()[0]).valid = 0;
  CRTFWriter missing;
  ASSERT_EQ(BuildFullReport(&doc, missing, neverBuilt, nullptr, 0, &sections), 1);
  EXPECT_EQ(frame->progress, (std::vector<int>{0}));
  frame->DestroyWindow();

  // A main window that is not a frame gets nothing and names no view.
  CWnd plain;
  ASSERT_TRUE(plain.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  shell.mainWindow = plain.m_hWnd;
  EXPECT_EQ(GetActiveReportView(), nullptr);
  plain.DestroyWindow();
}

}  // namespace
