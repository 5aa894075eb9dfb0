#include "platform/gdi/print.h"

namespace gdi {

PrintJob::PrintJob(std::string path, double widthMm, double heightMm, int dpi)
    : path_(std::move(path)), widthMm_(widthMm), heightMm_(heightMm), dpi_(dpi)
{
}

PrintJob::~PrintJob() = default;

SIZE PrintJob::PhysicalSize() const
{
  return {static_cast<LONG>(widthMm_ / 25.4 * dpi_ + 0.5), static_cast<LONG>(heightMm_ / 25.4 * dpi_ + 0.5)};
}

bool PrintJob::StartDoc() { return false; }
bool PrintJob::StartPage() { return false; }
bool PrintJob::EndPage() { return false; }
bool PrintJob::EndDoc() { return false; }
bool PrintJob::Abort() { return false; }
void PrintJob::AddText(TextRun run) { texts_.push_back(std::move(run)); }

}  // namespace gdi
