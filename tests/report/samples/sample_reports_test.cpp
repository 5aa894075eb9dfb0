// The report of the sample projects the calculating tests leave in the artifacts folder: the results summary of
// each, and the open site's protocol frame, shown in the report view, exported, and opened by LibreOffice.
#include "geometry/mesh/calc_surface.h"
#include "model/report_preferences.h"
#include "platform/mfc/afxwin.h"
#include "report/protocol/protocol_frame.h"
#include "report/view/report_view.h"
#include "tests/document/document_env.h"
#include "tests/document/results_core.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/platform/mfc/print_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using printtest::Output;
using VisualCtrl::CReportView;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class SampleReports : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.dataFolder = MakeDataFolder(true);
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
    ObjectModel::SetPrimitiveServices(&surfaces);
    SetGraphicCoreFactory(&ResultsCore::Make);
    AfxInitRichEdit2();
    folder = std::filesystem::temp_directory_path() / ("tesmira-samplereports-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override
  {
    if (frame != nullptr && ::IsWindow(frame->m_hWnd))
      frame->DestroyWindow();
    document.reset();
    SetGraphicCoreFactory(nullptr);
    ObjectModel::SetPrimitiveServices(nullptr);
    Shell::SetShellServices(nullptr);
    LoggerObjs::InstallLogger(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // The sample opened, and the report view over it in a frame of its own.
  void Open(const Sample& sample)
  {
    document = std::make_unique<CQorRoadDoc>();
    ASSERT_TRUE(document->OnNewDocument());
    ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
    frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600)));
    view = new CReportView(document.get());
    CRect client;
    frame->GetClientRect(&client);
    ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
  }

  // The exported file converted by LibreOffice; the PDF's text, and its first page left as a picture.
  std::string Convert(const std::string& rtf, const std::string& picture)
  {
    const std::string dir = folder.string();
    const std::string convert = "cd '" + dir + "' && HOME='" + dir + "' timeout 120 soffice -env:UserInstallation=file://" +
                                dir + "/profile --headless --convert-to pdf --outdir '" + dir + "' '" + rtf +
                                "' >'" + dir + "/soffice.log' 2>&1";
    if (std::system(convert.c_str()) != 0)
      return {};
    const std::string pdf = dir + "/" + std::filesystem::path(rtf).stem().string() + ".pdf";
    Output("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" + std::string(TESMIRA_ARTIFACTS_DIR) + "/" +
           picture + "'");
    return Output("pdftotext -layout '" + pdf + "' -");
  }

  RecordingShell shell;
  CGeometryPrimitiveServices surfaces;
  std::unique_ptr<CQorRoadDoc> document;
  CFrameWnd* frame = nullptr;
  CReportView* view = nullptr;
  std::filesystem::path folder;
};

TEST_F(SampleReports, SummaryOfEachSampleOpensInLibreOffice)
{
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  const struct {
    const Sample& sample;
    std::vector<const char8_t*> expected;
  } cases[] = {
      {kSamples[0], {u8"По проезжей части", u8"Показатель", u8"Lср, кд/м2", u8"Протокол №"}},
      {kSamples[1], {u8"По проезжей части", u8"Показатель", u8"I80, кд/клм", u8"Протокол №"}},
      {kSamples[2], {u8"По проезжей части", u8"Показатель", u8"Eср, лк", u8"Протокол №"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sample.name);
    Open(c.sample);
    view->SendMessage(UM_SHOWOBJECT, 0, 0);
    EXPECT_EQ(view->m_neverBuilt, 0) << "the sample has results";
    const std::string rtf = std::string(TESMIRA_ARTIFACTS_DIR) + "/summary-" + c.sample.name + ".rtf";
    ASSERT_TRUE(view->ExportRtf(rtf.c_str()));
    const std::string text = Convert(rtf, std::string("summary-") + c.sample.name + "-libreoffice");
    for (const char8_t* expected : c.expected)
      EXPECT_NE(text.find(Utf8(expected)), std::string::npos) << Utf8(expected) << "\n" << text;
    frame->DestroyWindow();
    frame = nullptr;
    document.reset();
  }
}

TEST_F(SampleReports, ProtocolFrameOfTheOpenSiteOpensInLibreOffice)
{
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  Open(kSamples[1]);
  IVisualOpt* options = document->GetCurrentOptions();
  tag_ITEM_PREF_OF_REPORT on{};
  on.state = 2;
  options->GetReportPreferences()->SetItemState(kItemTitlePage, &on, FALSE);
  view->SendMessage(UM_SHOWOBJECT, 1, 0);
  const std::string rtf = std::string(TESMIRA_ARTIFACTS_DIR) + "/protocol-frame-open-territory-sample.rtf";
  ASSERT_TRUE(view->ExportRtf(rtf.c_str()));
  const std::string text = Convert(rtf, "protocol-frame-open-territory-sample-libreoffice");
  for (const char8_t* expected : {u8"ПРОТОКОЛ №", u8"светотехнического расчета", u8"Файл проекта", u8"Протокол №"})
    EXPECT_NE(text.find(Utf8(expected)), std::string::npos) << Utf8(expected) << "\n" << text;
}

}  // namespace
