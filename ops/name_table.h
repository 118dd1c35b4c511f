#pragma once
// Finding the first of each name among many in time that grows with their number. The hash is
// seeded afresh for every call, so no archive can be made to pile its names into one slot and
// turn the pass into a comparison of every name with every other.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace vandrel {

namespace name_table {

inline uint64_t Mixed(uint64_t hash) {
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdu;
  return hash ^ (hash >> 33);
}

template <class Text>
uint64_t Hash(uint64_t seed, const Text& text) {
  uint64_t hash = seed ^ 0xcbf29ce484222325u;
  for (auto c : text) hash = (hash ^ static_cast<uint64_t>(c)) * 0x100000001b3u;
  return Mixed(hash);
}

}  // namespace name_table

// For each of `count` positions, the first position whose name is the same: itself when no
// earlier one has its name. `key(position)` is that position's name in the form in which equal
// names are equal strings; it is asked once per position, and again only to tell apart names
// whose hashes agree.
//
// The positions are grouped by the top bits of their names' hashes and each group is looked
// through with a table of its own, small enough to stay in the cache: one table for a million
// names lay far outside it, and every lookup waited for memory.
template <class Key>
std::vector<int> FirstOfEachName(size_t count, Key key) {
  const uint64_t seed = std::random_device{}();
  std::vector<uint64_t> hashes(count);
  for (size_t i = 0; i < count; ++i) hashes[i] = name_table::Hash(seed, key(static_cast<int>(i)));

  // About a thousand names a group.
  int groupBits = 0;
  while (groupBits < 20 && (size_t{1024} << groupBits) < count) ++groupBits;
  const auto groupOf = [&](size_t i) {
    return groupBits == 0 ? size_t{0} : static_cast<size_t>(hashes[i] >> (64 - groupBits));
  };
  std::vector<size_t> starts((size_t{1} << groupBits) + 1);
  for (size_t i = 0; i < count; ++i) ++starts[groupOf(i) + 1];
  for (size_t g = 1; g < starts.size(); ++g) starts[g] += starts[g - 1];
  // Each group's positions in ascending order, so the first one met of a name is its first.
  std::vector<int> grouped(count);
  {
    std::vector<size_t> next(starts.begin(), starts.end() - 1);
    for (size_t i = 0; i < count; ++i) grouped[next[groupOf(i)]++] = static_cast<int>(i);
  }

  std::vector<int> first(count);
  size_t largest = 0;
  for (size_t g = 0; g + 1 < starts.size(); ++g)
    largest = std::max(largest, starts[g + 1] - starts[g]);
  size_t slots = 2;
  while (slots < 2 * largest) slots *= 2;
  std::vector<int> table(slots, -1);
  const size_t mask = slots - 1;
  for (size_t g = 0; g + 1 < starts.size(); ++g) {
    for (size_t at = starts[g]; at < starts[g + 1]; ++at) {
      const int position = grouped[at];
      const uint64_t hash = hashes[static_cast<size_t>(position)];
      for (size_t slot = static_cast<size_t>(hash) & mask;; slot = (slot + 1) & mask) {
        const int held = table[slot];
        if (held < 0) {
          table[slot] = first[static_cast<size_t>(position)] = position;
          break;
        }
        if (hashes[static_cast<size_t>(held)] == hash && key(held) == key(position)) {
          first[static_cast<size_t>(position)] = held;
          break;
        }
      }
    }
    // Only the slots this group took are cleared for the next.
    for (size_t at = starts[g]; at < starts[g + 1]; ++at)
      for (size_t slot = static_cast<size_t>(hashes[static_cast<size_t>(grouped[at])]) & mask;
           table[slot] >= 0; slot = (slot + 1) & mask)
        table[slot] = -1;
  }
  return first;
}

}  // namespace vandrel
