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
      // Kinds the grammar has but the compiler does not build yet are read as blocks and refused by name.
      {"MENU 128\n  POPUP \"&File\"\n    ITEM 57600 \"&New\"\n  END\nEND\nBITMAP 9322 \"toolbar.png\"\n",
       "s.rsrc:1: error: MENU resources are not supported yet"},
      {"DIALOG 303 0 0 200 100\n  CONTROL BUTTON 1 \"OK\" 10 10 50 14 WS_TABSTOP | BS_DEFPUSHBUTTON\nEND\n",
       "s.rsrc:1: error: DIALOG resources are not supported yet"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    Compiled result = Compile({{"s.rsrc", c.script}});
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.diagnostics.empty());
    EXPECT_EQ(result.diagnostics[0].Format(), c.diagnostic);
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
