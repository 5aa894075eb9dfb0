// Work cut into pieces and shared by one thread per core. The calling thread takes pieces too and alone talks to
// the host: before each piece it reports progress and asks whether to stop. When asked, every thread ends after
// its current piece, so a piece's length bounds how long a cancel takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "outside/engines/engine_host.h"

namespace Engines {

struct PieceRun {
  std::size_t computed = 0;       // pieces finished
  std::uint64_t evaluations = 0;  // what the pieces said they did
  bool cancelled = false;
};

// Runs piece(0 .. pieces - 1) on `threads` threads (0: one per core); each call returns the evaluations it made.
PieceRun RunPieces(std::size_t pieces, unsigned threads, EngineHost& host,
                   const std::function<std::uint64_t(std::size_t piece)>& piece);

}  // namespace Engines
