#include "runtime/slot_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace grumbol {
namespace {

struct TestRecord {
  int payload = 0;
  bool InUse() const { return payload != 0; }
};

// A table whose release function notes what it released and frees the slot.
struct Fixture {
  std::vector<SlotId> released;
  SlotTable<TestRecord> table{16, [this](SlotId id) {
                                if (table.FindSlot(id) != nullptr) released.push_back(id);
                                table.ReleaseSlot(id);
                              }};
  SlotId Fill(SlotId n, int payload = 1) {
    auto claim = table.ClaimSlot(n);
    if (claim.record != nullptr) claim.record->payload = payload;
    return claim.id;
  }
};

TEST(SlotTable, GrowsByTheStepAndReleasesAnOccupiedSlotBeforeHandingItOut) {
  Fixture f;
  f.Fill(3, 33);
  f.Fill(100);
  f.table.ClaimSlot(1);  // claimed but never filled: not found
  for (SlotId n : {-2, kMaxSlotNumber + 1, INT32_MAX})
    EXPECT_EQ(f.table.ClaimSlot(n).record, nullptr);
  EXPECT_EQ(f.table.Capacity(), 116);
  for (SlotId id = -7; id < 120; ++id)
    EXPECT_EQ(f.table.FindSlot(id) != nullptr, id == 3 || id == 100) << id;
  EXPECT_EQ(f.table.FindSlot(3)->payload, 33);         // kept across the growth
  EXPECT_EQ(f.table.ClaimSlot(3).record->payload, 0);  // handed out clean
  EXPECT_EQ(f.released, std::vector<SlotId>{3});
}

// Numbered slots ascending, then dynamic ones oldest first; a visitor may release slots,
// also ones not visited yet: those are skipped. False ends the visit.
TEST(SlotTable, VisitsNumberedSlotsAscendingThenDynamicOldestFirst) {
  Fixture f;
  f.Fill(7);
  const SlotId older = f.Fill(kDynamicSlot);
  const SlotId newer = f.table.ClaimSlot(kDynamicSlot).id;  // left free: still visited
  EXPECT_GT(older, kMaxSlotNumber);
  f.Fill(0);
  f.Fill(3);
  EXPECT_TRUE(f.released.empty());
  auto visit = [&](std::size_t visits, bool release) {  // visits: until it returns false
    std::vector<SlotId> visited;
    f.table.ForEachSlot([&](SlotId id, TestRecord&) {
      visited.push_back(id);
      if (release) {
        f.table.ReleaseSlot(3);
        f.table.ReleaseSlot(newer);  // twice, and unknown slots, are harmless
        f.table.ReleaseSlot(-5);
      }
      return visited.size() < visits;
    });
    return visited;
  };
  EXPECT_EQ(visit(9, false), (std::vector<SlotId>{0, 3, 7, older, newer}));
  EXPECT_EQ(visit(1, false), std::vector<SlotId>{0});
  EXPECT_EQ(visit(9, true), (std::vector<SlotId>{0, 7, older}));
  EXPECT_EQ(f.table.FindSlot(older)->payload, 1);
}

}  // namespace
}  // namespace grumbol
