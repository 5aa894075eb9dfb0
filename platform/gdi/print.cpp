#include "platform/gdi/print.h"

#include "platform/gdi/dc.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
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

bool PrintJob::StartDoc(const char* output)
{
  if (inDoc_) {
    return false;
  }
  if (output != nullptr && *output != '\0') {
    path_ = output;
  }
  if (path_.empty()) {
    path_ = (std::filesystem::temp_directory_path() / "tesmira-print.pdf").string();
  }
  constexpr double kPointsPerMm = 72.0 / 25.4;
  pdf_ = cairo_pdf_surface_create(path_.c_str(), widthMm_ * kPointsPerMm, heightMm_ * kPointsPerMm);
  if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    return false;
  }
  inDoc_ = true;
  return true;
}

bool PrintJob::StartPage()
{
  if (!inDoc_ || inPage_) {
    return false;
  }
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

bool PrintJob::EndPage()
{
  if (!inPage_) {
    return false;
  }
  inPage_ = false;
  cairo_t* cr = cairo_create(pdf_);
  const double scale = 72.0 / dpi_;
  // The page image, white where nothing was drawn.
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page_.Width(), page_.Height());
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < page_.Height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < page_.Width(); ++x) {
      row[x] = page_.Pixel(x, y) | 0xFF000000u;
    }
  }
  cairo_surface_mark_dirty(image);
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(image);
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
  texts_.clear();
  cairo_show_page(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  return ok;
}

bool PrintJob::EndDoc()
{
  if (!inDoc_) {
    return false;
  }
  if (inPage_) {
    EndPage();
  }
  cairo_surface_finish(pdf_);
  const bool ok = cairo_surface_status(pdf_) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf_);
  pdf_ = nullptr;
  inDoc_ = false;
  page_.Resize(0, 0);
  return ok;
}

bool PrintJob::Abort()
{
  if (pdf_ != nullptr) {
    cairo_surface_finish(pdf_);
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    std::remove(path_.c_str());
  }
  inDoc_ = false;
  inPage_ = false;
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

}  // namespace gdi

using namespace gdi;

namespace {

PrintJob* JobOf(HDC dc)
{
  HDC__* d = LookupDC(dc);
  return d != nullptr ? d->print.get() : nullptr;
}

}  // namespace

int StartDocA(HDC dc, const DOCINFOA* info)
{
  PrintJob* job = JobOf(dc);
  if (job == nullptr || !job->StartDoc(info != nullptr ? info->lpszOutput : nullptr)) {
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
