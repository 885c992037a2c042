#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <list>
#include <new>
#include <utility>
#include <vector>

namespace grumbol {

// Names a sprite, sound, movie or file within its subsystem.
using SlotId = std::int32_t;

// Given to ClaimSlot, asks for a new unnumbered slot whose identifier the table chooses.
inline constexpr SlotId kDynamicSlot = -1;

// The largest slot number a table accepts. The game uses numbers below 100; the bound keeps
// a stray huge number from asking for gigabytes of records.
inline constexpr SlotId kMaxSlotNumber = 65535;

// A record held in a slot. A default-constructed record is a free slot; InUse tells
// whether the record holds an object.
template <typename R>
concept SlotRecord = std::default_initializable<R> && std::movable<R> && requires(const R& r) {
  { r.InUse() } -> std::convertible_to<bool>;
};

// The growable table of numbered slots plus a list of unnumbered (dynamic) ones that each
// media subsystem keeps its objects in. Records may move when the table grows: address
// them by identifier, never keep a pointer across a claim.
template <SlotRecord Record>
class SlotTable {
 public:
  // Releases whatever object a slot holds; does nothing for a free slot.
  using ReleaseFunction = std::function<void(SlotId)>;

  struct Claim {
    SlotId id;       // the slot number, or the new dynamic identifier
    Record* record;  // null when the slot number is refused
  };

  SlotTable(SlotId growth_step, ReleaseFunction release)
      : growth_step_(growth_step), release_(std::move(release)), records_(growth_step) {}

  SlotTable(const SlotTable&) = delete;
  SlotTable& operator=(const SlotTable&) = delete;

  // The record the caller is about to fill for slot n. An object still held in slot n is
  // released first. n = kDynamicSlot creates a new free dynamic record instead.
  // Numbers below -1 or above kMaxSlotNumber are refused.
  Claim ClaimSlot(SlotId n) {
    if (n == kDynamicSlot) {
      dynamic_.emplace_back(next_dynamic_id_++, Record{});
      return {dynamic_.back().first, &dynamic_.back().second};
    }
    if (n < 0 || n > kMaxSlotNumber) return {n, nullptr};
    if (n >= Capacity()) {
      try {
        records_.resize(static_cast<std::size_t>(n) + static_cast<std::size_t>(growth_step_));
      } catch (const std::bad_alloc&) {
        return {n, nullptr};
      }
    }
    release_(n);
    return {n, &records_[static_cast<std::size_t>(n)]};
  }

  // The record in use for id, or null.
  Record* FindSlot(SlotId id) {
    if (id >= 0 && id < Capacity()) {
      Record& record = records_[static_cast<std::size_t>(id)];
      return record.InUse() ? &record : nullptr;
    }
    auto it = FindDynamic(id);
    return it != dynamic_.end() && it->second.InUse() ? &it->second : nullptr;
  }

  // Frees the slot: a numbered record becomes a default record, a dynamic one is removed.
  // Releasing a free or unknown slot does nothing.
  void ReleaseSlot(SlotId id) {
    if (id >= 0 && id < Capacity()) {
      records_[static_cast<std::size_t>(id)] = Record{};
      return;
    }
    auto it = FindDynamic(id);
    if (it != dynamic_.end()) dynamic_.erase(it);
  }

  // The identifiers ForEachSlot visits, in its order: numbered slots in use ascending, then
  // every dynamic record from the oldest.
  std::vector<SlotId> IdsInVisitOrder() const {
    std::vector<SlotId> ids;
    for (std::size_t i = 0; i < records_.size(); ++i) {
      if (records_[i].InUse()) ids.push_back(static_cast<SlotId>(i));
    }
    for (const auto& [id, record] : dynamic_) ids.push_back(id);
    return ids;
  }

  // Calls visit(id, record) for each slot in IdsInVisitOrder until it returns false. The
  // visitor may release slots, also ones not yet visited: those are then skipped.
  template <typename Visitor>
  requires std::invocable<Visitor&, SlotId, Record&>
  void ForEachSlot(Visitor&& visit) {
    for (SlotId id : IdsInVisitOrder()) {
      Record* record = RecordOf(id);
      if (record == nullptr) continue;
      if (!visit(id, *record)) return;
    }
  }

  SlotId Capacity() const { return static_cast<SlotId>(records_.size()); }

 private:
  // Dynamic identifiers lie above every possible slot number.
  static constexpr SlotId kFirstDynamicId = 1 << 30;

  using DynamicList = std::list<std::pair<SlotId, Record>>;

  typename DynamicList::iterator FindDynamic(SlotId id) {
    auto it = dynamic_.begin();
    while (it != dynamic_.end() && it->first != id) ++it;
    return it;
  }

  // The record of a numbered slot in use, or of a dynamic slot whether or not in use.
  Record* RecordOf(SlotId id) {
    if (id >= 0 && id < Capacity()) return FindSlot(id);
    auto it = FindDynamic(id);
    return it != dynamic_.end() ? &it->second : nullptr;
  }

  SlotId growth_step_;
  ReleaseFunction release_;
  std::vector<Record> records_;
  DynamicList dynamic_;  // oldest first
  SlotId next_dynamic_id_ = kFirstDynamicId;
};

}  // namespace grumbol
