// The news page as text: what of an HTML page reaches the reader, and the dialog over a fetched and a failed page.
#include "app/shell/news_page.h"

#include "platform/base/codepage.h"
#include "platform/gdi/png.h"
#include "platform/richedit/richedit.h"
#include "platform/user/paint.h"
#include "res/modules.h"

#include <gtest/gtest.h>

namespace {

TEST(NewsText, WhatOfAPageIsShown)
{
  const struct {
    const char* what;
    std::string html;
    std::string text;  // cp1251
  } cases[] = {
      {"paragraphs and breaks", "<p>Первый абзац</p><p>Второй<br>строка</p>", "Первый абзац\r\nВторой\r\nстрока\r\n"},
      {"scripts, styles and comments go", "<style>p{}</style><script>alert('x<p>')</script><!-- <p>скрыто</p> -->Текст",
       "Текст\r\n"},
      {"entities", "A &amp; B &lt;C&gt; &quot;D&quot; &#1044; &#x416; &laquo;E&raquo; &nbsp;F &bogus; &",
       "A & B <C> \"D\" Д Ж «E» F &bogus; &\r\n"},
      {"blanks collapse, empty lines go", "  a \t  b \n\n\n <div>  </div> c ", "a b\r\nc\r\n"},
      {"a head gives only its title", "<html><head><title>Новости</title><meta charset=\"utf-8\"></head><body>x</body>",
       "Новости\r\nx\r\n"},
      {"an unclosed tag ends the text", "text <b unclosed", "text\r\n"},
      {"an unclosed script hides the rest", "a<script>b", "a\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shell::HtmlToText(codepage::Cp1251ToUtf8(c.html)), c.text) << c.what;
  }
  // A page in windows-1251 is taken byte for byte.
  EXPECT_EQ(shell::HtmlToText("<meta charset=windows-1251><p>Привет</p>"), "Привет\r\n");
  // Only the first 256 kB are read.
  EXPECT_EQ(shell::HtmlToText(std::string(300 * 1024, 'a')).size(), 256u * 1024 + 2);
}

class PageSite : public shell::UpdateFetch {
public:
  std::string page;
  std::vector<std::string> asked;
  bool CheckConnection(const std::string&, const std::atomic<bool>&) override { return true; }
  Result Fetch(const std::string& address, std::string* body, const std::atomic<bool>&) override
  {
    asked.push_back(address);
    if (page.empty()) {
      return Result::NotOpened;
    }
    *body = page;
    return Result::Opened;
  }
};

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

TEST(NewsDialog, ShowsTheFetchedTextOrOneLineWithTheAddress)
{
  res::RegisterModules();
  richedit::RegisterRichEditLibrary();
  CTestApp app;
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                             600, nullptr, nullptr));
  auto site = std::make_shared<PageSite>();
  site->page = codepage::Cp1251ToUtf8(
      "<html><head><title>Tesmira Road 6.1</title></head><body><h1>Вышла версия 6.1</h1>"
      "<p>Новые каталоги светильников &laquo;Hella&raquo; и &laquo;Philips&raquo;.</p>"
      "<ul><li>Расчёт развязок ускорен вдвое.</li><li>Исправлены ошибки отчёта.</li></ul></body></html>");
  const CString address = "https://tesmira-road.example/news/6";
  {
    shell::CDlgNews news(&owner, address, site);
    ASSERT_TRUE(news.Create(shell::IDD_NEWS, &owner));
    CString text;
    news.GetDlgItem(1116)->GetWindowText(text);
    EXPECT_NE(std::string(text).find("Вышла версия 6.1"), std::string::npos) << std::string(text);
    EXPECT_EQ(std::string(text).find("<"), std::string::npos);
    EXPECT_TRUE(news.GetDlgItem(1116)->GetStyle() & ES_READONLY);
    EXPECT_EQ(std::string(news.m_browserLink.GetURL()), std::string(address));
    EXPECT_EQ(site->asked, std::vector<std::string>{std::string(address)});
    news.ShowWindow(SW_SHOW);
    news.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(gdi::SavePng(*user::WindowSurface(news.GetSafeHwnd()),
                             std::string(TESMIRA_ARTIFACTS_DIR) + "/shell-news-dialog.png"));
    news.DestroyWindow();
  }
  site->page.clear();
  for (const char* failing : {"https://tesmira-road.example/news/7", "file:///etc/passwd"}) {
    shell::CDlgNews news(&owner, failing, site);
    ASSERT_TRUE(news.Create(shell::IDD_NEWS, &owner));
    CString text;
    news.GetDlgItem(1116)->GetWindowText(text);
    EXPECT_EQ(std::string(text), std::string("Страница новостей не загружена: ") + failing);
    news.DestroyWindow();
  }
  EXPECT_EQ(site->asked.size(), 2u) << "an address that is not on the web is never fetched";
  owner.DestroyWindow();
}

}  // namespace
