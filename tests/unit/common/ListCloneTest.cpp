#include "lib/ListClone.h"

#include "base/Errors.h"
#include "reference/ContainersReference.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

using namespace marigold;

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Event = std::pair<void*, TListCloneNotifyAction>;

// Items are addresses inside one array, so a test reads as [a, b, c].
std::array<int, 8> Objects{};
void* const a = &Objects[0];
void* const b = &Objects[1];
void* const c = &Objects[2];
void* const d = &Objects[3];

class RecordingList : public TListClone {
public:
  ~RecordingList() override { Clear(); }
  std::vector<Event> Events;

protected:
  void Notify(void* Item, TListCloneNotifyAction Action) override {
    Events.emplace_back(Item, Action);
  }
};

std::vector<void*> Items(const TListClone& List) {
  return std::vector<void*>(List.List(), List.List() + List.Count());
}

void Fill(TListClone& List, std::initializer_list<void*> Values) {
  for (void* V : Values)
    List.Add(V);
}

void ExpectListError(const std::function<void()>& Call) {
  try {
    Call();
    ADD_FAILURE() << "no list error";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Message(), u"Listエラー (TemplateList\\ListClone, 127 行)");
  }
}

TEST(ListClone, CapacityGrowsByTheFixedSequence) {
  TListClone List;
  std::vector<std::pair<int, int32_t>> Changes; // (item number, new capacity)
  for (int N = 1; N <= 356; ++N) {
    int32_t Before = List.Capacity();
    List.Add(nullptr);
    if (List.Capacity() != Before)
      Changes.emplace_back(N, List.Capacity());
  }
  EXPECT_THAT(Changes, ElementsAre(std::pair(1, 4), std::pair(5, 8), std::pair(9, 12),
                                   std::pair(13, 28), std::pair(29, 44), std::pair(45, 60),
                                   std::pair(61, 76), std::pair(77, 95), std::pair(96, 118),
                                   std::pair(119, 147), std::pair(148, 183), std::pair(184, 228),
                                   std::pair(229, 285), std::pair(286, 356)));
  TListClone Other;
  EXPECT_EQ(Other.Expand().Capacity(), 4);
  EXPECT_EQ(&Other.Expand(), &Other);
  EXPECT_EQ(Other.Capacity(), 4) << "Expand grows only when full";
}

TEST(ListClone, FailingCallsRaiseTheListErrorAndChangeNothing) {
  const std::vector<std::pair<const char*, std::function<void(TListClone&)>>> Calls = {
      {"GetItem(-1)", [](TListClone& L) { L.GetItem(-1); }},
      {"GetItem(Count)", [](TListClone& L) { L.GetItem(3); }},
      {"Delete(-1)", [](TListClone& L) { L.Delete(-1); }},
      {"Delete(Count)", [](TListClone& L) { L.Delete(3); }},
      {"Insert(-1)", [](TListClone& L) { L.Insert(-1, d); }},
      {"Insert(Count + 1)", [](TListClone& L) { L.Insert(4, d); }},
      {"Exchange first bad", [](TListClone& L) { L.Exchange(3, 0); }},
      {"Exchange second bad", [](TListClone& L) { L.Exchange(0, 3); }},
      {"Move to bad", [](TListClone& L) { L.Move(0, 3); }},
      {"Move from bad", [](TListClone& L) { L.Move(-1, 0); }},
      {"Capacity below Count", [](TListClone& L) { L.SetCapacity(2); }},
      {"Capacity above max", [](TListClone& L) { L.SetCapacity(MaxListSize + 1); }},
      {"Count negative", [](TListClone& L) { L.SetCount(-1); }},
      {"Count above max", [](TListClone& L) { L.SetCount(MaxListSize + 1); }},
  };
  for (const auto& [Name, Call] : Calls) {
    SCOPED_TRACE(Name);
    RecordingList List;
    Fill(List, {a, b, c});
    List.Events.clear();
    ExpectListError([&] { Call(List); });
    EXPECT_THAT(Items(List), ElementsAre(a, b, c));
    EXPECT_EQ(List.Capacity(), 4);
    EXPECT_TRUE(List.Events.empty());
  }
  TListClone Empty;
  ExpectListError([&] { Empty.First(); });
  ExpectListError([&] { Empty.Last(); });
}

TEST(ListClone, InsertShiftsAndAppendsAtCount) {
  RecordingList List;
  Fill(List, {a, b, c, d}); // full: the insert grows first
  List.Insert(1, c);
  List.Insert(5, a);
  List.Insert(0, nullptr);
  EXPECT_THAT(Items(List), ElementsAre(nullptr, a, c, b, c, d, a));
  EXPECT_EQ(List.Capacity(), 8);
  EXPECT_THAT(List.Events, ElementsAre(Event(a, naAdded), Event(b, naAdded), Event(c, naAdded),
                                       Event(d, naAdded), Event(c, naAdded), Event(a, naAdded)));
}

TEST(ListClone, DeleteMovesTheTailDownAndKeepsCapacity) {
  RecordingList List;
  Fill(List, {a, b, c, d, a});
  List.Events.clear();
  List.Delete(1);
  List.Delete(3);
  List.Delete(0);
  EXPECT_THAT(Items(List), ElementsAre(c, d));
  EXPECT_EQ(List.Capacity(), 8);
  EXPECT_THAT(List.Events,
              ElementsAre(Event(b, naDeleted), Event(a, naDeleted), Event(a, naDeleted)));
  List.Clear();
  EXPECT_EQ(List.Capacity(), 0);
  EXPECT_EQ(List.List(), nullptr);
}

TEST(ListClone, MoveTakesTheItemToItsNewIndexSilently) {
  struct Case {
    int32_t From, To;
    std::vector<void*> Expected;
  };
  const std::vector<Case> Cases = {
      {0, 2, {b, c, a}}, {2, 0, {c, a, b}},   {1, 2, {a, c, b}},
      {7, 7, {a, b, c}}, {-1, -1, {a, b, c}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.From << " -> " << C.To);
    RecordingList List;
    Fill(List, {a, b, c});
    List.Events.clear();
    List.Move(C.From, C.To);
    EXPECT_THAT(Items(List), ElementsAreArray(C.Expected));
    EXPECT_TRUE(List.Events.empty());
  }
  RecordingList List;
  Fill(List, {a, b, c});
  List.Events.clear();
  List.Exchange(0, 2);
  EXPECT_THAT(Items(List), ElementsAre(c, b, a));
  EXPECT_TRUE(List.Events.empty());
}

TEST(ListClone, ExtractNotifiesExtractedNeverDeleted) {
  RecordingList List;
  Fill(List, {a, b, a});
  List.Events.clear();
  EXPECT_EQ(List.Extract(c), nullptr);
  EXPECT_TRUE(List.Events.empty());
  EXPECT_EQ(List.Extract(a), a);
  EXPECT_THAT(Items(List), ElementsAre(b, a)) << "only the first occurrence";
  EXPECT_THAT(List.Events, ElementsAre(Event(a, naExtracted)));
  EXPECT_EQ(List.Remove(a), 1);
  EXPECT_EQ(List.Remove(a), -1);
  EXPECT_THAT(List.Events, ElementsAre(Event(a, naExtracted), Event(a, naDeleted)));
}

TEST(ListClone, NullItemsAreNeverNotified) {
  RecordingList List;
  EXPECT_EQ(List.Add(nullptr), 0);
  EXPECT_EQ(List.Add(a), 1);
  EXPECT_EQ(List.Add(nullptr), 2);
  EXPECT_EQ(List.IndexOf(nullptr), 0);
  List.Pack();
  EXPECT_THAT(Items(List), ElementsAre(a));
  EXPECT_EQ(List.Capacity(), 4);
  EXPECT_EQ(List.Extract(nullptr), nullptr);
  EXPECT_THAT(List.Events, ElementsAre(Event(a, naAdded)));
}

TEST(ListClone, AssigningCountExtendsWithNullsAndShrinksLastFirst) {
  RecordingList List;
  Fill(List, {a, b});
  List.Events.clear();
  List.SetCount(5);
  EXPECT_EQ(List.Capacity(), 5) << "exactly the new count, no growth margin";
  EXPECT_THAT(Items(List), ElementsAre(a, b, nullptr, nullptr, nullptr));
  List.Insert(3, c);
  List.Events.clear();
  List.SetCount(1);
  EXPECT_THAT(Items(List), ElementsAre(a));
  EXPECT_THAT(List.Events, ElementsAre(Event(c, naDeleted), Event(b, naDeleted)));
  EXPECT_EQ(List.Capacity(), 9);
}

// Items point at their sort keys; equal keys make the result depend on the partitioning.
int32_t CompareKeys(void* Item1, void* Item2) {
  return *static_cast<int*>(Item1) - *static_cast<int*>(Item2);
}

TEST(ListClone, SortPartitionsLikeTheReferenceQuicksort) {
  std::vector<int> Keys;
  for (int I = 0; I < 200; ++I)
    Keys.push_back((I * 7919) % 13);
  TListClone List;
  std::vector<void*> Expected;
  for (int& K : Keys) {
    List.Add(&K);
    Expected.push_back(&K);
  }
  reference::SortRange(Expected, 0, int32_t(Expected.size()) - 1, CompareKeys);
  List.Sort(CompareKeys);
  EXPECT_EQ(Items(List), Expected) << "same partitioning, same order of equal keys";

  TListClone Empty;
  Empty.Sort([](void*, void*) -> int32_t {
    ADD_FAILURE() << "Compare called on an empty list";
    return 0;
  });
}

TEST(ListClone, AssignOperatorsCombineInTheirOrder) {
  struct Case {
    const char* Name;
    std::vector<void*> Dest;
    TListCloneAssignOp Op;
    std::vector<void*> Source;
    std::vector<void*> Expected;
  };
  const std::vector<Case> Cases = {
      {"copy", {a, b}, laCopy, {c, a, c}, {c, a, c}},
      {"and", {a, b, c}, laAnd, {c, a}, {a, c}},
      {"or", {a}, laOr, {b, b}, {a, b}},
      {"or keeps destination first", {c, a}, laOr, {d, a, b}, {c, a, d, b}},
      {"xor", {a, b}, laXor, {b, c}, {a, c}},
      {"xor orders both sides", {d, a, b}, laXor, {c, b, nullptr}, {d, a, c, nullptr}},
      {"source unique", {a, b, c}, laSrcUnique, {b}, {a, c}},
      {"destination unique", {a, b}, laDestUnique, {b, c, d}, {d, c}},
      {"unknown operator", {a, b}, static_cast<TListCloneAssignOp>(6), {c}, {a, b}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TListClone Dest, Source;
    for (void* V : C.Dest)
      Dest.Add(V);
    for (void* V : C.Source)
      Source.Add(V);
    Dest.Assign(Source, C.Op);
    EXPECT_THAT(Items(Dest), ElementsAreArray(C.Expected));
    EXPECT_EQ(Source.Count(), int32_t(C.Source.size()));
  }
}

TEST(ListClone, AssignWithTwoListsStartsFromACopyOfTheFirst) {
  TListClone ListA, ListB, Target;
  Fill(ListA, {a, b});
  Fill(ListB, {b, c});
  Fill(Target, {d, d, c});
  Target.Assign(ListA, laAnd, &ListB);
  EXPECT_THAT(Items(Target), ElementsAre(b));

  TListClone Copy;
  ListA.SetCapacity(50);
  Copy.Assign(ListA);
  EXPECT_EQ(Copy.Capacity(), 50) << "laCopy takes the source's capacity";
  Copy.Assign(Copy);
  EXPECT_THAT(Items(Copy), ElementsAre(a, b)) << "copying onto itself keeps the items";
}

TEST(ListClone, AssignNotifiesThroughAddAndDelete) {
  RecordingList List;
  TListClone Source;
  Fill(List, {a, b});
  Fill(Source, {b, c});
  List.Events.clear();
  List.Assign(Source, laXor);
  EXPECT_THAT(List.Events, ElementsAre(Event(b, naDeleted), Event(c, naAdded)));
}

} // namespace
