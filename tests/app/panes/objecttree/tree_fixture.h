// What the object tree's tests share: the document as the program starts it, a main frame that records what it
// is sent and posted and answers the calculation state, the tree as a child of that frame with its context menu
// scripted, and a text picture of the tree.
#pragma once

#include "app/messages.h"
#include "app/panes/objecttree/tree_objects.h"
#include "document/graphic_core.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "platform/mfc/frame.h"
#include "tests/document/document_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace treetest {

class RecordingFrame : public CFrameWnd {
public:
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Message> messages;
  int calcState = 0;
  // What the frame does with an object shown to it, while the message is being handled.
  std::function<void(IClassObjModel*)> onShow;

  std::vector<UINT> Ids() const
  {
    std::vector<UINT> ids;
    for (const Message& m : messages)
      ids.push_back(m.message);
    return ids;
  }
  int Count(UINT message) const
  {
    int n = 0;
    for (const Message& m : messages)
      n += m.message == message ? 1 : 0;
    return n;
  }

protected:
  // The test owns the frame.
  void PostNcDestroy() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (message >= UM_SHOWOBJECT && message <= UM_GETEXITPENDING) {
      messages.push_back({message, wParam, lParam});
      if (message == UM_GETCALCSTATE)
        *reinterpret_cast<int*>(lParam) = calcState;
      if (message == UM_SHOWOBJECT && wParam == 1 && onShow)
        onShow(reinterpret_cast<IClassObjModel*>(lParam));
      return 0;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0 && lParam == 0) {
      messages.push_back({message, wParam, lParam});
      return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
  }
};

// A render core whose view looks at a point away from the origin, and whose underlay copies take ids from 100 on.
class CentredCore : public CGraphicCore {
public:
  using CGraphicCore::CGraphicCore;
  void CloneUnderlay(int* id) override
  {
    if (*id != 0)
      *id += 100;
  }
  void GetViewCentre(double out[3]) override
  {
    out[0] = 12;
    out[1] = 34;
    out[2] = 0;
  }
};

class FrameShell : public RecordingShell {
public:
  HWND mainWindow = nullptr;
  HWND GetMainWindow() override { return mainWindow; }
};

// The popup as the user would see it: texts joined by "|", "-" for a separator, ">" after a submenu, "~" before a
// greyed item.
inline std::string Describe(CMenu* popup)
{
  std::string out;
  for (int i = 0; i < popup->GetMenuItemCount(); ++i) {
    if (!out.empty())
      out += "|";
    const UINT state = popup->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
    CString text;
    popup->GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      out += "-";
      continue;
    }
    if (state & MF_GRAYED)
      out += "~";
    out += static_cast<LPCSTR>(text);
    if (popup->GetSubMenu(i))
      out += ">";
  }
  return out;
}

// The tree with its context menu scripted: the menu is noted and the chosen command posted back, as the
// system's menu loop does.
class ScriptedTree : public VisualCtrl::CTreeObjects {
public:
  using CTreeObjects::CTreeObjects;
  struct ItemLook {
    bool greyed = false;
    bool bitmap = false;
  };
  std::string lastMenu;
  std::map<UINT, ItemLook> lastItems;  // every command of the menu, submenus included
  int menusShown = 0;
  UINT choice = 0;

protected:
  void NoteItems(CMenu* popup)
  {
    for (int i = 0; i < popup->GetMenuItemCount(); ++i) {
      if (CMenu* sub = popup->GetSubMenu(i)) {
        NoteItems(sub);
        continue;
      }
      MENUITEMINFO info;
      info.fMask = MIIM_ID | MIIM_STATE | MIIM_CHECKMARKS;
      if (popup->GetMenuItemInfo(static_cast<UINT>(i), &info, TRUE) && info.wID != 0)
        lastItems[info.wID] = {(info.fState & MFS_GRAYED) != 0, info.hbmpChecked != nullptr};
    }
  }
  BOOL TrackContextMenu(CMenu* pPopup, UINT, CPoint) override
  {
    ++menusShown;
    lastMenu = Describe(pPopup);
    lastItems.clear();
    NoteItems(pPopup);
    if (choice)
      PostMessage(WM_COMMAND, choice, 0);
    return choice != 0;
  }
};

class ObjectTreeTest : public DocumentTest {
protected:
  void SetUp() override
  {
    DocumentTest::SetUp();
    Shell::SetShellServices(&frameShell);
    frameShell.dataFolder = shell.dataFolder;
    Start();
    ASSERT_TRUE(frame.Create(nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 700)));
    frameShell.mainWindow = frame.GetSafeHwnd();
    tree = std::make_unique<ScriptedTree>(doc.get());
    ASSERT_TRUE(tree->Create(VisualCtrl::CTreeObjects::kStyle | WS_VISIBLE, CRect(0, 0, 420, 640), &frame,
                             VisualCtrl::CTreeObjects::kControlId));
    Rebuild();
  }
  void TearDown() override
  {
    if (tree && tree->GetSafeHwnd())
      tree->DestroyWindow();
    tree.reset();
    frame.DestroyWindow();
    DocumentTest::TearDown();
  }

  static void Pump()
  {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  void Rebuild()
  {
    tree->SendMessage(UM_SHOWOBJECT, 0, 0);
    Pump();
  }

  IProject* Project() { return doc->GetCurrentProject(); }
  IArea* AreaAt(int index)
  {
    void* first = nullptr;
    Project()->QueryInterface(&IID_IArea, &first);
    auto* area = static_cast<IArea*>(first);
    if (area)
      area->Release();
    for (int i = 0; area && i < index; ++i)
      area = area->GetNext();
    return area;
  }
  int AreaCount()
  {
    int n = 0;
    for (IArea* area = AreaAt(0); area; area = area->GetNext())
      ++n;
    return n;
  }

  // The item whose label is the text, searched depth-first; null when none is.
  HTREEITEM Item(const std::string& text)
  {
    for (HTREEITEM item = tree->GetRootItem(); item; item = tree->GetNextItemInOrder(item))
      if (std::string(static_cast<LPCSTR>(tree->GetItemText(item))) == text)
        return item;
    return nullptr;
  }
  std::string Selected() { return static_cast<LPCSTR>(tree->GetItemText(tree->GetSelectedItem())); }

  // One line per item: indentation by depth, the label, the icon index, the colour (grey, black, red or
  // none) and "bold".
  std::vector<std::string> Picture()
  {
    std::vector<std::string> lines;
    for (HTREEITEM item = tree->GetRootItem(); item; item = tree->GetNextItemInOrder(item)) {
      int depth = 0;
      for (HTREEITEM p = tree->GetParentItem(item); p; p = tree->GetParentItem(p))
        ++depth;
      int image = 0, selectedImage = 0;
      tree->GetItemImage(item, image, selectedImage);
      const COLORREF colour = tree->GetItemColor(item);
      std::string line = std::string(2 * static_cast<std::size_t>(depth), ' ') +
                         static_cast<LPCSTR>(tree->GetItemText(item)) + " [" + std::to_string(image);
      if (selectedImage != image)
        line += "/" + std::to_string(selectedImage);
      line += "]";
      line += colour == RGB(125, 125, 125) ? " grey"
              : colour == RGB(0, 0, 0)     ? " black"
              : colour == RGB(255, 0, 0)   ? " red"
                                           : "";
      if (tree->GetItemBold(item))
        line += " bold";
      lines.push_back(line);
    }
    return lines;
  }

  // Right press and release on an item's label, as the user opens its menu.
  void RightClick(HTREEITEM item)
  {
    CRect label;
    tree->GetItemRect(item, &label, TRUE);
    const LPARAM at = MAKELPARAM(label.left + 2, label.CenterPoint().y);
    tree->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
    tree->SendMessage(WM_RBUTTONUP, 0, at);
  }
  void LeftClick(HTREEITEM item)
  {
    CRect label;
    tree->GetItemRect(item, &label, TRUE);
    const LPARAM at = MAKELPARAM(label.left + 2, label.CenterPoint().y);
    tree->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    tree->SendMessage(WM_LBUTTONUP, 0, at);
  }
  // The command as the menu hands it to the tree, on the item selected first.
  void Command(const std::string& itemText, UINT command)
  {
    HTREEITEM item = Item(itemText);
    ASSERT_NE(item, nullptr) << itemText;
    tree->SelectItem(item);
    Pump();
    tree->SendMessage(WM_COMMAND, command, 0);
    Pump();
  }

  // The project as a file, for comparing states.
  std::vector<std::uint8_t> Saved(const std::string& name)
  {
    const std::string path = TempPath(name + ".qorr5");
    EXPECT_TRUE(doc->OnSaveDocument(path.c_str()));
    return ReadFile(path);
  }

  FrameShell frameShell;
  RecordingFrame frame;
  std::unique_ptr<ScriptedTree> tree;
};

}  // namespace treetest
