#include "runtime/slot_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace grumbol {
namespace {

struct TestRecord {
  int handle = 0;
  int payload = 0;
  bool InUse() const { return handle != 0; }
};

// A table whose release function notes what it released and frees the slot.
struct Fixture {
  std::vector<SlotId> released;
  SlotTable<TestRecord> table{16, [this](SlotId id) {
                                if (table.FindSlot(id) != nullptr) released.push_back(id);
                                table.ReleaseSlot(id);
                              }};
  SlotId Fill(SlotId n, int handle = 1) {
    auto claim = table.ClaimSlot(n);
    EXPECT_NE(claim.record, nullptr);
    if (claim.record != nullptr) claim.record->handle = handle;
    return claim.id;
  }
  std::vector<SlotId> Visit(bool keep_going) {
    std::vector<SlotId> visited;
    table.ForEachSlot([&](SlotId id, TestRecord&) {
      visited.push_back(id);
      return keep_going;
    });
    return visited;
  }
};

TEST(SlotTable, GrowsByTheStepAndReleasesAnOccupiedSlotBeforeHandingItOut) {
  Fixture f;
  f.Fill(3, 33);
  f.Fill(100);
  EXPECT_EQ(f.table.Capacity(), 116);
  for (SlotId id = 16; id < 116; ++id) {
    if (id != 100) {
      EXPECT_EQ(f.table.FindSlot(id), nullptr) << id;
    }
  }
  EXPECT_EQ(f.table.FindSlot(3)->handle, 33);  // kept across the growth
  f.table.FindSlot(3)->payload = 7;
  f.Fill(3, 34);
  EXPECT_EQ(f.released, std::vector<SlotId>{3});
  EXPECT_EQ(f.table.FindSlot(3)->payload, 0);  // handed out clean
}

TEST(SlotTable, FindsOnlyRecordsInUseAndRefusesNumbersOutsideTheTable) {
  Fixture f;
  f.Fill(0);
  f.table.ClaimSlot(1);  // claimed but never filled
  EXPECT_NE(f.table.FindSlot(0), nullptr);
  for (SlotId id : {1, 16, -1, -7, 1 << 30}) EXPECT_EQ(f.table.FindSlot(id), nullptr) << id;
  for (SlotId n : {-2, kMaxSlotNumber + 1, INT32_MAX})
    EXPECT_EQ(f.table.ClaimSlot(n).record, nullptr);
  EXPECT_EQ(f.table.Capacity(), 16);
}

TEST(SlotTable, DynamicSlotsHaveTheirOwnIdentifiers) {
  Fixture f;
  const SlotId a = f.Fill(kDynamicSlot, 10);
  const SlotId b = f.Fill(kDynamicSlot, 11);
  EXPECT_NE(a, b);
  EXPECT_GT(a, kMaxSlotNumber);
  EXPECT_TRUE(f.released.empty());  // a new dynamic slot releases nothing
  f.table.ReleaseSlot(a);
  f.table.ReleaseSlot(a);  // twice, and unknown slots, are harmless
  f.table.ReleaseSlot(-5);
  f.table.ReleaseSlot(999);
  EXPECT_EQ(f.table.FindSlot(a), nullptr);
  EXPECT_EQ(f.table.FindSlot(b)->handle, 11);
}

TEST(SlotTable, VisitsNumberedSlotsAscendingThenDynamicOldestFirst) {
  Fixture f;
  f.Fill(7);
  const SlotId older = f.Fill(kDynamicSlot);
  const SlotId newer = f.table.ClaimSlot(kDynamicSlot).id;  // left free: still visited
  f.Fill(0);
  f.Fill(3);
  EXPECT_EQ(f.Visit(true), (std::vector<SlotId>{0, 3, 7, older, newer}));
  EXPECT_EQ(f.Visit(false), std::vector<SlotId>{0});

  // A visitor may release slots, also ones not visited yet: those are skipped.
  std::vector<SlotId> visited;
  f.table.ForEachSlot([&](SlotId id, TestRecord&) {
    visited.push_back(id);
    f.table.ReleaseSlot(3);
    f.table.ReleaseSlot(newer);
    return true;
  });
  EXPECT_EQ(visited, (std::vector<SlotId>{0, 7, older}));
}

}  // namespace
}  // namespace grumbol
