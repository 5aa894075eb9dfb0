#include "outside/engines/parallel_pieces.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace Engines {

PieceRun RunPieces(std::size_t pieces, unsigned threads, EngineHost& host,
                   const std::function<std::uint64_t(std::size_t piece)>& piece)
{
  std::atomic<std::size_t> next{0}, computed{0};
  std::atomic<std::uint64_t> evaluations{0};
  std::atomic<bool> stop{false};
  auto work = [&](bool caller) {
    std::uint64_t done = 0;
    for (;;) {
      if (caller) {
        host.Progress(static_cast<int>(computed.load() * 100 / std::max<std::size_t>(1, pieces)));
        if (host.IsCancelled())
          stop.store(true);
      }
      if (stop.load(std::memory_order_relaxed))
        break;
      const std::size_t p = next.fetch_add(1);
      if (p >= pieces)
        break;
      done += piece(p);
      computed.fetch_add(1);
    }
    evaluations.fetch_add(done);
  };
  if (threads == 0)
    threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(1, pieces)));
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(threads - 1);
    try {
      for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back([&] { work(false); });
    } catch (const std::system_error&) {
      // No more threads to be had: those that started, and this one, share the pieces.
    }
    work(true);
  }
  return {computed.load(), evaluations.load(), stop.load()};
}

}  // namespace Engines
