// A parameters pane over a real document, in a stand-in of the main frame that relays the grid's notifications as
// the frame does: an undo state before a change is relayed, dropped when the pane refuses it; on an accepted change
// the results of the edited area are invalidated and the view redrawn.
#pragma once

#include "app/panes/parameters/prop_objects.h"
#include "tests/document/document_env.h"

#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "toolkit/propertygrid/inplace.h"

#include <string>
#include <vector>

class PaneShell : public RecordingShell {
public:
  HWND mainWindow = nullptr;
  HMODULE analytics = nullptr;
  HWND GetMainWindow() override { return mainWindow; }
  HMODULE GetAnalyticsModule() override { return analytics; }
};

// What the frame saw, in order: messages sent or posted to it and what it did around the pane's answer.
class CFrameStandIn : public CWnd {
public:
  IQorRoadDoc* document = nullptr;
  VisualCtrl::CPropObjects* pane = nullptr;
  std::vector<UINT> messages;
  std::vector<int> codes;
  std::vector<std::string> steps;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message == TKWM_PROPERTYGRID_NOTIFY) {
      codes.push_back(static_cast<int>(wParam));
      if (wParam != TK_PGN_ITEMVALUE_CHANGED || !pane)
        return pane ? pane->SendMessage(message, wParam, lParam) : 0;
      document->PushUndoState();
      steps.push_back("undo state");
      const LRESULT answer = pane->SendMessage(message, wParam, lParam);
      if (answer == 1) {
        document->InvalidateResultsAfterEdit(pane->GetShownObject(), reinterpret_cast<CTKPropertyGridItem*>(lParam));
        document->Redraw(1, 0, 1);
        steps.push_back("accepted, redrawn");
      } else {
        document->DropUndoState();
        steps.push_back("refused, undo state dropped");
      }
      return answer;
    }
    if (message >= UM_SHOWOBJECT && message <= UM_GETEXITPENDING)
      messages.push_back(message);
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class ParametersPaneTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.dataFolder = MakeDataFolder(true);
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
    doc = std::make_unique<CQorRoadDoc>();
    ASSERT_TRUE(doc->OnNewDocument());
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
                               "Tesmira Road", WS_POPUP | WS_VISIBLE, 0, 0, 760, 700, nullptr, nullptr));
    app.m_pMainWnd = &frame;
    shell.mainWindow = frame.GetSafeHwnd();
    pane = new VisualCtrl::CPropObjects(doc.get());
    ASSERT_TRUE(pane->Create(CRect(5, 28, 375, 695), &frame, 32772));
    frame.document = doc.get();
    frame.pane = pane;
  }
  void TearDown() override
  {
    Pump();
    frame.pane = nullptr;
    delete pane;
    app.m_pMainWnd = nullptr;
    frame.DestroyWindow();
    doc.reset();
    Shell::SetShellServices(nullptr);
  }

  // Runs what was posted: the pane's own rebuilds and the frame's refreshes.
  static void Pump()
  {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }

  IProject* Project() { return doc->GetCurrentProject(); }
  static IClassObjModel* AsObject(IModelUnknown* part)
  {
    void* out = nullptr;
    if (!part || FAILED(part->QueryInterface(&IID_IClassObjModel, &out)))
      return nullptr;
    auto* object = static_cast<IClassObjModel*>(out);
    object->Release();
    return object;
  }
  template <class I>
  static I* Part(IModelUnknown* owner, const IID& iid)
  {
    void* out = nullptr;
    if (!owner || FAILED(owner->QueryInterface(&iid, &out)) || !out)
      return nullptr;
    static_cast<I*>(out)->Release();  // the owner keeps it alive
    return static_cast<I*>(out);
  }
  IArea* Road() { return Part<IArea>(Project(), IID_ActiveArea); }
  IGroupOfDev* RoadGroup() { return Part<IGroupOfDev>(Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev), IID_IGroupOfDev); }
  // An open site after the straight road; the project keeps it.
  IArea* AddOpenSite()
  {
    IArea* site = Project()->InsertAreaAfter(CLSID_CCustomizeRoad, Road());
    site->Release();
    return site;
  }

  void Show(IModelUnknown* part)
  {
    pane->SendMessage(UM_SHOWOBJECT, 0, reinterpret_cast<LPARAM>(AsObject(part)));
  }

  // Every item of the pane, depth first, as "caption: id id parent/id ..." per category.
  std::vector<std::string> Layout()
  {
    std::vector<std::string> out;
    CTKPropertyGridItems* categories = pane->GetGridView().GetCategories();
    for (int c = 0; c < categories->GetCount(); ++c) {
      CTKPropertyGridItem* category = categories->GetAt(c);
      std::string line = std::string(static_cast<LPCSTR>(category->GetCaption())) + ":";
      AppendItems(category, nullptr, line);
      out.push_back(line);
    }
    return out;
  }
  static void AppendItems(CTKPropertyGridItem* parent, CTKPropertyGridItem* owner, std::string& line)
  {
    for (int i = 0; i < parent->GetChilds()->GetCount(); ++i) {
      CTKPropertyGridItem* item = parent->GetChilds()->GetAt(i);
      line += " ";
      if (owner)
        line += std::to_string(owner->GetItemData()) + "/";
      line += std::to_string(item->GetItemData());
      AppendItems(item, item, line);
    }
  }

  CTKPropertyGridItem* Item(UINT id)
  {
    CTKPropertyGridItems* categories = pane->GetGridView().GetCategories();
    for (int c = 0; c < categories->GetCount(); ++c)
      if (CTKPropertyGridItem* found = Find(categories->GetAt(c), id))
        return found;
    return nullptr;
  }
  static CTKPropertyGridItem* Find(CTKPropertyGridItem* parent, UINT id)
  {
    for (int i = 0; i < parent->GetChilds()->GetCount(); ++i) {
      CTKPropertyGridItem* item = parent->GetChilds()->GetAt(i);
      if (item->GetItemData() == id)
        return item;
      if (CTKPropertyGridItem* found = Find(item, id))
        return found;
    }
    return nullptr;
  }
  std::string Value(UINT id)
  {
    CTKPropertyGridItem* item = Item(id);
    return item ? std::string(static_cast<LPCSTR>(item->GetValue())) : std::string("<none>");
  }

  // The grid's code 3 for an item, through the frame as the grid sends it.
  LRESULT Commit(CTKPropertyGridItem* item)
  {
    return frame.SendMessage(TKWM_PROPERTYGRID_NOTIFY, TK_PGN_ITEMVALUE_CHANGED, reinterpret_cast<LPARAM>(item));
  }
  LRESULT CommitDouble(UINT id, double value)
  {
    auto* item = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(id));
    EXPECT_NE(item, nullptr) << id;
    if (!item)
      return -1;
    item->SetDouble(value);
    return Commit(item);
  }
  LRESULT CommitNumber(UINT id, int value)
  {
    auto* item = DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, Item(id));
    EXPECT_NE(item, nullptr) << id;
    if (!item)
      return -1;
    item->SetNumber(value);
    return Commit(item);
  }
  LRESULT CommitChoice(UINT id, int index)
  {
    CTKPropertyGridItem* item = Item(id);
    EXPECT_NE(item, nullptr) << id;
    if (!item)
      return -1;
    item->GetConstraints()->SetCurrent(index);
    item->SetValue(item->GetConstraints()->GetAt(index));
    return Commit(item);
  }
  std::vector<std::string> AskedTexts() const
  {
    std::vector<std::string> out;
    for (const user::ModalQuestion& q : answers.Asked())
      out.push_back(q.text);
    return out;
  }

  CWinApp app{"Tesmira Road"};
  PaneShell shell;
  user::ScriptedResponder answers;
  std::unique_ptr<CQorRoadDoc> doc;
  CFrameStandIn frame;
  VisualCtrl::CPropObjects* pane = nullptr;
};
