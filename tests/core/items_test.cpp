#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "costrak_itemsmanager.h"
#include "raised.h"

namespace {

// Counts live instances so that deletion (and double deletion) shows.
struct CountedItem {
  explicit CountedItem(int v) : value(v) { ++alive; }
  ~CountedItem() { --alive; }
  int value;
  static inline int alive = 0;
};

struct FakeTexture {
  uint32_t refs = 1;
  uint32_t AddRef() { return ++refs; }
  uint32_t Release() { return --refs; }
};

}  // namespace

TEST(ItemsManager, FreedSlotsAreReusedLowestFirstAndLookupsFollowThem) {
  {
    TItemsManager<CountedItem> m;
    for (const char* id : {"TEX_A", "TEX_B", "TEX_B"}) m.AddItem(new CountedItem(0), id, 1);
    EXPECT_EQ(m.FindByStrID("TEX_B"), 1);  // the lowest slot of a repeated ID
    m.FreeItem(1);
    m.FreeItem(1);  // an empty slot in range is left alone
    EXPECT_EQ(CountedItem::alive, 2);
    EXPECT_EQ(m.FindByStrID("TEX_B"), 2);
    EXPECT_EQ(m.AddItem(new CountedItem(3), "TEX_C", 7), 1);
    EXPECT_EQ(std::tuple(m.GetItem(1)->value, m.GetStrID(1), m.GetTag(1), m.GetCount()), std::tuple(3, "TEX_C", 7, 3));
    // Unknown IDs read as nothing rather than out of bounds.
    EXPECT_EQ(m.GetItem(-1), nullptr);
    EXPECT_EQ(m.GetStrID(99), "");
    EXPECT_EQ(Raised([&] { m.FreeItem(m.GetCount()); }), "Error in TItemsManager<T>::FreeItem");

    m.FreeAllItems();
    EXPECT_EQ(CountedItem::alive, 0);
    EXPECT_EQ(m.AddItem(new CountedItem(9), "Y", 0), 0);  // the slots stay
  }
  // Items still held when the manager goes are deleted with it.
  EXPECT_EQ(CountedItem::alive, 0);
}

TEST(ItemsManagerCOM, ReleasesInsteadOfDeletingAndRefusesLeftReferences) {
  FakeTexture a, b, c;
  b.AddRef();  // held elsewhere as well
  c.AddRef();
  TItemsManagerCOM<FakeTexture> m;
  EXPECT_EQ(m.AddItem(&a, "TEX_A", 1), 0);
  EXPECT_EQ(m.AddItem(&b, "TEX_B", 1), 1);
  m.FreeItem(0);
  EXPECT_EQ(a.refs, 0u);
  EXPECT_EQ(m.GetItem(0), nullptr);

  EXPECT_EQ(Raised([&] { m.FreeItem(1); }), "Unreleased object references left!");
  EXPECT_EQ(b.refs, 1u);
  // The manager's reference is gone, so the slot no longer claims it: freeing
  // again (the clean-up after the fatal error does) must not release it twice.
  EXPECT_EQ(m.GetItem(1), nullptr);
  m.FreeAllItems();
  EXPECT_EQ(b.refs, 1u);

  // Destruction gives back the references still held.
  { TItemsManagerCOM<FakeTexture>().AddItem(&c, "TEX_C", 1); }
  EXPECT_EQ(c.refs, 1u);
}
