// A random sequence of list operations against a vector model: the same items, 0 <= Count <=
// Capacity, growth by the fixed rule, every failing call raising the list error and changing
// nothing, and notifications balanced with the non-null items present.
#include "base/Errors.h"
#include "lib/ListClone.h"
#include "reference/ContainersReference.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

using namespace marigold;

namespace {

std::array<int, 6> Keys{0, 1, 2, 0, 1, 2};

void Check(bool Holds) {
  if (!Holds)
    std::abort();
}

class CountingList : public TListClone {
public:
  std::map<void*, int> Present; // by notifications
  ~CountingList() override { Clear(); }

protected:
  void Notify(void* Item, TListCloneNotifyAction Action) override {
    Check(Item != nullptr);
    Present[Item] += Action == naAdded ? 1 : -1;
  }
};

int32_t CompareKeys(void* A, void* B) {
  int KeyA = A ? *static_cast<int*>(A) : -1;
  int KeyB = B ? *static_cast<int*>(B) : -1;
  return KeyA - KeyB;
}

int32_t Grown(int32_t Capacity) {
  return Capacity + (Capacity > 64 ? Capacity / 4 : Capacity > 8 ? 16 : 4);
}

struct Reader {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
  bool More() const { return At < Size; }
  uint8_t Next() { return At < Size ? Data[At++] : 0; }
  void* Item() {
    uint8_t B = Next() % 7;
    return B == 6 ? nullptr : &Keys[B];
  }
  // Mostly in range, sometimes just outside.
  int32_t Index(int32_t Count) { return int32_t(Next() % (Count + 3)) - 1; }
};

bool Contains(const std::vector<void*>& V, void* Item) {
  return std::find(V.begin(), V.end(), Item) != V.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Reader In{Data, Size};
  CountingList List;
  TListClone Other;
  std::vector<void*> Model;
  std::vector<void*> OtherModel;
  while (In.More()) {
    const int32_t Count = int32_t(Model.size());
    const int32_t Capacity = List.Capacity();
    const auto InRange = [&](int32_t I) { return I >= 0 && I < Count; };
    bool Fails = false;
    bool MayGrow = false;
    try {
      switch (In.Next() % 15) {
      case 0: {
        void* Item = In.Item();
        MayGrow = true;
        Check(List.Add(Item) == Count);
        Model.push_back(Item);
        break;
      }
      case 1: {
        int32_t I = In.Index(Count + 1);
        void* Item = In.Item();
        Fails = I < 0 || I > Count;
        MayGrow = true;
        List.Insert(I, Item);
        Check(!Fails);
        Model.insert(Model.begin() + I, Item);
        break;
      }
      case 2: {
        int32_t I = In.Index(Count);
        Fails = !InRange(I);
        List.Delete(I);
        Check(!Fails);
        Model.erase(Model.begin() + I);
        break;
      }
      case 3: {
        void* Item = In.Item();
        auto It = std::find(Model.begin(), Model.end(), Item);
        const bool Found = It != Model.end();
        if (In.Next() % 2)
          Check(List.Remove(Item) == (Found ? int32_t(It - Model.begin()) : -1));
        else
          Check(List.Extract(Item) == (Found ? Item : nullptr));
        if (Found)
          Model.erase(It);
        break;
      }
      case 4: {
        int32_t I = In.Index(Count), J = In.Index(Count);
        Fails = !InRange(I) || !InRange(J);
        List.Exchange(I, J);
        Check(!Fails);
        std::swap(Model[size_t(I)], Model[size_t(J)]);
        break;
      }
      case 5: {
        int32_t I = In.Index(Count), J = In.Index(Count);
        Fails = I != J && (!InRange(I) || !InRange(J));
        List.Move(I, J);
        Check(!Fails);
        if (I != J) {
          void* Item = Model[size_t(I)];
          Model.erase(Model.begin() + I);
          Model.insert(Model.begin() + J, Item);
        }
        break;
      }
      case 6: {
        int32_t N = int32_t(In.Next() % 40) - 2;
        Fails = N < 0;
        List.SetCount(N);
        Check(!Fails);
        Model.resize(size_t(N), nullptr);
        Check(List.Capacity() == std::max(Capacity, N));
        break;
      }
      case 7: {
        int32_t N = Count + int32_t(In.Next() % 20) - 3;
        Fails = N < Count;
        List.SetCapacity(N);
        Check(!Fails);
        Check(List.Capacity() == N);
        break;
      }
      case 8:
        List.Pack();
        std::erase(Model, nullptr);
        break;
      case 9:
        List.Clear();
        Model.clear();
        Check(List.Capacity() == 0 && List.List() == nullptr);
        break;
      case 10:
        MayGrow = true;
        Check(&List.Expand() == &List);
        break;
      case 11:
        List.Sort(CompareKeys);
        if (!Model.empty())
          reference::SortRange(Model, 0, int32_t(Model.size()) - 1, CompareKeys);
        break;
      case 12: {
        void* Item = In.Item();
        Other.Add(Item);
        OtherModel.push_back(Item);
        if (OtherModel.size() > 12) {
          Other.Clear();
          OtherModel.clear();
        }
        break;
      }
      case 13: {
        auto Op = static_cast<TListCloneAssignOp>(In.Next() % 7);
        const std::vector<void*>& S = OtherModel;
        std::vector<void*> R;
        switch (Op) {
        case laCopy:
          R = S;
          break;
        case laAnd:
          for (void* X : Model)
            if (Contains(S, X))
              R.push_back(X);
          break;
        case laOr:
          R = Model;
          for (void* X : S)
            if (!Contains(R, X))
              R.push_back(X);
          break;
        case laXor:
          for (void* X : Model)
            if (!Contains(S, X))
              R.push_back(X);
          for (void* X : S)
            if (!Contains(Model, X))
              R.push_back(X);
          break;
        case laSrcUnique:
          for (void* X : Model)
            if (!Contains(S, X))
              R.push_back(X);
          break;
        case laDestUnique:
          for (auto It = S.rbegin(); It != S.rend(); ++It)
            if (!Contains(Model, *It))
              R.push_back(*It);
          break;
        default:
          R = Model;
        }
        List.Assign(Other, Op);
        Model = R;
        break;
      }
      case 14: {
        int32_t I = In.Index(Count);
        Fails = !InRange(I);
        void* Got = List.GetItem(I);
        Check(!Fails);
        Check(Got == Model[size_t(I)]);
        break;
      }
      }
    } catch (const EAssertionFailed& E) {
      Check(Fails && E.Message() == u"Listエラー (TemplateList\\ListClone, 127 行)");
      Check(List.Count() == Count && List.Capacity() == Capacity);
    }
    Check(List.Count() == int32_t(Model.size()));
    Check(std::equal(Model.begin(), Model.end(), List.List()));
    Check(0 <= List.Count() && List.Count() <= List.Capacity());
    if (MayGrow && !Fails)
      Check(List.Capacity() == (Count == Capacity ? Grown(Capacity) : Capacity));
    for (int& Key : Keys)
      Check(List.Present[&Key] == std::count(Model.begin(), Model.end(), &Key));
  }
  return 0;
}
