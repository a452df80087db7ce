#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/objects.h"
#include "platform/spin_lock.h"

namespace tavlo::platform::internal {

// The brushes of the object table. Every cell that the effects plot creates a brush, selects it
// into two device contexts and deletes the one it displaces, so the reads (the selections) take
// no lock at all: a slot's record is one atomic word, and a reader checks the slot's id before
// and after reading it, so that a brush deleted (and its slot reused) meanwhile reads as
// unknown. Creating and deleting take a spin lock for the free list. Slots live in chunks that
// never move, so a reader never meets storage being reallocated; once the chunks cover the
// largest number of brushes alive at once, creating and deleting leave the heap alone.
//
// Ids have the layout of the other tables: slot number plus one in the low 20 bits, the slot's
// generation in the high 12.
class BrushTable {
 public:
  // A brush without its pattern; `tile` names the pattern's colours in a table of their own
  // (0 for the brushes that have none).
  struct Entry {
    BrushStyle style = BrushStyle::kSolid;
    HatchStyle hatch = HatchStyle::kHorizontal;
    DeviceColor color = 0;
    std::uint32_t tile = 0;
  };

  BrushTable() = default;
  BrushTable(const BrushTable&) = delete;
  BrushTable& operator=(const BrushTable&) = delete;

  // 0 only when the table has run out of slot numbers.
  std::uint32_t Add(const Entry& entry, bool stock = false);
  // False for an unknown id and for stock brushes; otherwise the removed entry goes to `removed`.
  bool Remove(std::uint32_t id, Entry& removed);
  // False, with `out` untouched, for an unknown id. Safe against a Remove on another thread.
  bool Read(std::uint32_t id, Entry& out) const;
  std::size_t live_count() const;

 private:
  static constexpr int kSlotBits = 20;
  static constexpr std::uint32_t kSlotMask = (std::uint32_t{1} << kSlotBits) - 1;
  static constexpr std::uint32_t kMaxSlots = kSlotMask - 1;
  static constexpr std::uint32_t kGenerationMask = 0xFFF;
  static constexpr std::uint32_t kNoSlot = ~std::uint32_t{0};
  static constexpr std::uint32_t kChunkBits = 10;
  static constexpr std::uint32_t kChunkSize = std::uint32_t{1} << kChunkBits;
  static constexpr std::uint32_t kChunkCount = (kMaxSlots + kChunkSize - 1) / kChunkSize;

  struct Slot {
    // The id of the brush in the slot, 0 while it is free. Published last when a brush is made.
    std::atomic<std::uint32_t> id{0};
    // Style, hatch and colour packed into one word, so that a reader sees all three of one brush.
    std::atomic<std::uint64_t> packed{0};
    std::atomic<std::uint32_t> tile{0};
    // The writers' own bookkeeping, under the lock.
    std::uint32_t generation = 1;
    std::uint32_t next_free = kNoSlot;
    bool stock = false;
  };
  using Chunk = std::array<Slot, kChunkSize>;

  static std::uint64_t Pack(const Entry& entry) {
    return std::uint64_t{entry.color} |
           std::uint64_t{static_cast<std::uint8_t>(entry.style)} << 32 |
           std::uint64_t{static_cast<std::uint8_t>(entry.hatch)} << 40;
  }
  static Entry Unpack(std::uint64_t packed, std::uint32_t tile) {
    return Entry{static_cast<BrushStyle>(static_cast<std::uint8_t>(packed >> 32)),
                 static_cast<HatchStyle>(static_cast<std::uint8_t>(packed >> 40)),
                 static_cast<DeviceColor>(packed), tile};
  }

  // Null for a slot beyond the chunks made so far.
  const Slot* SlotOf(std::uint32_t slot) const {
    const Chunk* chunk = chunks_[slot >> kChunkBits].load(std::memory_order_acquire);
    return chunk ? &(*chunk)[slot & (kChunkSize - 1)] : nullptr;
  }
  Slot& WritableSlot(std::uint32_t slot) {
    return (*chunks_[slot >> kChunkBits].load(std::memory_order_relaxed))[slot & (kChunkSize - 1)];
  }

  mutable SpinLock lock_;
  // Chunks are made under the lock and kept for the life of the table.
  std::array<std::atomic<Chunk*>, kChunkCount> chunks_{};
  std::array<std::unique_ptr<Chunk>, kChunkCount> owned_{};
  std::uint32_t slot_count_ = 0;  // slots handed out so far
  std::uint32_t free_head_ = kNoSlot;
  std::size_t live_count_ = 0;
};

inline std::uint32_t BrushTable::Add(const Entry& entry, bool stock) {
  std::lock_guard guard(lock_);
  std::uint32_t slot;
  if (free_head_ != kNoSlot) {
    slot = free_head_;
    free_head_ = WritableSlot(slot).next_free;
  } else {
    if (slot_count_ >= kMaxSlots) return 0;
    slot = slot_count_;
    const std::uint32_t chunk = slot >> kChunkBits;
    if (!owned_[chunk]) {
      owned_[chunk] = std::make_unique<Chunk>();
      chunks_[chunk].store(owned_[chunk].get(), std::memory_order_release);
    }
    ++slot_count_;
  }
  Slot& s = WritableSlot(slot);
  // Release: a reader whose acquire load sees the new record also sees the slot's id taken away
  // by the Remove before, and so cannot mistake the new record for the old brush's.
  s.packed.store(Pack(entry), std::memory_order_release);
  s.tile.store(entry.tile, std::memory_order_release);
  s.stock = stock;
  if (!stock) ++live_count_;
  const std::uint32_t id = s.generation << kSlotBits | (slot + 1);
  // Release: a reader that sees the id sees the record written above.
  s.id.store(id, std::memory_order_release);
  return id;
}

inline bool BrushTable::Remove(std::uint32_t id, Entry& removed) {
  const std::uint32_t slot_plus_one = id & kSlotMask;
  if (slot_plus_one == 0) return false;
  std::lock_guard guard(lock_);
  if (slot_plus_one > slot_count_) return false;
  Slot& s = WritableSlot(slot_plus_one - 1);
  if (s.id.load(std::memory_order_relaxed) != id || s.stock) return false;
  removed =
      Unpack(s.packed.load(std::memory_order_relaxed), s.tile.load(std::memory_order_relaxed));
  s.id.store(0, std::memory_order_relaxed);
  s.generation = (s.generation + 1) & kGenerationMask;
  s.next_free = free_head_;
  free_head_ = slot_plus_one - 1;
  --live_count_;
  return true;
}

inline bool BrushTable::Read(std::uint32_t id, Entry& out) const {
  const std::uint32_t slot_plus_one = id & kSlotMask;
  if (slot_plus_one == 0 || slot_plus_one > kMaxSlots) return false;
  const Slot* s = SlotOf(slot_plus_one - 1);
  if (s == nullptr || s->id.load(std::memory_order_acquire) != id) return false;
  const std::uint64_t packed = s->packed.load(std::memory_order_acquire);
  const std::uint32_t tile = s->tile.load(std::memory_order_acquire);
  // The acquire loads above keep this one after them: the same id now means that no Remove and
  // Add of the slot came in between (a reused slot carries the next generation).
  if (s->id.load(std::memory_order_relaxed) != id) return false;
  out = Unpack(packed, tile);
  return true;
}

inline std::size_t BrushTable::live_count() const {
  std::lock_guard guard(lock_);
  return live_count_;
}

}  // namespace tavlo::platform::internal
