#include "core/name_index.h"

#include "core/byte_text.h"

namespace corvane {

NameIndex::NameIndex(std::vector<std::string> entries)
    : entries_(std::move(entries)), taken_(entries_.size(), false) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    exact_[entries_[i]].indexes.push_back(i);
    folded_[FoldCase(entries_[i])].indexes.push_back(i);
  }
}

bool NameIndex::TakeFirstAlive(Positions& positions) {
  while (positions.next < positions.indexes.size()) {
    std::size_t i = positions.indexes[positions.next];
    if (!taken_[i]) {
      taken_[i] = true;
      ++takenCount_;
      return true;
    }
    ++positions.next;
  }
  return false;
}

bool NameIndex::TakeMatch(std::string_view name) {
  std::string key(name);
  if (auto it = exact_.find(key); it != exact_.end() && TakeFirstAlive(it->second)) return true;
  if (auto it = folded_.find(FoldCase(name)); it != folded_.end())
    return TakeFirstAlive(it->second);
  return false;
}

std::vector<std::string> NameIndex::Remaining() const {
  std::vector<std::string> out;
  out.reserve(entries_.size() - takenCount_);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!taken_[i]) out.push_back(entries_[i]);
  }
  return out;
}

}  // namespace corvane
