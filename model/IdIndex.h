// Finding entries by id: a slot per id where the ids are dense, a hash map beyond.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

/// Entries (not owned) by 32-bit id. Ids up to a few times the number of entries
/// have a slot each in a vector; larger ones go to a hash map. An id may be held by
/// several entries: the first one stands in the slot or the map, the others aside.
template <class T>
class IdIndex {
 public:
  /// Makes room for ids below `counter` (at most kMaxReserved of them) without
  /// touching the memory, so a counter out of all proportion costs nothing.
  void reserve(std::uint32_t counter) {
    slots_.reserve(std::min<std::size_t>(std::size_t{counter} + 1, kMaxReserved));
  }

  void insert(std::uint32_t id, T* entry) {
    ++count_;
    if (primary(id)) {
      sparse().more.emplace(id, entry);
      return;
    }
    setPrimary(id, entry);
  }

  /// Takes one entry out; nothing happens when it does not stand under this id.
  void erase(std::uint32_t id, T* entry) {
    T* first = primary(id);
    if (first == entry) {
      --count_;
      clearPrimary(id);
      if (sparse_ && !sparse_->more.empty()) {
        auto next = sparse_->more.find(id);
        if (next != sparse_->more.end()) {
          T* promoted = next->second;
          sparse_->more.erase(next);
          setPrimary(id, promoted);
        }
      }
      return;
    }
    if (!first || !sparse_) return;
    auto [lo, hi] = sparse_->more.equal_range(id);
    for (auto i = lo; i != hi; ++i) {
      if (i->second != entry) continue;
      sparse_->more.erase(i);
      --count_;
      return;
    }
  }

  /// Whether any entry holds the id.
  bool contains(std::uint32_t id) const { return primary(id) != nullptr; }

  /// The entry with this id that comes first by `before` (a strict order), or null.
  template <class Before>
  T* find(std::uint32_t id, Before before) const {
    T* best = primary(id);
    if (!best || !sparse_ || sparse_->more.empty()) return best;
    auto [lo, hi] = sparse_->more.equal_range(id);
    for (auto i = lo; i != hi; ++i)
      if (before(i->second, best)) best = i->second;
    return best;
  }

  std::size_t size() const { return count_; }

  void clear() {
    slots_.clear();
    sparse_.reset();
    count_ = 0;
  }

  /// The most slots reserve makes room for.
  static constexpr std::size_t kMaxReserved = std::size_t{1} << 22;

 private:
  struct Sparse {
    std::unordered_map<std::uint32_t, T*> first;
    std::unordered_multimap<std::uint32_t, T*> more;
  };

  Sparse& sparse() {
    if (!sparse_) sparse_ = std::make_unique<Sparse>();
    return *sparse_;
  }

  T* primary(std::uint32_t id) const {
    if (id < slots_.size() && slots_[id]) return slots_[id];
    if (!sparse_ || sparse_->first.empty()) return nullptr;
    auto found = sparse_->first.find(id);
    return found == sparse_->first.end() ? nullptr : found->second;
  }

  // Ids below this get slots: the vector never grows far beyond the entries it holds.
  // (An entry that went to the map while the slots were fewer stays there.)
  std::size_t denseLimit() const { return std::max<std::size_t>(1024, 4 * count_); }

  void setPrimary(std::uint32_t id, T* entry) {
    if (id >= slots_.size() && id < denseLimit()) {
      std::size_t size = std::max<std::size_t>(std::size_t{id} + 1, std::min(2 * slots_.size(), denseLimit()));
      slots_.resize(size, nullptr);
    }
    if (id < slots_.size()) {
      slots_[id] = entry;
      return;
    }
    sparse().first[id] = entry;
  }

  void clearPrimary(std::uint32_t id) {
    if (id < slots_.size() && slots_[id]) {
      slots_[id] = nullptr;
      return;
    }
    if (sparse_) sparse_->first.erase(id);
  }

  std::vector<T*> slots_;
  std::unique_ptr<Sparse> sparse_;
  std::size_t count_ = 0;
};
