// The HTML Help stand-in: which requests reach the viewer, and a missing help file reported as not shown.
#include "platform/shell/htmlhelp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HtmlHelp, OnlyWellFormedRequestsReachTheViewer)
{
  std::vector<shell::HelpRequest> seen;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    seen.push_back(r);
    return true;
  });
  HWND caller = reinterpret_cast<HWND>(0x1234);
  HH_AKLINK link;
  link.cbStruct = sizeof link;
  link.pszKeywords = "Печать протокола";
  link.fIndexOnFail = TRUE;
  EXPECT_EQ(HtmlHelp(caller, "/opt/QorRoad.chm", HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link)), caller);

  HH_AKLINK wrongSize = link;
  wrongSize.cbStruct = 32;  // a 32-bit program's record
  HH_AKLINK noKeyword = link;
  noKeyword.pszKeywords = "";
  EXPECT_EQ(HtmlHelp(caller, "f.chm", HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&wrongSize)), nullptr);
  EXPECT_EQ(HtmlHelp(caller, "f.chm", HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&noKeyword)), nullptr);
  EXPECT_EQ(HtmlHelp(caller, "f.chm", HH_KEYWORD_LOOKUP, 0), nullptr);
  EXPECT_EQ(HtmlHelp(caller, "f.chm", 0x0011, 0), nullptr) << "a command the stand-in does not know";
  EXPECT_EQ(HtmlHelp(caller, "f.chm", HH_DISPLAY_TOPIC, 0), caller);

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].file, "/opt/QorRoad.chm");
  EXPECT_EQ(seen[0].keywords, "Печать протокола");
  EXPECT_TRUE(seen[0].indexOnFail);
  EXPECT_EQ(seen[1].command, HH_DISPLAY_TOPIC);

  shell::SetHelpHandler(nullptr);
  EXPECT_EQ(HtmlHelp(caller, "/nonexistent/QorRoad.chm", HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link)),
            nullptr)
      << "without its file the help cannot be started";
}

}  // namespace
