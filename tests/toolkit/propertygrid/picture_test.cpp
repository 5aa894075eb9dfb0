// Two grids over the same content, categorised and alphabetical, with the help pane, a verbs pane, a read-only
// item, a colour swatch and children, saved as a PNG for a person to look at.
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/paint_manager.h"
#include "toolkit/propertygrid/typed_items.h"
#include "tests/toolkit/icons.h"
#include "toolkit/paint/image_manager.h"

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Fill(CTKPropertyGrid& grid)
{
  CTKPropertyGridItem* road = grid.AddCategory("Дорога");
  road->AddChildItem(new CTKPropertyGridItem("Название\nИмя дороги в отчёте о расчёте", "Проспект Мира"));
  CTKPropertyGridItem* width = road->AddChildItem(new CTKPropertyGridItemDouble("Ширина, м", 7.5, "%0.2f"));
  width->AddChildItem(new CTKPropertyGridItemNumber("Полосы", 2));
  width->AddChildItem(new CTKPropertyGridItemDouble("Разделительная полоса, м", 1.25, "%0.2f"));
  width->Expand();
  CTKPropertyGridItem* kind = road->AddChildItem(new CTKPropertyGridItem("Покрытие", "Асфальт"));
  kind->SetFlags(tkpgItemHasEdit | tkpgItemHasComboButton);
  kind->GetConstraints()->AddConstraint("Асфальт", 0, 700);
  kind->GetConstraints()->AddConstraint("Бетон", 0, 701);
  // The value shows the image of its metrics from the grid's image manager.
  kind->GetMetrics(TRUE)->m_nImage = 700;
  HICON asphalt = tktest::MakeIcon(16, 16, RGB(60, 60, 60));
  HICON concrete = tktest::MakeIcon(16, 16, RGB(170, 170, 160));
  grid.GetImageManager()->SetIcon(CTKImageManagerIconHandle(asphalt), 700);
  grid.GetImageManager()->SetIcon(CTKImageManagerIconHandle(concrete), 701);
  DestroyIcon(asphalt);
  DestroyIcon(concrete);
  road->AddChildItem(new CTKPropertyGridItem("Класс (только чтение)", "А1"))->SetReadOnly(TRUE);
  road->Expand();
  CTKPropertyGridItem* light = grid.AddCategory("Освещение");
  light->AddChildItem(new CTKPropertyGridItemColor("Цвет опор", RGB(200, 40, 40)));
  light->AddChildItem(new CTKPropertyGridItemDate("Дата монтажа", COleDateTime(2010, 12, 25, 0, 0, 0)));
  light->AddChildItem(new CTKPropertyGridItem("Пароль", "secret"))->SetPasswordMask();
  light->Expand();
}

TEST(PropertyGridPicture, CategorisedAndAlphabeticalGrids)
{
  CWnd frame;
  ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
                             "Property grid", WS_POPUP | WS_VISIBLE, 0, 0, 760, 520, nullptr, nullptr));
  CStatic left;
  CStatic right;
  ASSERT_TRUE(left.Create("Categorised order (selected: Название; help pane below)", WS_CHILD | WS_VISIBLE,
                          CRect(10, 6, 370, 26), &frame, 1));
  ASSERT_TRUE(right.Create("Alphabetical order with the order toolbar, verbs pane", WS_CHILD | WS_VISIBLE,
                           CRect(390, 6, 750, 26), &frame, 2));
  CTKPropertyGrid categorised;
  CTKPropertyGrid alphabetical;
  ASSERT_TRUE(categorised.Create(CRect(10, 30, 370, 510), &frame, 100));
  ASSERT_TRUE(alphabetical.Create(CRect(390, 30, 750, 510), &frame, 101));
  Fill(categorised);
  Fill(alphabetical);
  alphabetical.AddVerb("Сбросить значения");
  alphabetical.AddVerb("Справка");
  alphabetical.ShowToolBar(TRUE);
  alphabetical.SetPropertySort(tkpgSortAlphabetical);
  alphabetical.GetGridView().GetItem(5)->Select();  // the colour, with its "..." button
  categorised.GetGridView().GetItem(1)->Select();
  categorised.GetGridView().SetFocus();
  frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

  EXPECT_EQ(11, categorised.GetGridView().GetCount());
  EXPECT_EQ(9, alphabetical.GetGridView().GetCount());
  const gdi::Surface* pixels = user::WindowSurface(frame.GetSafeHwnd());
  ASSERT_NE(nullptr, pixels);
  EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_propertygrid.png"));

  // Where the rows' parts are filled: category row and category margin in the line colour, the focused
  // selection's caption part in the highlight colour, values on the window colour.
  CTKPropertyGridView& view = categorised.GetGridView();
  const auto at = [&](int row, int x) {
    CRect rc;
    view.GetItemRect(row, &rc);
    CPoint point(x, rc.top + 2);
    view.ClientToScreen(&point);
    frame.ScreenToClient(&point);
    return pixels->Pixel(point.x, point.y) & 0xFFFFFFu;
  };
  const auto rgb = [](COLORREF clr) { return (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr); };
  const int divider = view.GetDividerPos();
  EXPECT_EQ(rgb(GetSysColor(COLOR_SCROLLBAR)), at(0, divider + 60));
  EXPECT_EQ(rgb(GetSysColor(COLOR_SCROLLBAR)), at(2, 6));
  EXPECT_EQ(rgb(GetSysColor(COLOR_HIGHLIGHT)), at(1, divider - 4));
  EXPECT_EQ(rgb(GetSysColor(COLOR_WINDOW)), at(2, divider + 120));
  CTKPropertyGridPaintManager* paint = categorised.GetPaintManager();
  CTKPropertyGridItem* readOnly = view.GetItem(6);
  ASSERT_TRUE(readOnly->GetReadOnly());
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), paint->GetItemTextColor(readOnly, TRUE));
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), paint->GetItemTextColor(view.GetItem(0), FALSE));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), paint->GetItemTextColor(view.GetItem(2), TRUE));
  frame.DestroyWindow();
}

}  // namespace
