#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace marigold {

// An ordered list of untyped pointers. It owns nothing: whoever puts objects in frees them.

// The largest capacity a list can reach.
inline constexpr int32_t MaxListSize = 134217727;

// The slot block.
using PPointerList = void**;

enum TListCloneNotifyAction : uint8_t { naAdded = 0, naExtracted = 1, naDeleted = 2 };

// Negative when Item1 sorts before Item2, 0 when alike, positive when after.
using TListCloneSortCompare = int32_t (*)(void* Item1, void* Item2);

enum TListCloneAssignOp : uint8_t {
  laCopy = 0,
  laAnd = 1,
  laOr = 2,
  laXor = 3,
  laSrcUnique = 4,
  laDestUnique = 5
};

// Every failing check raises the list error, an EAssertionFailed reading
// "Listエラー (TemplateList\ListClone, 127 行)", before anything changes.
class TListClone {
public:
  TListClone() = default;
  TListClone(const TListClone&) = delete;
  TListClone& operator=(const TListClone&) = delete;
  // Clears the list; the objects the items point at are not touched. A subclass that wants
  // its notifications on destruction calls Clear in its own destructor.
  virtual ~TListClone();

  // Appends Item and returns its index; grows first when full.
  int32_t Add(void* Item);
  // Inserts Item at Index (0 ... Count; Count appends).
  void Insert(int32_t Index, void* Item);
  // Removes the item at Index (0 ... Count - 1); the capacity stays.
  void Delete(int32_t Index);
  // Deletes the first occurrence of Item; returns the index it had, or -1.
  int32_t Remove(void* Item);
  // Takes the first occurrence of Item out, notifying naExtracted (never naDeleted); returns
  // Item, or null when it is not in the list.
  void* Extract(void* Item);
  // Swaps two items; no notification.
  void Exchange(int32_t Index1, int32_t Index2);
  // Moves the item at CurIndex so that it ends at NewIndex; no notification. Equal indices do
  // nothing, not even a range check. Move(0, 2) on [a, b, c] gives [b, c, a].
  void Move(int32_t CurIndex, int32_t NewIndex);
  // The index of the first slot equal to Item, or -1.
  int32_t IndexOf(const void* Item) const;
  // The item at Index (0 ... Count - 1).
  void* GetItem(int32_t Index) const;
  // GetItem(0) and GetItem(Count - 1): both fail on an empty list.
  void* First() const { return GetItem(0); }
  void* Last() const { return GetItem(FCount - 1); }
  // Grows when full; returns the list itself.
  TListClone& Expand();
  // Deletes every null item, last first; the capacity stays.
  void Pack();
  // Unstable quicksort; Compare is always called as Compare(item, pivot).
  void Sort(TListCloneSortCompare Compare);
  // Combines the list with another. With ListB the list first becomes a copy of ListA and
  // ListB is the source; without, ListA is the source. Membership is pointer identity.
  //   laCopy: a copy of the source, capacity included;  laAnd: items also in the source;
  //   laOr: then the source items not yet present;  laXor: destination-only items, then
  //   source-only items;  laSrcUnique: destination-only items;  laDestUnique: source-only
  //   items in reverse source order.
  void Assign(TListClone& ListA, TListCloneAssignOp AOperator = laCopy,
              TListClone* ListB = nullptr);

  int32_t Capacity() const { return FCapacity; }
  // Resizes the slot block (Count ... MaxListSize); 0 releases it.
  void SetCapacity(int32_t NewCapacity);
  int32_t Count() const { return FCount; }
  // Extends with null items (no notification) or deletes from the end, last item first.
  void SetCount(int32_t NewCount);
  // The slot block itself; null while the capacity is 0.
  PPointerList List() const { return FList.get(); }

  // Count := 0, then Capacity := 0.
  virtual void Clear();
  // Raises the list error; neither argument enters it.
  [[noreturn]] static void Error(std::u16string_view Msg, int32_t Data);

protected:
  // Capacity += Capacity / 4 above 64, 16 above 8, else 4.
  virtual void Grow();
  // Called after a non-null item entered or left the list.
  virtual void Notify(void* Item, TListCloneNotifyAction Action);

private:
  struct FreeSlots {
    void operator()(void** Block) const noexcept { std::free(Block); }
  };
  void CheckIndex(int32_t Index) const;

  std::unique_ptr<void*[], FreeSlots> FList;
  int32_t FCount = 0;
  int32_t FCapacity = 0;
};

} // namespace marigold
