#pragma once
// The builder's selection: entry indices in the order they were clicked. While the
// user clicks it may be unsorted and hold an index twice; Sort() puts it in
// ascending order without duplicates. Exchange uses the click order; saving,
// deleting, copying for placement, grouping and refreshing use the sorted list.

#include <vector>

namespace glyphwell::builder {

class SelectionList {
 public:
  void Clear() { items_.clear(); }
  void Add(int index) { items_.push_back(index); }
  // Removes every occurrence when listed, else adds it.
  void Toggle(int index);
  bool Contains(int index) const;
  bool empty() const { return items_.empty(); }
  // Entries as listed (click order until sorted; may hold duplicates).
  const std::vector<int>& items() const { return items_; }
  void Assign(std::vector<int> items) { items_ = std::move(items); }

  // Sorts ascending, removes duplicates and returns the count. (Indices are sorted as
  // numbers, so lists of 100000 entries and more keep their order too.)
  int SortSelection();
  // The number of distinct selected indices, without changing the list.
  int DistinctCount() const;

 private:
  std::vector<int> items_;
};

}  // namespace glyphwell::builder
