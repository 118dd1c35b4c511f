#pragma once
// The first entry of each name among many, each found in constant time: a table of entry
// indices, eight bytes a slot however long the names, which are asked for when compared. The
// hash is seeded afresh for every table, so no archive can be made to pile its names into one
// slot and turn the pass into a comparison of every name with every other.
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace vandrel {

// `key(index)` is entry `index`'s name in the form in which equal names are equal strings.
template <class Key>
class FirstOfEachName {
 public:
  FirstOfEachName(size_t entries, Key key) : key_(std::move(key)), seed_(std::random_device{}()) {
    size_t slots = 2;
    while (slots < 2 * entries) slots *= 2;
    slots_.resize(slots);
  }

  // The first entry given whose name is `index`'s; `index` itself, and kept, when there is none.
  int Find(int index) {
    const auto key = key_(index);
    const uint64_t hash = Hash(key);
    const auto tag = static_cast<uint32_t>(hash >> 32);
    const size_t mask = slots_.size() - 1;
    for (size_t slot = static_cast<size_t>(hash) & mask;; slot = (slot + 1) & mask) {
      Slot& held = slots_[slot];
      if (held.index < 0) {
        held = {index, tag};
        return index;
      }
      if (held.tag == tag && key_(held.index) == key) return held.index;
    }
  }

 private:
  // Part of the hash kept with the index, so that a slot taken by another name is passed by
  // without looking that name up in the directory.
  struct Slot {
    int index = -1;
    uint32_t tag = 0;
  };

  template <class Text>
  uint64_t Hash(const Text& text) const {
    uint64_t hash = seed_ ^ 0xcbf29ce484222325u;
    for (auto c : text) hash = (hash ^ static_cast<uint64_t>(c)) * 0x100000001b3u;
    // The slot is taken from the low bits; mix the high ones into them.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    return hash ^ (hash >> 33);
  }

  Key key_;
  uint64_t seed_;
  std::vector<Slot> slots_;
};

}  // namespace vandrel
