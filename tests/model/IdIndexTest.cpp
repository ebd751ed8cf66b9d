// The id slots answer as a plain multimap would, whatever the ids: dense, sparse, huge, repeated.
#include "model/IdIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

struct Entry {
  int order;
};

bool earlier(const Entry* a, const Entry* b) { return a->order < b->order; }

// A reference that is obviously right: every (id, entry) pair, searched in full.
struct Reference {
  std::multimap<std::uint32_t, Entry*> all;
  Entry* find(std::uint32_t id) const {
    auto [lo, hi] = all.equal_range(id);
    auto best = std::min_element(lo, hi, [](const auto& x, const auto& y) { return earlier(x.second, y.second); });
    return best == hi ? nullptr : best->second;
  }
  void erase(std::uint32_t id, Entry* e) {
    auto [lo, hi] = all.equal_range(id);
    all.erase(std::find_if(lo, hi, [e](const auto& x) { return x.second == e; }));
  }
};

TEST(IdIndex, AnswersAsAMultimapForEveryKindOfId) {
  struct Case {
    const char* name;
    std::uint32_t lowest, spread;  // ids drawn from lowest .. lowest + spread
    std::uint32_t reserve;
  };
  const Case cases[] = {
      {"dense, reserved", 1, 300, 301},
      {"slots growing over ids that went to the map", 1, 6000, 0},
      {"sparse", 1, 4000000000u, 0},
      {"huge ids, hostile counter", 0xFFFFFF00u, 0xFF, 0xFFFFFFFFu},
      {"few ids, many repeats", 1, 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(7);
    std::vector<Entry> entries(2000);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].order = static_cast<int>(random() % 100000);
    IdIndex<Entry> index;
    Reference ref;
    index.reserve(c.reserve);
    std::vector<std::pair<std::uint32_t, Entry*>> in;
    for (Entry& e : entries) {
      std::uint32_t id = c.lowest + static_cast<std::uint32_t>(random() % (std::uint64_t{c.spread} + 1));
      index.insert(id, &e);
      ref.all.emplace(id, &e);
      in.emplace_back(id, &e);
      // Now and then one leaves again, first in line for its id or not.
      if (random() % 3 == 0) {
        auto [gone, who] = in[random() % in.size()];
        index.erase(gone, who);
        ref.erase(gone, who);
        std::erase(in, std::make_pair(gone, who));
      }
    }
    EXPECT_EQ(index.size(), ref.all.size());
    for (std::uint32_t probe : {0u, 1u, 2u, c.lowest, c.lowest + 1, c.lowest + c.spread, 0xFFFFFFFFu})
      EXPECT_EQ(index.find(probe, earlier), ref.find(probe)) << probe;
    for (const auto& [id, e] : in) {
      ASSERT_EQ(index.find(id, earlier), ref.find(id)) << id;
      EXPECT_TRUE(index.contains(id));
    }
  }
}

}  // namespace
