#include "platform/brush_table.h"

namespace tavlo::platform::internal {

BrushTable::~BrushTable() {
  std::lock_guard guard(lock_);
  // Threads that still hold a spare of this table forget it; its slot goes with the table.
  for (Spare* spare = spares_; spare != nullptr; spare = spare->next) {
    spare->table.store(nullptr, std::memory_order_relaxed);
    spare->slot.store(kNoSlot, std::memory_order_relaxed);
  }
}

BrushTable::Spare::~Spare() {
  BrushTable* owner = table.load(std::memory_order_relaxed);
  if (owner == nullptr) return;
  std::lock_guard guard(owner->lock_);
  owner->ReleaseSpareLocked(*this);
}

std::uint32_t BrushTable::AddLocked(const Entry& entry, bool stock) {
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
  if (!stock) ++live_count_;
  return Publish(WritableSlot(slot), slot, entry, stock);
}

bool BrushTable::RemoveLocked(std::uint32_t id, Entry& removed) {
  const std::uint32_t slot_plus_one = id & kSlotMask;
  std::lock_guard guard(lock_);
  if (slot_plus_one > slot_count_) return false;
  Slot& s = WritableSlot(slot_plus_one - 1);
  if (s.id.load(std::memory_order_relaxed) != id || s.stock.load(std::memory_order_relaxed)) {
    return false;
  }
  removed = Retire(s);
  s.next_free = free_head_;
  free_head_ = slot_plus_one - 1;
  --live_count_;
  return true;
}

void BrushTable::Adopt(Spare& spare) {
  if (BrushTable* previous = spare.table.load(std::memory_order_relaxed)) {
    std::lock_guard guard(previous->lock_);
    previous->ReleaseSpareLocked(spare);
  }
  std::lock_guard guard(lock_);
  spare.slot.store(kNoSlot, std::memory_order_relaxed);
  spare.next = spares_;
  spares_ = &spare;
  spare.table.store(this, std::memory_order_relaxed);
}

void BrushTable::ReleaseSpareLocked(Spare& spare) {
  const std::uint32_t slot = spare.slot.load(std::memory_order_relaxed);
  if (slot != kNoSlot) {
    WritableSlot(slot).next_free = free_head_;
    free_head_ = slot;
    --live_count_;
  }
  for (Spare** link = &spares_; *link != nullptr; link = &(*link)->next) {
    if (*link == &spare) {
      *link = spare.next;
      break;
    }
  }
  spare.next = nullptr;
  spare.slot.store(kNoSlot, std::memory_order_relaxed);
  spare.table.store(nullptr, std::memory_order_relaxed);
}

std::size_t BrushTable::live_count() const {
  std::lock_guard guard(lock_);
  std::size_t live = live_count_;
  for (const Spare* spare = spares_; spare != nullptr; spare = spare->next) {
    if (spare->slot.load(std::memory_order_relaxed) != kNoSlot) --live;
  }
  return live;
}

}  // namespace tavlo::platform::internal
