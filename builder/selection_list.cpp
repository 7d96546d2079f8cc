#include "builder/selection_list.h"

#include <algorithm>

namespace glyphwell::builder {

void SelectionList::Toggle(int index) {
  if (Contains(index))
    std::erase(items_, index);
  else
    items_.push_back(index);
}

bool SelectionList::Contains(int index) const {
  return std::find(items_.begin(), items_.end(), index) != items_.end();
}

int SelectionList::SortSelection() {
  std::sort(items_.begin(), items_.end());
  items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
  return static_cast<int>(items_.size());
}

int SelectionList::DistinctCount() const {
  std::vector<int> copy = items_;
  std::sort(copy.begin(), copy.end());
  return static_cast<int>(std::unique(copy.begin(), copy.end()) - copy.begin());
}

}  // namespace glyphwell::builder
