// A print job: pages drawn through a printer DC become the pages of a PDF file.
#pragma once

#include "platform/gdi/surface.h"

#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;

namespace gdi {

class PrintJob {
public:
  // Page size in millimetres; `dpi` is the resolution the DC reports and rasterises at.
  PrintJob(std::string path, double widthMm, double heightMm, int dpi);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  Surface& Page() { return page_; }
  int Dpi() const { return dpi_; }
  SIZE PhysicalSize() const;
  POINT PhysicalOffset() const { return {0, 0}; }

  bool StartDoc();
  bool StartPage();
  bool EndPage();
  bool EndDoc();
  bool Abort();

  // Text drawn on the page is also laid over the page image as real text, so that the PDF can be searched.
  struct TextRun {
    std::string utf8;
    std::string fontFile;
    int faceIndex = 0;
    double x = 0;  // baseline origin, device pixels
    double y = 0;
    double pixelSize = 0;
    double angleDegrees = 0;
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

}  // namespace gdi
