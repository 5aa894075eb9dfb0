// The masked date field as the property grid's date item uses it: typing, refused letters, Backspace and Delete,
// the clipboard without the fixed characters, one level of undo and redo, and the bounds of every position.
#include "toolkit/controls/mask_edit.h"

#include "platform/user/clipboard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CCountingMaskEdit : public CTKMaskEditT<CEdit> {
public:
  void NotifyPosNotInRange() override { ++outOfRange; }
  void NotifyInvalidCharacter(char, char) override { ++invalid; }
  int outOfRange = 0;
  int invalid = 0;
};

class MaskEditTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr,
                                nullptr));
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 200, 20), &parent, 1));
    ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", nullptr));
    edit.SetSel(0, 0);
  }
  void TearDown() override
  {
    edit.DestroyWindow();
    parent.DestroyWindow();
  }
  void Type(const std::string& text)
  {
    for (char ch : text)
      edit.SendMessage(WM_CHAR, static_cast<unsigned char>(ch), 0);
  }
  void Key(UINT vk) { edit.SendMessage(WM_KEYDOWN, vk, 0); }
  std::string Text() const { return std::string(edit.GetWindowTextString()); }
  static std::string Clipboard()
  {
    std::string text;
    if (OpenClipboard(nullptr)) {
      HANDLE data = GetClipboardData(CF_TEXT);
      if (data) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
      }
      CloseClipboard();
    }
    return text;
  }
  static void SetClipboard(const std::string& text)
  {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
  }

  CWnd parent;
  CCountingMaskEdit edit;
};

TEST_F(MaskEditTest, TypedDigitsFillTheDateAndSkipTheSlashes)
{
  Type("25122010");
  EXPECT_EQ("25/12/2010", Text());
  EXPECT_EQ(0, edit.invalid);
}

// Each row: what is typed from the start of an empty date field, the text after it and the beeps it gave.
TEST_F(MaskEditTest, RefusedCharactersBeepAndChangeNothing)
{
  struct Case {
    const char* typed;
    const char* text;
    int invalid;
    int outOfRange;
  };
  const Case cases[] = {
      {"2a", "2_/__/____", 1, 0},
      {".", "__/__/____", 1, 0},
      {"#", "__/__/____", 1, 0},
      {"1Я", "1_/__/____", 1, 0},
      {"25122010", "25/12/2010", 0, 0},
      // The field is full: the caret stands after the last input position.
      {"251220109", "25/12/2010", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", nullptr));
    edit.SetSel(0, 0);
    edit.invalid = edit.outOfRange = 0;
    Type(c.typed);
    EXPECT_EQ(c.text, Text());
    EXPECT_EQ(c.invalid, edit.invalid);
    EXPECT_EQ(c.outOfRange, edit.outOfRange);
  }
}

TEST_F(MaskEditTest, BackspaceAndDeleteMoveTheRestOfTheInputLeft)
{
  Type("25122010");
  // Backspace after the first digit of the month.
  edit.SetSel(4, 4);
  Key(VK_BACK);
  EXPECT_EQ("25/22/010_", Text());
  // Delete on the fixed slash deletes the digit after it.
  edit.SetSel(2, 2);
  Key(VK_DELETE);
  EXPECT_EQ("25/20/10__", Text());
  // Delete past the last character of the literal is refused, not read beyond the text.
  edit.SetSel(10, 10);
  Key(VK_DELETE);
  EXPECT_EQ("25/20/10__", Text());
  EXPECT_EQ(1, edit.outOfRange);
  // Backspace at the start beeps.
  edit.SetSel(0, 0);
  Key(VK_BACK);
  EXPECT_EQ(2, edit.outOfRange);
}

TEST_F(MaskEditTest, CopyTakesTheDigitsAndPasteRestoresTheDate)
{
  Type("25122010");
  edit.SetSel(0, -1);
  edit.SendMessage(WM_COPY);
  EXPECT_EQ("25122010", Clipboard());

  ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", nullptr));
  edit.SetSel(0, 0);
  edit.SendMessage(WM_PASTE);
  EXPECT_EQ("25/12/2010", Text());

  // The framework's edit commands do the same: select all from the first input position, then copy.
  SetClipboard("");
  edit.SendMessage(WM_COMMAND, tkmask::kEditSelectAll);
  edit.SendMessage(WM_COMMAND, tkmask::kEditCopy);
  EXPECT_EQ("25122010", Clipboard());
  edit.SendMessage(WM_COMMAND, tkmask::kEditCut);
  EXPECT_EQ("__/__/____", Text());
  edit.SendMessage(WM_COMMAND, tkmask::kEditUndo);
  EXPECT_EQ("25/12/2010", Text());
}

// A clipboard longer than the field, or holding refused characters, fills what fits and skips the rest.
TEST_F(MaskEditTest, PasteIsBoundedByTheField)
{
  const struct {
    const char* clipboard;
    const char* text;
  } cases[] = {
      {"2512201099999999999999999999", "25/12/2010"},
      {"2x5-1", "25/1_/____"},
      {"", "__/__/____"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clipboard);
    ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", nullptr));
    SetClipboard(c.clipboard);
    edit.SetSel(0, 0);
    edit.SendMessage(WM_PASTE);
    EXPECT_EQ(c.text, Text());
  }
  // Pasting at the last input position keeps the length of the literal.
  ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", nullptr));
  SetClipboard("123456");
  edit.SetSel(9, 9);
  edit.SendMessage(WM_PASTE);
  EXPECT_EQ("__/__/___1", Text());
}

TEST_F(MaskEditTest, UndoRestoresTheTextBeforeTheTypingAndASecondUndoBringsItBack)
{
  Type("25");
  Type("1220");
  EXPECT_EQ("25/12/20__", Text());
  edit.SendMessage(WM_UNDO);
  EXPECT_EQ("__/__/____", Text());
  edit.SendMessage(WM_UNDO);
  EXPECT_EQ("25/12/20__", Text());
}

TEST_F(MaskEditTest, MaskAndLiteralOfDifferentLengthsAreRefused)
{
  Type("2512");
  EXPECT_FALSE(edit.SetEditMask("00/00", "__/__/____", nullptr));
  EXPECT_EQ("25/12/____", Text());
  // The old mask still governs the field.
  Type("2");
  EXPECT_EQ("25/12/2___", Text());
}

TEST_F(MaskEditTest, ADefaultShorterThanTheLiteralIsFittedIntoIt)
{
  ASSERT_TRUE(edit.SetEditMask("00/00/0000", "__/__/____", "2512"));
  EXPECT_EQ("25/12/____", Text());
}

TEST_F(MaskEditTest, MaskLettersTable)
{
  struct Case {
    char letter;
    char in;
    bool accepted;
    char out;
  };
  const Case cases[] = {
      {'0', '7', true, '7'},  {'0', ' ', false, ' '}, {'9', ' ', true, ' '},  {'#', '-', true, '-'},
      {'#', 'a', false, 'a'}, {'<', 'Q', true, 'q'},  {'>', 'q', true, 'Q'},  {'>', '\xE6', true, '\xC6'},
      {'L', '5', false, '5'}, {'?', ' ', true, ' '},  {'H', 'f', true, 'f'},  {'H', 'g', false, 'g'},
      {'X', ' ', true, ' '},  {'a', ' ', true, ' '},  {'A', '\xC0', true, '\xC0'}, {'d', ',', true, ','},
      {'d', '.', true, '.'},  {'&', '~', true, '~'},  {'z', '1', false, '1'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.letter) + " " + std::string(1, c.in));
    char ch = c.in;
    EXPECT_EQ(c.accepted, tkmask::ProcessMaskLetter(ch, c.letter));
    EXPECT_EQ(c.out, ch);
  }
}

TEST_F(MaskEditTest, ReadOnlyOrWithoutAMaskItIsAPlainEdit)
{
  edit.SetReadOnly(TRUE);
  edit.SetWindowText("");
  edit.SendMessage(WM_CHAR, 'x', 0);
  EXPECT_EQ("", Text());  // a read-only plain edit takes nothing
  edit.SetReadOnly(FALSE);
  edit.SetUseMask(FALSE);
  Type("ab/c");
  EXPECT_EQ("ab/c", Text());
  EXPECT_EQ(0, edit.invalid);
}

}  // namespace

namespace {

TEST_F(MaskEditTest, OvertypeSpaceAndCaretLimits)
{
  Type("25122010");
  // Insert turns on overtype: a typed digit replaces the one under the caret, nothing moves.
  Key(VK_INSERT);
  EXPECT_TRUE(edit.IsOverType());
  edit.SetSel(3, 3);
  Type("0");
  EXPECT_EQ("25/02/2010", Text());
  // Backspace in overtype puts back the default text's character (the prompt here).
  Key(VK_BACK);
  EXPECT_EQ("25/_2/2010", Text());
  Key(VK_INSERT);
  EXPECT_FALSE(edit.IsOverType());
  // Space: a '0' position refuses a space, so the prompt is inserted and the input moves right.
  edit.SetSel(0, 0);
  Key(VK_SPACE);
  EXPECT_EQ("_2/5_/2201", Text());
  // End stops after the last input position; the caret cannot rest before the first one.
  ASSERT_TRUE(edit.SetEditMask("(000)", "(___)", nullptr));
  edit.SetSel(0, 0);
  Key(VK_END);
  int start = 0, end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(4, start);
  EXPECT_EQ(4, end);
  Key(VK_HOME);
  edit.GetSel(start, end);
  EXPECT_EQ(1, start);
  Type("1234");
  EXPECT_EQ("(123)", Text());
  EXPECT_EQ(1, edit.outOfRange);
  // Delete on the closing fixed character and past it changes nothing and reads nothing beyond the text.
  edit.SetSel(4, 4);
  Key(VK_DELETE);
  EXPECT_EQ("(123)", Text());
  edit.SetSel(5, 5);
  Key(VK_DELETE);
  EXPECT_EQ("(123)", Text());
  EXPECT_EQ(1, edit.outOfRange);  // the caret snaps back onto the field: nothing to refuse
}

}  // namespace
