#pragma once
// The input list as the comparison of a reloaded list sees it: entries are looked up by
// name, ignoring letter case, and each is taken out at most once. An entry equal to the
// name byte for byte is taken before one that differs only in case (two files on this
// file system can differ only in case); otherwise the first match from the top.
// Lookups cost a hash probe, not a scan, so long lists compare in linear time.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane {

class NameIndex {
 public:
  explicit NameIndex(std::vector<std::string> entries);

  // Takes the matching entry out; false when none is left.
  bool TakeMatch(std::string_view name);
  bool TakenAny() const { return takenCount_ > 0; }
  // The entries not taken, in their order.
  std::vector<std::string> Remaining() const;

 private:
  struct Positions {
    std::vector<std::size_t> indexes;  // ascending
    std::size_t next = 0;              // entries before this one are all taken
  };
  bool TakeFirstAlive(Positions& positions);

  std::vector<std::string> entries_;
  std::vector<bool> taken_;
  std::size_t takenCount_ = 0;
  std::unordered_map<std::string, Positions> exact_;
  std::unordered_map<std::string, Positions> folded_;
};

}  // namespace corvane
