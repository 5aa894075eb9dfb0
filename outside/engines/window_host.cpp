#include "outside/engines/window_host.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "outside/engines/engine_codes.h"
#include "outside/engines/interchange_engine.h"
#include "outside/engines/open_territory_engine.h"
#include "outside/engines/straight_road_engine.h"

namespace Engines {
namespace {

std::atomic<WindowMessenger*> g_messenger{nullptr};

// The program passes MAX_PATH buffers; a length beyond that, or no terminator within it, is not trusted.
constexpr int kMaxPath = 260;

std::string PathFrom(const char* buffer, int length)
{
  if (!buffer || length <= 0)
    return {};
  std::size_t limit = static_cast<std::size_t>(std::min(length, kMaxPath));
  return std::string(buffer, strnlen(buffer, limit));
}

}  // namespace

WindowEngineHost::WindowEngineHost(WindowMessenger& messenger, HWND window)
    : messenger_(messenger), window_(window), threaded_(!messenger.IsWindowThread(window))
{
}

void WindowEngineHost::Progress(int percent)
{
  if (percent == lastPercent_)
    return;
  lastPercent_ = percent;
  messenger_.Send(window_, kMsgEngineProgress, static_cast<WPARAM>(percent), 0);
}

bool WindowEngineHost::IsCancelled()
{
  int state = 0;
  messenger_.Send(window_, kMsgCalculationState, 0, reinterpret_cast<LPARAM>(&state));
  return state == kStateStopping;
}

void WindowEngineHost::Finish(int code)
{
  if (threaded_)
    messenger_.Post(window_, kMsgCalculationFinished, static_cast<WPARAM>(code), 0);
}

void SetEngineWindowMessenger(WindowMessenger* messenger) { g_messenger.store(messenger); }

namespace {

template <typename Run>
int RunCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
            const char* resultPath, int resultPathLength, Run run)
{
  std::string in = PathFrom(inputPath, inputPathLength), out = PathFrom(resultPath, resultPathLength);
  if (!messenger) {
    SilentHost silent;
    return run(in, out, silent);
  }
  WindowEngineHost host(*messenger, window);
  return run(in, out, host);
}

WindowMessenger* CurrentMessenger()
{
  WindowMessenger* messenger = g_messenger.load();
  return messenger ? messenger : WindowSystemMessenger();
}

}  // namespace

int RunStraightRoadCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                        const char* resultPath, int resultPathLength)
{
  return RunCall(messenger, window, inputPath, inputPathLength, resultPath, resultPathLength,
                 [](const std::string& in, const std::string& out, EngineHost& host) {
                   return RunStraightRoadEngine(in, out, host);
                 });
}

int RunOpenTerritoryCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                         const char* resultPath, int resultPathLength)
{
  return RunCall(messenger, window, inputPath, inputPathLength, resultPath, resultPathLength,
                 [](const std::string& in, const std::string& out, EngineHost& host) {
                   return RunOpenTerritoryEngine(in, out, host);
                 });
}

int RunInterchangeCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                       const char* resultPath, int resultPathLength)
{
  return RunCall(messenger, window, inputPath, inputPathLength, resultPath, resultPathLength,
                 [](const std::string& in, const std::string& out, EngineHost& host) {
                   return RunInterchangeEngine(in, out, host);
                 });
}

}  // namespace Engines

extern "C" int INTERFACE1(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength)
{
  return Engines::RunStraightRoadCall(Engines::CurrentMessenger(), window, inputPath, inputPathLength, resultPath,
                                      resultPathLength);
}

extern "C" int INTERFACE3(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength)
{
  return Engines::RunOpenTerritoryCall(Engines::CurrentMessenger(), window, inputPath, inputPathLength, resultPath,
                                       resultPathLength);
}

extern "C" int INTERFACE5(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength)
{
  return Engines::RunInterchangeCall(Engines::CurrentMessenger(), window, inputPath, inputPathLength, resultPath,
                                     resultPathLength);
}
