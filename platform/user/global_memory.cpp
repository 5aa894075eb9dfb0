#include "platform/user/global_memory.h"

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct Block {
  std::vector<BYTE> bytes;
  int locks = 0;
};

std::mutex& Mutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::set<Block*>& Blocks()
{
  static auto* blocks = new std::set<Block*>;
  return *blocks;
}

Block* Live(HGLOBAL memory)
{
  auto* b = static_cast<Block*>(memory);
  return Blocks().count(b) != 0 ? b : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes)
{
  // Blocks are always zeroed: nobody is harmed by it and stale bytes never reach the clipboard.
  auto* b = new Block;
  b->bytes.assign(bytes, 0);
  std::lock_guard lock(Mutex());
  Blocks().insert(b);
  return b;
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT)
{
  std::lock_guard lock(Mutex());
  Block* b = Live(memory);
  if (b == nullptr) {
    return nullptr;
  }
  b->bytes.resize(bytes, 0);
  return b;
}

LPVOID GlobalLock(HGLOBAL memory)
{
  std::lock_guard lock(Mutex());
  Block* b = Live(memory);
  if (b == nullptr) {
    return nullptr;
  }
  ++b->locks;
  // A block of no bytes still has an address to hand out.
  if (b->bytes.empty()) {
    b->bytes.reserve(1);
  }
  return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory)
{
  std::lock_guard lock(Mutex());
  Block* b = Live(memory);
  if (b == nullptr || b->locks == 0) {
    return FALSE;
  }
  --b->locks;
  return b->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory)
{
  std::lock_guard lock(Mutex());
  Block* b = Live(memory);
  return b != nullptr ? b->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
  std::lock_guard lock(Mutex());
  Block* b = Live(memory);
  if (b == nullptr) {
    return memory;
  }
  Blocks().erase(b);
  delete b;
  return nullptr;
}
