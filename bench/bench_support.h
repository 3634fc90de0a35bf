#pragma once
// What every benchmark here shares: real work is timed against a floor (the least any
// program must do for the same input) in the same process, in alternating blocks, and the
// result is the median of the paired ratios with their spread, so that a load on the
// machine moves both sides of a pair alike. Cold passes drop the page cache first.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace corvane::bench {

using Clock = std::chrono::steady_clock;

inline double SecondsOf(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writes dirty pages out and empties the page cache; false when this process may not
// (it needs root).
inline bool DropCaches() {
  ::sync();
  std::ofstream drop("/proc/sys/vm/drop_caches");
  if (!drop) return false;
  drop << "3\n";
  drop.flush();
  return static_cast<bool>(drop);
}

inline bool CanDropCaches() {
  return ::access("/proc/sys/vm/drop_caches", W_OK) == 0;
}

// Bytes this process has read through read(2) and its kin so far.
inline std::uint64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

// Counts the system calls the program makes through its file-system seam while alive.
class SeamCallCounter {
 public:
  SeamCallCounter() {
    sys::SetFaultHook([this](sys::Call call) {
      ++counts_[static_cast<std::size_t>(call)];
      ++total_;
      return 0;
    });
  }
  ~SeamCallCounter() { sys::SetFaultHook(nullptr); }
  SeamCallCounter(const SeamCallCounter&) = delete;
  SeamCallCounter& operator=(const SeamCallCounter&) = delete;
  std::uint64_t Total() const { return total_; }
  std::uint64_t Count(sys::Call call) const { return counts_[static_cast<std::size_t>(call)]; }

 private:
  std::array<std::uint64_t, 64> counts_{};
  std::uint64_t total_ = 0;
};

struct Spread {
  double median = 0, low = 0, high = 0, q1 = 0, q3 = 0;
  std::size_t pairs = 0;
};

inline Spread SpreadOf(std::vector<double> values) {
  Spread s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  auto at = [&](double q) {
    return values[static_cast<std::size_t>(q * (values.size() - 1) + 0.5)];
  };
  s.median = at(0.5);
  s.q1 = at(0.25);
  s.q3 = at(0.75);
  s.low = values.front();
  s.high = values.back();
  s.pairs = values.size();
  return s;
}

// Runs `pairs` pairs of blocks; block i of the floor and of the real work alternate which
// goes first. beforeEachBlock(i), untimed, runs before each of the two: it drops the page
// cache for a cold pass, or for a warm one visits the block's files once, so that the side
// that goes first does not pay for bringing them into the processor's caches.
struct PairedResult {
  Spread ratio;
  Spread floorSeconds;
  Spread realSeconds;
};

inline PairedResult RunPairs(std::size_t pairs, const std::function<void(std::size_t)>& floorBlock,
                             const std::function<void(std::size_t)>& realBlock,
                             const std::function<void(std::size_t)>& beforeEachBlock = nullptr) {
  std::vector<double> ratios, floors, reals;
  for (std::size_t i = 0; i < pairs; ++i) {
    double f = 0, r = 0;
    auto runFloor = [&] {
      if (beforeEachBlock) beforeEachBlock(i);
      f = SecondsOf([&] { floorBlock(i); });
    };
    auto runReal = [&] {
      if (beforeEachBlock) beforeEachBlock(i);
      r = SecondsOf([&] { realBlock(i); });
    };
    if (i % 2 == 0) {
      runFloor();
      runReal();
    } else {
      runReal();
      runFloor();
    }
    floors.push_back(f);
    reals.push_back(r);
    ratios.push_back(r / f);
  }
  return {SpreadOf(ratios), SpreadOf(floors), SpreadOf(reals)};
}

// A JPEG comment segment, put right after SOI to make otherwise equal files distinct.
inline std::string CommentSegment(const std::string& text) {
  std::string segment = "\xFF\xFE";
  segment += static_cast<char>((text.size() + 2) >> 8);
  segment += static_cast<char>((text.size() + 2) & 0xFF);
  return segment + text;
}

inline std::string WithComment(const std::string& jpeg, const std::string& text) {
  return jpeg.substr(0, 2) + CommentSegment(text) + jpeg.substr(2);
}

inline void PrintRatio(const char* label, const Spread& s) {
  std::printf("%s: median %.3f (quartiles %.3f-%.3f, range %.3f-%.3f, %zu pairs)", label, s.median,
              s.q1, s.q3, s.low, s.high, s.pairs);
}

}  // namespace corvane::bench
