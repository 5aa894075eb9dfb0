#include "tools/rescomp/rescomp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct Compiled {
  bool ok;
  rescomp::Module module;
  std::vector<rescomp::Diagnostic> diagnostics;
};

// Scripts are UTF-8 whatever the execution character set; u8 literals keep them so.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

Compiled Compile(std::vector<rescomp::SourceFile> sources)
{
  Compiled c{false, {"program", {}}, {}};
  c.ok = rescomp::CompileModule(sources, c.module, c.diagnostics);
  return c;
}

Compiled Compile(const std::string& script) { return Compile({{"res/program/strings.rsrc", script}}); }

TEST(Rescomp, StringTableEntriesBecomeSortedCodePage1251Texts)
{
  Compiled c = Compile(U8(
      u8"// strings\n"
      u8"STRINGTABLE\n"
      u8"  300 \"Примитив\"  // trailing comment\n"
      u8"\n"
      u8"  57345 AFX_IDS_IDLEMESSAGE \"Idle\"\n"
      u8"  0x80 \"a\\tb\\nc \\\"q\\\" \\\\ // not a comment\"\n"
      u8"  129 \"joined \" \"text … “quoted”\"\n"
      u8"END\n"));
  ASSERT_TRUE(c.ok) << (c.diagnostics.empty() ? "" : c.diagnostics[0].Format());
  ASSERT_EQ(c.module.strings.size(), 4u);
  EXPECT_EQ(c.module.strings[0].id, 128);
  EXPECT_EQ(c.module.strings[0].text, "a\tb\nc \"q\" \\ // not a comment");
  EXPECT_EQ(c.module.strings[1].text, "joined text \x85 \x93quoted\x94");
  EXPECT_EQ(c.module.strings[2].id, 300);
  EXPECT_EQ(c.module.strings[2].text, "\xCF\xF0\xE8\xEC\xE8\xF2\xE8\xE2");
  EXPECT_EQ(c.module.strings[2].line, 3);
  EXPECT_EQ(c.module.strings[3].name, "AFX_IDS_IDLEMESSAGE");
}

TEST(Rescomp, MalformedLinesAreReportedWithFileAndLine)
{
  struct Case {
    std::string body;  // the third line of a string table
    std::string message;
  };
  const Case cases[] = {
      {"  101 \"no end", "text not closed by '\"'"},
      {"  101 \"bad \\q escape\"", "unknown escape '\\q'"},
      {"  101", "string 101 has no text"},
      {"  101 NAME", "string 101 has no text"},
      {"  101 \"\"", "string 101 is empty"},
      {"  0 \"zero\"", "string id 0 outside 1..65535"},
      {"  70000 \"big\"", "string id 70000 outside 1..65535"},
      {"  12ab \"x\"", "malformed number '12a'"},
      {"  NAME 101 \"x\"", "a string entry starts with its id, not 'NAME'"},
      {"  101 \"x\" 5", "unexpected '5' after the text of string 101"},
      {U8(u8"  101 \"漢字\""), "string 101 holds a character that code page 1251 cannot represent"},
      {"  101 \"\xC3(\"", "string 101 holds a character that code page 1251 cannot represent"},
      {"  101 @", "unexpected character '@'"},
      {"  MENU 5", "MENU cannot stand inside STRINGTABLE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    Compiled result = Compile("STRINGTABLE\n  100 \"fine\"\n" + c.body + "\n  102 \"fine too\"\nEND\n");
    EXPECT_FALSE(result.ok);
    // A block keyword in the wrong place also leaves its enclosing block unclosed; look for ours.
    std::string text;
    for (const auto& d : result.diagnostics) {
      if (d.message.find(c.message) != std::string::npos) {
        text = d.Format();
      }
    }
    ASSERT_FALSE(text.empty()) << result.diagnostics[0].Format();
    EXPECT_EQ(text.substr(0, text.find(" error: ") + 8), "res/program/strings.rsrc:3: error: ");
  }
}

TEST(Rescomp, DuplicatesAcrossFilesNameBothPlaces)
{
  Compiled c = Compile({{"a.rsrc", "STRINGTABLE\n  101 X \"one\"\nEND\n"},
                        {"b.rsrc", "\nSTRINGTABLE\n  101 \"two\"\n  102 X \"three\"\nEND\n"}});
  EXPECT_FALSE(c.ok);
  ASSERT_EQ(c.diagnostics.size(), 2u);
  EXPECT_EQ(c.diagnostics[0].Format(), "b.rsrc:3: error: string id 101 already defined at a.rsrc:2");
  EXPECT_EQ(c.diagnostics[1].Format(), "b.rsrc:4: error: name X already defined at a.rsrc:2");
}

TEST(Rescomp, BlockStructureErrorsPointAtTheirLines)
{
  struct Case {
    std::string script;
    std::string diagnostic;
  };
  const Case cases[] = {
      {"STRINGTABLE\n  1 \"a\"\n", "s.rsrc:1: error: STRINGTABLE block not closed by END"},
      {"STRINGTABLE\nEND\nEND\n", "s.rsrc:3: error: END without an open block"},
      {"STRINGTABLE 5\nEND\n", "s.rsrc:1: error: STRINGTABLE takes nothing on its line"},
      {"\nLABEL 5 \"x\"\n", "s.rsrc:2: error: unknown statement 'LABEL'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    Compiled result = Compile({{"s.rsrc", c.script}});
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.diagnostics.empty());
    EXPECT_EQ(result.diagnostics[0].Format(), c.diagnostic);
  }
}

TEST(Rescomp, MenusBecomeFlatItemListsWithDepths)
{
  Compiled c = Compile({{"m.rsrc", U8(u8"MENU 200 IDR_POPUPS\n"
                                      u8"  POPUP \"Вид\"\n"
                                      u8"    ITEM 300 \"Один\"\n"
                                      u8"  END\n"
                                      u8"END\n"
                                      u8"MENU 128 IDR_MAINFRAME\n"
                                      u8"  POPUP \"&Файл\"\n"
                                      u8"    ITEM 57600 ID_FILE_NEW \"&Создать\\tCtrl+N\"\n"
                                      u8"    SEPARATOR\n"
                                      u8"    POPUP \"&Экспорт\"\n"
                                      u8"      ITEM 32800 \"&DXF\" GRAYED\n"
                                      u8"    END\n"
                                      u8"    ITEM 32801 \"Сетка\" CHECKED GRAYED\n"
                                      u8"  END\n"
                                      u8"  ITEM 57665 ID_APP_EXIT \"В&ыход\"\n"
                                      u8"END\n"
                                      u8"STRINGTABLE\n"
                                      u8"  57600 ID_FILE_NEW \"Create a project\"\n"
                                      u8"END\n")}});
  ASSERT_TRUE(c.ok) << (c.diagnostics.empty() ? "" : c.diagnostics[0].Format());
  ASSERT_EQ(c.module.menus.size(), 2u);
  EXPECT_EQ(c.module.menus[1].id, 200);
  const rescomp::MenuEntry& menu = c.module.menus[0];
  EXPECT_EQ(menu.id, 128);
  EXPECT_EQ(menu.name, "IDR_MAINFRAME");
  struct Expected {
    int depth;
    bool popup, separator, grayed, checked;
    std::uint16_t id;
    std::string text;
  };
  const Expected expected[] = {
      {0, true, false, false, false, 0, "&\xD4\xE0\xE9\xEB"},
      {1, false, false, false, false, 57600, "&\xD1\xEE\xE7\xE4\xE0\xF2\xFC\tCtrl+N"},
      {1, false, true, false, false, 0, ""},
      {1, true, false, false, false, 0, "&\xDD\xEA\xF1\xEF\xEE\xF0\xF2"},
      {2, false, false, true, false, 32800, "&DXF"},
      {1, false, false, true, true, 32801, "\xD1\xE5\xF2\xEA\xE0"},
      {0, false, false, false, false, 57665, "\xC2&\xFB\xF5\xEE\xE4"},
  };
  ASSERT_EQ(menu.items.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const auto& got = menu.items[i];
    const auto& want = expected[i];
    EXPECT_EQ(got.depth, want.depth);
    EXPECT_EQ(got.popup, want.popup);
    EXPECT_EQ(got.separator, want.separator);
    EXPECT_EQ(got.grayed, want.grayed);
    EXPECT_EQ(got.checked, want.checked);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.text, want.text);
  }
  // A command's name may stand in its menu item and its prompt string alike; the header has it once.
  std::string header = rescomp::GenerateIdsHeader(c.module);
  EXPECT_NE(header.find("inline constexpr UINT IDR_MAINFRAME = 128;\n"), std::string::npos);
  EXPECT_NE(header.find("inline constexpr UINT ID_APP_EXIT = 57665;\n"), std::string::npos);
  std::string newItem = "inline constexpr UINT ID_FILE_NEW = 57600;\n";
  ASSERT_NE(header.find(newItem), std::string::npos);
  EXPECT_EQ(header.find(newItem, header.find(newItem) + 1), std::string::npos);
}

TEST(Rescomp, AcceleratorsKeepKeysCommandsAndModifiers)
{
  Compiled c = Compile({{"a.rsrc", U8(u8"ACCELERATORS 128 IDR_MAINFRAME\n"
                                      u8"  \"N\" 57600 VIRTKEY CONTROL\n"
                                      u8"  \"5\" 32770 ALT SHIFT VIRTKEY\n"
                                      u8"  VK_F5 32772\n"
                                      u8"  VK_DELETE 57632 VIRTKEY SHIFT\n"
                                      u8"  \"ж\" 32773\n"
                                      u8"  \"?\" 32774 ALT\n"
                                      u8"END\n"
                                      u8"MENU 128 IDR_MAINFRAME\n"
                                      u8"  ITEM 57600 \"New\"\n"
                                      u8"END\n")}});
  ASSERT_TRUE(c.ok) << (c.diagnostics.empty() ? "" : c.diagnostics[0].Format());
  ASSERT_EQ(c.module.accelerators.size(), 1u);
  const auto& entries = c.module.accelerators[0].entries;
  struct Expected {
    std::uint8_t flags;
    std::uint16_t key;
    std::uint16_t command;
  };
  // Flags: 0x01 virtual key, 0x04 shift, 0x08 control, 0x10 alt.
  const Expected expected[] = {
      {0x09, 'N', 57600}, {0x15, '5', 32770}, {0x01, 0x74, 32772},
      {0x05, 0x2E, 57632}, {0x00, 0xE6, 32773}, {0x10, '?', 32774},
  };
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].flags, expected[i].flags);
    EXPECT_EQ(entries[i].key, expected[i].key);
    EXPECT_EQ(entries[i].command, expected[i].command);
  }
}

TEST(Rescomp, MalformedMenusAndAcceleratorsAreReportedWithFileAndLine)
{
  struct Case {
    std::string script;
    int line;
    std::string message;
  };
  const Case cases[] = {
      {"MENU\n  ITEM 1 \"a\"\nEND\n", 1, "MENU id expected"},
      {"MENU 0\n  ITEM 1 \"a\"\nEND\n", 1, "MENU id 0 outside 1..65535"},
      {"MENU 5 NAME 6\n  ITEM 1 \"a\"\nEND\n", 1, "unexpected '6' after MENU 5"},
      {"MENU 5\nEND\n", 1, "MENU 5 has no entries"},
      {"MENU 5\n  ITEM 1 \"a\"\nEND\nMENU 5\n  ITEM 1 \"a\"\nEND\n", 4, "MENU id 5 already defined at s.rsrc:1"},
      {"MENU 5\n  POPUP \"a\"\n  END\nEND\n", 2, "POPUP \"a\" has no items"},
      {"MENU 5\n  POPUP\n    ITEM 1 \"a\"\n  END\nEND\n", 2, "POPUP takes one text"},
      {"MENU 5\n  POPUP \"a\" GRAYED\n    ITEM 1 \"a\"\n  END\nEND\n", 2, "POPUP takes one text"},
      {"MENU 5\n  POPUP \"\"\n    ITEM 1 \"a\"\n  END\nEND\n", 2, "POPUP text is empty"},
      {"MENU 5\n  ITEM 1 \"a\"\n  ITEM 0 \"b\"\nEND\n", 3, "command id 0 outside 1..65535"},
      {"MENU 5\n  ITEM \"b\"\nEND\n", 2, "command id expected, not 'b'"},
      {"MENU 5\n  ITEM 7\nEND\n", 2, "item 7 has no text"},
      {"MENU 5\n  ITEM 7 NAME GRAYED\nEND\n", 2, "item 7 has no text"},
      {"MENU 5\n  ITEM 7 \"\"\nEND\n", 2, "item 7 has an empty text"},
      {"MENU 5\n  ITEM 7 \"a\" BOLD\nEND\n", 2, "unexpected 'BOLD' after the text of item 7 (known: GRAYED CHECKED)"},
      {"MENU 5\n  ITEM 7 \"a\" GRAYED GRAYED\nEND\n", 2, "GRAYED given twice"},
      {U8(u8"MENU 5\n  ITEM 7 \"漢\"\nEND\n"), 2, "item 7 holds a character that code page 1251 cannot represent"},
      {"MENU 5\n  SEPARATOR 3\nEND\n", 2, "SEPARATOR takes nothing on its line"},
      {"MENU 5\n  MENUITEM 7 \"a\"\nEND\n", 2, "unknown menu statement 'MENUITEM'"},
      {"MENU 5\n  STRINGTABLE\n  END\nEND\n", 2, "STRINGTABLE cannot stand inside a menu"},
      {"MENU 5 X\n  ITEM 7 X \"a\"\nEND\n", 2, "name X already defined at s.rsrc:1"},
      {"ACCELERATORS 5\nEND\n", 1, "ACCELERATORS 5 has no entries"},
      {"ACCELERATORS 5\n  \"A\" 1 VIRTKEY\n  VK_F13 2\nEND\n", 3, "unknown key 'VK_F13'"},
      {"ACCELERATORS 5\n  \"AB\" 2\nEND\n", 2, "a key in quotes is one character, not \"AB\""},
      {"ACCELERATORS 5\n  \"\" 2\nEND\n", 2, "a key in quotes is one character"},
      {"ACCELERATORS 5\n  65 2\nEND\n", 2, "an accelerator starts with its key, not '65'"},
      {"ACCELERATORS 5\n  VK_F5\nEND\n", 2, "command id expected"},
      {"ACCELERATORS 5\n  VK_F5 0\nEND\n", 2, "command id 0 outside 1..65535"},
      {"ACCELERATORS 5\n  VK_F5 2 CTRL\nEND\n", 2, "unexpected 'CTRL' (known: VIRTKEY CONTROL SHIFT ALT)"},
      {"ACCELERATORS 5\n  VK_F5 2 ALT ALT\nEND\n", 2, "ALT given twice"},
      {"ACCELERATORS 5\n  \"n\" 2 VIRTKEY CONTROL\nEND\n", 2, "a VIRTKEY key in quotes is a letter A-Z or a digit"},
      {"ACCELERATORS 5\n  \"N\" 2 CONTROL\nEND\n", 2, "CONTROL and SHIFT need VIRTKEY"},
      {"ACCELERATORS 5\n  \"N\" 2 VIRTKEY CONTROL\n  \"N\" 3 CONTROL VIRTKEY\nEND\n", 3,
       "the same key is given at s.rsrc:2"},
      {"ACCELERATORS 5\n  POPUP \"x\"\n  END\nEND\n", 2, "POPUP cannot stand inside ACCELERATORS"},
      {U8(u8"ACCELERATORS 5\n  \"漢\" 2\nEND\n"), 2, "the key holds a character that code page 1251 cannot represent"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    Compiled result = Compile({{"s.rsrc", c.script}});
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.diagnostics.empty());
    const std::string text = result.diagnostics[0].Format();
    EXPECT_EQ(text.substr(0, text.find(" error: ") + 8), "s.rsrc:" + std::to_string(c.line) + ": error: ");
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
  }
}

TEST(Rescomp, TheReaderNestsBlocksWithoutKnowingTheirKinds)
{
  std::vector<rescomp::Diagnostic> diagnostics;
  auto statements = rescomp::ReadScript("m.rsrc",
                                        "MENU 128 IDR_MAINFRAME\n"
                                        "  POPUP \"A\"\n"
                                        "    ITEM 1 \"x\"\n"
                                        "    SEPARATOR\n"
                                        "  END\n"
                                        "  ITEM 2 \"y\"\n"
                                        "END\n"
                                        "ICON 128 \"app.png\"\n",
                                        diagnostics);
  EXPECT_TRUE(diagnostics.empty());
  ASSERT_EQ(statements.size(), 2u);
  ASSERT_EQ(statements[0].children.size(), 2u);
  EXPECT_EQ(statements[0].tokens[2].text, "IDR_MAINFRAME");
  EXPECT_EQ(statements[0].children[0].children.size(), 2u);
  EXPECT_EQ(statements[0].children[1].line, 6);
  EXPECT_FALSE(statements[1].isBlock);
  EXPECT_EQ(statements[1].tokens[2].text, "app.png");
}

TEST(Rescomp, TheToolFailsWithTheDiagnosticAndWritesNothing)
{
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("rescomp_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path script = dir / "bad.rsrc";
  std::ofstream(script) << "STRINGTABLE\n  101 \"ok\"\n  102 \"broken\nEND\n";
  fs::path source = dir / "out.cpp";
  std::string command = std::string(RESCOMP_EXECUTABLE) + " --module program --file-name QorRoad --source " +
                        source.string() + " --ids " + (dir / "ids.h").string() + " " + script.string() + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char chunk[256];
  while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
    output += chunk;
  }
  int status = ::pclose(pipe);
  EXPECT_NE(status, 0);
  EXPECT_EQ(output, script.string() + ":3: error: text not closed by '\"'\n");
  EXPECT_FALSE(fs::exists(source));
  fs::remove_all(dir);
}

}  // namespace
