// Layout and pagination of a generated 50-page report (tables, Cyrillic text) for a 300 dpi printer: the layout
// alone, the control's EM_FORMATRANGE counting the pages as a print does, and the pages drawn into a PDF printer.
// Target: at least 100 pages a second on one core for layout and pagination.
#include "platform/gdi/print.h"
#include "platform/richedit/layout.h"
#include "platform/richedit/richedit_control.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/user/user.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

// A4 with the report's print margins (left 1700, top 1250, right 500, bottom 0), in twips.
constexpr RECT kPaper{0, 0, 11906, 16838};
constexpr RECT kText{1700, 1250, 11906 - 500, 16838};
// Sections enough for fifty pages of that text area.
constexpr int kSections = 95;

// Sections like the protocol's: a heading, prose, and a bordered table of results, about a page each.
std::string ReportRtf(int sections)
{
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman"
                    "\\fcharset204 Times New Roman;}}{\\colortbl ;\\red255\\green255\\blue255;\\red64\\green64"
                    "\\blue64;}\\f0\\fs20 ";
  const std::string border = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                             "\\clbrdrr\\brdrs\\brdrw10";
  for (int s = 1; s <= sections; ++s) {
    rtf += "\\pard\\sb240\\sa120{\\b\\fs25\\cf1\\highlight2 " + std::to_string(s) +
           ". Светотехнические характеристики участка}\\par\\pard\\fs20 ";
    for (int p = 0; p < 6; ++p) {
      rtf += "Расчет выполнен для участка " + std::to_string(s) + " с опорами высотой 10 м, вылет кронштейна "
             "1,5 м, наклон светильника 5 градусов; средняя яркость покрытия, общая и продольная равномерность и "
             "пороговое приращение определены по сетке расчетных точек.\\par ";
    }
    for (int r = 0; r < 14; ++r) {
      rtf += "\\trowd\\trgaph108\\trleft-108" + border + "\\cellx3600" + border + "\\cellx5400" + border +
             "\\cellx7200" + border + "\\cellx9300\\pard\\intbl Показатель " + std::to_string(r) +
             " (нормируемый)\\cell " + std::to_string(r % 5) + ",7\\cell " + std::to_string(r % 3) +
             ",4\\cell соответствует\\cell\\row ";
    }
    rtf += "\\pard\\par ";
  }
  return rtf + "}";
}

const richedit::RichDocument& Report()
{
  static const richedit::RichDocument document = [] {
    richedit::RichDocument d;
    richedit::ReadRtf(ReportRtf(kSections), d);
    return d;
  }();
  return document;
}

int CountPages(const richedit::Layout& layout, long length)
{
  int pages = 0;
  for (long cp = 0; cp < length || pages == 0; ++pages) {
    cp = layout.PageFrom(cp, kText.bottom - kText.top).cpNext;
  }
  return pages;
}

void LayoutAndPaginate(benchmark::State& state)
{
  const richedit::RichDocument& document = Report();
  richedit::FontMetricsCache fonts;
  int pages = 0;
  for (auto _ : state) {
    const richedit::Layout layout = richedit::Layout::Build(document, fonts, kText.right - kText.left);
    pages = CountPages(layout, document.Length());
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["characters"] = static_cast<double>(document.Length());
}
BENCHMARK(LayoutAndPaginate)->Unit(benchmark::kMillisecond);

// The same with the fonts measured afresh each time, as the first print of a session does.
void LayoutAndPaginateMeasuringFonts(benchmark::State& state)
{
  const richedit::RichDocument& document = Report();
  int pages = 0;
  for (auto _ : state) {
    richedit::FontMetricsCache fonts;
    const richedit::Layout layout = richedit::Layout::Build(document, fonts, kText.right - kText.left);
    pages = CountPages(layout, document.Length());
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(LayoutAndPaginateMeasuringFonts)->Unit(benchmark::kMillisecond);

// The control streamed with the report, as the report view holds it.
struct ReportControl {
  HWND edit = nullptr;
  ReportControl()
  {
    richedit::RegisterRichEditLibrary();
    edit = CreateWindowEx(0, RICHEDIT_CLASSA, "", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 800, 600, nullptr,
                          nullptr, nullptr, nullptr);
    std::string rtf = ReportRtf(kSections);
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&rtf), 0,
                  [](DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) -> DWORD {
                    auto* source = reinterpret_cast<std::string*>(cookie);
                    const size_t n = std::min(static_cast<size_t>(cb), source->size());
                    std::copy_n(source->begin(), n, buffer);
                    source->erase(0, n);
                    *pcb = static_cast<LONG>(n);
                    return 0;
                  }};
    SendMessage(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  }
  ~ReportControl() { DestroyWindow(edit); }

  // One print's pages: EM_FORMATRANGE from the start until the text ends, then the cache freed.
  int Pages(HDC dc, bool render, const std::function<void()>& startPage = {}, const std::function<void()>& endPage = {})
  {
    const long length = richedit::ControlDocument(edit)->Length();
    FORMATRANGE fr{};
    fr.hdc = fr.hdcTarget = dc;
    fr.rcPage = kPaper;
    int pages = 0;
    long cp = 0;
    do {
      fr.rc = kText;
      fr.chrg = CHARRANGE{static_cast<LONG>(cp), -1};
      if (startPage) {
        startPage();
      }
      cp = SendMessage(edit, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(&fr));
      if (endPage) {
        endPage();
      }
      ++pages;
    } while (cp < length);
    SendMessage(edit, EM_FORMATRANGE, FALSE, 0);
    return pages;
  }
};

void FormatRangeMeasure(benchmark::State& state)
{
  ReportControl control;
  HDC printer = gdi::CreatePdfPrinterDC("/dev/null");
  int pages = 0;
  for (auto _ : state) {
    pages = control.Pages(printer, false);
  }
  DeleteDC(printer);
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(FormatRangeMeasure)->Unit(benchmark::kMillisecond);

// Drawing as well: each page into the 300 dpi PDF printer, the PDF written at the end. Most of this time is the
// printer's page image, which it clears and writes for every page.
void FormatRangeRenderToPdf(benchmark::State& state)
{
  ReportControl control;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("richedit-bench-" + std::to_string(getpid()) + ".pdf")).string();
  int pages = 0;
  for (auto _ : state) {
    HDC printer = gdi::CreatePdfPrinterDC(path);
    DOCINFOA doc{};
    doc.lpszDocName = "report";
    StartDoc(printer, &doc);
    pages = control.Pages(printer, true, [&] { StartPage(printer); }, [&] { EndPage(printer); });
    EndDoc(printer);
    DeleteDC(printer);
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pdf bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(FormatRangeRenderToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
