#include "platform/display/presenter.h"

#include "platform/gdi/windraw.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace display {

namespace {

class NullPresenter final : public Presenter {
public:
  const char* Name() const override { return "null"; }
  SIZE ScreenSize() const override { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
  void WindowChanged(const TopLevel&) override {}
  void WindowGone(std::uintptr_t) override {}
  void WindowPainted(std::uintptr_t, const gdi::Surface&, const RECT&) override {}
  void SetInputSink(InputSink) override {}
  bool Capture(gdi::Surface&) override { return false; }
  void Flush() override {}
  void SetCursorShape(std::uintptr_t, int) override {}
  void OfferClipboardText(const std::string&) override {}
  bool ForeignClipboardText(std::string&) override { return false; }
};

std::mutex& Mutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

// Never destroyed: windows may still report to it while the process ends.
Presenter*& Slot()
{
  static Presenter* presenter = nullptr;
  return presenter;
}

InputSink& Sink()
{
  static auto* sink = new InputSink;
  return *sink;
}

bool WantX11()
{
  const char* choice = std::getenv("TESMIRA_PRESENTER");
  if (choice != nullptr) {
    return std::strcmp(choice, "x11") == 0;
  }
  const char* test = std::getenv("TESMIRA_TEST");
  const char* name = std::getenv("DISPLAY");
  return (test == nullptr || std::strcmp(test, "1") != 0) && name != nullptr && *name != '\0';
}

}  // namespace

std::unique_ptr<Presenter> MakeNullPresenter() { return std::make_unique<NullPresenter>(); }

Presenter& Current()
{
  std::lock_guard lock(Mutex());
  if (Slot() == nullptr) {
    std::unique_ptr<Presenter> chosen;
    if (WantX11()) {
      chosen = MakeX11Presenter();
    }
    if (!chosen) {
      chosen = MakeNullPresenter();
    }
    SIZE size = chosen->ScreenSize();
    gdi::SetScreenSize(size.cx, size.cy);
    if (Sink()) {
      chosen->SetInputSink(Sink());
    }
    Slot() = chosen.release();
  }
  return *Slot();
}

void Use(std::unique_ptr<Presenter> presenter)
{
  std::lock_guard lock(Mutex());
  SIZE size = presenter->ScreenSize();
  gdi::SetScreenSize(size.cx, size.cy);
  // The one before may still be in use by a thread that read it; it is kept.
  static auto* retired = new std::vector<std::unique_ptr<Presenter>>;
  if (Slot() != nullptr) {
    Slot()->SetInputSink(nullptr);  // a retired screen tells nobody anything
    retired->emplace_back(Slot());
  }
  if (Sink()) {
    presenter->SetInputSink(Sink());
  }
  Slot() = presenter.release();
}

void ConnectInput(InputSink sink)
{
  std::lock_guard lock(Mutex());
  Sink() = std::move(sink);
  if (Slot() != nullptr) {
    Slot()->SetInputSink(Sink());
  }
}

}  // namespace display
