// The engines' conversation with the program's main window: progress 0x820E (percent in wParam), the state
// question 0x8214 (lParam points to an int; 2 means the user asked to stop), and, on a threaded run only, the end
// message 0x820F with the result code in wParam. On a direct run (the call runs on the window's own thread) the
// program sends the end message itself.
#pragma once

#include "outside/engines/engine_host.h"
#include "platform/base/wintypes.h"

namespace Engines {

inline constexpr UINT kMsgEngineProgress = 0x820E;
inline constexpr UINT kMsgCalculationFinished = 0x820F;
inline constexpr UINT kMsgCalculationState = 0x8214;
inline constexpr int kStateStopping = 2;

// The window system as the engines need it; the program supplies one over SendMessage and PostMessage.
class WindowMessenger {
public:
  virtual ~WindowMessenger() = default;
  virtual LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // True when the calling thread is the one that owns the window: a direct run.
  virtual bool IsWindowThread(HWND window) = 0;
};

class WindowEngineHost final : public EngineHost {
public:
  WindowEngineHost(WindowMessenger& messenger, HWND window);
  void Progress(int percent) override;
  bool IsCancelled() override;
  void Finish(int code) override;
  bool Threaded() const { return threaded_; }

private:
  WindowMessenger& messenger_;
  HWND window_;
  bool threaded_;
  int lastPercent_ = -1;
};

// The program's window system (SendMessage, PostMessage), or null when the engines are built without one.
WindowMessenger* WindowSystemMessenger();

// Puts another messenger in the window system's place for the entry points (null: back to the window system).
// Without any the engine still calculates and writes its result, but reports nothing.
void SetEngineWindowMessenger(WindowMessenger* messenger);

// One engine call as the program makes it: paths in writable buffers with their lengths.
int RunStraightRoadCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                        const char* resultPath, int resultPathLength);
int RunOpenTerritoryCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                         const char* resultPath, int resultPathLength);
int RunInterchangeCall(WindowMessenger* messenger, HWND window, const char* inputPath, int inputPathLength,
                       const char* resultPath, int resultPathLength);

}  // namespace Engines

// The engines' entry points: straight roads (qor_calc), open sites (qor_calc_3) and multi-level interchanges
// (qor_calc_5). Their return value is not
// used by the program; it is the code also delivered with the end message.
extern "C" int INTERFACE1(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength);
extern "C" int INTERFACE3(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength);
extern "C" int INTERFACE5(HWND window, char* inputPath, int inputPathLength, char* resultPath, int resultPathLength);
