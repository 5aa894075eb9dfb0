// The slot table behind GDI handles. A handle packs a slot index, the kind of table and the slot's generation;
// freeing a slot moves its generation on, so a handle kept after the object went away is refused rather than
// reaching whatever takes the slot next. Lookup is an index and one comparison under the table's lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace gdi {

// Bits of a handle value: the slot index + 1 (so no handle is null), the table's tag, the generation.
inline constexpr unsigned kHandleIndexBits = 24;
inline constexpr unsigned kHandleTagBits = 4;
inline constexpr std::uint64_t kHandleIndexMask = (std::uint64_t{1} << kHandleIndexBits) - 1;
inline constexpr std::uint64_t kHandleTagMask = (std::uint64_t{1} << kHandleTagBits) - 1;

// Tags keep DC handles and object handles apart, so one is never taken for the other.
enum class HandleTag : unsigned { Object = 1, DC = 2 };

template <class Stored, HandleTag Tag>
class HandleTable {
public:
  // Stores the object and gives out its handle value; 0 when the table is full.
  std::uintptr_t Add(Stored object)
  {
    std::lock_guard lock(mutex_);
    std::size_t index = 0;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      if (slots_.size() >= kHandleIndexMask) {
        return 0;
      }
      index = slots_.size();
      slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    slot.object = std::move(object);
    slot.live = true;
    return Pack(index, slot.generation);
  }

  // Calls fn with the live object behind the handle and answers what it answers; `missing` for a null,
  // foreign or stale handle.
  template <class Fn, class R>
  R With(std::uintptr_t handle, R missing, Fn&& fn)
  {
    std::lock_guard lock(mutex_);
    Slot* slot = Find(handle);
    return slot == nullptr ? missing : fn(slot->object);
  }

  // Takes the object out of the table; the handle and every copy of it are stale from now on.
  // An empty Stored when the handle was not live.
  Stored Remove(std::uintptr_t handle)
  {
    std::lock_guard lock(mutex_);
    Slot* slot = Find(handle);
    if (slot == nullptr) {
      return Stored{};
    }
    Stored object = std::move(slot->object);
    slot->object = Stored{};
    slot->live = false;
    slot->generation = (slot->generation + 1) & kGenerationMask;
    if (slot->generation == 0) {
      slot->generation = 1;
    }
    free_.push_back(static_cast<std::size_t>(slot - slots_.data()));
    return object;
  }

private:
  static constexpr unsigned kGenerationShift = kHandleIndexBits + kHandleTagBits;
  static constexpr std::uint64_t kGenerationMask = (std::uint64_t{1} << (64 - kGenerationShift)) - 1;

  struct Slot {
    Stored object{};
    std::uint64_t generation = 1;
    bool live = false;
  };

  static std::uintptr_t Pack(std::size_t index, std::uint64_t generation)
  {
    return static_cast<std::uintptr_t>((generation << kGenerationShift) |
                                       (static_cast<std::uint64_t>(Tag) << kHandleIndexBits) | (index + 1));
  }

  Slot* Find(std::uintptr_t handle)
  {
    const std::uint64_t value = handle;
    const std::uint64_t indexPlusOne = value & kHandleIndexMask;
    if (indexPlusOne == 0 || ((value >> kHandleIndexBits) & kHandleTagMask) != static_cast<std::uint64_t>(Tag) ||
        indexPlusOne > slots_.size()) {
      return nullptr;
    }
    Slot& slot = slots_[indexPlusOne - 1];
    if (!slot.live || slot.generation != (value >> kGenerationShift)) {
      return nullptr;
    }
    return &slot;
  }

  std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<std::size_t> free_;
};

}  // namespace gdi
