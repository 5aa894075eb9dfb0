// Items outside a grid: caption and description, changed values, constraints and their bounds, children,
// password display, and the typed items' conversions between value and text.
#include "toolkit/propertygrid/item.h"
#include "toolkit/propertygrid/typed_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string S(const CString& text)
{
  return std::string(static_cast<LPCSTR>(text));
}

TEST(PropertyGridItem, CaptionTextSplitsAtItsFirstNewline)
{
  const struct {
    const char* text;
    const char* caption;
    const char* description;
  } cases[] = {
      {"Шаг, м\nРасстояние между опорами", "Шаг, м", "Расстояние между опорами"},
      {"Высота", "Высота", ""},
      {"a\nb\nc", "a", "b\nc"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    CTKPropertyGridItem* item = new CTKPropertyGridItem(c.text, "1");
    EXPECT_EQ(c.caption, S(item->GetCaption()));
    EXPECT_EQ(c.description, S(item->GetDescription()));
    item->InternalRelease();
  }
}

TEST(PropertyGridItem, ValueChangedComparesBytesWithTheDefault)
{
  CString bound;
  auto* item = new CTKPropertyGridItem("Name", "Road", &bound);
  EXPECT_EQ("Road", S(bound));
  EXPECT_FALSE(item->IsValueChanged());
  item->SetValue("road");
  EXPECT_TRUE(item->IsValueChanged());
  EXPECT_EQ("road", S(bound));
  item->SetValue("Road");
  EXPECT_FALSE(item->IsValueChanged());
  // A bound string changed outside is taken over before the item becomes a row.
  bound = "Avenue";
  item->OnBeforeInsert();
  EXPECT_EQ("Avenue", S(item->GetValue()));
  item->InternalRelease();
}

TEST(PropertyGridItem, PasswordShowsOneMaskCharacterPerByte)
{
  auto* item = new CTKPropertyGridItem("Password", "elevenchars");
  item->SetPasswordMask();
  EXPECT_EQ("***********", S(item->GetViewValue()));
  EXPECT_NE(0u, item->GetEditStyle() & ES_PASSWORD);
  item->SetMultiLinesCount(3);
  EXPECT_NE(0u, item->GetEditStyle() & ES_MULTILINE);
  item->InternalRelease();
}

TEST(PropertyGridItem, ConstraintLookupsStayInsideTheList)
{
  auto* item = new CTKPropertyGridItem("Kind", "B");
  CTKPropertyGridItemConstraints* constraints = item->GetConstraints();
  constraints->AddConstraint("B", 2);
  constraints->AddConstraint("A", 1);
  constraints->AddConstraint("C", 3);
  const struct {
    int index;
    const char* text;
  } at[] = {{0, "B"}, {2, "C"}, {3, ""}, {-1, ""}, {1000000, ""}};
  for (const auto& c : at)
    EXPECT_EQ(c.text, S(constraints->GetAt(c.index))) << c.index;
  EXPECT_EQ(nullptr, constraints->GetConstraintAt(3));
  EXPECT_EQ(nullptr, constraints->GetConstraintAt(-1));
  EXPECT_EQ(2, constraints->FindConstraint("C"));
  EXPECT_EQ(-1, constraints->FindConstraint("c"));
  EXPECT_EQ(-1, constraints->FindConstraint(""));
  EXPECT_EQ(2, constraints->GetConstraintAt(2)->GetIndex());
  constraints->Sort();
  EXPECT_EQ("A", S(constraints->GetAt(0)));
  constraints->RemoveAll();
  EXPECT_EQ(0, constraints->GetCount());
  EXPECT_EQ("", S(constraints->GetAt(0)));
  item->InternalRelease();
}

TEST(PropertyGridItem, ChildrenTakeTheParentAndTheNextIndent)
{
  auto* parent = new CTKPropertyGridItem("Group");
  CTKPropertyGridItem* child = parent->AddChildItem(new CTKPropertyGridItem("Pole"));
  CTKPropertyGridItem* grandChild = child->AddChildItem(new CTKPropertyGridItem("Arm"));
  CTKPropertyGridItem* first = parent->InsertChildItem(0, new CTKPropertyGridItem("Axis"));
  EXPECT_EQ(parent, child->GetParentItem());
  EXPECT_EQ(1, child->GetIndent());
  EXPECT_EQ(2, grandChild->GetIndent());
  EXPECT_TRUE(grandChild->HasParent(parent));
  EXPECT_EQ(first, parent->GetChilds()->GetAt(0));
  EXPECT_EQ(nullptr, parent->GetChilds()->GetAt(2));
  EXPECT_EQ(nullptr, parent->GetChilds()->GetAt(-1));
  parent->InternalRelease();
}

// Outside a grid edits are granted without asking: double click cycles the constraints from the value on.
TEST(PropertyGridItem, DoubleClickCyclesToTheNextConstraint)
{
  const struct {
    const char* value;
    const char* next;
  } cases[] = {{"A", "B"}, {"C", "A"}, {"none of them", "A"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    auto* item = new CTKPropertyGridItem("Kind", c.value);
    item->SetFlags(0);
    for (const char* text : {"A", "B", "C"})
      item->GetConstraints()->AddConstraint(text);
    item->OnLButtonDblClk(0, CPoint(0, 0));
    EXPECT_EQ(c.next, S(item->GetValue()));
    EXPECT_EQ(item->GetConstraints()->FindConstraint(c.next), item->GetConstraints()->GetCurrent());
    item->InternalRelease();
  }
}

TEST(PropertyGridTypedItems, NumberReadsTheLeadingWholeNumber)
{
  int bound = 0;
  auto* item = new CTKPropertyGridItemNumber("Count", 7, &bound);
  EXPECT_EQ(7, bound);
  const struct {
    const char* text;
    int number;
    const char* shown;
  } cases[] = {
      {"  12abc", 12, "12"}, {"-3", -3, "-3"}, {"abc", 0, "0"}, {"", 0, "0"},
      {"99999999999", 2147483647, "2147483647"}, {"+8.9", 8, "8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    item->SetValue(c.text);
    EXPECT_EQ(c.number, item->GetNumber());
    EXPECT_EQ(c.number, bound);
    EXPECT_EQ(c.shown, S(item->GetValue()));
  }
  bound = 41;
  item->OnBeforeInsert();
  EXPECT_EQ("41", S(item->GetValue()));
  item->InternalRelease();
}

class RussianLocale : public ::testing::Test {
protected:
  void SetUp() override
  {
    const char* old = std::getenv("LC_ALL");
    saved_ = old ? old : "";
    had_ = old != nullptr;
    setenv("LC_ALL", "ru_RU.CP1251", 1);
  }
  void TearDown() override
  {
    if (had_)
      setenv("LC_ALL", saved_.c_str(), 1);
    else
      unsetenv("LC_ALL");
  }
  std::string saved_;
  bool had_ = false;
};

TEST_F(RussianLocale, DoubleWithoutFormatUsesTheDecimalComma)
{
  double bound = 0;
  auto* plain = new CTKPropertyGridItemDouble("Spacing", 2.5, nullptr, &bound);
  EXPECT_EQ("2,5", S(plain->GetValue()));
  EXPECT_EQ(2.5, bound);
  const struct {
    const char* text;
    double value;
    const char* shown;
  } cases[] = {
      {"3,25", 3.25, "3,25"},
      // The locale cannot read a point: the C runtime's reading takes over.
      {"4.5", 4.5, "4,5"},
      {"abc", 0.0, "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    plain->SetValue(c.text);
    EXPECT_DOUBLE_EQ(c.value, plain->GetDouble());
    EXPECT_EQ(c.shown, S(plain->GetValue()));
  }
  plain->InternalRelease();

  auto* formatted = new CTKPropertyGridItemDouble("Height", 2.5, "%0.3f");
  EXPECT_EQ("2.500", S(formatted->GetValue()));
  formatted->SetValue("7.25");
  EXPECT_EQ("7.250", S(formatted->GetValue()));
  formatted->SetValue("7,25");  // no locale reading with a format: the C runtime stops at the comma
  EXPECT_EQ("7.000", S(formatted->GetValue()));
  formatted->SetValue("x");
  EXPECT_EQ("0.000", S(formatted->GetValue()));
  formatted->InternalRelease();
}

TEST(PropertyGridTypedItems, DateShowsAndReadsDayMonthYear)
{
  auto* item = new CTKPropertyGridItemDate("Date", COleDateTime(2010, 12, 25, 0, 0, 0));
  EXPECT_EQ("25/12/2010", S(item->GetValue()));
  EXPECT_EQ(static_cast<UINT>(tkpgItemHasEdit | tkpgItemHasComboButton), item->GetFlags());
  EXPECT_TRUE(item->IsMaskEnabled());
  EXPECT_EQ("00/00/0000", S(item->GetMaskText()));
  EXPECT_EQ("__/__/____", S(item->GetMaskLiteral()));
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"01/02/2003", "01/02/2003"},
      {"31/02/2003", "01/02/2003"},  // no such day: unchanged
      {"garbage", "01/02/2003"},     // neither the format nor the general reading: unchanged
      {"15.06.2011", "15/06/2011"},  // the general reading of the Russian form
      {"25/12/2010", "25/12/2010"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    item->SetValue(c.text);
    EXPECT_EQ(c.shown, S(item->GetValue()));
  }
  SYSTEMTIME time{};
  ASSERT_TRUE(item->GetDate(time));
  EXPECT_EQ(25, time.wDay);
  EXPECT_EQ(12, time.wMonth);
  EXPECT_EQ(2010, time.wYear);
  item->SetMonth(1);
  EXPECT_EQ("25/01/2010", S(item->GetValue()));
  item->SetDateFormat("%Y-%m-%d");
  EXPECT_EQ("2010-01-25", S(item->GetValue()));
  item->SetValue("2011-03-04");
  EXPECT_EQ("2011-03-04", S(item->GetValue()));
  // A null text makes a date nobody can read null, shown as that text without the mask.
  item->SetNullValueText("нет");
  item->SetValue("garbage");
  EXPECT_EQ("нет", S(item->GetValue()));
  EXPECT_FALSE(item->IsMaskEnabled());
  EXPECT_EQ(-1, item->GetDay());
  EXPECT_FALSE(item->GetDate(time));
  item->InternalRelease();
}

TEST(PropertyGridTypedItems, DateFormatsWithoutThreeDayMonthYearFieldsReadNothing)
{
  auto* item = new CTKPropertyGridItemDate("Date", COleDateTime(2010, 12, 25, 0, 0, 0));
  COleDateTime date;
  for (const char* format : {"%d/%m", "%d/%H/%Y", "%d/%m/%", "plain"}) {
    SCOPED_TRACE(format);
    item->SetDateFormat(format);
    EXPECT_FALSE(item->ParseDate(date, "25/12/2010"));
  }
  item->SetDateFormat("%Y.%d.%m");
  ASSERT_TRUE(item->ParseDate(date, "2010.25.12"));
  EXPECT_EQ(25, date.GetDay());
  EXPECT_EQ(12, date.GetMonth());
  // Conversions after the third field are not read (they would have nowhere to go).
  item->SetDateFormat("%d/%m/%Y %H:%M %s");
  ASSERT_TRUE(item->ParseDate(date, "07/02/2012 10:30 x"));
  EXPECT_EQ(2012, date.GetYear());
  item->InternalRelease();
}

TEST(PropertyGridTypedItems, ColourFieldsAreClampedNeverWrapped)
{
  COLORREF bound = 0;
  auto* item = new CTKPropertyGridItemColor("Colour", RGB(1, 2, 3), &bound);
  EXPECT_EQ("1; 2; 3", S(item->GetValue()));
  EXPECT_EQ(static_cast<UINT>(tkpgItemHasEdit | tkpgItemHasExpandButton), item->GetFlags());
  const struct {
    const char* text;
    COLORREF colour;
    const char* shown;
  } cases[] = {
      {"300; -1; 12", RGB(255, 255, 12), "255; 255; 12"},
      {"255;0;128", RGB(255, 0, 128), "255; 0; 128"},
      {"-200; 256; 254", RGB(255, 255, 254), "255; 255; 254"},
      {"10", RGB(10, 0, 0), "10; 0; 0"},
      {"a; b; c", RGB(0, 0, 0), "0; 0; 0"},
      {"", RGB(0, 0, 0), "0; 0; 0"},
      {"1;2;3;4", RGB(1, 2, 3), "1; 2; 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    item->SetValue(c.text);
    EXPECT_EQ(c.colour, item->GetColor());
    EXPECT_EQ(c.colour, bound);
    EXPECT_EQ(c.shown, S(item->GetValue()));
  }
  item->InternalRelease();
}

}  // namespace
