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
// into two device contexts and deletes the one it displaces, so none of these steps takes a lock
// in the steady state:
// - Reads (the selections) take no lock at all: a slot's record is one atomic word, and a reader
//   checks the slot's id before and after reading it, so that a brush deleted (and its slot
//   reused) meanwhile reads as unknown.
// - Each thread keeps one spare slot of its own: a deletion parks the slot there and the thread's
//   next creation takes it back, with plain loads and stores. Only when the spare is taken (or
//   empty) do deletion (or creation) take the spin lock of the shared free list. A thread's spare
//   goes back to the free list when the thread ends.
// Slots live in chunks that never move, so a reader never meets storage being reallocated; once
// the chunks cover the largest number of brushes alive at once, creating and deleting leave the
// heap alone.
//
// Every function is safe to call from any thread, with the one exception that any handle has:
// deleting the same brush on two threads at the same moment is the callers' race.
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
  ~BrushTable();
  BrushTable(const BrushTable&) = delete;
  BrushTable& operator=(const BrushTable&) = delete;

  // 0 only when the table has run out of slot numbers.
  std::uint32_t Add(const Entry& entry, bool stock = false);
  // False for an unknown id and for stock brushes; otherwise the removed entry goes to `removed`.
  bool Remove(std::uint32_t id, Entry& removed);
  // False, with `out` untouched, for an unknown id. Safe against a Remove on another thread.
  bool Read(std::uint32_t id, Entry& out) const;
  // Brushes alive other than the stock ones; spare slots count as free.
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
    std::atomic<bool> stock{false};
    // Written by whoever holds the slot: the lock's holder for a slot on the free list, the
    // thread itself for its spare.
    std::uint32_t generation = 1;
    std::uint32_t next_free = kNoSlot;
  };
  using Chunk = std::array<Slot, kChunkSize>;

  // A thread's spare slot and the table it belongs to. The thread reads and writes both; the
  // table's lock guards the list of spares (for live_count) and the detaching at either end's
  // death.
  struct Spare {
    std::atomic<BrushTable*> table{nullptr};
    std::atomic<std::uint32_t> slot{kNoSlot};
    Spare* next = nullptr;
    ~Spare();
  };
  static Spare& ThisThreadsSpare() {
    thread_local Spare spare;
    return spare;
  }

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
  Slot* SlotOf(std::uint32_t slot) const {
    Chunk* chunk = chunks_[slot >> kChunkBits].load(std::memory_order_acquire);
    return chunk ? &(*chunk)[slot & (kChunkSize - 1)] : nullptr;
  }
  Slot& WritableSlot(std::uint32_t slot) {
    return (*chunks_[slot >> kChunkBits].load(std::memory_order_relaxed))[slot & (kChunkSize - 1)];
  }

  // Puts the brush into a slot that the caller holds and returns its id.
  static std::uint32_t Publish(Slot& s, std::uint32_t slot, const Entry& entry, bool stock) {
    // Release: a reader whose acquire load sees the new record also sees the slot's id taken away
    // by the Remove before, and so cannot mistake the new record for the old brush's.
    s.packed.store(Pack(entry), std::memory_order_release);
    s.tile.store(entry.tile, std::memory_order_release);
    s.stock.store(stock, std::memory_order_relaxed);
    const std::uint32_t id = s.generation << kSlotBits | (slot + 1);
    // Release: a reader that sees the id sees the record written above.
    s.id.store(id, std::memory_order_release);
    return id;
  }
  // Empties a slot that holds brush `id`; the slot then belongs to the caller.
  static Entry Retire(Slot& s) {
    const Entry removed =
        Unpack(s.packed.load(std::memory_order_relaxed), s.tile.load(std::memory_order_relaxed));
    s.id.store(0, std::memory_order_relaxed);
    s.generation = (s.generation + 1) & kGenerationMask;
    return removed;
  }

  std::uint32_t AddLocked(const Entry& entry, bool stock);
  bool RemoveLocked(std::uint32_t id, Entry& removed);
  // Makes `spare` this table's, giving a spare of another table back to that table first.
  void Adopt(Spare& spare);
  // Gives the spare's slot back to the free list and forgets the spare. Under the lock.
  void ReleaseSpareLocked(Spare& spare);

  mutable SpinLock lock_;
  // Chunks are made under the lock and kept for the life of the table.
  std::array<std::atomic<Chunk*>, kChunkCount> chunks_{};
  std::array<std::unique_ptr<Chunk>, kChunkCount> owned_{};
  std::uint32_t slot_count_ = 0;  // slots handed out so far
  std::uint32_t free_head_ = kNoSlot;
  // Slots neither free nor stock, the threads' spares among them.
  std::size_t live_count_ = 0;
  Spare* spares_ = nullptr;
};

inline std::uint32_t BrushTable::Add(const Entry& entry, bool stock) {
  Spare& spare = ThisThreadsSpare();
  if (!stock && spare.table.load(std::memory_order_relaxed) == this) {
    const std::uint32_t slot = spare.slot.load(std::memory_order_relaxed);
    if (slot != kNoSlot) {
      spare.slot.store(kNoSlot, std::memory_order_relaxed);
      return Publish(WritableSlot(slot), slot, entry, false);
    }
  }
  return AddLocked(entry, stock);
}

inline bool BrushTable::Remove(std::uint32_t id, Entry& removed) {
  const std::uint32_t slot_plus_one = id & kSlotMask;
  if (slot_plus_one == 0 || slot_plus_one > kMaxSlots) return false;
  Spare& spare = ThisThreadsSpare();
  if (spare.table.load(std::memory_order_relaxed) != this) Adopt(spare);
  if (spare.slot.load(std::memory_order_relaxed) != kNoSlot) return RemoveLocked(id, removed);
  Slot* s = SlotOf(slot_plus_one - 1);
  if (s == nullptr || s->id.load(std::memory_order_acquire) != id ||
      s->stock.load(std::memory_order_relaxed)) {
    return false;
  }
  removed = Retire(*s);
  spare.slot.store(slot_plus_one - 1, std::memory_order_relaxed);
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

}  // namespace tavlo::platform::internal
