// What an engine needs of the program while it runs: somewhere to report progress, a way to learn that the user
// asked to stop, and somewhere to deliver its result code. The window-message protocol is one such host
// (window_host.h); tests use their own.
#pragma once

namespace Engines {

class EngineHost {
public:
  virtual ~EngineHost() = default;
  virtual void Progress(int percent) = 0;
  virtual bool IsCancelled() = 0;
  virtual void Finish(int code) = 0;
};

// Reports nowhere and never cancels: for benchmarks and direct use of the calculation.
class SilentHost final : public EngineHost {
public:
  void Progress(int) override {}
  bool IsCancelled() override { return false; }
  void Finish(int) override {}
};

}  // namespace Engines
