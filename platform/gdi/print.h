// A print job: pages drawn through a printer DC become the pages of a PDF file.
#pragma once

#include "platform/gdi/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;

namespace gdi {

class PrintJob {
public:
  // Page size in millimetres; `dpi` is the resolution the DC reports and rasterises at. `path` is where the PDF
  // goes unless StartDoc names another file.
  PrintJob(std::string path, double widthMm, double heightMm, int dpi);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  Surface& Page() { return page_; }
  int Dpi() const { return dpi_; }
  SIZE PhysicalSize() const;
  POINT PhysicalOffset() const { return {0, 0}; }

  bool StartDoc(const char* output);
  bool StartPage();
  bool EndPage();
  bool EndDoc();
  bool Abort();

  // Text goes to the PDF as text over the page image (so it stays sharp and can be searched), not into the image.
  struct TextRun {
    std::string utf8;
    std::string fontFile;
    int faceIndex = 0;
    double x = 0;  // baseline origin, device pixels
    double y = 0;
    double pixelSize = 0;
    double xScale = 1;  // horizontal stretch of a font with a width of its own
    double angleDegrees = 0;
    std::uint32_t color = 0;
    bool clipped = false;
    RECT clip;  // device pixels
  };
  void AddText(TextRun run);
  bool InPage() const { return inPage_; }

private:
  std::string path_;
  double widthMm_;
  double heightMm_;
  int dpi_;
  Surface page_;
  _cairo_surface* pdf_ = nullptr;
  bool inDoc_ = false;
  bool inPage_ = false;
  std::vector<TextRun> texts_;
};

// A printer DC over a job; the DC owns the job.
HDC CreatePrinterDC(std::unique_ptr<PrintJob> job);

// The printer the program sees: A4 portrait at 300 dpi, writing `path` (StartDoc's output file wins).
inline constexpr double kDefaultPaperWidthMm = 210;
inline constexpr double kDefaultPaperHeightMm = 297;
inline constexpr int kDefaultPrinterDpi = 300;
HDC CreatePdfPrinterDC(const std::string& path, double widthMm = kDefaultPaperWidthMm,
                       double heightMm = kDefaultPaperHeightMm, int dpi = kDefaultPrinterDpi);

}  // namespace gdi
