#pragma once

// One move-only owner for every kind of system handle: Traits names the value type, its
// invalid value and how to release it. The handle is released exactly once, when the owner is
// dropped or reset.
//   struct FindTraits { using Value = HANDLE; static Value Invalid() noexcept { ... }
//                       static void Close(Value V) noexcept { FindClose(V); } };
//   UniqueResource<FindTraits> Find(FindFirstFileW(...));

#include <utility>

namespace marigold {

template <class Traits> class UniqueResource {
public:
  using Value = typename Traits::Value;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Value V) noexcept : FValue(V) {}
  UniqueResource(UniqueResource&& Other) noexcept : FValue(Other.release()) {}
  UniqueResource& operator=(UniqueResource&& Other) noexcept {
    if (this != &Other)
      reset(Other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  [[nodiscard]] Value get() const noexcept { return FValue; }
  explicit operator bool() const noexcept { return FValue != Traits::Invalid(); }
  // Gives the handle up without releasing it.
  [[nodiscard]] Value release() noexcept { return std::exchange(FValue, Traits::Invalid()); }
  void reset(Value V = Traits::Invalid()) noexcept {
    const Value Old = std::exchange(FValue, V);
    if (Old != Traits::Invalid())
      Traits::Close(Old);
  }

private:
  Value FValue = Traits::Invalid();
};

} // namespace marigold
