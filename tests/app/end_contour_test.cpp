// The frame finishing an edited outline (0x820C): a group's contour with too few points, along the contour with the
// group dialog answered OK or Cancel, by points, a primitive lifted to its area's base height, and no object.
#include "tests/app/app_session.h"

#include "app/panes/objecttree/tree_objects.h"
#include "app/panes/parameters/prop_objects.h"
#include "document/qor_road_doc.h"
#include "model/group_of_dev.h"
#include "model/groups_of_dev.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/shell/window_messages.h"
#include "platform/user/hooks.h"

#include <vector>

namespace apptest {
namespace {

constexpr int kGroupDialog = 751;

// A group that keeps what the frame hands it.
class RecordingGroup : public ObjectModel::CGroupOfDev {
public:
  explicit RecordingGroup(IQorRoadDoc* document) : CGroupOfDev(nullptr, document, 1, 0) {}
  int SetContourOffset(const double* v) override { calls.push_back({"offset", *v}); return CGroupOfDev::SetContourOffset(v); }
  int SetContourOutreach(const double* v) override { calls.push_back({"outreach", *v}); return CGroupOfDev::SetContourOutreach(v); }
  int SetContourStep(const double* v) override { calls.push_back({"step", *v}); return CGroupOfDev::SetContourStep(v); }
  int SetContourAngle(const double* v) override { calls.push_back({"rotation", *v}); return CGroupOfDev::SetContourAngle(v); }
  int UpdatePolePositions(int unused) override
  {
    calls.push_back({"positions", static_cast<double>(unused)});
    return CGroupOfDev::UpdatePolePositions(unused);
  }
  struct Call {
    std::string what;
    double value;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
};

// Types the user's values into the group dialog just before its OK is pressed.
class DialogTyping {
public:
  DialogTyping() { hook_ = ::SetWindowsHookEx(WH_CALLWNDPROC, &Hook, nullptr, 0); }
  ~DialogTyping() { ::UnhookWindowsHookEx(hook_); }

private:
  static LRESULT Hook(int code, WPARAM wParam, LPARAM lParam)
  {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == WM_COMMAND && LOWORD(sent->wParam) == IDOK && ::GetDlgItem(sent->hwnd, 1046)) {
      ::SetDlgItemText(sent->hwnd, 1036, "35");
      ::SetDlgItemText(sent->hwnd, 1039, "-1.5");
      ::SetDlgItemText(sent->hwnd, 1042, "1.25");
      ::SetDlgItemText(sent->hwnd, 1046, "90");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_ = nullptr;
};

void SetPoints(IGroupOfDev* group, int count)
{
  CArray<_CSPOINT3D>* points = nullptr;
  group->GetContourPoints(&points);
  points->RemoveAll();
  const double square[4][2] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
  for (int i = 0; i < count; ++i)
    points->Add(_CSPOINT3D{square[i][0], square[i][1], 0, 0, 0});
}

using EndContourTest = AppSession;

TEST_F(EndContourTest, AGroupsOutlineEndsByItsSchemeAndTheDialogsAnswer)
{
  ASSERT_TRUE(Start());
  Pump();
  using Calls = std::vector<RecordingGroup::Call>;
  const Calls none{{"positions", 0}};
  const Calls handed{{"offset", -1.5}, {"outreach", 1.25}, {"step", 35}, {"rotation", 90}, {"positions", 0}};
  const struct {
    const char* name;
    int points;
    int scheme;
    int answer;  // of the group dialog, 0 when it must not be shown
    int schemeAfter;
    const Calls& calls;
  } cases[] = {
      {"two points along a contour", 2, 3, 0, 0, none},
      {"two points by points", 2, 4, 0, 0, none},
      {"along a contour, OK", 4, 3, IDOK, 3, handed},
      {"along a contour, Cancel", 4, 3, IDCANCEL, 0, none},
      {"by points", 4, 4, 0, 4, none},
  };
  DialogTyping typing;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* group = new RecordingGroup(Frame()->GetDocumentInterface());
    group->AddRef();  // made with no reference
    group->SetPlacementScheme(&c.scheme);
    SetPoints(group, c.points);
    const int asked = DialogsAsked(kGroupDialog);
    if (c.answer)
      answers_.AnswerNext(c.answer);
    EXPECT_EQ(Frame()->SendMessage(UM_ENDCONTOUR, 1, reinterpret_cast<LPARAM>(static_cast<IGroupOfDev*>(group))), 0);
    EXPECT_EQ(DialogsAsked(kGroupDialog) - asked, c.answer ? 1 : 0);
    EXPECT_EQ(*group->GetPlacementScheme(), c.schemeAfter);
    EXPECT_EQ(group->calls, c.calls);
    EXPECT_EQ(answers_.Unused(), 0u);
    group->Release();
  }
}

TEST_F(EndContourTest, AGroupShownInTheTreeIsShownAgainInTheParametersPane)
{
  ASSERT_TRUE(Start());
  Pump();
  CQorRoadDoc* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  void* out = nullptr;
  ASSERT_TRUE(SUCCEEDED(document->GetCurrentProject()->QueryInterface(&IID_ActiveArea, &out)));
  auto* road = static_cast<IArea*>(out);
  ASSERT_TRUE(SUCCEEDED(road->QueryInterface(&IID_IGroupsOfDev, &out)));
  auto* groups = static_cast<IGroupsOfDev*>(out);
  IGroupOfDev* group = static_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup();
  ASSERT_NE(group, nullptr);
  ASSERT_TRUE(SUCCEEDED(group->QueryInterface(&IID_IClassObjModel, &out)));
  auto* object = static_cast<IClassObjModel*>(out);
  ASSERT_NE(object->GetTreeItem(), nullptr);
  ASSERT_NE(*object->GetTreeItem(), nullptr) << "the tree shows the main group";
  EXPECT_NE(Frame()->GetParametersPane()->GetShownObject(), object);

  const int along = 3;
  group->SetPlacementScheme(&along);
  SetPoints(group, 4);
  answers_.AnswerNext(IDCANCEL);
  Frame()->SendMessage(UM_ENDCONTOUR, 1, reinterpret_cast<LPARAM>(group));
  EXPECT_EQ(*group->GetPlacementScheme(), 0);
  EXPECT_EQ(Frame()->GetParametersPane()->GetShownObject(), object);
  Pump();
  object->Release();
  groups->Release();
  road->Release();
}

TEST_F(EndContourTest, APrimitiveTakesItsAreasBaseHeightAndNoObjectOnlyEndsTheInput)
{
  ASSERT_TRUE(Start());
  Pump();
  CQorRoadDoc* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  IProject* project = document->GetCurrentProject();
  IArea* road = nullptr;
  void* out = nullptr;
  ASSERT_TRUE(SUCCEEDED(project->QueryInterface(&IID_ActiveArea, &out)));
  road = static_cast<IArea*>(out);
  IArea* site = project->InsertAreaAfter(CLSID_CCustomizeRoad, road);
  ASSERT_NE(site, nullptr);
  ASSERT_TRUE(SUCCEEDED(site->QueryInterface(&IID_ICustomizeRoad, &out)));
  auto* shapes = static_cast<ICustomizeRoad*>(out);
  IPrimitive* primitive = shapes->CreateVertexPrimitive(1);
  ASSERT_NE(primitive, nullptr);
  CArray<_CSPOINT3D>* outline = nullptr;
  primitive->GetOutline(&outline);

  // On the ground the outline stays as drawn.
  (*outline)[1].z = 0.5;
  Frame()->SendMessage(UM_ENDCONTOUR, 0, reinterpret_cast<LPARAM>(primitive));
  EXPECT_EQ((*outline)[1].z, 0.5);

  const double raised = 6.5;
  site->SetBaseHeight(&raised);
  Frame()->SendMessage(UM_ENDCONTOUR, 0, reinterpret_cast<LPARAM>(primitive));
  ASSERT_EQ(outline->GetSize(), 4);
  for (INT_PTR i = 0; i < outline->GetSize(); ++i)
    EXPECT_EQ((*outline)[i].z, raised) << i;

  // No object: the view ends its input and nothing else happens.
  EXPECT_EQ(Frame()->SendMessage(UM_ENDCONTOUR, 1, 0), 0);
  EXPECT_EQ(Frame()->SendMessage(UM_ENDCONTOUR, 0, 0), 0);
  EXPECT_EQ(DialogsAsked(kGroupDialog), 0);

  primitive->Release();
  shapes->Release();
  site->Release();
  road->Release();
}

}  // namespace
}  // namespace apptest
