#include <gtest/gtest.h>

#include <string>

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

TEST(ItemsManager, FreedSlotIsReusedAndCountOnlyGrows) {
  {
    TItemsManager<CountedItem> m;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.AddItem(new CountedItem(i), std::string(1, char('A' + i)), 1), i);
    m.FreeItem(1);
    EXPECT_EQ(CountedItem::alive, 2);
    EXPECT_EQ(m.GetItem(1), nullptr);
    EXPECT_EQ(m.GetStrID(1), "");
    EXPECT_EQ(m.GetTag(1), 0);
    EXPECT_EQ(m.AddItem(new CountedItem(3), "D", 7), 1);
    EXPECT_EQ(m.GetCount(), 3);
    EXPECT_EQ(m.GetItem(1)->value, 3);
    EXPECT_EQ(m.GetStrID(1), "D");
    EXPECT_EQ(m.GetTag(1), 7);
    // Unknown IDs read as nothing rather than out of bounds.
    EXPECT_EQ(m.GetItem(-1), nullptr);
    EXPECT_EQ(m.GetItem(3), nullptr);
    EXPECT_EQ(m.GetStrID(99), "");
  }
  // Items still held when the manager goes are deleted with it.
  EXPECT_EQ(CountedItem::alive, 0);
}

TEST(ItemsManager, FindByStrIDGivesLowestSlotAndFreeAllKeepsTheCount) {
  TItemsManager<CountedItem> m;
  m.AddItem(new CountedItem(0), "TEX_A", 0);
  m.AddItem(new CountedItem(1), "TEX_B", 0);
  m.AddItem(new CountedItem(2), "TEX_B", 0);
  EXPECT_EQ(m.FindByStrID("TEX_B"), 1);
  EXPECT_EQ(m.FindByStrID("tex_b"), -1);
  EXPECT_EQ(m.FindByStrID(""), -1);
  m.FreeItem(1);
  m.FreeItem(1);  // an empty slot in range is left alone
  EXPECT_EQ(m.FindByStrID("TEX_B"), 2);
  EXPECT_EQ(m.FindByStrID(""), 1);  // an empty slot answers only an empty search
  EXPECT_EQ(m.AddItem(new CountedItem(3), "TEX_B", 0), 1);  // the reused slot is the lowest again
  EXPECT_EQ(m.FindByStrID("TEX_B"), 1);
  m.FreeItem(0);
  EXPECT_EQ(m.FindByStrID("TEX_A"), -1);

  m.FreeAllItems();
  EXPECT_EQ(CountedItem::alive, 0);
  EXPECT_EQ(m.GetCount(), 3);
  EXPECT_EQ(m.GetItem(2), nullptr);
  EXPECT_EQ(m.AddItem(new CountedItem(9), "Y", 0), 0);
  m.FreeAllItems();
}

TEST(ItemsManager, TagWalkFollowsFilterAndEndsAtMinusOne) {
  TItemsManager<CountedItem> m;
  m.AddItem(new CountedItem(0), "a", 5);
  m.AddItem(new CountedItem(1), "b", 0);
  m.AddItem(new CountedItem(2), "c", 5);
  m.FreeItem(2);

  EXPECT_EQ(m.GetFirstWithTag(5), m.GetItem(0));
  EXPECT_EQ(m.GetTagWalkID(), 0);
  EXPECT_EQ(m.GetNextWithTag(), nullptr);
  EXPECT_EQ(m.GetTagWalkID(), -1);
  EXPECT_EQ(m.GetNextWithTag(), nullptr);  // stays over

  EXPECT_EQ(m.GetFirstWithTag(0), m.GetItem(0));
  EXPECT_EQ(m.GetNextWithTag(), m.GetItem(1));
  EXPECT_EQ(m.GetTagWalkID(), 1);
  EXPECT_EQ(m.GetNextWithTag(), nullptr);
  EXPECT_EQ(m.GetTagWalkID(), -1);

  EXPECT_EQ(m.GetFirstWithTag(3), nullptr);
  TItemsManager<CountedItem> empty;
  EXPECT_EQ(empty.GetFirstWithTag(0), nullptr);
  EXPECT_EQ(empty.GetTagWalkID(), -1);
  m.FreeAllItems();
}

TEST(ItemsManager, FreeOutsideTheSlotsThrowsText) {
  TItemsManager<CountedItem> m;
  m.AddItem(new CountedItem(0), "a", 0);
  EXPECT_EQ(Raised([&] { m.FreeItem(-1); }), "Error in TItemsManager<T>::FreeItem");
  EXPECT_EQ(Raised([&] { m.FreeItem(m.GetCount()); }), "Error in TItemsManager<T>::FreeItem");
  EXPECT_EQ(CountedItem::alive, 1);
  m.FreeAllItems();

  TItemsManagerCOM<FakeTexture> com;
  EXPECT_EQ(Raised([&] { com.FreeItem(-1); }), "Error in TItemsManagerCOM<T>::FreeItem");
  EXPECT_EQ(Raised([&] { com.FreeItem(0); }), "Error in TItemsManagerCOM<T>::FreeItem");
}

TEST(ItemsManagerCOM, ReleasesInsteadOfDeletingAndRefusesLeftReferences) {
  FakeTexture a, b, c;
  b.AddRef();  // held elsewhere as well
  c.AddRef();
  TItemsManagerCOM<FakeTexture> m;
  EXPECT_EQ(m.AddItem(&a, "TEX_A", 1), 0);
  EXPECT_EQ(m.AddItem(&b, "TEX_B", 1), 1);
  EXPECT_EQ(m.FindByStrID("TEX_B"), 1);

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
