// The settings dialog opened by the program's own document: Apply then Cancel brings the live options of the
// opening back; OK with a grid change on an open site gives the area its new grid and resets its results.
#include "tests/document/document_env.h"

#include "model/iarea.h"
#include "model/iresults.h"
#include "res/program_ids.h"
#include "settings/pref_of_image.h"
#include "settings/preferences.h"

#include <functional>

namespace {

// The shell of the program as far as the settings dialog goes: the real dialog, acted on by the test.
class SettingsShell : public RecordingShell {
public:
  int RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options,
                     Shell::PreferencesOutcome* outcome) override
  {
    return Options::RunPreferences(parent, document, options, outcome);
  }
};

class PreferencesInDocumentTest : public DocumentTest {
protected:
  void SetUp() override
  {
    DocumentTest::SetUp();
    Shell::SetShellServices(&settingsShell);
    settingsShell.dataFolder = shell.dataFolder;
  }
  void Show(const std::function<int(Options::CPreferences&)>& act)
  {
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::Dialog && q.dialogId == res::program::IDD_PREFERENCES) {
        auto* dialog = dynamic_cast<Options::CPreferences*>(CWnd::FromHandlePermanent(q.dialog));
        const int answer = dialog ? act(*dialog) : IDCANCEL;
        if (dialog && answer == IDOK)
          dialog->OnOK();
        return answer;
      }
      return IDOK;
    });
    doc->ShowPreferences(-1);
    user::SetModalResponder(nullptr);
  }
  static void Choose(CWnd* page, int comboId, int index)
  {
    CWnd* combo = page->GetDlgItem(comboId);
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->m_hWnd));
  }

  SettingsShell settingsShell;
};

TEST_F(PreferencesInDocumentTest, ApplyThenCancelRestoresTheLiveOptions)
{
  Start();
  const int fill = 1;
  doc->GetCurrentOptions()->SetResultDisplay(&fill);
  Show([&](Options::CPreferences& dialog) {
    CWnd* image = dialog.GetPage(Options::CPreferences::kImage);
    ::CheckDlgButton(image->m_hWnd, 1125, BST_CHECKED);
    image->SendMessage(WM_COMMAND, MAKEWPARAM(1125, BN_CLICKED),
                       reinterpret_cast<LPARAM>(image->GetDlgItem(1125)->m_hWnd));
    dialog.OnApply();
    EXPECT_EQ(*doc->GetCurrentOptions()->GetResultDisplay(), 3);
    return IDCANCEL;
  });
  EXPECT_EQ(*doc->GetCurrentOptions()->GetResultDisplay(), 1);
}

TEST_F(PreferencesInDocumentTest, OkWithAGridChangeOnAnOpenSiteGivesItTheGridAndResetsItsResults)
{
  Start();
  IProject* project = doc->GetCurrentProject();
  IArea* site = project->ResetAreas(CLSID_CCustomizeRoad);
  ASSERT_NE(site, nullptr);
  project->SetActiveArea(site);
  void* results = nullptr;
  ASSERT_EQ(site->QueryInterface(&IID_IResultsOfCalc, &results), S_OK);
  static_cast<IResultsOfCalc*>(results)->GetData()->valid = 1;
  Show([&](Options::CPreferences& dialog) {
    CWnd* image = dialog.GetPage(Options::CPreferences::kImage);
    Choose(image, Options::CPrefOfImage::kGridMode, 1);
    Choose(image, Options::CPrefOfImage::kGridStep, 9);  // 5 m
    return IDOK;
  });
  EXPECT_EQ(*site->GetGridMode(), 1);
  EXPECT_EQ(*site->GetGridStep(), 5);
  EXPECT_EQ(static_cast<IResultsOfCalc*>(results)->GetData()->valid, 0);
  static_cast<IResultsOfCalc*>(results)->Release();
  site->Release();
}

}  // namespace
