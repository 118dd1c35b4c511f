#pragma once
// The texts of a list's rows laid end to end in one block, each ended by a zero (a row's text
// holds none): 100,000 rows take one allocation, and each text is zero-ended where it lies.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

class RowTexts {
 public:
  // An index of five digits, a name of twelve characters, the offset and the size.
  static constexpr size_t kTypicalRowLength = 36;

  RowTexts() = default;
  RowTexts(std::initializer_list<std::wstring_view> rows) {
    for (std::wstring_view row : rows) Add([&](std::wstring& text) { text += row; });
  }
  // The texts `write` gives for these entries, in this order.
  template <typename Write>
  RowTexts(const std::vector<int>& entries, const Write& write) {
    block_.reserve(entries.size() * kTypicalRowLength);
    for (int index : entries) Add([&](std::wstring& text) { write(text, index); });
  }

  // Adds a row whose text `write` appends to the string it is given.
  template <typename Write>
  void Add(Write write) {
    write(block_);
    block_ += L'\0';
    ++count_;
  }

  size_t Count() const { return count_; }
  // The characters of all rows, their zeros counted.
  size_t Size() const { return block_.size(); }
  // Calls `take` with each row's text, first to last.
  template <typename Take>
  void ForEach(Take take) const {
    for (size_t at = 0; at < block_.size();) {
      const size_t end = block_.find(L'\0', at);
      take(std::wstring_view(block_.data() + at, end - at));
      at = end + 1;
    }
  }

 private:
  std::wstring block_;
  size_t count_ = 0;
};

}  // namespace vandrel
