// Dialog scripts compiled into the platform's template bytes.
#include "tests/tools/compile_fixture.h"
#include "tools/rescomp/styles.h"

#include "platform/user/common_controls.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace rescomp_test;

TEST(RescompDialogs, ADialogBecomesADlgTemplateWithAlignedItems)
{
  Compiled c = Compile(U8(u8"DIALOG 100 IDD_T 10 20 100 50\n"
                          u8"  STYLE DS_MODALFRAME | WS_POPUP\n"
                          u8"  CAPTION \"Д\"\n"
                          u8"  FONT 8 \"A\"\n"
                          u8"  CONTROL Button 1 \"OK\" 5 6 40 14 WS_TABSTOP | BS_DEFPUSHBUTTON\n"
                          u8"  CONTROL \"MyClass\" 1001 IDC_MINE \"\" 1 2 3 4 NOT WS_VISIBLE | WS_EX_CLIENTEDGE\n"
                          u8"END\n"));
  ASSERT_TRUE(c.ok) << c.FirstError();
  Expect e;
  e.D(0x80C000C0)        // popup, caption (from CAPTION), modal frame, set font (from FONT)
      .D(0)              // extended style
      .W(2)              // items
      .W(10).W(20).W(100).W(50)
      .W(0)              // no menu
      .W(0)              // the dialog class
      .Text(u"\u0414")   // caption
      .W(8).Text(u"A");  // font: 32 bytes so far
  e.D(0x50010001).D(0).W(5).W(6).W(40).W(14).W(1)  // child, visible, tab stop, default push button
      .W(0xFFFF).W(0x0080)                          // the button class by its ordinal
      .Text(u"OK")
      .W(0)                                         // no creation data; 62 bytes
      .B({0, 0});                                   // the next item on a four-byte boundary
  e.D(0x40000000).D(0x00000200).W(1).W(2).W(3).W(4).W(1001).Text(u"MyClass").Text(u"").W(0);
  const rescomp::BinaryResource* r = Resource(c.module, rescomp::kTypeDialog, 100);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->bytes, e.out);
  ASSERT_EQ(c.module.names.size(), 2u);
  EXPECT_EQ(c.module.names[0].name, "IDD_T");
  EXPECT_EQ(c.module.names[1].name, "IDC_MINE");
  EXPECT_EQ(c.module.names[1].value, 1001);
}

TEST(RescompDialogs, ADialogExBecomesADlgTemplateExWithDefaults)
{
  Compiled c = Compile(
      "DIALOGEX 101 0 0 30 40\n"
      "  FONT 9 \"A\" 700 1 0\n"
      "  CONTROL msctls_updown32 -1 \"\" 1 2 3 4 UDS_WRAP\n"
      "END\n");
  ASSERT_TRUE(c.ok) << c.FirstError();
  Expect e;
  e.W(1).W(0xFFFF).D(0)   // version, signature, help id
      .D(0)               // extended style
      .D(0x80880040)      // no STYLE: popup, border, system menu; and set font
      .W(1).W(0).W(0).W(30).W(40)
      .W(0).W(0).Text(u"")
      .W(9).W(700).B({1, 0}).Text(u"A")  // 42 bytes
      .B({0, 0});
  e.D(0).D(0).D(0x50000001).W(1).W(2).W(3).W(4).D(0xFFFFFFFF).Text(u"msctls_updown32").Text(u"").W(0);
  const rescomp::BinaryResource* r = Resource(c.module, rescomp::kTypeDialog, 101);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->bytes, e.out);
}

TEST(RescompDialogs, MistakesInDialogsAreReportedWithFileAndLine)
{
  struct Case {
    std::string body;  // the lines between the dialog's header and its END, the first being line 2
    std::string message;
  };
  const Case cases[] = {
      {"  CONTROL Knob 5 \"\" 0 0 1 1\n", "t.rsrc:2: error: unknown control class 'Knob'"},
      {"  CONTROL Button 5 \"\" 0 0 1 1 ES_NUMBER\n", "t.rsrc:2: error: unknown style 'ES_NUMBER' for class Button"},
      {"  CONTROL \"Mine\" 5 \"\" 0 0 1 1 BS_FLAT\n", "t.rsrc:2: error: unknown style 'BS_FLAT' for class \"Mine\""},
      {"  STYLE WS_POPUP BS_FLAT\n", "t.rsrc:2: error: '|' expected between style flags, not 'BS_FLAT'"},
      {"  STYLE WS_POPUP |\n", "t.rsrc:2: error: style flag expected at the end of the line"},
      {"  CONTROL Edit 5 \"\" 0 0 1 1\n  CONTROL Edit 5 \"\" 0 9 1 1\n",
       "t.rsrc:3: error: control id 5 already used at t.rsrc:2"},
      {"  CONTROL Edit 5 0 0 1 1\n", "t.rsrc:2: error: control 5 needs its text (\"\" for none)"},
      {"  CONTROL Edit 5 \"\" 0 0 -1 1\n", "t.rsrc:2: error: width -1 outside 0..32767"},
      {"  CONTROL Edit 5 \"\" 0 0 1\n", "t.rsrc:2: error: height expected"},
      {"  CONTROL Static -1 IDC_X \"\" 0 0 1 1\n",
       "t.rsrc:2: error: control -1 cannot have a name: nobody addresses it"},
      {"  FONT 8 \"A\" 700\n", "t.rsrc:2: error: weight, italic and character set need DIALOGEX"},
      {"  CAPTION \"a\"\n  CAPTION \"b\"\n", "t.rsrc:3: error: CAPTION already given at t.rsrc:2"},
      {"  ITEM 5 \"x\"\n",
       "t.rsrc:2: error: unknown dialog statement 'ITEM' (known: STYLE CAPTION FONT CLASS CONTROL)"},
      {"  CAPTION \"\xE2\x82\xAC\xE2\x82\xBF\"\n",
       "t.rsrc:2: error: CAPTION holds a character that code page 1251 cannot represent"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    Compiled result = Compile("DIALOG 7 0 0 10 10\n" + c.body + "END\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.FirstError().substr(0, c.message.size()), c.message);
    EXPECT_TRUE(result.module.resources.empty());
  }
  Compiled twice = Compile("DIALOG 7 0 0 10 10\nEND\nDIALOG 7 0 0 10 10\nEND\n");
  EXPECT_EQ(twice.FirstError(), "t.rsrc:3: error: dialog id 7 already defined at t.rsrc:1");
}

TEST(RescompDialogs, ClassNamesIgnoreCaseAndStyleNamesMeanThePlatformsValues)
{
  Compiled c = Compile("DIALOG 7 0 0 10 10\n  CONTROL BUTTON 5 \"\" 0 0 1 1 BS_AUTOCHECKBOX\nEND\n");
  ASSERT_TRUE(c.ok) << c.FirstError();

#define FLAG(name) {#name, name}
  const std::map<std::string, DWORD> platform = {
      FLAG(WS_POPUP), FLAG(WS_CHILD), FLAG(WS_VISIBLE), FLAG(WS_DISABLED), FLAG(WS_CAPTION), FLAG(WS_BORDER),
      FLAG(WS_VSCROLL), FLAG(WS_HSCROLL), FLAG(WS_SYSMENU), FLAG(WS_THICKFRAME), FLAG(WS_GROUP), FLAG(WS_TABSTOP),
      FLAG(WS_CLIPCHILDREN), FLAG(WS_CLIPSIBLINGS), FLAG(WS_OVERLAPPEDWINDOW), FLAG(WS_POPUPWINDOW),
      FLAG(WS_EX_CLIENTEDGE), FLAG(WS_EX_STATICEDGE), FLAG(WS_EX_CONTROLPARENT), FLAG(WS_EX_DLGMODALFRAME),
      FLAG(WS_EX_TOOLWINDOW), FLAG(WS_EX_WINDOWEDGE), FLAG(WS_EX_TRANSPARENT), FLAG(WS_EX_NOPARENTNOTIFY),
      FLAG(DS_MODALFRAME), FLAG(DS_SETFONT), FLAG(DS_CENTER), FLAG(DS_CONTROL), FLAG(DS_3DLOOK), FLAG(DS_FIXEDSYS),
      FLAG(DS_SHELLFONT), FLAG(DS_NOFAILCREATE), FLAG(DS_ABSALIGN), FLAG(DS_CONTEXTHELP),
      FLAG(BS_PUSHBUTTON), FLAG(BS_DEFPUSHBUTTON), FLAG(BS_CHECKBOX), FLAG(BS_AUTOCHECKBOX), FLAG(BS_RADIOBUTTON),
      FLAG(BS_3STATE), FLAG(BS_AUTO3STATE), FLAG(BS_GROUPBOX), FLAG(BS_AUTORADIOBUTTON), FLAG(BS_OWNERDRAW),
      FLAG(BS_LEFTTEXT), FLAG(BS_LEFT), FLAG(BS_RIGHT), FLAG(BS_CENTER), FLAG(BS_PUSHLIKE), FLAG(BS_MULTILINE),
      FLAG(BS_FLAT), FLAG(ES_LEFT), FLAG(ES_CENTER), FLAG(ES_RIGHT), FLAG(ES_MULTILINE), FLAG(ES_UPPERCASE),
      FLAG(ES_LOWERCASE), FLAG(ES_PASSWORD), FLAG(ES_AUTOVSCROLL), FLAG(ES_AUTOHSCROLL), FLAG(ES_NOHIDESEL),
      FLAG(ES_READONLY), FLAG(ES_WANTRETURN), FLAG(ES_NUMBER), FLAG(SS_LEFT), FLAG(SS_CENTER), FLAG(SS_RIGHT),
      FLAG(SS_ICON), FLAG(SS_BLACKRECT), FLAG(SS_WHITERECT), FLAG(SS_BLACKFRAME), FLAG(SS_SIMPLE),
      FLAG(SS_LEFTNOWORDWRAP), FLAG(SS_OWNERDRAW), FLAG(SS_BITMAP), FLAG(SS_ETCHEDHORZ), FLAG(SS_ETCHEDVERT),
      FLAG(SS_ETCHEDFRAME), FLAG(SS_NOPREFIX), FLAG(SS_NOTIFY), FLAG(SS_CENTERIMAGE), FLAG(SS_SUNKEN),
      FLAG(SS_ENDELLIPSIS), FLAG(LBS_NOTIFY), FLAG(LBS_SORT), FLAG(LBS_NOREDRAW), FLAG(LBS_MULTIPLESEL),
      FLAG(LBS_OWNERDRAWFIXED), FLAG(LBS_OWNERDRAWVARIABLE), FLAG(LBS_HASSTRINGS), FLAG(LBS_NOINTEGRALHEIGHT),
      FLAG(LBS_EXTENDEDSEL), FLAG(LBS_STANDARD), FLAG(CBS_SIMPLE), FLAG(CBS_DROPDOWN), FLAG(CBS_DROPDOWNLIST),
      FLAG(CBS_AUTOHSCROLL), FLAG(CBS_SORT), FLAG(CBS_HASSTRINGS), FLAG(CBS_NOINTEGRALHEIGHT),
      FLAG(CBS_OWNERDRAWFIXED), FLAG(CBS_OWNERDRAWVARIABLE), FLAG(SBS_HORZ), FLAG(SBS_VERT), FLAG(UDS_WRAP),
      FLAG(UDS_SETBUDDYINT), FLAG(UDS_ALIGNRIGHT), FLAG(UDS_ALIGNLEFT), FLAG(UDS_AUTOBUDDY), FLAG(UDS_ARROWKEYS),
      FLAG(UDS_HORZ), FLAG(UDS_NOTHOUSANDS), FLAG(TVS_HASBUTTONS), FLAG(TVS_HASLINES), FLAG(TVS_LINESATROOT),
      FLAG(TVS_EDITLABELS), FLAG(TVS_DISABLEDRAGDROP), FLAG(TVS_SHOWSELALWAYS), FLAG(TVS_FULLROWSELECT),
  };
#undef FLAG
  // Every flag the platform defines has the same value here; the rest are only in the compiler's tables.
  int compared = 0;
  for (const rescomp::StyleFlag& flag : rescomp::AllStyleFlags()) {
    auto it = platform.find(flag.name);
    if (it != platform.end()) {
      EXPECT_EQ(flag.value, it->second) << flag.name;
      ++compared;
    }
  }
  EXPECT_GE(compared, static_cast<int>(platform.size()));
}

}  // namespace
