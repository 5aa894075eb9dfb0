// The full protocol of each sample project, every report item on, built by the report view with its pictures
// painted by the road picture renderer over the full render core, exported as build/artifacts/protocol-*.rtf and
// read back as LibreOffice prints it, all protocols converted by one LibreOffice run: the sections in their
// order, the norm signs, the economic totals on one line, node tables without wrapped rows, the contents' pages
// where the sections start, and every rendered picture decoded from the file the right way up.
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

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using printtest::Output;
using VisualCtrl::CReportView;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// A picture as people see it: top row first, 0x00RRGGBB.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

constexpr std::uint32_t kMark = 0xFF0000;  // the fixture's mark in the top-left corner
constexpr int kMarkFrom = 3, kMarkTo = 12;  // inside the renderer's frame

// What the application's view does for a report picture: the renderer of this build paints the picture the
// document's view-mode word and the visual options ask for. The fixture marks the picture's top-left corner and
// keeps what the renderer made, as it is to be seen.
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
    if (!m_renderer.Render(flags, bitmap, width, height, group))
      return FALSE;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap->GetSafeHandle());
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT corner{kMarkFrom, kMarkFrom, kMarkTo, kMarkTo};
    FillRect(dc, &corner, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    Pixels seen;
    seen.width = width;
    seen.height = height;
    seen.rgb.resize(static_cast<std::size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = CreateCompatibleDC(nullptr);
    GetDIBits(screen, static_cast<HBITMAP>(bitmap->GetSafeHandle()), 0, static_cast<UINT>(height), seen.rgb.data(),
              &info, DIB_RGB_COLORS);
    DeleteDC(screen);
    for (std::uint32_t& p : seen.rgb)
      p &= 0xFFFFFF;
    pictures.push_back(std::move(seen));
    return TRUE;
  }
  std::vector<Pixels> pictures;

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

// The pictures of an RTF file as other programs read them: \dibitmap groups decoded by the format's own rules.
std::vector<Pixels> DecodePictures(const std::string& rtf)
{
  std::vector<Pixels> out;
  for (std::size_t at = rtf.find("{\\pict"); at != std::string::npos; at = rtf.find("{\\pict", at + 1)) {
    const std::size_t end = rtf.find('}', at);
    const std::string group = rtf.substr(at, end - at);
    if (group.find("\\dibitmap") == std::string::npos)
      continue;
    // The data follows the last control word of the group (its letters and number).
    std::size_t data = group.rfind('\\') + 1;
    while (data < group.size() && (std::isalnum(static_cast<unsigned char>(group[data])) || group[data] == '-'))
      ++data;
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (std::size_t i = data; i < group.size(); ++i) {
      const char c = group[i];
      const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (v < 0)
        continue;
      if (high < 0) {
        high = v;
      } else {
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
        high = -1;
      }
    }
    if (bytes.size() < 40)
      continue;
    std::int32_t width = 0, height = 0;
    std::uint16_t bits = 0;
    std::uint32_t headerSize = 0;
    std::memcpy(&headerSize, &bytes[0], 4);
    std::memcpy(&width, &bytes[4], 4);
    std::memcpy(&height, &bytes[8], 4);
    std::memcpy(&bits, &bytes[14], 2);
    if (bits != 24 && bits != 32)
      continue;
    Pixels p;
    p.width = width;
    p.height = height < 0 ? -height : height;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    if (bytes.size() < headerSize + stride * p.height)
      continue;
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
      const int stored = height > 0 ? p.height - 1 - y : y;  // a positive height stores the bottom row first
      const std::uint8_t* row = &bytes[headerSize + stride * static_cast<std::size_t>(stored)];
      for (int x = 0; x < p.width; ++x) {
        const std::uint8_t* q = row + static_cast<std::size_t>(x) * (bits / 8);
        p.rgb[static_cast<std::size_t>(y) * p.width + x] = q[0] | (q[1] << 8) | (q[2] << 16);
      }
    }
    out.push_back(std::move(p));
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::vector<std::string> Tokens(const std::string& line)
{
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string t; in >> t;)
    tokens.push_back(t);
  return tokens;
}

bool Numeric(const std::string& token)
{
  return !token.empty() && token.find_first_not_of("-0123456789.") == std::string::npos;
}

// The rows of the node tables that LibreOffice wrapped: in a block of a table (its rows up to an empty line),
// every row holds as many values as the widest one, only the bottom row of coordinates one fewer.
std::vector<std::string> WrappedNodeRows(const std::string& text)
{
  std::vector<std::string> wrapped;
  bool inTable = false;
  std::vector<std::vector<std::string>> block;
  auto check = [&] {
    std::size_t widest = 0;
    for (const auto& row : block)
      widest = std::max(widest, row.size());
    for (std::size_t i = 0; i < block.size(); ++i) {
      const bool bottom = i + 1 == block.size();
      if (block[i].size() != widest && !(bottom && block[i].size() + 1 == widest)) {
        std::string row;
        for (const std::string& t : block[i])
          row += t + " ";
        wrapped.push_back(row);
      }
    }
    block.clear();
  };
  for (const std::string& line : Lines(text)) {
    if (line.find(Utf8(u8"Таблица значений")) != std::string::npos) {
      check();
      inTable = true;
      continue;
    }
    if (!inTable)
      continue;
    const std::vector<std::string> tokens = Tokens(line);
    const bool numbers = !tokens.empty() && std::all_of(tokens.begin(), tokens.end(), Numeric);
    if (!numbers) {
      check();
      // A page's end or a blank line ends a block; words end the table.
      if (!tokens.empty() && line.find('\f') == std::string::npos)
        inTable = false;
      continue;
    }
    block.push_back(tokens);
  }
  check();
  return wrapped;
}

// The heading a contents entry's section starts with: the texts one line of it holds.
std::vector<std::string> HeadingOf(const std::string& entry)
{
  const std::string observer = Utf8(u8"для наблюдателя: ");
  if (entry.rfind(observer, 0) == 0)
    return {Utf8(u8"Яркость для наблюдателя ") + entry.substr(observer.size())};
  const struct {
    const char8_t* entry;
    std::vector<const char8_t*> heading;
  } named[] = {
      {u8"Освещенность по участку дороги", {u8"По участку дороги", u8"Освещенность"}},
      {u8"Освещенность по группам и примитивам", {u8"По группам и примитивам"}},
      {u8"Освещенность", {u8"По проезжей части", u8"Освещенность"}},
      {u8"горизонтальная", {u8"Освещенность горизонтальная"}},
      {u8"полуцилиндрическая освещенность", {u8"Освещенность полуцилиндрическая"}},
      {u8"вертикальная", {u8"Освещенность вертикальная"}},
      {u8"размещение ОП", {u8"Размещение ОП"}},
      {u8"Общие", {u8"Параметры групп ОП", u8"Общие"}},
      {u8"параметры ОП", {u8"Параметры ОП"}},
  };
  for (const auto& n : named) {
    if (entry == Utf8(n.entry)) {
      std::vector<std::string> texts;
      for (const char8_t* t : n.heading)
        texts.push_back(Utf8(t));
      return texts;
    }
  }
  return {entry};
}

// What one sample's protocol must show, worked out while it was built.
struct Protocol {
  std::string name;  // protocol-<sample>
  std::string rtf;
  bool straight = false;
  bool interchange = false;
  bool norms = false;
  std::vector<const char8_t*> order;
  CString annual, capital;
  int expectedImages = 0;
  int diagrams = 0;
  int groups = 0;
  std::vector<float> extremes;  // an open site's node values that the table must hold
  std::string firstItem;        // an interchange's first item
  std::vector<Pixels> rendered;
};

class ProtocolSamples : public CoreTest {
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
    CloseSample();
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
  void CloseSample()
  {
    if (frame != nullptr && ::IsWindow(frame->m_hWnd))
      frame->DestroyWindow();
    frame = nullptr;
    report = nullptr;
    shell.mainWindow = nullptr;
    // The core lets its context go while the view's window still stands.
    document.reset();
    view.reset();
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

  void Build(const Sample& sample, Protocol& p);

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


void ProtocolSamples::Build(const Sample& sample, Protocol& p)
{
  ASSERT_NO_FATAL_FAILURE(Open(sample));
  AllItemsOn();
  PriceTheGroups(ActiveArea(), document.get());
  p.straight = IsOfClass(ActiveArea(), CLSID_CStraightRoad);
  p.interchange = IsOfClass(ActiveArea(), CLSID_CCustomizeRoad3D);
  _STANDARDS_OF_ROAD& n = *ActiveArea()->GetStandards()->GetRecord();
  if (p.straight) {
    // Norms as the first norm document gives them, one of them changed by the user.
    n.normDocumentId = 1;
    n.effectiveValues[kNormRoadLuminance] = n.documentValues[kNormRoadLuminance] = 1.0;
    n.effectiveValues[kNormRoadMaxToAverage] = n.documentValues[kNormRoadMaxToAverage] = 3;
    n.documentValues[kNormGlareIndex] = 20;
    n.effectiveValues[kNormGlareIndex] = 5;
  }
  p.norms = n.normDocumentId != 0;
  RendererPictures pictures(*document, Core(), p.straight);
  CountedDiagrams diagrams;
  CountedDiagrams::made = 0;
  report->SendMessage(UM_SHOWOBJECT, 1, 0);
  ASSERT_TRUE(report->m_neverBuilt == 0) << "the sample has results";

  // The economic totals as an independent build of the section over the same project works them out.
  CRTFWriter scratch;
  ASSERT_EQ(scratch.Open(), 1);
  const EconomicTotals totals = WriteEconomicSection(document.get(), scratch);
  EXPECT_GT(totals.capital, 0.0);
  p.annual = FormatGroupedNumber(totals.annual);
  p.capital = FormatGroupedNumber(totals.capital);

  p.name = std::string("protocol-") + sample.name;
  p.rtf = (folder / (p.name + ".rtf")).string();
  ASSERT_TRUE(report->ExportRtf(p.rtf.c_str()));
  std::filesystem::copy_file(p.rtf, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + p.name + ".rtf",
                             std::filesystem::copy_options::overwrite_existing);

  p.order = {u8"ПРОТОКОЛ №", u8"светотехнического расчета"};
  if (p.straight) {
    // Texts of the sections themselves, not of the contents at the end.
    for (const char8_t* s : {u8"Проезжая часть", u8"Коэффициент запаса", u8"Положение опор", u8"Тип ИС",
                             u8"Показатели яркости"})
      p.order.push_back(s);
  } else {
    for (const char8_t* s : {u8"Тип участка дороги", u8"Коэффициент запаса", u8"Схема размещения ОП", u8"Тип ИС",
                             u8"Сводные данные"})
      p.order.push_back(s);
    p.order.push_back(p.interchange ? u8"По группам и примитивам" : u8"Таблица значений освещенности");
  }
  for (const char8_t* s : {u8"Экономический расчет", u8"Группы ОП", u8"Полные годовые приведенные затраты",
                           u8"Содержание"})
    p.order.push_back(s);

  p.diagrams = CountedDiagrams::made;
  p.groups = GroupsOn(ActiveArea());
  const _CALC_RESULTS& r = *ResultsOf(ActiveArea());
  if (p.straight) {
    // Two placement pictures, in 3D and in plan, for every group the protocol writes; three result pictures
    // (isolines, filled, false colours) for each observer's luminance, the carriageway's illuminance, and the
    // sidewalks' horizontal and semi-cylindrical illuminance and each wall when the sample has them.
    const int sidewalks = r.nRightWalk + r.nLeftWalk > 0 ? 2 : 0;
    const int walls = (r.nRightWall > 0 ? 1 : 0) + (r.nLeftWall > 0 ? 1 : 0);
    const int resultPictures = 3 * (static_cast<int>(r.nObservers) + 1 + sidewalks + walls);
    // And the luminaire's polar and Cartesian intensity diagrams for every group.
    EXPECT_EQ(p.diagrams, 2 * p.groups);
    p.expectedImages = 2 * p.groups + resultPictures + p.diagrams;
  } else if (!p.interchange) {
    // Isolines, filled areas and false colours of the site, and two diagrams for each type of luminaire.
    EXPECT_TRUE(p.diagrams > 0 && p.diagrams % 2 == 0) << p.diagrams;
    p.expectedImages = 3 + p.diagrams;
    EXPECT_GT(r.nZones, 0u);
    if (r.nZones > 0)
      p.extremes = {r.zones[0].minimum, r.zones[0].maximum};
  } else {
    // The interchange reports by group and primitive, each by its name, and draws no result picture.
    EXPECT_GT(r.nTotalsA + r.nTotalsB, 0u);
    if (r.nTotalsA + r.nTotalsB > 0)
      p.firstItem = codepage::Cp1251ToUtf8((r.nTotalsA > 0 ? r.totalsA[0] : r.totalsB[0]).name);
    EXPECT_TRUE(p.diagrams > 0 && p.diagrams % 2 == 0) << p.diagrams;
    p.expectedImages = p.diagrams;
  }
  EXPECT_EQ(static_cast<int>(pictures.pictures.size()) + p.diagrams, p.expectedImages);
  p.rendered = std::move(pictures.pictures);
}

TEST_F(ProtocolSamples, EveryProtocolAsLibreOfficePrintsIt)
{
  if (std::system("command -v soffice >/dev/null 2>&1 && command -v pdfimages >/dev/null 2>&1 && "
                  "command -v pdftoppm >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice or poppler is not installed";
  std::vector<Protocol> protocols;
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    Protocol p;
    Build(sample, p);
    CloseSample();
    if (HasFatalFailure())
      return;
    protocols.push_back(std::move(p));
  }

  // One LibreOffice run converts them all.
  const std::string dir = folder.string();
  std::string convert = "cd '" + dir + "' && HOME='" + dir + "' timeout 400 soffice -env:UserInstallation=file://" +
                        dir + "/profile --headless --convert-to pdf --outdir '" + dir + "'";
  for (const Protocol& p : protocols)
    convert += " '" + p.rtf + "'";
  convert += " >'" + dir + "/soffice.log' 2>&1";
  ASSERT_EQ(std::system(convert.c_str()), 0) << Output("cat '" + dir + "/soffice.log'");

  for (const Protocol& p : protocols) {
    SCOPED_TRACE(p.name);
    const std::string pdf = dir + "/" + p.name + ".pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf)) << "LibreOffice converted " << p.rtf;
    const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
    std::filesystem::copy_file(pdf, artifacts + "/" + p.name + ".pdf", std::filesystem::copy_options::overwrite_existing);
    // The pages as people look at them, protocol-<sample>-page-N.png.
    for (const auto& old : std::filesystem::directory_iterator(artifacts)) {
      if (old.path().filename().string().rfind(p.name + "-page-", 0) == 0)
        std::filesystem::remove(old.path());
    }
    Output("pdftoppm -r 50 -png '" + pdf + "' '" + dir + "/" + p.name + "-page'");
    for (const auto& page : std::filesystem::directory_iterator(folder)) {
      const std::string file = page.path().filename().string();
      if (file.rfind(p.name + "-page-", 0) != 0 || page.path().extension() != ".png")
        continue;
      const int number = std::atoi(file.c_str() + p.name.size() + 6);
      std::filesystem::copy_file(page.path(), artifacts + "/" + p.name + "-page-" + std::to_string(number) + ".png",
                                 std::filesystem::copy_options::overwrite_existing);
    }

    const std::string text = Output("pdftotext -layout '" + pdf + "' -");
    ASSERT_FALSE(text.empty()) << "LibreOffice opened the protocol";
    std::size_t at = 0;
    for (const char8_t* part : p.order) {
      const std::size_t found = text.find(Utf8(part), at);
      EXPECT_NE(found, std::string::npos) << Utf8(part) << " after the previous section";
      if (found != std::string::npos)
        at = found;
    }

    // Amounts stand on one line with their digit groups (joined by non-breaking spaces).
    std::string lined = text;
    for (std::size_t nbsp = lined.find("\xc2\xa0"); nbsp != std::string::npos; nbsp = lined.find("\xc2\xa0", nbsp))
      lined.replace(nbsp, 2, " ");
    for (const CString& amount : {p.annual, p.capital})
      EXPECT_NE(lined.find(amount.GetString()), std::string::npos) << amount.GetString() << " on one line";
    std::string words;  // the text's words, one space apart
    for (char c : lined) {
      const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\f';
      if (!space || (!words.empty() && words.back() != ' '))
        words += space ? ' ' : c;
    }

    // The norm signs of the Symbol font as the characters they are, never as the Cyrillic letters of their bytes.
    const std::string atLeast = Utf8(u8"≥"), atMost = Utf8(u8"≤");
    if (p.norms) {
      EXPECT_NE(text.find(atLeast), std::string::npos) << "the sign of a lower bound";
      if (p.straight) {
        EXPECT_NE(text.find(atMost), std::string::npos) << "the sign of an upper bound";
      }
    }
    EXPECT_EQ(text.find(Utf8(u8"і")), std::string::npos);
    EXPECT_EQ(text.find(Utf8(u8"Ј")), std::string::npos);

    for (const std::string& row : WrappedNodeRows(text))
      ADD_FAILURE() << "a node table row wraps: " << row;

    // The contents' page numbers are the pages where their sections start.
    std::vector<std::string> pages;
    for (std::size_t from = 0; from <= text.size();) {
      const std::size_t feed = std::min(text.find('\f', from), text.size());
      pages.push_back(text.substr(from, feed - from));
      from = feed + 1;
    }
    std::size_t contents = pages.size();
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (pages[i].find(Utf8(u8"Содержание")) != std::string::npos && pages[i].find(Utf8(u8"стр.")) != std::string::npos)
        contents = i;
    }
    ASSERT_LT(contents, pages.size()) << "the protocol has its contents";
    // Sections follow one another: each heading is looked for after the previous one (page, line).
    std::size_t cursorPage = 0, cursorLine = 0;
    int checked = 0;
    for (std::size_t c = contents; c < pages.size(); ++c) {
      for (const std::string& line : Lines(pages[c])) {
        std::vector<std::string> tokens = Tokens(line);
        if (tokens.size() < 2 || tokens.back().find_first_not_of("0123456789") != std::string::npos)
          continue;
        const int listed = std::atoi(tokens.back().c_str());
        tokens.pop_back();
        std::string entry;
        for (const std::string& t : tokens)
          entry += (entry.empty() ? "" : " ") + t;
        const std::vector<std::string> heading = HeadingOf(entry);
        bool found = false;
        for (std::size_t pg = cursorPage; pg < contents && !found; ++pg) {
          const std::vector<std::string> lines = Lines(pages[pg]);
          for (std::size_t l = pg == cursorPage ? cursorLine : 0; l < lines.size() && !found; ++l) {
            if (std::all_of(heading.begin(), heading.end(),
                            [&](const std::string& h) { return lines[l].find(h) != std::string::npos; })) {
              found = true;
              cursorPage = pg;
              cursorLine = l + 1;
            }
          }
        }
        EXPECT_TRUE(found) << entry << ": its section is not found";
        if (found) {
          EXPECT_EQ(listed, static_cast<int>(cursorPage) + 1) << entry;
          ++checked;
        }
      }
    }
    EXPECT_GE(checked, 2) << "contents entries with pages";

    // Every rendered picture is in the file as it was rendered, its marked corner at the top left.
    const std::string rtf = Output("cat '" + p.rtf + "'");
    const std::vector<Pixels> decoded = DecodePictures(rtf);
    EXPECT_EQ(static_cast<int>(decoded.size()), p.expectedImages);
    std::size_t next = 0;
    for (std::size_t k = 0; k < p.rendered.size(); ++k) {
      const Pixels& want = p.rendered[k];
      EXPECT_EQ(want.At(kMarkFrom, kMarkFrom), kMark) << "the fixture marked picture " << k;
      while (next < decoded.size() && !(decoded[next].width == want.width && decoded[next].height == want.height &&
                                        decoded[next].rgb == want.rgb))
        ++next;
      EXPECT_LT(next, decoded.size()) << "rendered picture " << k << " of " << want.width << " x " << want.height
                                      << " is in the file the right way up";
      if (next == decoded.size())
        break;
      EXPECT_EQ(decoded[next].At(kMarkFrom, kMarkFrom), kMark);
      EXPECT_NE(decoded[next].At(kMarkFrom, want.height - 1 - kMarkFrom), kMark);
      ++next;
    }

    // What LibreOffice shows of the pictures.
    const std::string list = Output("pdfimages -list '" + pdf + "'");
    int images = -2;  // the list's two heading lines
    for (char c : list)
      images += c == '\n' ? 1 : 0;
    EXPECT_EQ(images, p.expectedImages);

    if (p.straight) {
      // The summary against the norms: average luminance 1.53 meets 1.0, the glare index 7 exceeds the user's 5.
      for (const char8_t* part : {u8"Соответствие", u8"(с изм.)", u8"(+)", u8"(-)", u8"3:1", u8"5*",
                                  u8"с учетом корректировки пользователем"})
        EXPECT_NE(words.find(Utf8(part)), std::string::npos) << Utf8(part);
    } else if (!p.interchange) {
      // The node table holds the grid's values: the carriageway's minimum and maximum among them.
      ASSERT_NE(text.find(Utf8(u8"Таблица значений освещенности")), std::string::npos);
      for (float extreme : p.extremes) {
        char value[32];
        std::snprintf(value, sizeof(value), " %.1f ", extreme);
        EXPECT_NE(words.find(value, words.find(Utf8(u8"Таблица значений освещенности"))), std::string::npos) << value;
      }
    } else {
      EXPECT_NE(text.find(p.firstItem), std::string::npos) << p.firstItem;
    }
  }
}

}  // namespace
