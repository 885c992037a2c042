#include "runtime/slot_table.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace grumbol {
namespace {

struct TestRecord {
  int handle = 0;
  int payload = 0;
  bool InUse() const { return handle != 0; }
};

// A table whose release function records what it released and frees the slot.
struct Fixture {
  std::vector<SlotId> released;
  SlotTable<TestRecord> table{16, [this](SlotId id) {
                                if (table.FindSlot(id) != nullptr) released.push_back(id);
                                table.ReleaseSlot(id);
                              }};

  void Fill(SlotId n, int handle) {
    auto claim = table.ClaimSlot(n);
    ASSERT_NE(claim.record, nullptr);
    claim.record->handle = handle;
  }
};

TEST(SlotTable, ClaimingBeyondTheCapacityGrowsByTheStep) {
  Fixture f;
  EXPECT_EQ(f.table.Capacity(), 16);
  f.Fill(3, 33);
  f.Fill(100, 1);
  EXPECT_EQ(f.table.Capacity(), 116);
  for (SlotId id = 16; id < 116; ++id) {
    if (id != 100) {
      EXPECT_EQ(f.table.FindSlot(id), nullptr) << id;
    }
  }
  ASSERT_NE(f.table.FindSlot(3), nullptr);
  EXPECT_EQ(f.table.FindSlot(3)->handle, 33);  // kept across the growth
}

TEST(SlotTable, ClaimingAnOccupiedSlotReleasesItsObjectFirst) {
  Fixture f;
  f.Fill(5, 50);
  f.Fill(5, 51);
  EXPECT_EQ(f.released, std::vector<SlotId>{5});
  EXPECT_EQ(f.table.FindSlot(5)->handle, 51);
  EXPECT_EQ(f.table.FindSlot(5)->payload, 0);  // handed out clean
}

TEST(SlotTable, FindsOnlyRecordsInUse) {
  Fixture f;
  f.Fill(0, 1);
  f.table.ClaimSlot(1);  // claimed but never filled
  EXPECT_NE(f.table.FindSlot(0), nullptr);
  EXPECT_EQ(f.table.FindSlot(1), nullptr);
  EXPECT_EQ(f.table.FindSlot(16), nullptr);  // equal to the capacity
  EXPECT_EQ(f.table.FindSlot(-1), nullptr);
  EXPECT_EQ(f.table.FindSlot(-7), nullptr);
  EXPECT_EQ(f.table.FindSlot(1 << 30), nullptr);
}

TEST(SlotTable, RefusesNumbersOutsideTheTable) {
  Fixture f;
  EXPECT_EQ(f.table.ClaimSlot(-2).record, nullptr);
  EXPECT_EQ(f.table.ClaimSlot(kMaxSlotNumber + 1).record, nullptr);
  EXPECT_EQ(f.table.ClaimSlot(INT32_MAX).record, nullptr);
  EXPECT_EQ(f.table.Capacity(), 16);
  EXPECT_NE(f.table.ClaimSlot(kMaxSlotNumber).record, nullptr);
}

TEST(SlotTable, DynamicSlotsHaveTheirOwnIdentifiersAndNoReleaseOnClaim) {
  Fixture f;
  f.Fill(0, 1);
  auto a = f.table.ClaimSlot(kDynamicSlot);
  a.record->handle = 10;
  auto b = f.table.ClaimSlot(kDynamicSlot);
  b.record->handle = 11;
  EXPECT_NE(a.id, b.id);
  EXPECT_GT(a.id, kMaxSlotNumber);
  EXPECT_TRUE(f.released.empty());
  EXPECT_EQ(f.table.FindSlot(a.id)->handle, 10);
  EXPECT_EQ(f.table.FindSlot(b.id)->handle, 11);

  f.table.ReleaseSlot(a.id);
  EXPECT_EQ(f.table.FindSlot(a.id), nullptr);
  EXPECT_EQ(f.table.FindSlot(b.id)->handle, 11);
}

TEST(SlotTable, ReleasingTwiceOrUnknownSlotsIsHarmless) {
  Fixture f;
  f.Fill(2, 1);
  f.table.ReleaseSlot(2);
  f.table.ReleaseSlot(2);
  f.table.ReleaseSlot(-5);
  f.table.ReleaseSlot(999);
  f.table.ReleaseSlot(1 << 30);
  EXPECT_EQ(f.table.FindSlot(2), nullptr);
  EXPECT_TRUE(f.table.IdsInVisitOrder().empty());
}

TEST(SlotTable, VisitsNumberedSlotsAscendingThenDynamicOldestFirst) {
  Fixture f;
  f.Fill(7, 1);
  auto older = f.table.ClaimSlot(kDynamicSlot);
  older.record->handle = 1;
  auto newer = f.table.ClaimSlot(kDynamicSlot);  // left free: still visited
  f.Fill(0, 1);
  f.Fill(3, 1);

  std::vector<SlotId> visited;
  f.table.ForEachSlot([&](SlotId id, TestRecord&) {
    visited.push_back(id);
    return true;
  });
  EXPECT_EQ(visited, (std::vector<SlotId>{0, 3, 7, older.id, newer.id}));

  visited.clear();
  f.table.ForEachSlot([&](SlotId id, TestRecord&) {
    visited.push_back(id);
    return false;
  });
  EXPECT_EQ(visited, std::vector<SlotId>{0});
}

TEST(SlotTable, VisitorMayReleaseSlotsWhileVisiting) {
  Fixture f;
  f.Fill(1, 1);
  f.Fill(2, 1);
  auto dynamic = f.table.ClaimSlot(kDynamicSlot);
  dynamic.record->handle = 1;
  std::vector<SlotId> visited;
  f.table.ForEachSlot([&](SlotId id, TestRecord&) {
    visited.push_back(id);
    f.table.ReleaseSlot(2);
    f.table.ReleaseSlot(id);
    return true;
  });
  EXPECT_EQ(visited, (std::vector<SlotId>{1, dynamic.id}));
  EXPECT_TRUE(f.table.IdsInVisitOrder().empty());
}

}  // namespace
}  // namespace grumbol
