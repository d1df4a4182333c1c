#pragma once

#include "lib/ListClone.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// An ordered list of strings that owns one string per item, and its text conversions.

// How SplitText treats delimiters and empty pieces. 'a,,b,' split at ',' gives:
//   dsTerminated             'a,' ',' 'b,'       (a last piece only when non-empty)
//   dsSeparated              'a' '' 'b' ''
//   dsSeparatedNoEmpty       'a' 'b'
//   dsWithDelimiters         'a' ',' '' ',' 'b' ',' ''
//   dsWithDelimitersNoEmpty  'a' ',' ',' 'b' ','
enum TDelimitStyle : uint8_t {
  dsTerminated = 0,
  dsSeparated = 1,
  dsSeparatedNoEmpty = 2,
  dsWithDelimiters = 3,
  dsWithDelimitersNoEmpty = 4
};

// The line breaks CR LF, CR, LF, in this order (CR LF wins over CR).
const std::vector<std::u16string>& LineBreakDelimiters();

// Index errors are the list error of TListClone, raised before anything changes.
class TRecordList {
public:
  TRecordList() = default;
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;
  virtual ~TRecordList();

  // Appends a copy of Item; returns its index.
  int32_t Add(std::u16string_view Item);
  // Inserts a copy of Item at Index (0 ... Count).
  void Insert(int32_t Index, std::u16string_view Item);
  // Removes the string at Index (0 ... Count - 1).
  void Delete(int32_t Index);
  void Clear();
  // Swap and move reorder the strings without copying them.
  void Exchange(int32_t Index1, int32_t Index2);
  void Move(int32_t CurIndex, int32_t NewIndex);
  // A copy of the string at Index (0 ... Count - 1).
  std::u16string GetItem(int32_t Index) const;
  // The first index whose string equals Value unit for unit (case-sensitive), or -1.
  int32_t IndexOf(std::u16string_view Value) const;

  int32_t Count() const { return FList.Count(); }
  // Appends empty strings or deletes from the end. A negative count deletes every item and
  // then raises the list error.
  void SetCount(int32_t NewCount);

  // Clear, then a copy of each string of Source; an absent Source changes nothing.
  virtual void Assign(const TRecordList* Source);

protected:
  // Appends Item itself, without a copy; returns its index.
  int32_t AddString(std::u16string Item);
  // The string behind the slot at Index, unchecked.
  const std::u16string& Cell(int32_t Index) const {
    return *static_cast<const std::u16string*>(FList.List()[Index]);
  }

  // Each item is the address of a heap cell holding one string, owned by this list.
  TListClone FList;
};

class TCommonStringRecordList : public TRecordList {
public:
  // All items concatenated, nothing between them; '' for no items.
  std::u16string Text() const;
  // One item per line, each with the line break that ends it; a last line without a line
  // break is an item only when non-empty. Text() gives Value back.
  void SetText(std::u16string_view Value);

  // Items are the pieces of Value between the delimiters; '' gives one empty item.
  void SetDelimitedText(std::u16string_view Value, const std::vector<std::u16string>& Delimiters);
  // The items joined with Delimiter; '' for no items. Reverses SetDelimitedText(V, {D}) for any
  // non-empty D.
  std::u16string GetDelimitedText(std::u16string_view Delimiter) const;

protected:
  // Replaces the content by the pieces of Value. At each position the first delimiter in array
  // order that matches exactly wins; an empty delimiter never matches; the scan resumes behind
  // the delimiter. A Style outside the five leaves the list empty.
  void SplitText(std::u16string_view Value, const std::vector<std::u16string>& Delimiters,
                 TDelimitStyle Style);
};

} // namespace marigold
