// A shortened menu showing its hidden commands: frame by frame the runs of hidden commands grow from nothing
// while the rest keeps its height, downwards, or upwards from the bottom for a menu that opened upwards.
#include "platform/base/clock.h"
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A clock whose every sleep is one frame of an animation: it notes the time and, when asked, the first row of
// each control's colour in the destination picture.
class CFrameClock final : public platform::Clock {
public:
  std::uint64_t NowMs() override { return m_now; }
  void SleepMs(std::uint64_t ms) override
  {
    m_now += ms;
    ++m_frames;
    if (m_onFrame)
      m_onFrame();
    platform::NotifyClockMoved();
  }
  std::uint64_t m_now = 0;
  int m_frames = 0;
  std::function<void()> m_onFrame;
};

const COLORREF kColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)};

class Expanding : public ::testing::Test {
protected:
  void SetUp() override
  {
    platform::SetClock(&clock_);
    CTKPaintManager::SetTheme(tkThemeDefault);
    TKSoundManager().EnableSystemSounds(FALSE);
    ASSERT_TRUE(frame_.Make(400, 400));
    frame_.ShowWindow(SW_SHOW);
    CTKCommandBars* pBars = frame_.GetCommandBars();
    pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
    pBars->GetCommandBarsOptions()->animationType = 5;
    // Used, hidden, hidden, used, hidden: runs 0 | 1-2 | 3 | 4.
    const UINT hidden[] = {33001, 33002, 33004};
    pBars->HideCommands(hidden, 3);
    popup_ = CTKPopupBar::CreatePopupBar(pBars);
    for (UINT id = 33000; id <= 33004; ++id) {
      CTKControl* pControl = popup_->GetControls()->Add(tkControlButton, static_cast<int>(id));
      pControl->SetCaption(("Command " + std::to_string(id)).c_str());
      pControl->SetFlags(TK_FLAG_MANUALUPDATE);
    }
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    popup_->InternalRelease();
    platform::SetClock(nullptr);
  }
  // The popup opened and expanded without animation; its picture with each command in its own colour.
  void OpenExpanded(tktest::Canvas& source)
  {
    ASSERT_TRUE(popup_->PopupAt(100, 50));
    ASSERT_TRUE(popup_->HasHiddenCommands());
    popup_->ExpandFullMenu();
    for (int i = 0; i < 5; ++i) {
      CRect rc = popup_->GetControl(i)->GetRect();
      ASSERT_EQ(popup_->GetControl(i)->GetHideFlags(), 0u);
      source.m_dc.FillSolidRect(0, rc.top, source.m_width, rc.Height(), kColors[i]);
    }
  }
  // The first row of each command's colour in the middle column, -1 when it is not there.
  static std::vector<int> Tops(tktest::Canvas& canvas)
  {
    std::vector<int> tops(5, -1);
    for (int y = 0; y < canvas.m_height; ++y)
      for (int i = 0; i < 5; ++i)
        if (tops[i] < 0 && canvas.m_dc.GetPixel(canvas.m_width / 2, y) == kColors[i])
          tops[i] = y;
    return tops;
  }

  CFrameClock clock_;
  cbtest::CTestFrame frame_;
  CTKPopupBar* popup_ = nullptr;
};

TEST_F(Expanding, DownwardsTheHiddenRunsGrowAndTheCommandsBelowFollow)
{
  tktest::Canvas source(200, 400, RGB(255, 255, 255));
  OpenExpanded(source);
  CRect rcClient;
  popup_->GetClientRect(&rcClient);
  tktest::Canvas destination(rcClient.Width(), rcClient.Height(), RGB(255, 255, 255));
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  pm->m_nAnimationSteps = 4;
  pm->m_nAnimationTime = 100;
  std::vector<std::vector<int>> frames;
  clock_.m_onFrame = [&] { frames.push_back(Tops(destination)); };
  const std::uint64_t start = clock_.m_now;
  pm->AnimateExpanding(popup_, &destination.m_dc, &source.m_dc, TRUE);
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(clock_.m_now - start, 100u);

  const CRect rc0 = popup_->GetControl(0)->GetRect();
  const CRect rc1 = popup_->GetControl(1)->GetRect();
  const CRect rc3 = popup_->GetControl(3)->GetRect();
  const CRect rc4 = popup_->GetControl(4)->GetRect();
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    const std::vector<int>& tops = frames[k - 1];
    // The used command above keeps its place; the run of two hidden ones is k / 4 of its height, so the used
    // command after it moves up by the rest; the last run grows the same way below it.
    EXPECT_EQ(tops[0], rc0.top);
    const int run = rc3.top - rc1.top;
    const int top3 = rc1.top + k * run / 4;
    EXPECT_EQ(tops[3], top3);
    EXPECT_EQ(tops[1], k * run / 4 > 0 ? rc1.top : -1);
    EXPECT_EQ(tops[4], top3 + rc4.top - rc3.top);
  }
  EXPECT_EQ(frames.back(), Tops(source));
  pm->m_nAnimationSteps = 10;
}

TEST_F(Expanding, UpwardsTheBottomStaysAndTheHiddenRunsGrowAboveIt)
{
  tktest::Canvas source(200, 400, RGB(255, 255, 255));
  OpenExpanded(source);
  CRect rcClient;
  popup_->GetClientRect(&rcClient);
  tktest::Canvas destination(rcClient.Width(), rcClient.Height(), RGB(255, 255, 255));
  CTKPaintManager* pm = CTKPaintManager::GetCurrent();
  pm->m_nAnimationSteps = 2;
  std::vector<std::vector<int>> frames;
  clock_.m_onFrame = [&] { frames.push_back(Tops(destination)); };
  pm->AnimateExpanding(popup_, &destination.m_dc, &source.m_dc, FALSE);
  ASSERT_EQ(frames.size(), 2u);
  // Half way: the last (hidden) run is half as high, so the used command above it sits lower by the other half.
  const CRect rc3 = popup_->GetControl(3)->GetRect();
  const CRect rc4 = popup_->GetControl(4)->GetRect();
  const int run = rc4.bottom - rc3.bottom;
  EXPECT_EQ(frames[0][3], rc3.top + (run - run / 2));
  EXPECT_EQ(frames.back(), Tops(source));
  pm->m_nAnimationSteps = 10;
}

TEST_F(Expanding, ExpandingAMenuAnimatesOnlyWithAnAnimationKind)
{
  struct Case {
    int kind;
    int frames;
  };
  for (Case c : {Case{5, 0}, Case{3, 10}, Case{2, 10}}) {
    SCOPED_TRACE("kind " + std::to_string(c.kind));
    frame_.GetCommandBars()->GetCommandBarsOptions()->animationType = c.kind;
    TKMouseManager()->m_bExpandedMenus = FALSE;
    ASSERT_TRUE(popup_->PopupAt(100, 50));
    ASSERT_TRUE(popup_->HasHiddenCommands());
    clock_.m_frames = 0;
    popup_->ExpandFullMenu();
    EXPECT_EQ(clock_.m_frames, c.frames);
    EXPECT_EQ(popup_->GetControl(1)->GetHideFlags(), 0u);
    frame_.GetCommandBars()->ClosePopups();
  }
}

}  // namespace
