// The full protocol of each sample project, every report item on, built by the report view with its pictures
// painted by the road picture renderer over the full render core, exported as build/artifacts/protocol-*.rtf and
// read back as LibreOffice prints it: the sections in their order, the norm marks, the economic totals, and the
// pictures the items ask for.
#include "catalogues/lidview/lid_view.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/light_device.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/standards.h"
#include "platform/base/codepage.h"
#include "platform/mfc/frame.h"
#include "platform/mfc-core/memfile.h"
#include "report/protocol/economic_section.h"
#include "report/protocol/protocol_frame.h"
#include "report/view/intensity_diagram.h"
#include "report/view/report_view.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/platform/mfc/print_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using printtest::Output;
using VisualCtrl::CReportView;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// What the application's view does for a report picture: the renderer of this build paints the picture the
// document's view-mode word and the visual options ask for.
class RendererPictures : public CViewServices {
public:
  RendererPictures(CQorRoadDoc& document, CGraphicCoreFull& core, bool straight)
      : m_document(document), m_renderer(&core), m_straight(straight)
  {
    SetViewServices(this);
  }
  ~RendererPictures() override { SetViewServices(nullptr); }
  BOOL RenderViewToBitmap(CWnd*, int width, int height, CBitmap* bitmap, IGroupOfDev* group) override
  {
    IVisualOpt* options = m_document.GetCurrentOptions();
    const DWORD flags = PictureFlagsFromViewMode(m_document.GetViewMode(), *options->GetQuantity(),
                                                 *options->GetResultDisplay(), m_straight);
    ++pictures;
    return m_renderer.Render(flags, bitmap, width, height, group);
  }
  int pictures = 0;

private:
  CQorRoadDoc& m_document;
  CRoadPictureRenderer m_renderer;
  bool m_straight;
};

// The program's diagram window, counting the diagrams it is asked for.
class CountedDiagrams {
public:
  CountedDiagrams()
  {
    InstallIntensityDiagramView();
    real = GetIntensityDiagramViewFactory();
    IntensityDiagramViewFactory counting = real;
    counting.create = [](CWnd* parent, const RECT& rect, UINT id) {
      ++made;
      return real.create(parent, rect, id);
    };
    SetIntensityDiagramViewFactory(counting);
  }
  ~CountedDiagrams() { SetIntensityDiagramViewFactory({}); }
  static inline int made = 0;
  static inline IntensityDiagramViewFactory real;
};

class ProtocolSamples : public CoreTest, public ::testing::WithParamInterface<Sample> {
protected:
  void SetUp() override
  {
    CoreTest::SetUp();
    AfxInitRichEdit2();
    folder = std::filesystem::temp_directory_path() / ("tesmira-protocols-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override
  {
    if (frame != nullptr && ::IsWindow(frame->m_hWnd))
      frame->DestroyWindow();
    CoreTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  void Open(const Sample& sample)
  {
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(800, 600);
    ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
    frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600)));
    shell.mainWindow = frame->m_hWnd;
    report = new CReportView(document.get());
    CRect client;
    frame->GetClientRect(&client);
    ASSERT_TRUE(report->Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, frame, AFX_IDW_PANE_FIRST));
    report->OnInitialUpdate();
  }

  // Every item of the report on, and the area's economics asked for.
  void AllItemsOn()
  {
    CPreferencesOfReport* preferences = document->GetCurrentOptions()->GetReportPreferences();
    for (const tag_ITEM_PREF_OF_REPORT& item : preferences->Items()) {
      tag_ITEM_PREF_OF_REPORT on = item;
      on.state = 2;
      preferences->SetItemState(item.id, &on, FALSE);
    }
    const int economics = 1;
    ActiveArea()->SetEconomicOutput(&economics);
  }

  // The exported file as LibreOffice prints it: its text, and the number of pictures in it.
  std::string Convert(const std::string& rtf, const std::string& name, int* images)
  {
    const std::string dir = folder.string();
    const std::string convert = "cd '" + dir + "' && HOME='" + dir + "' timeout 180 soffice -env:UserInstallation=file://" +
                                dir + "/profile --headless --convert-to pdf --outdir '" + dir + "' '" + rtf +
                                "' >'" + dir + "/soffice.log' 2>&1";
    if (std::system(convert.c_str()) != 0)
      return {};
    const std::string pdf = dir + "/" + std::filesystem::path(rtf).stem().string() + ".pdf";
    std::filesystem::copy_file(pdf, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name + ".pdf",
                               std::filesystem::copy_options::overwrite_existing);
    const std::string list = Output("pdfimages -list '" + pdf + "'");
    *images = -2;  // the list's two heading lines
    for (char c : list)
      *images += c == '\n' ? 1 : 0;
    return Output("pdftotext -layout '" + pdf + "' -");
  }

  std::filesystem::path folder;
  CFrameWnd* frame = nullptr;
  CReportView* report = nullptr;
};

const _CALC_RESULTS* ResultsOf(IArea* area)
{
  void* part = nullptr;
  area->QueryInterface(&IID_IResultsOfCalc, &part);
  auto* results = static_cast<IResultsOfCalc*>(part);
  const _CALC_RESULTS* block = results->GetData();
  results->Release();  // the area keeps it
  return block;
}

// The groups of the active area that the protocol writes.
int GroupsOn(IArea* area)
{
  void* part = nullptr;
  area->QueryInterface(&IID_IGroupsOfDev, &part);
  auto* groups = static_cast<IGroupsOfDev*>(part);
  void* first = nullptr;
  groups->QueryInterface(&IID_IGroupOfDev, &first);
  int on = 0;
  for (IGroupOfDev* g = static_cast<IGroupOfDev*>(first); g != nullptr; g = g->GetNext())
    on += (*g->GetState() & 1) != 0 ? 1 : 0;
  if (first != nullptr)
    static_cast<IGroupOfDev*>(first)->Release();
  groups->Release();
  return on;
}

// The samples carry no prices: every group gets some, so that the totals are amounts worth reading.
void PriceTheGroups(IArea* area, CQorRoadDoc* document)
{
  void* part = nullptr;
  document->QueryInterface(IID_IProject, &part);
  auto* project = static_cast<IProject*>(part);
  const double tariff = 4.85;
  project->SetElectricityTariff(&tariff);
  project->Release();
  area->QueryInterface(&IID_IGroupsOfDev, &part);
  auto* groups = static_cast<IGroupsOfDev*>(part);
  void* first = nullptr;
  groups->QueryInterface(&IID_IGroupOfDev, &first);
  const double price = 24680.5, installation = 3150, pole = 41200, poleMount = 7800.25;
  for (IGroupOfDev* g = static_cast<IGroupOfDev*>(first); g != nullptr; g = g->GetNext()) {
    g->GetLightDevice()->SetPrice(&price);
    g->GetLightDevice()->SetInstallationCost(&installation);
    void* polePart = nullptr;
    if (SUCCEEDED(g->QueryInterface(&IID_IPole, &polePart)) && polePart != nullptr) {
      static_cast<IPole*>(polePart)->SetPolePrice(&pole);
      static_cast<IPole*>(polePart)->SetPoleMountPrice(&poleMount);
      static_cast<IPole*>(polePart)->Release();
    }
  }
  if (first != nullptr)
    static_cast<IGroupOfDev*>(first)->Release();
  groups->Release();
}

TEST_P(ProtocolSamples, TheFullProtocolAsLibreOfficePrintsIt)
{
  if (std::system("command -v soffice >/dev/null 2>&1 && command -v pdfimages >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice or poppler is not installed";
  const Sample& sample = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open(sample));
  AllItemsOn();
  PriceTheGroups(ActiveArea(), document.get());
  if (IsOfClass(ActiveArea(), CLSID_CStraightRoad)) {
    // Norms as the first norm document gives them, one of them changed by the user.
    _STANDARDS_OF_ROAD& n = *ActiveArea()->GetStandards()->GetRecord();
    n.normDocumentId = 1;
    n.effectiveValues[kNormRoadLuminance] = n.documentValues[kNormRoadLuminance] = 1.0;
    n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 3;
    n.documentValues[kNormGlareIndex] = 20;
    n.effectiveValues[kNormGlareIndex] = 5;
  }
  const bool straight = IsOfClass(ActiveArea(), CLSID_CStraightRoad);
  RendererPictures pictures(*document, Core(), straight);
  CountedDiagrams diagrams;
  CountedDiagrams::made = 0;
  report->SendMessage(UM_SHOWOBJECT, 1, 0);
  ASSERT_TRUE(report->m_neverBuilt == 0) << "the sample has results";

  // The economic totals as an independent build of the section over the same project works them out.
  CRTFWriter scratch;
  ASSERT_EQ(scratch.Open(), 1);
  const EconomicTotals totals = WriteEconomicSection(document.get(), scratch);

  const std::string name = std::string("protocol-") + sample.name;
  const std::string rtf = std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name + ".rtf";
  ASSERT_TRUE(report->ExportRtf(rtf.c_str()));
  int images = 0;
  const std::string text = Convert(rtf, name, &images);
  ASSERT_FALSE(text.empty()) << "LibreOffice opened the protocol";

  std::vector<const char8_t*> order = {u8"ПРОТОКОЛ №", u8"светотехнического расчета"};
  if (straight) {
    // Texts of the sections themselves, not of the contents at the end.
    for (const char8_t* s : {u8"Проезжая часть", u8"Коэффициент запаса", u8"Положение опор", u8"Тип ИС",
                             u8"Показатели яркости"})
      order.push_back(s);
  }
  const bool interchange = IsOfClass(ActiveArea(), CLSID_CCustomizeRoad3D);
  if (!straight) {
    for (const char8_t* s : {u8"Тип участка дороги", u8"Коэффициент запаса", u8"Схема размещения ОП", u8"Тип ИС",
                             u8"Сводные данные"})
      order.push_back(s);
    order.push_back(interchange ? u8"По группам и примитивам" : u8"Таблица значений освещенности");
  }
  for (const char8_t* s : {u8"Экономический расчет", u8"Группы ОП", u8"Полные годовые приведенные затраты",
                           u8"Содержание"})
    order.push_back(s);
  std::size_t at = 0;
  for (const char8_t* part : order) {
    const std::size_t found = text.find(Utf8(part), at);
    EXPECT_NE(found, std::string::npos) << Utf8(part) << " after the previous section";
    if (found != std::string::npos)
      at = found;
  }

  const CString annual = FormatGroupedNumber(totals.annual);
  const CString capital = FormatGroupedNumber(totals.capital);
  EXPECT_GT(totals.capital, 0.0);
  // A long result line may wrap between the groups of an amount: words are compared, not the layout.
  std::string words;
  for (char c : text) {
    const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\f';
    if (!space || (!words.empty() && words.back() != ' '))
      words += space ? ' ' : c;
  }
  for (const CString& amount : {annual, capital})
    EXPECT_NE(words.find(amount.GetString()), std::string::npos) << amount.GetString();

  if (straight) {
    // The summary against the norms: average luminance 1.53 meets 1.0, the glare index 7 exceeds the user's 5.
    for (const char8_t* part : {u8"Соответствие", u8"(с изм.)", u8"(+)", u8"(-)", u8"3:1", u8"5*",
                                u8"с учетом корректировки пользователем"})
      EXPECT_NE(words.find(Utf8(part)), std::string::npos) << Utf8(part);
    // Two placement pictures, in 3D and in plan, for every group the protocol writes; three result pictures
    // (isolines, filled, false colours) for each observer's luminance, the carriageway's illuminance, and the
    // sidewalks' horizontal and semi-cylindrical illuminance and each wall when the sample has them.
    const _CALC_RESULTS& r = *ResultsOf(ActiveArea());
    const int sidewalks = r.nRightWalk + r.nLeftWalk > 0 ? 2 : 0;
    const int walls = (r.nRightWall > 0 ? 1 : 0) + (r.nLeftWall > 0 ? 1 : 0);
    const int resultPictures = 3 * (static_cast<int>(r.nObservers) + 1 + sidewalks + walls);
    // And the luminaire's polar and Cartesian intensity diagrams for every group.
    EXPECT_EQ(CountedDiagrams::made, 2 * GroupsOn(ActiveArea()));
    EXPECT_EQ(images, 2 * GroupsOn(ActiveArea()) + resultPictures + CountedDiagrams::made);
    EXPECT_EQ(pictures.pictures + CountedDiagrams::made, images);
  } else if (!interchange) {
    // Two diagrams for each type of luminaire, written once.
    EXPECT_TRUE(CountedDiagrams::made > 0 && CountedDiagrams::made % 2 == 0) << CountedDiagrams::made;
    EXPECT_EQ(images, 3 + CountedDiagrams::made) << "isolines, filled areas and false colours of the site, and the diagrams";
    // The node table holds the grid's values: the carriageway's minimum and maximum among them.
    const std::size_t table = text.find(Utf8(u8"Таблица значений освещенности"));
    ASSERT_NE(table, std::string::npos);
    const _CALC_RESULTS& r = *ResultsOf(ActiveArea());
    ASSERT_GT(r.nZones, 0u);
    for (float extreme : {r.zones[0].minimum, r.zones[0].maximum}) {
      char value[32];
      std::snprintf(value, sizeof(value), " %.1f ", extreme);
      EXPECT_NE(words.find(value, words.find(Utf8(u8"Таблица значений освещенности"))), std::string::npos) << value;
    }
    EXPECT_EQ(pictures.pictures + CountedDiagrams::made, images);
  } else {
    // The interchange reports by group and primitive, each by its name, and draws no result picture.
    const _CALC_RESULTS& r = *ResultsOf(ActiveArea());
    ASSERT_GT(r.nTotalsA + r.nTotalsB, 0u);
    const _TOTAL_LIGHT_50& first = r.nTotalsA > 0 ? r.totalsA[0] : r.totalsB[0];
    EXPECT_NE(text.find(codepage::Cp1251ToUtf8(first.name)), std::string::npos) << first.name;
    EXPECT_TRUE(CountedDiagrams::made > 0 && CountedDiagrams::made % 2 == 0) << CountedDiagrams::made;
    EXPECT_EQ(images, CountedDiagrams::made) << "the luminaires' diagrams alone";
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, ProtocolSamples, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                           std::string name = info.param.name;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
