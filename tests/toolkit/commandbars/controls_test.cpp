// Controls and their collection: texts, the factory, indexes, keyboard walks, building from a menu, comparing
// and cloning, and the row layout of a bar.
#include "toolkit/commandbars/controls.h"

#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> Indexes(CTKControls& controls)
{
  std::vector<int> out;
  for (int i = 0; i < controls.GetCount(); ++i)
    out.push_back(controls.GetAt(i)->GetIndex());
  return out;
}

TEST(ControlTexts, CaptionsPromptsAndIds)
{
  cbtest::UseTestResources();
  CTKControls controls;
  CTKControl* pControl = controls.Add(tkControlButton, 0);
  pControl->SetCaption("&Open\tCtrl+O");
  EXPECT_EQ(pControl->GetCaption(), CString("&Open"));
  EXPECT_EQ(pControl->GetShortcutText(), CString("Ctrl+O"));
  pControl->SetCaption("Open");  // no tab: the shortcut text stays
  EXPECT_EQ(pControl->GetShortcutText(), CString("Ctrl+O"));
  pControl->SetShortcutText("F5");
  EXPECT_EQ(pControl->GetShortcutText(), CString("F5"));

  pControl->SetPrompt("Description\nTip");  // the caption is set: it stays
  EXPECT_EQ(pControl->GetDescription(), CString("Description"));
  EXPECT_EQ(pControl->GetTooltip(), CString("Tip"));
  EXPECT_EQ(pControl->GetCaption(), CString("Open"));

  CTKControl* pEmpty = controls.Add(tkControlButton, 0);
  pEmpty->SetPrompt("Both");
  EXPECT_EQ(pEmpty->GetDescription(), CString("Both"));
  EXPECT_EQ(pEmpty->GetTooltip(), CString("Both"));
  EXPECT_EQ(pEmpty->GetCaption(), CString("Both"));

  // An id brings its prompt string; the custom caption wins over the caption.
  CTKControl* pNew = controls.Add(tkControlButton, 57600);
  EXPECT_EQ(pNew->GetID(), 57600);
  EXPECT_EQ(pNew->GetDescription(), CString("Create a new project"));
  EXPECT_EQ(pNew->GetCaption(), CString("New project"));
  pNew->SetCustomCaption("Mine");
  EXPECT_EQ(pNew->GetCaption(), CString("Mine"));
  EXPECT_EQ(pNew->GetIconId(), 57600);
  pNew->SetIconId(7);
  EXPECT_EQ(pNew->GetIconId(), 7);
  pNew->SetCustomIcon(9);
  EXPECT_EQ(pNew->GetIconId(), 9);
}

TEST(ControlCollection, TheFactoryMakesKnownTypesOnlyAndKeepsIndexes)
{
  CTKControls controls;
  EXPECT_EQ(controls.Add(0, 1), nullptr);
  EXPECT_EQ(controls.Add(9, 1), nullptr);
  EXPECT_EQ(controls.Add(-1, 1), nullptr);
  EXPECT_EQ(controls.GetCount(), 0);

  CTKControl* pButton = controls.Add(tkControlButton, 1);
  CTKControl* pPopup = controls.Add(tkControlPopup, 0);
  CTKControl* pLabel = controls.Add(tkControlLabel, 3);
  CTKControl* pFirst = controls.Add(tkControlButton, 4, "", 0);  // before index 0
  ASSERT_TRUE(pButton && pPopup && pLabel && pFirst);
  EXPECT_TRUE(pButton->IsKindOf(RUNTIME_CLASS(CTKControlButton)));
  EXPECT_TRUE(pPopup->IsKindOf(RUNTIME_CLASS(CTKControlPopup)));
  EXPECT_EQ(pPopup->GetID(), 0);
  EXPECT_EQ(pLabel->GetSelected(), 0);
  EXPECT_EQ(controls.GetAt(0), pFirst);
  EXPECT_EQ(Indexes(controls), (std::vector<int>{0, 1, 2, 3}));

  controls.Remove(0);
  EXPECT_EQ(controls.GetAt(0), pButton);
  EXPECT_EQ(Indexes(controls), (std::vector<int>{0, 1, 2}));
  controls.Remove(7);  // nothing
  EXPECT_EQ(controls.GetCount(), 3);
  EXPECT_EQ(controls.FindControl(3), pLabel);
  EXPECT_EQ(controls.FindControl(tkControlButton, -1, FALSE, FALSE), pButton);
}

TEST(ControlCollection, KeyboardWalksSkipHiddenAndWrapOnce)
{
  CTKControls controls;
  for (int i = 0; i < 5; ++i)
    controls.Add(tkControlButton, 100 + i);
  controls.GetAt(1)->SetHideFlag(TK_HIDEGENERIC, TRUE);
  controls.GetAt(2)->SetFlags(TK_FLAG_SKIPFOCUS);
  controls.GetAt(3)->SetHideFlag(TK_HIDEPOPUPLAYOUT, TRUE);  // not counted as hidden
  controls.GetAt(4)->SetHideFlag(TK_HIDEUSAGE, TRUE);
  struct Case {
    int start;
    int step;
    BOOL skipCollapsed;
    int expected;
  };
  const Case cases[] = {
      {-1, 1, TRUE, 0},  {0, 1, TRUE, 3},   {3, 1, TRUE, 0},  {-1, -1, TRUE, 3}, {0, -1, TRUE, 3},
      {3, 1, FALSE, 4},  {-1, -1, FALSE, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(controls.GetNext(c.start, c.step, TRUE, FALSE, c.skipCollapsed), c.expected)
        << c.start << " by " << c.step;
  EXPECT_EQ(controls.GetNext(2, 1, FALSE), 3);  // without the keyboard rule the skipped one counts

  for (int i = 0; i < 5; ++i)
    controls.GetAt(i)->SetHideFlag(TK_HIDEGENERIC, TRUE);
  EXPECT_EQ(controls.GetNext(-1, 1), -1);
  EXPECT_EQ(controls.GetNext(-1, -1), -1);
  EXPECT_EQ(controls.GetNext(2, 1), 2);  // from a valid index with no other: the same index
}

TEST(ControlCollection, AMenuGivesOneGroupStartPerRunOfSeparatorsAndItsStates)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 400, 24), 128);
  ASSERT_NE(pBar, nullptr);
  ASSERT_EQ(pBar->GetControlCount(), 3);
  CTKControl* pFile = pBar->GetControl(0);
  EXPECT_EQ(pFile->GetCaption(), CString("&File"));
  CTKCommandBar* pPopup = pFile->GetCommandBar();
  ASSERT_NE(pPopup, nullptr);
  EXPECT_EQ(pPopup->GetTitle(), CString("File"));
  CTKControls* pItems = pPopup->GetControls();
  ASSERT_EQ(pItems->GetCount(), 4);  // New, Open, Export, Exit; the separators are group starts
  EXPECT_EQ(pItems->GetAt(0)->GetCaption(), CString("&New"));
  EXPECT_EQ(pItems->GetAt(0)->GetShortcutText(), CString("Ctrl+N"));
  EXPECT_FALSE(pItems->GetAt(1)->GetBeginGroup());
  EXPECT_TRUE(pItems->GetAt(2)->GetBeginGroup());   // two separators in a row: one group start
  EXPECT_FALSE(pItems->GetAt(3)->GetBeginGroup());  // a trailing separator gives none
  EXPECT_EQ(pItems->GetAt(2)->GetType(), tkControlPopup);
  CTKControls* pExport = pItems->GetAt(2)->GetCommandBar()->GetControls();
  ASSERT_EQ(pExport->GetCount(), 2);
  EXPECT_FALSE(pExport->GetAt(1)->GetEnabled());
  EXPECT_TRUE(pBar->GetControl(1)->GetCommandBar()->GetControl(0)->GetChecked());
}

TEST(ControlCollection, TheSiteMayChooseAKnownTypeButAnUnknownOneMakesNothing)
{
  struct Case {
    int type;
    int count;       // items of the Edit menu afterwards
    int madeType;    // of its one item, when made
  };
  const Case cases[] = {{tkControlButtonPopup, 1, tkControlButtonPopup}, {9, 0, 0}, {0, 0, 0}, {tkControlCustom, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    cbtest::CTestFrame frame;
    ASSERT_TRUE(frame.Make(400, 300));
    frame.m_replaceId = 57643;  // Undo
    frame.m_replaceType = c.type;
    cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 400, 24), 128);
    CTKCommandBar* pEdit = pBar->GetControl(1)->GetCommandBar();
    ASSERT_EQ(pEdit->GetControlCount(), c.count);
    if (c.count) {
      EXPECT_EQ(pEdit->GetControl(0)->GetType(), c.madeType);
    }
  }
}

TEST(ControlCollection, ClonesShareOrCopyPopupBarsAndCompareEqual)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 400, 24), 128);
  auto* pFile = static_cast<CTKControlPopup*>(pBar->GetControl(0));
  CTKControls* pCopy = pBar->GetControls()->Duplicate(FALSE);
  EXPECT_TRUE(pCopy->IsEqual(pBar->GetControls()));
  auto* pShared = static_cast<CTKControlPopup*>(pCopy->GetAt(0));
  EXPECT_EQ(pShared->GetCommandBar(), pFile->GetCommandBar());
  EXPECT_TRUE(pShared->IsContainPopup(pFile));

  CTKControls* pDeep = pBar->GetControls()->Duplicate(TRUE);
  auto* pOwn = static_cast<CTKControlPopup*>(pDeep->GetAt(0));
  EXPECT_NE(pOwn->GetCommandBar(), pFile->GetCommandBar());
  EXPECT_TRUE(pDeep->IsEqual(pBar->GetControls()));
  EXPECT_FALSE(pOwn->IsContainPopup(pFile));
  // The export submenu inside File contains... itself only through File.
  auto* pExport = static_cast<CTKControlPopup*>(pFile->GetCommandBar()->GetControl(2));
  EXPECT_TRUE(pFile->IsContainPopup(pExport));

  pOwn->GetCommandBar()->GetControl(0)->SetCaption("Changed");
  EXPECT_FALSE(pDeep->IsEqual(pBar->GetControls()));
  pCopy->GetAt(1)->SetBeginGroup(TRUE);
  EXPECT_FALSE(pCopy->IsEqual(pBar->GetControls()));
  pCopy->InternalRelease();
  pDeep->InternalRelease();
}

// A fixed size for each control, so that the layout is checked apart from the fonts.
class CSizedControl : public CTKControlButton {
public:
  explicit CSizedControl(CSize size) : m_size(size) {}
  CSize GetSize(CDC*) override { return m_size; }
  CSize m_size;
};

class RowLayout : public ::testing::Test {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    m_dc.Attach(::CreateCompatibleDC(nullptr));
  }
  void TearDown() override { ::DeleteDC(m_dc.Detach()); }
  CTKControl* Add(int cx, int cy, BOOL bGroup = FALSE, DWORD dwFlags = 0)
  {
    auto* pControl = new CSizedControl(CSize(cx, cy));
    m_controls.InsertAt(pControl, 0);
    pControl->SetBeginGroup(bGroup);
    pControl->SetFlags(dwFlags);
    return pControl;
  }
  CTKControls m_controls;
  CDC m_dc;
  const CRect m_borders{2, 2, 2, 2};
};

TEST_F(RowLayout, ABarWithoutVisibleControlsHasTheEmptySize)
{
  EXPECT_EQ(m_controls.CalcDynamicSize(&m_dc, 300, LM_HORZDOCK | LM_COMMIT, CRect(1, 2, 3, 4)), CSize(27, 28));
  Add(20, 20)->SetHideFlag(TK_HIDEGENERIC, TRUE);
  EXPECT_EQ(m_controls.CalcDynamicSize(&m_dc, 300, LM_HORZDOCK | LM_COMMIT, CRect(1, 2, 3, 4)), CSize(27, 28));
}

TEST_F(RowLayout, OneRowIsPlacedWithGroupGapsAndCentred)
{
  Add(23, 22);
  Add(23, 18);
  CTKControl* pGroup = Add(30, 22, TRUE);
  CSize size = m_controls.CalcDynamicSize(&m_dc, 300, LM_HORZDOCK | LM_COMMIT, m_borders);
  EXPECT_EQ(size, CSize(2 + 23 + 23 + 6 + 30 + 2, 2 + 22 + 2));
  EXPECT_EQ(m_controls.GetAt(1)->GetRect(), CRect(25, 4, 48, 22));  // centred: (22 - 18) / 2 lower
  EXPECT_EQ(pGroup->GetRect(), CRect(54, 2, 84, 24));
  EXPECT_EQ(pGroup->GetRowRect(), CRect(2, 2, 84, 24));
}

TEST_F(RowLayout, WrappingGoesBackToAGroupStartButNotPastAnEarlierWrap)
{
  Add(40, 20);
  CTKControl* pGroup = Add(40, 20, TRUE);
  Add(40, 20);
  Add(40, 20);
  // 40 + 6 + 40 + 40 = 126 > 110: the row wraps at the group start, not at the third control.
  m_controls.CalcDynamicSize(&m_dc, 114, LM_HORZDOCK | LM_COMMIT, m_borders);
  EXPECT_TRUE(pGroup->GetWrap());
  EXPECT_FALSE(m_controls.GetAt(2)->GetWrap());
  EXPECT_TRUE(m_controls.GetAt(3)->GetWrap());  // the group start is behind the earlier wrap now
  EXPECT_EQ(pGroup->GetRect().left, 2);

  // Hiding instead of wrapping: what does not fit is hidden for lack of room.
  m_controls.CalcDynamicSize(&m_dc, 114, LM_HORZDOCK | LM_COMMIT | TK_LM_HIDEWRAP, m_borders);
  EXPECT_EQ(m_controls.GetAt(0)->GetHideFlags(), 0u);
  EXPECT_EQ(m_controls.GetAt(1)->GetHideFlags(), 0u);
  EXPECT_EQ(m_controls.GetAt(2)->GetHideFlags(), TK_HIDEWRAP);
  EXPECT_EQ(m_controls.GetAt(3)->GetHideFlags(), TK_HIDEWRAP);
  EXPECT_FALSE(pGroup->GetWrap());
}

TEST_F(RowLayout, StretchedControlsShareTheFreeRoomAndFarEndOnesMoveToTheEnd)
{
  CTKControl* pA = Add(20, 20, FALSE, TK_FLAG_STRETCHED);
  CTKControl* pB = Add(20, 20, FALSE, TK_FLAG_STRETCHED);
  CTKControl* pFar = Add(10, 20, FALSE, TK_FLAG_RIGHTALIGN);
  // 2 + 20 + 20 + 10 + 2 = 54; stretched to 61: 7 pixels for two controls.
  m_controls.CalcDynamicSize(&m_dc, 61, LM_HORZDOCK | LM_COMMIT | LM_STRETCH, m_borders);
  EXPECT_EQ(pFar->GetRect(), CRect(49, 2, 59, 22));
  EXPECT_EQ(pA->GetRect(), CRect(2, 2, 25, 22));   // 7 / 2 = 3
  EXPECT_EQ(pB->GetRect(), CRect(25, 2, 49, 22));  // the rest, 4
}

}  // namespace
