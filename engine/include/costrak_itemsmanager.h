#pragma once
// Slot containers for every kind of loaded item (resources, textures,
// techniques, fonts, lights, sounds, music, playlists, GUI enums and styles).
//
// An item's integer ID is its slot index. Beside each item a slot keeps the
// item's string ID and tag. Freed slots stay in place, empty (null item, empty
// string ID, tag 0), and the next AddItem reuses the lowest empty one, so the
// slot count only grows and an ID stays valid exactly as long as its item lives.
//
// Iterating every slot:  for (int32_t id = 0; id < m.GetCount(); ++id)
//                          if (T* item = m.GetItem(id)) ...
#include <concepts>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "costrak_ehs.h"

// Reference-counted device objects (textures) as the COM-style manager holds
// them: the manager owns one reference and gives it back with Release(), which
// returns the references left; the object deletes itself at 0.
template <typename T>
concept O2DRefCounted = requires(T* object) {
  { object->AddRef() } -> std::same_as<uint32_t>;
  { object->Release() } -> std::same_as<uint32_t>;
};

template <typename T>
class TItemsManager {
 public:
  TItemsManager() = default;
  TItemsManager(const TItemsManager&) = delete;
  TItemsManager& operator=(const TItemsManager&) = delete;
  // Subsystems call FreeAllItems() before destroying a manager (while the back
  // end the items belong to still runs); whatever is still held then is disposed
  // of here so that nothing leaks.
  virtual ~TItemsManager() {
    for (SLOT& slot : m_slots) DisposeItem(slot.item);
  }

  // Takes ownership of item and stores it with its string ID and tag in the
  // lowest empty slot, or in a new slot at the end. Returns the integer ID.
  // Duplicate string IDs are not refused; callers decide what they mean.
  int32_t AddItem(T* item, std::string strID, int32_t tag) {
    EHS_ASSERT(item);
    int32_t id = m_free.empty() ? GetCount() : *m_free.begin();
    try {
      if (id == GetCount()) {
        m_slots.emplace_back();
        m_free.insert(id);
      }
      if (!strID.empty()) m_index[strID].insert(id);
      m_free.erase(id);
      m_slots[static_cast<size_t>(id)] = SLOT{item, std::move(strID), tag};
    } catch (...) {
      DisposeItem(item);
      throw;
    }
    return id;
  }

  // The lowest slot whose string ID equals strID exactly (case-sensitive), or -1.
  // Empty slots carry an empty string ID, so only an empty search finds them.
  int32_t FindByStrID(std::string_view strID) const {
    if (strID.empty()) {
      for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].strID.empty()) return static_cast<int32_t>(i);
      return -1;
    }
    auto it = m_index.find(strID);
    return it == m_index.end() ? -1 : *it->second.begin();
  }

  // The item in slot id; null for an empty slot and for any id outside 0 .. count-1.
  T* GetItem(int32_t id) const { return InRange(id) ? m_slots[static_cast<size_t>(id)].item : nullptr; }
  // The slot's string ID and tag (empty text and 0 for an empty or unknown slot).
  const std::string& GetStrID(int32_t id) const {
    static const std::string kNone;
    return InRange(id) ? m_slots[static_cast<size_t>(id)].strID : kNone;
  }
  int32_t GetTag(int32_t id) const { return InRange(id) ? m_slots[static_cast<size_t>(id)].tag : 0; }
  // Number of slots, filled or empty.
  int32_t GetCount() const { return static_cast<int32_t>(m_slots.size()); }

  // Disposes of the item in slot id and empties the slot; an empty slot is left
  // as it is. An id outside 0 .. count-1 throws the text
  // "Error in TItemsManager<T>::FreeItem".
  virtual void FreeItem(int32_t id) {
    if (!InRange(id)) EHS_ThrowText("Error in TItemsManager<T>::FreeItem");
    T* item = m_slots[static_cast<size_t>(id)].item;
    ClearSlot(id);
    DisposeItem(item);
  }

  // FreeItem for every slot in order; the count stays, every slot ends empty.
  virtual void FreeAllItems() {
    for (int32_t id = 0; id < GetCount(); ++id) FreeItem(id);
  }

  // Tag walk: the first filled slot whose tag is `tag` (any filled slot for tag
  // 0), then the following ones with GetNextWithTag(). The walk's position is
  // state of the manager (GetTagWalkID), so only one walk runs at a time.
  // Both return null when the walk is over; the position is then -1.
  T* GetFirstWithTag(int32_t tag) {
    m_filterTag = tag;
    m_cursor = 0;
    return AdvanceWalk();
  }
  T* GetNextWithTag() {
    if (m_cursor == -1 || m_cursor >= GetCount()) return nullptr;
    ++m_cursor;
    return AdvanceWalk();
  }
  // The integer ID of the item the walk last returned, or -1 when it is over.
  int32_t GetTagWalkID() const { return m_cursor; }

 protected:
  struct SLOT {
    T* item = nullptr;
    std::string strID;
    int32_t tag = 0;
  };

  bool InRange(int32_t id) const { return id >= 0 && id < GetCount(); }
  void ClearSlot(int32_t id) {
    SLOT& slot = m_slots[static_cast<size_t>(id)];
    if (slot.item == nullptr) return;
    if (auto it = m_index.find(slot.strID); it != m_index.end()) {
      it->second.erase(id);
      if (it->second.empty()) m_index.erase(it);
    }
    m_free.insert(id);
    slot.item = nullptr;
    slot.strID.clear();
    slot.tag = 0;
  }
  // Engine-allocated items are deleted; reference-counted ones give back the
  // manager's reference.
  static uint32_t DisposeItem(T* item) {
    if (item == nullptr) return 0;
    if constexpr (O2DRefCounted<T>) {
      return item->Release();
    } else {
      delete item;
      return 0;
    }
  }

  std::vector<SLOT> m_slots;
  // Lookups that do not walk every slot: the empty slots, and the filled slots
  // of each string ID, lowest first.
  std::set<int32_t> m_free;
  std::map<std::string, std::set<int32_t>, std::less<>> m_index;

 private:
  T* AdvanceWalk() {
    for (; m_cursor < GetCount(); ++m_cursor) {
      const SLOT& slot = m_slots[static_cast<size_t>(m_cursor)];
      if (slot.item != nullptr && (m_filterTag == 0 || slot.tag == m_filterTag)) return slot.item;
    }
    m_cursor = -1;
    return nullptr;
  }

  int32_t m_filterTag = 0;
  int32_t m_cursor = 0;
};

// The same container for reference-counted device objects (T has AddRef() and
// Release(), see O2DRefCounted). The manager holds one reference per item and gives it back
// with Release() instead of deleting the item; a reference still held when the
// manager is destroyed is given back then.
template <typename T>
class TItemsManagerCOM : public TItemsManager<T> {
  using Base = TItemsManager<T>;

 public:
  static_assert(O2DRefCounted<T>, "TItemsManagerCOM holds reference-counted objects");

  // Releases the manager's reference. An id outside 0 .. count-1 throws the text
  // "Error in TItemsManagerCOM<T>::FreeItem". When references remain afterwards
  // the text "Unreleased object references left!" is thrown; the slot is emptied
  // first all the same, since the manager's own reference is already gone and a
  // second free must not release it again.
  void FreeItem(int32_t id) override {
    if (!this->InRange(id)) EHS_ThrowText("Error in TItemsManagerCOM<T>::FreeItem");
    T* item = this->m_slots[static_cast<size_t>(id)].item;
    if (item == nullptr) return;
    Base::ClearSlot(id);
    if (Base::DisposeItem(item) > 0) EHS_ThrowText("Unreleased object references left!");
  }
};
