// Every command a user can send to the main window: the main menu and the "2D вид" popup, the toolbars and the
// accelerators, for each area kind, idle and with a calculation running. Each command's update
// state is read as the menus read it, an enabled command must be answered by the routing that would carry it,
// the states the program's rules fix are checked, and the commands that open a dialog or change the window are
// run with every question answered "Cancel". The walk prints its table.
#include "tests/app/app_session.h"

#include "app/panes/objecttree/tree_objects.h"
#include "app/resource.h"
#include "document/qor_road_doc.h"
#include "model/shell/window_messages.h"
#include "platform/base/codepage.h"
#include "platform/mfc/fileprompt.h"
#include "platform/user/menu.h"
#include "platform/user/msgbox.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control.h"
#include "toolkit/commandbars/controls.h"
#include "toolkit/commandbars/commandbar.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace apptest {
namespace {

struct EnableProbe : CCmdUI {
  void Enable(BOOL on) override
  {
    enabled = on;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCSTR) override {}
  BOOL enabled = TRUE;
};

struct Place {
  std::string name;
  std::vector<UINT> commands;
};

void CollectMenu(HMENU menu, std::vector<UINT>& out)
{
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = ::GetSubMenu(menu, i)) {
      CollectMenu(sub, out);
      continue;
    }
    const UINT id = ::GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1))
      out.push_back(id);
  }
}

std::vector<UINT> MenuCommands(UINT menuId)
{
  std::vector<UINT> out;
  HMENU menu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(menuId));
  if (menu) {
    CollectMenu(menu, out);
    ::DestroyMenu(menu);
  }
  return out;
}

// The 19 commands a running calculation leaves as they are.
const std::set<UINT> kDuringCalculation = {1021,  32778, 32794, 32797, 32800, 32807, 32814, 32815, 32816, 32834,
                                           32924, 32970, 33027, 33029, 33079, 57664, 57667, 59392, 59393};

enum class Kind { StraightRoad, OpenSite, Interchange };
const char* KindName(Kind kind)
{
  switch (kind) {
  case Kind::StraightRoad: return "дорога";
  case Kind::OpenSite: return "территория";
  case Kind::Interchange: return "развязка";
  }
  return "";
}

// The update state the program's rules fix for an idle program with no underlay; nullopt leaves it free.
std::optional<bool> ExpectedIdle(UINT id, Kind kind)
{
  const bool road = kind == Kind::StraightRoad;
  switch (id) {
  case 32812:
  case 32829:
  case 32830:
  case 32999:
  case 32843:
  case 32844:
  case 32772:
  case 57600:
  case 57601:
  case 57603:
  case 57604:
  case 57664:
  case 35001:
  case 33143:
    return true;
  case 33079:
    return false;
  case 33050:
    return !road;
  case 32965:
    return road;
  case 33040:
  case 33041:
    return false;
  default:
    return std::nullopt;
  }
}

// What running a command must show: the template of the dialog it opens, or the kind of common dialog.
// The document's own file dialogs ask through the framework's file-name prompt.
constexpr int kFilePrompt = -1;
struct Effect {
  UINT id;
  std::function<bool(Kind)> applies;
  user::ModalQuestion::Kind question;
  int dialogId;
};
const auto kAny = [](Kind) { return true; };
const Effect kEffects[] = {
    {32812, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {32829, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {32830, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {32999, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {32843, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {32844, kAny, user::ModalQuestion::Kind::Dialog, 147},
    {57664, kAny, user::ModalQuestion::Kind::Dialog, 100},
    {33047, kAny, user::ModalQuestion::Kind::Dialog, 753},
    {33143, kAny, user::ModalQuestion::Kind::Dialog, 762},
    {32965, [](Kind k) { return k == Kind::StraightRoad; }, user::ModalQuestion::Kind::Dialog, 320},
    {33050, [](Kind k) { return k != Kind::StraightRoad; }, user::ModalQuestion::Kind::Dialog, 756},
    {57601, kAny, user::ModalQuestion::Kind::OpenFile, kFilePrompt},
    {57604, kAny, user::ModalQuestion::Kind::SaveFile, kFilePrompt},
    {33096, kAny, user::ModalQuestion::Kind::OpenFile, 0},
};

class CommandWalkTest : public AppSession {
protected:
  void SetUp() override
  {
    AppSession::SetUp();
    user::SetModalResponder([this](const user::ModalQuestion& q) {
      asked_.push_back(q);
      if (onQuestion_)
        onQuestion_(q);
      if (q.kind == user::ModalQuestion::Kind::MessageBox) {
        // "Save changes?" is answered No; other boxes take their default.
        for (int answer : q.answers)
          if (answer == IDNO)
            return IDNO;
        return q.answers.empty() ? IDOK : q.answers.front();
      }
      return IDCANCEL;
    });
  }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    AppSession::TearDown();
  }

  std::vector<Place> Places()
  {
    std::vector<Place> places;
    places.push_back({"меню", MenuCommands(ids::IDR_MAINFRAME)});
    places.push_back({"2D вид", MenuCommands(1021)});
    CTKCommandBars* bars = Frame()->GetCommandBars();
    for (int i = 0; i < bars->GetCount(); ++i) {
      CTKCommandBar* bar = bars->GetAt(i);
      if (!bar || bar->GetType() == 0)
        continue;
      Place place{std::string("панель ") + static_cast<LPCSTR>(bar->GetTitle()), {}};
      for (int j = 0; j < bar->GetControls()->GetCount(); ++j) {
        const int id = bar->GetControls()->GetAt(j)->GetID();
        // The bars' own buttons (expand, hide and the like) send no command.
        const bool barButton = id >= 9399 && id <= 9406;
        if (id > 0 && !barButton && id != static_cast<int>(ids::ID_CALC_MODE))
          place.commands.push_back(static_cast<UINT>(id));
      }
      places.push_back(place);
    }
    Place keys{"клавиши", {}};
    if (HACCEL table = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(ids::IDR_MAINFRAME))) {
      ACCEL entries[32];
      const int count = ::CopyAcceleratorTable(table, entries, 32);
      for (int i = 0; i < count; ++i)
        keys.commands.push_back(entries[i].cmd);
    }
    places.push_back(keys);
    return places;
  }

  void MakeArea(Kind kind)
  {
    if (kind == Kind::OpenSite)
      Frame()->SendMessage(WM_COMMAND, ids::ID_NEW_OPEN_TERRITORY);
    else if (kind == Kind::Interchange)
      Frame()->SendMessage(WM_COMMAND, ids::ID_NEW_INTERCHANGE);
    Pump();
  }

  bool Enabled(CCmdTarget* target, UINT id)
  {
    EnableProbe probe;
    probe.m_nID = id;
    probe.DoUpdate(target, TRUE);
    return probe.enabled;
  }
  bool Answered(CCmdTarget* target, UINT id)
  {
    AFX_CMDHANDLERINFO info;
    return target->OnCmdMsg(id, CN_COMMAND, nullptr, &info);
  }

  std::vector<user::ModalQuestion> asked_;
  std::function<void(const user::ModalQuestion&)> onQuestion_;
};

TEST_F(CommandWalkTest, EveryCommandOfEveryPlaceIsAnsweredAndEnabledByItsRules)
{
  ASSERT_TRUE(Start());
  Pump();
  std::vector<std::string> table;
  int failures = 0;
  std::map<std::string, bool> idle;
  for (Kind kind : {Kind::StraightRoad, Kind::OpenSite, Kind::Interchange}) {
    MakeArea(kind);
    for (bool running : {false, true}) {
      if (running)
        Frame()->SendMessage(UM_SETCALCSTATE, 1, 0);
      for (const Place& place : Places()) {
        CCmdTarget* target = Frame();
        for (UINT id : place.commands) {
          const bool enabled = Enabled(target, id);
          const bool answered = Answered(target, id);
          std::string fault;
          if (enabled && !answered)
            fault = "никто не отвечает";
          const std::string key = place.name + "/" + std::to_string(id);
          if (!running)
            idle[key] = enabled;
          if (running && kDuringCalculation.count(id) == 0 && enabled)
            fault = "доступна во время расчета";
          if (running && id == ids::ID_CALC_CANCEL && !enabled)
            fault = "недоступна во время расчета";
          else if (running && id != ids::ID_CALC_CANCEL && kDuringCalculation.count(id) != 0 &&
                   enabled != idle[key])
            fault = "расчет изменил ее состояние";
          if (!running) {
            if (std::optional<bool> expected = ExpectedIdle(id, kind); expected && *expected != enabled)
              fault = enabled ? "должна быть недоступна" : "должна быть доступна";
          }
          char row[200];
          std::snprintf(row, sizeof row, "%-10s %-6s %-16s %5u %-4s %-4s %s", KindName(kind),
                        running ? "расчет" : "", place.name.c_str(), id, enabled ? "вкл" : "выкл",
                        answered ? "да" : "нет", fault.empty() ? "ok" : fault.c_str());
          table.emplace_back(row);
          if (!fault.empty()) {
            ++failures;
            ADD_FAILURE() << codepage::Cp1251ToUtf8(row);
          }
        }
      }
      if (running)
        Frame()->SendMessage(UM_SETCALCSTATE, 0, 0);
    }
  }
  std::printf("%s\n", codepage::Cp1251ToUtf8("вид        режим  место            команда вкл  ответ").c_str());
  for (const std::string& row : table)
    std::printf("%s\n", codepage::Cp1251ToUtf8(row).c_str());
  std::printf("%zu rows, %d faults\n", table.size(), failures);
}

TEST_F(CommandWalkTest, EnabledCommandsOpenTheirDialogs)
{
  ASSERT_TRUE(Start());
  Pump();
  for (Kind kind : {Kind::StraightRoad, Kind::OpenSite}) {
    MakeArea(kind);
    for (const Effect& effect : kEffects) {
      if (!effect.applies(kind))
        continue;
      ASSERT_TRUE(Enabled(Frame(), effect.id)) << effect.id << " " << KindName(kind);
      asked_.clear();
      platform::mfc::ScriptedFileNames files;
      Frame()->SendMessage(WM_COMMAND, effect.id);
      Pump();
      bool shown = std::any_of(asked_.begin(), asked_.end(), [&](const user::ModalQuestion& q) {
        return q.kind == effect.question && (effect.dialogId == 0 || q.dialogId == effect.dialogId);
      });
      if (effect.dialogId == kFilePrompt) {
        shown = files.Asked().size() == 1;
        if (shown) {
          const std::string proposed(files.Asked()[0].fileName);
          EXPECT_EQ(proposed.rfind(DocumentsFolder(), 0), 0u)
              << "command " << effect.id << " proposes " << proposed << ", not in the documents folder";
        }
      }
      EXPECT_TRUE(shown) << "command " << effect.id << " (" << KindName(kind) << ") showed no dialog "
                         << effect.dialogId;
    }
  }
}

TEST_F(CommandWalkTest, ViewAndPaneCommandsChangeTheWindow)
{
  ASSERT_TRUE(Start());
  Pump();
  auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(document, nullptr);
  Frame()->SendMessage(WM_COMMAND, ids::ID_VIEW_TOP);
  Pump();
  EXPECT_EQ(document->GetViewType(), 2) << "Вид сверху";
  Frame()->SendMessage(WM_COMMAND, ids::ID_VIEW_3D);
  Pump();
  EXPECT_NE(document->GetViewType(), 2) << "3D вид";

  EnableProbe probe;
  probe.m_nID = ids::ID_PANE_OBJECTS;
  CWnd* tree = Frame()->GetTreePane();
  ASSERT_TRUE(tree->IsWindowVisible());
  Frame()->SendMessage(WM_COMMAND, ids::ID_PANE_OBJECTS);
  Pump();
  EXPECT_FALSE(tree->IsWindowVisible()) << "Панель объектов closed";
  Frame()->SendMessage(WM_COMMAND, ids::ID_PANE_OBJECTS);
  Pump();
  EXPECT_TRUE(tree->IsWindowVisible()) << "Панель объектов shown again";
}

TEST_F(CommandWalkTest, OpenAsksAboutTheChangesBeforeTheFileIsChosen)
{
  ASSERT_TRUE(Start());
  Pump();
  Frame()->GetActiveDocument()->SetModifiedFlag(TRUE);
  platform::mfc::ScriptedFileNames files;
  std::size_t promptsWhenAsked = 99;
  onQuestion_ = [&](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::MessageBox)
      promptsWhenAsked = files.Asked().size();
  };
  Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
  onQuestion_ = nullptr;
  EXPECT_EQ(promptsWhenAsked, 0u) << "the save question came after the file dialog";
  ASSERT_EQ(files.Asked().size(), 1u);
  EXPECT_EQ(std::string(files.Asked()[0].fileName), DocumentsFolder());
  // Answered No and then cancelled: the project keeps its changes for the next question.
  EXPECT_TRUE(Frame()->GetActiveDocument()->IsModified());
}

TEST_F(CommandWalkTest, ClosingWhileTheCustomiseSheetRunsIsRefused)
{
  ASSERT_TRUE(Start());
  Pump();
  bool closeTried = false;
  onQuestion_ = [&](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::Dialog && !closeTried) {
      closeTried = true;
      Frame()->SendMessage(WM_CLOSE);
    }
  };
  Frame()->SendMessage(WM_COMMAND, kCustomizeCommand);
  onQuestion_ = nullptr;
  ASSERT_TRUE(closeTried) << "the customise sheet was not shown";
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(::IsWindow(Frame()->GetSafeHwnd()));
  Pump();
  EXPECT_NE(Frame()->GetCommandBars()->GetMenuBar(), nullptr);
}

}  // namespace
}  // namespace apptest
