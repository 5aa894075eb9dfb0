// The rich edit control driven through its messages and injected input: streams, zoom, selection and copy,
// read-only, scrolling and page formatting.
#include "platform/richedit/richedit_control.h"

#include "platform/base/module.h"
#include "platform/gdi/png.h"
#include "platform/gdi/print.h"
#include "platform/gdi/wingdi.h"
#include "platform/richedit/richedit.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using richedit::ControlDocument;
using richedit::ControlLayout;

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// Bytes handed out in chunks no larger than the control asks for; an error code after `failAfter` bytes.
struct Source {
  std::string bytes;
  size_t at = 0;
  size_t failAfter = std::string::npos;
  DWORD error = 0;
  std::vector<LONG> asked;
};

DWORD ReadSource(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb)
{
  auto* source = reinterpret_cast<Source*>(cookie);
  source->asked.push_back(cb);
  if (source->at >= source->failAfter) {
    *pcb = 0;
    return source->error;
  }
  const size_t n = std::min({static_cast<size_t>(cb), source->bytes.size() - source->at,
                             source->failAfter - source->at});
  std::memcpy(buffer, source->bytes.data() + source->at, n);
  source->at += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

struct Sink {
  std::string bytes;
  std::vector<LONG> chunks;
  DWORD failWith = 0;
};

DWORD WriteSink(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb)
{
  auto* sink = reinterpret_cast<Sink*>(cookie);
  sink->chunks.push_back(cb);
  if (sink->failWith != 0 && sink->chunks.size() == 2) {
    *pcb = 0;
    return sink->failWith;
  }
  sink->bytes.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(cb));
  *pcb = cb;
  return 0;
}

const char kHead[] = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs24 ";

struct Control {
  HWND parent = nullptr;
  HWND edit = nullptr;
  explicit Control(DWORD style = 0, const char* cls = RICHEDIT_CLASSA, int width = 400, int height = 300)
  {
    richedit::RegisterRichEditLibrary();
    parent = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, width + 20, height + 20, nullptr, nullptr,
                            nullptr, nullptr);
    edit = CreateWindowEx(0, cls, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | style, 0, 0, width, height, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(7)), nullptr, nullptr);
    Pump();
  }
  ~Control() { DestroyWindow(parent); }

  LRESULT StreamIn(const std::string& bytes, UINT format = SF_RTF, EDITSTREAM* out = nullptr)
  {
    Source source;
    source.bytes = bytes;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadSource};
    const LRESULT r = SendMessage(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    if (out != nullptr) {
      *out = es;
    }
    return r;
  }
  std::string Text() const { return ControlDocument(edit)->GetText(); }
  CHARRANGE Selection() const
  {
    CHARRANGE r{};
    SendMessage(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  void Select(LONG from, LONG to) const
  {
    CHARRANGE r{from, to};
    SendMessage(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
  }
  POINT PosOf(long cp) const
  {
    POINT p{};
    SendMessage(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), cp);
    return p;
  }
};

std::string ClipboardBytes(UINT format)
{
  std::string out;
  if (!OpenClipboard(nullptr)) {
    return out;
  }
  if (HANDLE data = GetClipboardData(format)) {
    const char* p = static_cast<const char*>(GlobalLock(data));
    out = p != nullptr ? std::string(p) : std::string();
    GlobalUnlock(data);
  }
  CloseClipboard();
  return out;
}

TEST(RichEditControl, ClassesAndModulesAreThereOnceRegistered)
{
  richedit::RegisterRichEditLibrary();
  for (const char* name : {"RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RICHEDIT"}) {
    WNDCLASS wc;
    EXPECT_TRUE(GetClassInfo(nullptr, name, &wc)) << name;
  }
  for (const char* module : {"RICHED20.DLL", "Msftedit.dll", "riched32.dll"}) {
    HMODULE h = LoadLibrary(module);
    EXPECT_NE(h, nullptr) << module;
    FreeLibrary(h);
  }
}

// Zoom scales what is shown and, when wrapping to the window, how wide the layout is; a ratio outside 1/64..64
// is refused and leaves the zoom as it was.
TEST(RichEditControl, ZoomScalesLayoutWidthAndShownPositions)
{
  Control c;
  c.StreamIn(std::string(kHead) + "Наружное освещение дорог и площадей, расчёт по нормам; " +
             "Наружное освещение дорог и площадей, расчёт по нормам.\\par}");
  struct Case {
    int numerator, denominator;
    double scale;
  };
  const POINT base = c.PosOf(5);
  const long baseWidth = ControlLayout(c.edit)->Width();
  for (const Case& k : {Case{64, 64, 1.0}, Case{32, 64, 0.5}, Case{0, 0, 1.0}, Case{128, 64, 2.0}}) {
    ASSERT_TRUE(SendMessage(c.edit, EM_SETZOOM, k.numerator, k.denominator)) << k.numerator;
    int n = -1;
    int d = -1;
    SendMessage(c.edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&n), reinterpret_cast<LPARAM>(&d));
    EXPECT_EQ(n, k.numerator);
    EXPECT_EQ(d, k.denominator);
    EXPECT_NEAR(ControlLayout(c.edit)->Width(), baseWidth / k.scale, 2) << k.numerator;
    EXPECT_NEAR(c.PosOf(5).x - 1, (base.x - 1) * k.scale, 1.5) << k.numerator;
  }
  SendMessage(c.edit, EM_SETZOOM, 32, 64);
  struct Bad {
    int numerator, denominator;
  };
  for (const Bad& k : {Bad{0, 64}, Bad{64, 0}, Bad{65 * 64, 64}, Bad{1, 65}, Bad{-32, 64}, Bad{32, -64}}) {
    EXPECT_FALSE(SendMessage(c.edit, EM_SETZOOM, k.numerator, k.denominator)) << k.numerator << "/" << k.denominator;
  }
  int n = 0;
  int d = 0;
  SendMessage(c.edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&n), reinterpret_cast<LPARAM>(&d));
  EXPECT_EQ(n * 2, d);
  EXPECT_TRUE(SendMessage(c.edit, EM_SETZOOM, 1, 64));
  EXPECT_TRUE(SendMessage(c.edit, EM_SETZOOM, 64, 1));
}

// The chosen text goes to the clipboard as plain text and as RTF holding the same text.
TEST(RichEditControl, CopyPutsSelectionAsTextAndRtf)
{
  Control c(ES_READONLY);
  c.StreamIn(std::string(kHead) + "Опора {\\b высотой} 12 м\\par "
                                  "\\trowd\\cellx2000\\cellx4000\\intbl Класс\\cell М3\\cell\\row\\pard Конец\\par}");
  const std::string text = c.Text();
  const long from = static_cast<long>(text.find("высотой"));
  const long to = static_cast<long>(text.find("М3")) + 3;  // the row's last cell mark: the whole row
  c.Select(from, to);
  SendMessage(c.edit, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "высотой 12 м\r\nКласс\tМ3\r\n");
  const std::string rtf = ClipboardBytes(RegisterClipboardFormat("Rich Text Format"));
  EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
  EXPECT_NE(rtf.find("\\b"), std::string::npos);

  // Nothing selected: the clipboard keeps what it had.
  c.Select(3, 3);
  SendMessage(c.edit, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "высотой 12 м\r\nКласс\tМ3\r\n");
}

// The ways a user selects: drag, shift+arrows, control+A, double-click on a word.
TEST(RichEditControl, SelectionByMouseAndKeys)
{
  Control c;
  c.StreamIn(std::string(kHead) + "alpha beta gamma\\par delta\\par}");
  SetFocus(c.edit);
  Pump();
  POINT screen = c.PosOf(0);
  ClientToScreen(c.edit, &screen);
  const POINT startOfBeta = c.PosOf(6);
  const POINT endOfGamma = c.PosOf(16);
  auto screenOf = [&](POINT p) {
    ClientToScreen(c.edit, &p);
    p.y += 4;
    return p;
  };
  user::InjectMouseMove(screenOf(startOfBeta));
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(screenOf(endOfGamma));
  user::InjectMouseButton(VK_LBUTTON, false);
  Pump();
  EXPECT_EQ(c.Selection().cpMin, 6);
  EXPECT_EQ(c.Selection().cpMax, 16);

  c.Select(2, 2);
  user::InjectKey(VK_SHIFT, true);
  user::InjectKeyPress(VK_RIGHT);
  user::InjectKeyPress(VK_RIGHT);
  user::InjectKeyPress(VK_RIGHT);
  user::InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(c.Selection().cpMin, 2);
  EXPECT_EQ(c.Selection().cpMax, 5);

  user::InjectKey(VK_CONTROL, true);
  user::InjectKeyPress('A');
  user::InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(c.Selection().cpMin, 0);
  EXPECT_EQ(c.Selection().cpMax, static_cast<LONG>(c.Text().size()));

  const POINT inBeta = c.PosOf(8);
  SendMessage(c.edit, WM_LBUTTONDBLCLK, 0, MAKELPARAM(inBeta.x, inBeta.y + 4));
  EXPECT_EQ(c.Selection().cpMin, 6);
  EXPECT_EQ(c.Selection().cpMax, 11);  // the word and the space after it
}

// With the focus, the caret stands before the active character and follows it, the zoom and typing.
TEST(RichEditControl, CaretFollowsTheActiveCharacter)
{
  Control c;
  c.StreamIn(std::string(kHead) + "first line\\par second line\\par}");
  SetFocus(c.edit);
  Pump();
  auto caret = [] {
    POINT p{-1, -1};
    GetCaretPos(&p);
    return p;
  };
  for (LONG cp : {0, 4, 14}) {
    c.Select(cp, cp);
    EXPECT_EQ(caret().x, c.PosOf(cp).x) << cp;
    EXPECT_EQ(caret().y, c.PosOf(cp).y) << cp;
  }
  SendMessage(c.edit, EM_SETZOOM, 128, 64);
  EXPECT_EQ(caret().x, c.PosOf(14).x);
  SendMessage(c.edit, WM_CHAR, 'Z', 0);
  EXPECT_EQ(c.Text().substr(11, 5), "secZo");
  EXPECT_EQ(caret().x, c.PosOf(15).x);
  EXPECT_GT(caret().x, c.PosOf(14).x);
}

// A read-only control refuses the user's typing, cutting and pasting, while programs may still set its text.
TEST(RichEditControl, ReadOnlyRefusesTyping)
{
  Control c(ES_READONLY);
  c.StreamIn(std::string(kHead) + "fixed}");
  SetFocus(c.edit);
  c.Select(5, 5);
  SendMessage(c.edit, WM_CHAR, 'x', 0);
  SendMessage(c.edit, WM_CHAR, '\b', 0);
  c.Select(0, 2);
  SendMessage(c.edit, WM_CUT, 0, 0);
  SendMessage(c.edit, WM_CLEAR, 0, 0);
  SendMessage(c.edit, WM_PASTE, 0, 0);
  c.Select(1, 1);
  SendMessage(c.edit, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(c.Text(), "fixed");
  EXPECT_EQ(c.Selection().cpMax, 1);
  EXPECT_FALSE(SendMessage(c.edit, EM_CANPASTE, 0, 0));
  EXPECT_TRUE(GetWindowLong(c.edit, GWL_STYLE) & ES_READONLY);

  SendMessage(c.edit, EM_SETREADONLY, FALSE, 0);
  EXPECT_FALSE(GetWindowLong(c.edit, GWL_STYLE) & ES_READONLY);
  c.Select(5, 5);
  SendMessage(c.edit, WM_CHAR, '!', 0);
  EXPECT_EQ(c.Text(), "fixed!");

  // The options word and the style say the same.
  SendMessage(c.edit, EM_SETOPTIONS, ECOOP_SET, ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_WANTRETURN | ECO_READONLY);
  EXPECT_EQ(SendMessage(c.edit, EM_GETOPTIONS, 0, 0), static_cast<LRESULT>(0x10C0 | ECO_READONLY));
  SendMessage(c.edit, WM_CHAR, '?', 0);
  EXPECT_EQ(c.Text(), "fixed!");
}

// Broken input shows what could be read; a failing callback stops the stream with its own code, keeping what
// came before.
TEST(RichEditControl, StreamInKeepsWhatWasReadAndReportsFaults)
{
  struct Case {
    const char* name;
    std::string rtf;
    size_t failAfter;
    const char* shown;
    bool errorExpected;
  };
  const std::string head = kHead;
  const Case cases[] = {
      {"unclosed", head + "Report body\\par More", std::string::npos, "Report body\rMore", false},
      {"bad hex", head + "Before\\par {\\pict\\dibitmap0 zz}After\\par}", std::string::npos, "Before\r", true},
      {"callback fails", head + "First part\\par Second part\\par}", head.size() + 16, "First part\rS", true},
      {"not rtf", "plain words\r\nline two", std::string::npos, "plain words\rline two", false},
  };
  for (const Case& k : cases) {
    Control c;
    Source source;
    source.bytes = k.rtf;
    source.failAfter = k.failAfter;
    source.error = 77;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadSource};
    SendMessage(c.edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    EXPECT_EQ(c.Text().substr(0, std::strlen(k.shown)), k.shown) << k.name;
    EXPECT_EQ(es.dwError != 0, k.errorExpected) << k.name;
    if (k.failAfter != std::string::npos) {
      EXPECT_EQ(es.dwError, 77u) << k.name;
    }
    for (LONG asked : source.asked) {
      EXPECT_GT(asked, 0);
    }
  }
}

// Stream-out hands the callback chunks it can take; a callback's error stops it and is reported.
TEST(RichEditControl, StreamOutInChunksStopsOnCallbackError)
{
  Control c;
  std::string body;
  for (int i = 0; i < 600; ++i) {
    body += "Строка протокола номер " + std::to_string(i) + "\\par ";
  }
  c.StreamIn(std::string(kHead) + body + "}");
  Sink text;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&text), 0, &WriteSink};
  SendMessage(c.edit, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(es.dwError, 0u);
  EXPECT_GT(text.chunks.size(), 2u);
  EXPECT_EQ(text.bytes.substr(0, 26), "Строка протокола номер 0\r\n");
  EXPECT_EQ(text.bytes.size(), c.Text().size() + 600);  // \r\n for each \r

  Sink failing;
  failing.failWith = 5;
  es = EDITSTREAM{reinterpret_cast<DWORD_PTR>(&failing), 0, &WriteSink};
  SendMessage(c.edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(es.dwError, 5u);
  EXPECT_EQ(failing.chunks.size(), 2u);

  // Only the selection.
  c.Select(0, 6);
  Sink part;
  es = EDITSTREAM{reinterpret_cast<DWORD_PTR>(&part), 0, &WriteSink};
  SendMessage(c.edit, EM_STREAMOUT, SF_TEXT | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(part.bytes, "Строка");
}

std::string LongReport(int paragraphs)
{
  std::string body;
  for (int i = 0; i < paragraphs; ++i) {
    body += "Участок " + std::to_string(i) + ": средняя яркость покрытия 1,5 кд/м2, равномерность 0,4.\\par ";
    if (i % 25 == 24) {
      body += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\intbl Параметр\\cell Значение\\cell\\row ";
    }
  }
  return std::string(kHead) + body + "}";
}

// Callbacks that claim more than the buffer holds, or less than nothing, and page rectangles with no room: the
// control reads and writes only its buffers and always moves on.
struct Liar {
  LONG factor;  // the claim is the buffer's size times this
  int calls = 0;
};

DWORD LyingSource(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb)
{
  auto* liar = reinterpret_cast<Liar*>(cookie);
  std::memset(buffer, 'x', static_cast<size_t>(cb));
  *pcb = ++liar->calls <= 2 ? cb * liar->factor : 0;
  return 0;
}

DWORD LyingSink(DWORD_PTR cookie, LPBYTE, LONG cb, LONG* pcb)
{
  *pcb = cb * reinterpret_cast<Liar*>(cookie)->factor;
  return 0;
}

TEST(RichEditControl, LyingCallbacksAndEmptyPagesAreHeldToTheBuffers)
{
  struct Case {
    LONG factor;
    size_t read;
    DWORD outError;
  };
  for (const Case& k : {Case{2, 2 * 4096, 0}, Case{-1, 0, 29}}) {
    Control c;
    Liar in{k.factor};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&in), 0, &LyingSource};
    SendMessage(c.edit, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
    EXPECT_EQ(c.Text().size(), k.read) << k.factor;
    c.StreamIn("some text", SF_TEXT);
    Liar out{k.factor};
    es = EDITSTREAM{reinterpret_cast<DWORD_PTR>(&out), 0, &LyingSink};
    SendMessage(c.edit, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&es));
    EXPECT_EQ(es.dwError, k.outError) << k.factor;
  }

  Control c;
  c.StreamIn(LongReport(3));
  HDC dc = CreateCompatibleDC(nullptr);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = dc;
  long cp = 0;
  int pages = 0;
  const long length = ControlDocument(c.edit)->Length();
  while (cp < length && pages < 100000) {
    fr.rc = RECT{100, 100, 100, 50};  // no width, negative height
    fr.chrg = CHARRANGE{static_cast<LONG>(cp), -1};
    const long next = SendMessage(c.edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
    ASSERT_GT(next, cp);
    cp = next;
    ++pages;
  }
  EXPECT_EQ(cp, length);
  SendMessage(c.edit, EM_FORMATRANGE, FALSE, 0);
  DeleteDC(dc);
}

// Pages of a long document: each page answers where the next starts, that is always the start of a line, and
// measuring gives the same pages as printing.
TEST(RichEditControl, FormatRangePagesNeverSplitALine)
{
  Control c;
  c.StreamIn(LongReport(300));
  const long length = ControlDocument(c.edit)->Length();
  ASSERT_GT(length, 10000);
  HDC printer = CreateCompatibleDC(nullptr);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = printer;
  fr.rcPage = RECT{0, 0, 11906, 16838};
  fr.rc = RECT{1700, 1250, 11906 - 500, 16838 - 1000};
  auto pages = [&](bool render) {
    std::vector<long> starts;
    long cp = 0;
    do {
      starts.push_back(cp);
      fr.chrg = CHARRANGE{static_cast<LONG>(cp), -1};
      fr.rc.bottom = 16838 - 1000;
      const long next = SendMessage(c.edit, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(&fr));
      EXPECT_GT(next, cp);
      if (next <= cp) {
        break;
      }
      cp = next;
    } while (cp < length);
    SendMessage(c.edit, EM_FORMATRANGE, 0, 0);
    return starts;
  };
  const std::vector<long> measured = pages(false);
  const std::vector<long> printed = pages(true);
  EXPECT_EQ(measured, printed);
  EXPECT_GE(measured.size(), 8u);

  // Every page starts where a line of the printed layout starts.
  richedit::FontMetricsCache fonts;
  const richedit::Layout layout =
      richedit::Layout::Build(*ControlDocument(c.edit), fonts, fr.rc.right - fr.rc.left);
  std::vector<long> lineStarts;
  for (const richedit::Band& band : layout.Bands()) {
    lineStarts.push_back(band.cpFirst);
  }
  for (long start : measured) {
    EXPECT_TRUE(std::binary_search(lineStarts.begin(), lineStarts.end(), start)) << start;
  }
  // Past the end there is nothing more to print.
  fr.chrg = CHARRANGE{static_cast<LONG>(length), -1};
  EXPECT_EQ(SendMessage(c.edit, EM_FORMATRANGE, 0, reinterpret_cast<LPARAM>(&fr)), length);
  DeleteDC(printer);
}

std::string CommandOutput(const std::string& command)
{
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::array<char, 4096> buffer;
  while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    out += buffer.data();
  }
  return out;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Printed pages carry the document's header above the text and its footer below it, on every page.
TEST(RichEditControl, FormatRangePrintsHeaderAndFooterOnEveryPage)
{
  Control c;
  c.StreamIn(std::string(kHead) + "{\\header \\pard\\qr Шапка протокола\\par}{\\footer \\pard Подвал протокола\\par}"
             "Первая страница\\par\\page Вторая страница\\par}");
  const std::string pdf =
      (std::filesystem::temp_directory_path() / ("richedit-header-" + std::to_string(getpid()) + ".pdf")).string();
  HDC printer = gdi::CreatePdfPrinterDC(pdf);
  DOCINFOA doc{};
  doc.lpszDocName = "header";
  ASSERT_GT(StartDoc(printer, &doc), 0);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = printer;
  fr.rcPage = RECT{0, 0, 11906, 16838};
  long cp = 0;
  const long length = ControlDocument(c.edit)->Length();
  int pages = 0;
  while (cp < length && pages < 5) {
    fr.rc = RECT{1440, 1440, 11906 - 1440, 16838 - 1440};
    fr.chrg = CHARRANGE{static_cast<LONG>(cp), -1};
    StartPage(printer);
    cp = SendMessage(c.edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
    EndPage(printer);
    ++pages;
  }
  SendMessage(c.edit, EM_FORMATRANGE, FALSE, 0);
  EndDoc(printer);
  DeleteDC(printer);
  ASSERT_EQ(pages, 2);
  for (int page = 1; page <= 2; ++page) {
    const std::string text = CommandOutput("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + pdf + "' -");
    const size_t header = text.find(Utf8(u8"Шапка протокола"));
    const size_t body = text.find(Utf8(page == 1 ? u8"Первая страница" : u8"Вторая страница"));
    const size_t footer = text.find(Utf8(u8"Подвал протокола"));
    ASSERT_NE(header, std::string::npos) << text;
    ASSERT_NE(body, std::string::npos) << text;
    ASSERT_NE(footer, std::string::npos) << text;
    EXPECT_LT(header, body);
    EXPECT_LT(body, footer);
  }
  std::filesystem::remove(pdf);
}

// A table standing out into the left margin (Word's negative \\trleft) keeps its left border on the page.
TEST(RichEditControl, FormatRangeDrawsTableBordersInTheMargin)
{
  Control c;
  c.StreamIn(std::string(kHead) + "\\trowd\\trgaph150\\trleft-300\\clbrdrl\\brdrs\\brdrw30\\clbrdrt\\brdrs"
             "\\brdrw30\\cellx3000\\pard\\intbl Cell\\cell\\row\\pard After\\par}");
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(400, 200, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, 400, 200, WHITENESS);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = dc;
  fr.rcPage = RECT{0, 0, 6000, 3000};
  fr.rc = RECT{1440, 720, 5000, 2800};
  fr.chrg = CHARRANGE{0, -1};
  SendMessage(c.edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  SendMessage(c.edit, EM_FORMATRANGE, FALSE, 0);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  const int borderX = (1440 - 300) * dpi / 1440;
  const int rowMiddle = (720 + 150) * dpi / 1440;
  int dark = 0;
  for (int x = borderX - 1; x <= borderX + 1; ++x) {
    dark += GetRValue(GetPixel(dc, x, rowMiddle)) < 128 ? 1 : 0;
  }
  EXPECT_GT(dark, 0) << "no border at x " << borderX;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// Lines counted, scrolled by message, wheel and keys; the first visible line follows.
TEST(RichEditControl, ScrollingByLinesWheelAndKeys)
{
  Control c(WS_VSCROLL, RICHEDIT_CLASSA, 300, 120);
  std::string body;
  for (int i = 0; i < 40; ++i) {
    body += "line " + std::to_string(i) + "\\par ";
  }
  c.StreamIn(std::string(kHead) + body + "end}");
  EXPECT_EQ(SendMessage(c.edit, EM_GETLINECOUNT, 0, 0), 41);
  EXPECT_EQ(SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(c.edit, EM_LINESCROLL, 0, 10);
  EXPECT_EQ(SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
  SendMessage(c.edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  const LRESULT afterWheel = SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_LT(afterWheel, 10);
  EXPECT_GT(afterWheel, 5);
  SendMessage(c.edit, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 30);
  SetFocus(c.edit);
  user::InjectKey(VK_CONTROL, true);
  user::InjectKeyPress(VK_HOME);
  user::InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  c.Select(static_cast<LONG>(c.Text().size()), static_cast<LONG>(c.Text().size()));
  SendMessage(c.edit, EM_SCROLLCARET, 0, 0);
  EXPECT_GT(SendMessage(c.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 30);
}

struct Heard {
  std::vector<UINT> notifications;  // WM_NOTIFY codes
  std::vector<WORD> commands;       // WM_COMMAND notification codes
  RECT requested{};
  CHARRANGE selected{};
};
Heard g_heard;

LRESULT RecordingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    g_heard.notifications.push_back(header->code);
    if (header->code == EN_REQUESTRESIZE) {
      g_heard.requested = reinterpret_cast<const REQRESIZE*>(lParam)->rc;
    } else if (header->code == EN_SELCHANGE) {
      g_heard.selected = reinterpret_cast<const SELCHANGE*>(lParam)->chrg;
    }
    return 0;
  }
  if (msg == WM_COMMAND && lParam != 0) {
    g_heard.commands.push_back(HIWORD(wParam));
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The parent hears what the event mask asks for, and nothing else: selection changes, text changes, and the size
// the text needs (plain text in a small control, as a tooltip measures its text).
TEST(RichEditControl, NotificationsFollowTheEventMask)
{
  richedit::RegisterRichEditLibrary();
  WNDCLASS wc;
  wc.lpfnWndProc = &RecordingParent;
  wc.lpszClassName = "RichEditRecordingParent";
  RegisterClass(&wc);
  HWND parent = CreateWindowEx(0, "RichEditRecordingParent", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                               nullptr);
  HWND edit = CreateWindowEx(0, RICHEDIT_CLASSA, "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 20, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(5)), nullptr, nullptr);
  EXPECT_EQ(SendMessage(edit, EM_SETTEXTMODE, TM_PLAINTEXT | TM_SINGLELEVELUNDO, 0), 0);
  g_heard = Heard{};
  SendMessage(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo\r\nthree"));
  SendMessage(edit, EM_SETSEL, 1, 2);
  SendMessage(edit, EM_REQUESTRESIZE, 0, 0);
  EXPECT_TRUE(g_heard.notifications.empty());
  EXPECT_TRUE(g_heard.commands.empty());

  SendMessage(edit, EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_CHANGE | ENM_REQUESTRESIZE);
  SendMessage(edit, EM_SETSEL, 0, 3);
  EXPECT_EQ(g_heard.selected.cpMin, 0);
  EXPECT_EQ(g_heard.selected.cpMax, 3);
  SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("ONE"));
  EXPECT_EQ(g_heard.commands, std::vector<WORD>{EN_CHANGE});
  SendMessage(edit, EM_REQUESTRESIZE, 0, 0);
  ASSERT_FALSE(g_heard.notifications.empty());
  EXPECT_EQ(g_heard.notifications.back(), EN_REQUESTRESIZE);
  // Three lines are needed, taller than the control's one.
  const richedit::Layout& layout = *ControlLayout(edit);
  EXPECT_EQ(layout.LineCount(), 3);
  EXPECT_NEAR(g_heard.requested.bottom - g_heard.requested.top, layout.Height() * 96.0 / 1440, 1);
  EXPECT_GT(g_heard.requested.bottom, 40);
  DestroyWindow(parent);
}

// What the control shows, kept for a person: a table, colours, the selection inverted.
TEST(RichEditControl, PaintsTextTableAndSelection)
{
  Control c(ES_READONLY, RICHEDIT_CLASSA, 420, 200);
  c.StreamIn(std::string(kHead) + "\\qc{\\b\\fs32 Протокол № 17}\\par\\ql {\\cf1 Красный} текст\\par "
             "\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15"
             "\\clbrdrr\\brdrs\\brdrw15\\cellx2500\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15"
             "\\clbrdrr\\brdrs\\brdrw15\\cellx5000\\intbl Класс\\cell М3\\cell\\row\\pard Конец\\par}");
  SendMessage(c.edit, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 240));
  SendMessage(c.edit, EM_SETOPTIONS, ECOOP_OR, ECO_NOHIDESEL);
  c.Select(0, 8);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 420, 200);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessage(c.edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF corner = GetPixel(dc, 415, 195);
  EXPECT_EQ(corner, RGB(255, 255, 240));
  // The selected title is inverted: dark background around its first letters.
  const POINT title = c.PosOf(1);
  EXPECT_EQ(GetPixel(dc, title.x, title.y + 1), RGB(0, 0, 15));
  int red = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 420; ++x) {
      const COLORREF p = GetPixel(dc, x, y);
      red += GetRValue(p) > 180 && GetGValue(p) < 90 ? 1 : 0;
    }
  }
  EXPECT_GT(red, 10);
  SelectObject(dc, old);
  EXPECT_TRUE(gdi::SavePng(bitmap, std::string(TESMIRA_ARTIFACTS_DIR) + "/richedit-control.png"));
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
