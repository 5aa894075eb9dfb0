#include "platform/gdi/print.h"

#include "platform/base/codepage.h"
#include "platform/gdi/cups_printer.h"
#include "platform/gdi/dc.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace gdi {

PrintJob::PrintJob(std::string path, double widthMm, double heightMm, int dpi)
    : path_(std::move(path)), widthMm_(widthMm), heightMm_(heightMm), dpi_(dpi > 0 ? dpi : kDefaultPrinterDpi)
{
  // The page image is made when a page starts: a printer DC used only to measure costs no page memory.
}

PrintJob::~PrintJob()
{
  if (pdf_ != nullptr) {
    Abort();
  }
}

SIZE PrintJob::PhysicalSize() const
{
  return {static_cast<LONG>(widthMm_ / 25.4 * dpi_ + 0.5), static_cast<LONG>(heightMm_ / 25.4 * dpi_ + 0.5)};
}

bool PrintJob::StartDoc(const char* output, const char* title)
{
  error_.clear();
  if (inDoc_) {
    error_ = "a document is already open";
    return false;
  }
  title_ = title != nullptr && *title != '\0' ? title : "Document";
  submittedJob_ = 0;
  tempFile_ = false;
  if (preview_) {
    inDoc_ = true;
    return true;
  }
  std::string target = path_;
  if (output != nullptr && *output != '\0') {
    target = output;
  } else if (!queue_.empty()) {
    // The queue gets the document from a file of our own, gone once it is sent.
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-print-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
      error_ = "no temporary file for the print job";
      return false;
    }
    close(fd);
    target = pattern;
    tempFile_ = true;
  }
  if (target.empty()) {
    target = (std::filesystem::temp_directory_path() / "tesmira-print.pdf").string();
  }
  constexpr double kPointsPerMm = 72.0 / 25.4;
  pdf_ = cairo_pdf_surface_create(target.c_str(), widthMm_ * kPointsPerMm, heightMm_ * kPointsPerMm);
  if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    if (tempFile_) {
      std::remove(target.c_str());
    }
    error_ = "cannot write " + target;
    return false;
  }
  cairo_pdf_surface_set_metadata(pdf_, CAIRO_PDF_METADATA_TITLE, title_.c_str());
  docPath_ = target;
  inDoc_ = true;
  return true;
}

bool PrintJob::StartPage()
{
  if ((!inDoc_ && !preview_) || inPage_) {
    return false;
  }
  pageReady_ = false;
  const SIZE size = PhysicalSize();
  page_.Resize(size.cx, size.cy);
  page_.Fill(0xFFFFFF);
  texts_.clear();
  inPage_ = true;
  return true;
}

void PrintJob::AddText(TextRun run) { texts_.push_back(std::move(run)); }

namespace {

// A cairo face for a font file; fontconfig patterns keep cairo's FreeType faces cached by file.
cairo_font_face_t* FaceFor(const std::string& file, int index)
{
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
  FcPatternAddInteger(pattern, FC_INDEX, index);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
  FcPatternDestroy(pattern);
  return face;
}

}  // namespace

void PrintJob::DrawPage(cairo_t* cr, double scale) const
{
  // Only the part of the page image that has ink goes in: a page of text alone carries no image at all.
  const int width = page_.Width();
  const int height = page_.Height();
  const std::uint32_t* pixels = page_.Pixels();
  int top = height;
  int bottom = -1;
  int left = width;
  int right = -1;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * width;
    int first = 0;
    while (first < width && (row[first] & 0x00FFFFFFu) == 0x00FFFFFFu) {
      ++first;
    }
    if (first == width) {
      continue;
    }
    int last = width - 1;
    while ((row[last] & 0x00FFFFFFu) == 0x00FFFFFFu) {
      --last;
    }
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  if (bottom >= 0) {
    const int cx = right - left + 1;
    const int cy = bottom - top + 1;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < cy; ++y) {
      const std::uint32_t* from = pixels + static_cast<std::ptrdiff_t>(top + y) * width + left;
      auto* to = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < cx; ++x) {
        to[x] = from[x] | 0xFF000000u;
      }
    }
    cairo_surface_mark_dirty(image);
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, left, top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
  }
  for (const TextRun& t : texts_) {
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    if (t.clipped) {
      cairo_rectangle(cr, t.clip.left, t.clip.top, t.clip.right - t.clip.left, t.clip.bottom - t.clip.top);
      cairo_clip(cr);
    }
    cairo_font_face_t* face = FaceFor(t.fontFile, t.faceIndex);
    cairo_set_font_face(cr, face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, t.pixelSize * t.xScale, t.pixelSize);
    cairo_set_font_matrix(cr, &m);
    cairo_set_source_rgb(cr, ((t.color >> 16) & 0xFF) / 255.0, ((t.color >> 8) & 0xFF) / 255.0,
                         (t.color & 0xFF) / 255.0);
    cairo_translate(cr, t.x, t.y);
    cairo_rotate(cr, -t.angleDegrees * 3.14159265358979323846 / 180);
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, t.utf8.c_str());
    cairo_restore(cr);
    cairo_font_face_destroy(face);
  }
}

bool PrintJob::EndPage()
{
  if (!inPage_) {
    return false;
  }
  inPage_ = false;
  if (preview_) {
    // The page stays for RenderPage until the next one starts.
    pageReady_ = true;
    return true;
  }
  cairo_t* cr = cairo_create(pdf_);
  DrawPage(cr, 72.0 / dpi_);
  texts_.clear();
  cairo_show_page(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  if (!ok) {
    error_ = "the page could not be written";
  }
  return ok;
}

bool PrintJob::RenderPage(int cx, int cy, std::vector<std::uint32_t>& pixels) const
{
  if (!pageReady_ || cx <= 0 || cy <= 0 || page_.Width() <= 0 || page_.Height() <= 0) {
    return false;
  }
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy);
  cairo_t* cr = cairo_create(target);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_scale(cr, static_cast<double>(cx) / page_.Width(), static_cast<double>(cy) / page_.Height());
  DrawPage(cr, 1.0);
  cairo_destroy(cr);
  cairo_surface_flush(target);
  const unsigned char* data = cairo_image_surface_get_data(target);
  const int stride = cairo_image_surface_get_stride(target);
  pixels.resize(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy));
  for (int y = 0; y < cy; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < cx; ++x) {
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(cx) + static_cast<std::size_t>(x)] =
          row[x] & 0x00FFFFFFu;
    }
  }
  cairo_surface_destroy(target);
  return true;
}

bool PrintJob::EndDoc()
{
  if (!inDoc_) {
    error_ = "no document is open";
    return false;
  }
  if (inPage_) {
    EndPage();
  }
  inDoc_ = false;
  if (preview_) {
    return true;
  }
  cairo_surface_finish(pdf_);
  bool ok = cairo_surface_status(pdf_) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf_);
  pdf_ = nullptr;
  page_.Resize(0, 0);
  if (!ok) {
    error_ = "the document could not be written";
    std::remove(docPath_.c_str());
  } else if (tempFile_) {
    std::string why;
    submittedJob_ = cups::SubmitPdf(queue_, docPath_, title_, why, copies_, collate_);
    ok = submittedJob_ > 0;
    if (!ok) {
      error_ = why;
    }
  }
  if (tempFile_) {
    std::remove(docPath_.c_str());
    tempFile_ = false;
  }
  return ok;
}

bool PrintJob::Abort()
{
  if (pdf_ != nullptr) {
    cairo_surface_finish(pdf_);
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    // Nothing half written is left behind, nor sent.
    std::remove(docPath_.c_str());
  }
  tempFile_ = false;
  inDoc_ = false;
  inPage_ = false;
  pageReady_ = false;
  texts_.clear();
  return true;
}

HDC CreatePdfPrinterDC(const std::string& path, double widthMm, double heightMm, int dpi)
{
  if (widthMm <= 0 || heightMm <= 0 || widthMm > 2000 || heightMm > 2000 || dpi <= 0 || dpi > 1200) {
    return nullptr;
  }
  return CreatePrinterDC(std::make_unique<PrintJob>(path, widthMm, heightMm, dpi));
}

HDC CreateQueuePrinterDC(const std::string& queue, double widthMm, double heightMm, int dpi)
{
  if (queue.empty() || widthMm <= 0 || heightMm <= 0 || widthMm > 2000 || heightMm > 2000 || dpi <= 0 ||
      dpi > 1200) {
    return nullptr;
  }
  auto job = std::make_unique<PrintJob>(std::string(), widthMm, heightMm, dpi);
  job->SetQueue(queue);
  return CreatePrinterDC(std::move(job));
}

HDC CreatePreviewPrinterDC(double widthMm, double heightMm, int dpi)
{
  if (widthMm <= 0 || heightMm <= 0 || widthMm > 2000 || heightMm > 2000 || dpi <= 0 || dpi > 1200) {
    return nullptr;
  }
  auto job = std::make_unique<PrintJob>(std::string(), widthMm, heightMm, dpi);
  job->SetPreview(true);
  return CreatePrinterDC(std::move(job));
}

PrintJob* PrintJobOf(HDC dc)
{
  HDC__* d = LookupDC(dc);
  return d != nullptr ? d->print.get() : nullptr;
}

}  // namespace gdi

using namespace gdi;

namespace {

PrintJob* JobOf(HDC dc) { return PrintJobOf(dc); }

}  // namespace

int StartDocA(HDC dc, const DOCINFOA* info)
{
  PrintJob* job = JobOf(dc);
  // The title goes to the PDF and the print server as UTF-8.
  const std::string title =
      info != nullptr && info->lpszDocName != nullptr ? codepage::Cp1251ToUtf8(info->lpszDocName) : std::string();
  if (job == nullptr || !job->StartDoc(info != nullptr ? info->lpszOutput : nullptr, title.c_str())) {
    return 0;
  }
  return 1;
}

int StartPage(HDC dc)
{
  PrintJob* job = JobOf(dc);
  return job != nullptr && job->StartPage() ? 1 : 0;
}

int EndPage(HDC dc)
{
  PrintJob* job = JobOf(dc);
  return job != nullptr && job->EndPage() ? 1 : 0;
}

int EndDoc(HDC dc)
{
  PrintJob* job = JobOf(dc);
  return job != nullptr && job->EndDoc() ? 1 : 0;
}

int AbortDoc(HDC dc)
{
  PrintJob* job = JobOf(dc);
  return job != nullptr && job->Abort() ? 1 : 0;
}
