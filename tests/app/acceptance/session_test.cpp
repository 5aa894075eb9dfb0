// The program used end to end as a user would: a new project through the wizard (a straight road, two lanes each
// way, sidewalks, poles every 30 m), F5, the report in the lighting-results pane, saved, closed, and started again
// with the file on the command line; the tree, the pane's values and the report must be the first run's.
#include "tests/app/app_session.h"

#include "app/panes/objecttree/tree_objects.h"
#include "app/panes/parameters/prop_objects.h"
#include "app/resource.h"
#include "app/shell/frame_workers.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iresults.h"
#include "model/iroad.h"
#include "platform/gdi/png.h"
#include "platform/mfc/fileprompt.h"
#include "platform/user/paint.h"
#include "report/view/report_view.h"
#include "toolkit/propertygrid/item.h"
#include "wizard/page.h"
#include "wizard/wizard.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

// The session's picture of the main window after a step, for people to look at.
void Screenshot(CWnd* frame, const std::string& step)
{
  frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const gdi::Surface* surface = user::WindowSurface(frame->GetSafeHwnd());
  ASSERT_NE(surface, nullptr) << step;
  EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/session-" + step + ".png")) << step;
}

// The wizard's pages filled as the user would: a straight road, two lanes each way with sidewalks, poles every
// 30 m. Answers how the wizard ends.
int FillWizard(Wizard::CDlgWizard& w, std::vector<std::string>& trouble)
{
  auto next = [&] { w.SendMessage(WM_COMMAND, Wizard::kNextCommand, 0); };
  auto expectPage = [&](UINT page) {
    if (!w.m_current || w.m_current->m_templateId != static_cast<int>(page)) {
      trouble.push_back("the wizard is not on page " + std::to_string(page));
      return false;
    }
    return true;
  };
  auto choose = [](CWnd* page, int id, int index) {
    CWnd* combo = page->GetDlgItem(id);
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->m_hWnd));
  };
  if (!expectPage(Wizard::kWelcomeTemplate))
    return IDCANCEL;
  choose(w.m_current, 1030, 0);  // "Прямая дорога"
  next();
  if (!expectPage(Wizard::kStraightRoadTemplate))
    return IDCANCEL;
  CWnd* road = w.m_current;
  choose(road, 1034, 1);  // two-way
  road->SetDlgItemText(1036, "2");
  if (::IsDlgButtonChecked(road->m_hWnd, 1020) != BST_CHECKED) {
    ::CheckDlgButton(road->m_hWnd, 1020, BST_CHECKED);
    const auto check = reinterpret_cast<LPARAM>(road->GetDlgItem(1020)->m_hWnd);
    road->SendMessage(WM_COMMAND, MAKEWPARAM(1020, BN_CLICKED), check);
  }
  next();
  if (!expectPage(Wizard::kSchemeTemplate))
    return IDCANCEL;
  w.m_current->SetDlgItemText(1036, "30");
  next();
  if (!expectPage(Wizard::kEndTemplate))
    return IDCANCEL;
  if (!w.GetDlgItem(IDOK)->IsWindowEnabled()) {
    trouble.push_back("the wizard's end page does not offer Finish");
    return IDCANCEL;
  }
  return IDOK;
}

// The pane's report, not the print child the OpenGL view keeps.
struct ReportSearch {
  HWND view = nullptr;
  VisualCtrl::CReportView* found = nullptr;
};

BOOL FindReport(HWND window, LPARAM search)
{
  auto* s = reinterpret_cast<ReportSearch*>(search);
  auto* report = dynamic_cast<VisualCtrl::CReportView*>(CWnd::FromHandlePermanent(window));
  if (report && !(s->view && ::IsChild(s->view, window))) {
    s->found = report;
    return FALSE;
  }
  return TRUE;
}

std::string ReportText(VisualCtrl::CReportView* report)
{
  CString text;
  report->GetWindowText(text);
  return std::string(text);
}

void TreeLines(VisualCtrl::CTreeObjects* tree, HTREEITEM item, int depth, std::vector<std::string>& lines)
{
  for (; item; item = tree->GetNextSiblingItem(item)) {
    lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + std::string(tree->GetItemText(item)));
    TreeLines(tree, tree->GetChildItem(item), depth + 1, lines);
  }
}

void GridLines(CTKPropertyGridItems* items, std::vector<std::string>& lines)
{
  for (int i = 0; items && i < items->GetCount(); ++i) {
    CTKPropertyGridItem* item = items->GetAt(i);
    lines.push_back(std::string(item->GetCaption()) + " = " + std::string(item->GetValue()));
    GridLines(item->GetChilds(), lines);
  }
}

HTREEITEM FindItem(VisualCtrl::CTreeObjects* tree, HTREEITEM item, const CLSID& kind)
{
  for (; item; item = tree->GetNextSiblingItem(item)) {
    CGuid id;
    if (IClassObjModel* object = tree->GetItemObject(item)) {
      object->GetClassId(&id);
      if (id.IsEqual(&kind))
        return item;
    }
    if (HTREEITEM found = FindItem(tree, tree->GetChildItem(item), kind))
      return found;
  }
  return nullptr;
}

// What the user sees of the project: the tree, the road's parameters and the report.
struct Seen {
  std::vector<std::string> tree;
  std::vector<std::string> parameters;
  std::string report;
};

class AcceptanceSession : public AppSession {
protected:
  CQorRoadDoc* Document() { return dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument()); }
  int Ask(UINT message)
  {
    int value = -1;
    Frame()->SendMessage(message, 0, reinterpret_cast<LPARAM>(&value));
    return value;
  }
  int ResultsValid()
  {
    void* area = nullptr;
    if (!Document() || FAILED(Document()->QueryInterface(IID_ActiveArea, &area)) || !area)
      return -1;
    void* results = nullptr;
    static_cast<IArea*>(area)->QueryInterface(&IID_IResultsOfCalc, &results);
    static_cast<IArea*>(area)->Release();
    if (!results)
      return -1;
    const int valid = static_cast<IResultsOfCalc*>(results)->GetData()->valid;
    static_cast<IResultsOfCalc*>(results)->Release();
    return valid;
  }
  VisualCtrl::CReportView* Report()
  {
    ReportSearch search;
    if (CView* view = Frame()->GetActiveView())
      search.view = view->GetSafeHwnd();
    ::EnumChildWindows(Frame()->GetSafeHwnd(), &FindReport, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  Seen Look()
  {
    Seen seen;
    VisualCtrl::CTreeObjects* tree = Frame()->GetTreePane();
    TreeLines(tree, tree->GetRootItem(), 0, seen.tree);
    if (HTREEITEM road = FindItem(tree, tree->GetRootItem(), CLSID_CStraightRoad)) {
      Frame()->SendMessage(UM_SELECTTREEITEM, 0, reinterpret_cast<LPARAM>(road));
      Pump();
      GridLines(Frame()->GetParametersPane()->GetGridView().GetCategories(), seen.parameters);
    }
    if (VisualCtrl::CReportView* report = Report())
      seen.report = ReportText(report);
    return seen;
  }
  // The start-up trace from its first step to `last`: 20 ends a start with a new document, 17 one that opens a file.
  void ExpectStartUpTrace(const char* start, const char* last)
  {
    const std::vector<std::string> log = TraceLog();
    ASSERT_FALSE(log.empty()) << start;
    EXPECT_EQ(log.front(), "0") << start;
    std::string all;
    for (const std::string& line : log)
      all += line + " ";
    EXPECT_NE(std::find(log.begin(), log.end(), last), log.end())
        << start << " did not reach step " << last << ": " << all;
  }
  // F5 pressed in the view, and the calculation's results read.
  bool Calculate()
  {
    CView* view = Frame()->GetActiveView();
    if (!view)
      return false;
    view->PostMessage(WM_KEYDOWN, VK_F5, 0x003F0001);
    view->PostMessage(WM_KEYUP, VK_F5, 0xC03F0001);
    return PumpUntil([&] { return Ask(UM_GETCALCSTATE) == 0 && ResultsValid() == 1; });
  }
};

TEST_F(AcceptanceSession, ANewProjectCalculatedSavedAndOpenedAgainShowsTheSameTreeValuesAndReport)
{
  const std::string project = DocumentsFolder() + "session.qorr5";
  std::vector<std::string> trouble;
  std::vector<std::string> boxes;
  int wizards = 0;
  // The answers below refer to this test's locals: whatever ends the test, the program's own end is answered No.
  struct Restore {
    ~Restore()
    {
      user::SetModalResponder([](const user::ModalQuestion& q) {
        return q.kind == user::ModalQuestion::Kind::MessageBox ? IDNO : IDCANCEL;
      });
    }
  } restore;
  user::SetModalResponder([&](const user::ModalQuestion& q) -> int {
    switch (q.kind) {
    case user::ModalQuestion::Kind::Dialog:
      if (q.dialogId == static_cast<int>(Wizard::kWizardTemplate)) {
        ++wizards;
        auto* wizard = dynamic_cast<Wizard::CDlgWizard*>(CWnd::FromHandlePermanent(q.dialog));
        return wizard ? FillWizard(*wizard, trouble) : IDCANCEL;
      }
      trouble.push_back("an unexpected dialog " + std::to_string(q.dialogId));
      return IDCANCEL;
    case user::ModalQuestion::Kind::MessageBox:
      boxes.push_back(q.text);
      return IDNO;
    default:
      trouble.push_back("an unexpected question: " + q.caption);
      return IDCANCEL;
    }
  });

  // 1. The program starts (without its start page: the session goes straight to the wizard).
  SetProfile("Settings", "StartPage", 0);
  ASSERT_TRUE(Start());
  Pump();
  Screenshot(Frame(), "1-started");

  // 2. A new project through the wizard, a command of the menu bar (Файл > Создать), as under Xvfb.
  HMENU menu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(ids::IDR_MAINFRAME));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(shell::CollectMenuCommands(menu).count(32918), 1u) << "no menu offers the wizard";
  ::DestroyMenu(menu);
  Frame()->SendMessage(WM_COMMAND, 32918);
  Pump();
  ASSERT_EQ(wizards, 1) << "the wizard command did not open the wizard";
  ASSERT_TRUE(trouble.empty()) << trouble.front();
  {
    void* out = nullptr;
    ASSERT_TRUE(SUCCEEDED(Document()->QueryInterface(IID_ActiveArea, &out)) && out);
    auto* area = static_cast<IArea*>(out);
    void* road = nullptr;
    ASSERT_TRUE(SUCCEEDED(area->QueryInterface(&IID_IRoad, &road)) && road);
    EXPECT_EQ(static_cast<IRoad*>(road)->GetLaneCount(&kLaneMain), 2u);
    EXPECT_EQ(static_cast<IRoad*>(road)->GetLaneCount(&kLaneOpposite), 2u);
    static_cast<IRoad*>(road)->Release();
    void* sidewalks = nullptr;
    ASSERT_TRUE(SUCCEEDED(area->QueryInterface(&IID_IPavement, &sidewalks)) && sidewalks);
    EXPECT_EQ(*static_cast<IPavement*>(sidewalks)->GetFlags() & kSideAbsent, 0) << "the road has no sidewalks";
    static_cast<IPavement*>(sidewalks)->Release();
    void* groups = nullptr;
    ASSERT_TRUE(SUCCEEDED(area->QueryInterface(&IID_IGroupsOfDev, &groups)) && groups);
    void* group = nullptr;
    ASSERT_TRUE(SUCCEEDED(static_cast<IGroupsOfDev*>(groups)->QueryInterface(&IID_IGroupOfDev, &group)) && group);
    EXPECT_DOUBLE_EQ(*static_cast<IGroupOfDev*>(group)->GetStep(), 30.0);
    static_cast<IGroupOfDev*>(group)->Release();
    static_cast<IGroupsOfDev*>(groups)->Release();
    area->Release();
  }
  Screenshot(Frame(), "2-wizard-project");

  // 3. F5 calculates; the lighting-results pane shows the report.
  if (!Frame()->IsPaneOpen(kPaneLighting))
    Frame()->TogglePane(kPaneLighting);
  Pump();
  ASSERT_TRUE(Calculate()) << "F5 did not bring valid results";
  Pump();
  ASSERT_NE(Report(), nullptr) << "the lighting-results pane holds no report";
  const Seen first = Look();
  EXPECT_NE(first.report.find("По проезжей части"), std::string::npos) << first.report;
  EXPECT_FALSE(first.tree.empty());
  EXPECT_FALSE(first.parameters.empty());
  Screenshot(Frame(), "3-calculated");

  // 4. Saved as .qorr5, then closed.
  platform::mfc::ScriptedFileNames fileNames;
  fileNames.Answer(project.c_str());
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  Pump();
  ASSERT_TRUE(std::filesystem::exists(project)) << "save as wrote no file";
  EXPECT_GT(std::filesystem::file_size(project), 0u);
  Screenshot(Frame(), "4-saved");
  const HWND frame = Frame()->GetSafeHwnd();
  Frame()->SendMessage(WM_CLOSE);
  ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(frame); })) << "the window did not close";
  EXPECT_TRUE(boxes.empty()) << "a saved project asked: " << boxes.front();
  EXPECT_EQ(app_->ExitInstance(), 0) << "the program's exit code";
  Pump();
  app_.reset();
  ExpectStartUpTrace("the first start", "20");

  // 5. Started again with the file on the command line.
  ASSERT_TRUE(Start("\"" + project + "\""));
  Pump();
  if (!Frame()->IsPaneOpen(kPaneLighting))
    Frame()->TogglePane(kPaneLighting);
  Pump();
  EXPECT_NE(std::string(Document()->GetPathName()).find("session.qorr5"), std::string::npos)
      << "the file on the command line was not opened";
  EXPECT_EQ(ResultsValid(), 1) << "the saved results were not read back";
  const Seen second = Look();
  EXPECT_EQ(second.tree, first.tree);
  EXPECT_EQ(second.parameters, first.parameters);
  EXPECT_EQ(second.report, first.report);
  EXPECT_FALSE(second.report.empty()) << "the reopened project's report is empty";
  Screenshot(Frame(), "5-reopened");

  ExpectStartUpTrace("the second start", "17");
  EXPECT_EQ(TraceLog().back(), "17") << "a start with a file made a new document as well";
  EXPECT_TRUE(trouble.empty()) << trouble.front();
}

}  // namespace
}  // namespace apptest
