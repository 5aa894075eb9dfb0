// A print job: pages drawn through a printer DC become the pages of a PDF file.
#pragma once

#include "platform/gdi/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;
struct _cairo;

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

  // A job that writes no file: each page ends as a picture that RenderPage draws (print preview). Pages may
  // start without StartDoc.
  void SetPreview(bool preview) { preview_ = preview; }
  bool IsPreview() const { return preview_; }
  // The page last ended, text and all, shrunk to cx by cy pixels (0x00RRGGBB, rows top down); false when no
  // page has ended.
  bool RenderPage(int cx, int cy, std::vector<std::uint32_t>& pixels) const;

  // Where the finished document goes besides the file: a print queue (CUPS destination). Empty: only the file.
  void SetQueue(std::string queue) { queue_ = std::move(queue); }
  // How many copies the queue prints, collated or each page n times.
  void SetCopies(int copies, bool collate)
  {
    copies_ = copies > 0 ? copies : 1;
    collate_ = collate;
  }
  const std::string& Queue() const { return queue_; }
  // The print server's job number of the last document sent to a queue (0: none).
  int SubmittedJob() const { return submittedJob_; }
  // The file the last document was written to (for a queue, a temporary one, gone once sent).
  const std::string& DocumentPath() const { return docPath_; }
  // Why the last StartDoc, EndPage or EndDoc failed (empty after success).
  const std::string& LastError() const { return error_; }

  bool StartDoc(const char* output, const char* title = nullptr);
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
  // The page image and its text onto cr, scaled from device pixels by `scale`.
  void DrawPage(_cairo* cr, double scale) const;

  std::string path_;
  std::string queue_;
  std::string docPath_;  // the file being written
  std::string title_;
  std::string error_;
  int submittedJob_ = 0;
  int copies_ = 1;
  bool collate_ = false;
  bool preview_ = false;
  bool pageReady_ = false;  // preview: a page has ended and can be rendered
  bool tempFile_ = false;   // the PDF exists only to be sent to the queue
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
// A printer DC that sends its document to a print queue: the PDF is written to a temporary file and handed to
// the print server at EndDoc (EndDoc fails when the server refuses it). StartDoc's output file, when given,
// wins over the queue.
HDC CreateQueuePrinterDC(const std::string& queue, double widthMm = kDefaultPaperWidthMm,
                         double heightMm = kDefaultPaperHeightMm, int dpi = kDefaultPrinterDpi);
// A printer DC for print preview: the size and resolution of a printer's page; pages become pictures.
HDC CreatePreviewPrinterDC(double widthMm, double heightMm, int dpi);
// The job behind a printer DC, or null.
PrintJob* PrintJobOf(HDC dc);

}  // namespace gdi
