#include "imaging/merge_quantize.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "imaging/palette_search.h"

namespace glyphwell::imaging {

namespace {

constexpr int kTableSize = 256;
constexpr int kThresholdStep = 12;
constexpr int kThresholdEnd = 255;
// The distance a table entry must beat in the final mapping.
constexpr int kMappingStart = 100000;

// All candidates of one colour. Their list positions are kept in ascending order
// in a shared array; [begin, end) are the ones still alive.
struct ColourGroup {
  int red = 0, green = 0, blue = 0;
  int begin = 0, end = 0;
  int alive() const { return end - begin; }
};

bool Within(const ColourGroup& a, const ColourGroup& b, int threshold) {
  return std::abs(a.red - b.red) < threshold && std::abs(a.green - b.green) < threshold &&
         std::abs(a.blue - b.blue) < threshold;
}

// Colour -> group id, open addressing over a power-of-two table.
class GroupIndex {
 public:
  GroupIndex() : keys_(kInitialSlots, kEmpty), ids_(kInitialSlots, 0) {}

  // The id of the colour's group, or `nextId` after recording it as new.
  int FindOrAdd(ColourValue colour, int nextId, bool& added) {
    if (2 * (used_ + 1) > keys_.size()) Grow();
    std::size_t slot = Slot(colour);
    while (keys_[slot] != kEmpty) {
      if (keys_[slot] == colour) {
        added = false;
        return ids_[slot];
      }
      slot = (slot + 1) & (keys_.size() - 1);
    }
    keys_[slot] = colour;
    ids_[slot] = nextId;
    ++used_;
    added = true;
    return nextId;
  }

 private:
  static constexpr std::size_t kInitialSlots = 4096;
  static constexpr ColourValue kEmpty = 0xFFFFFFFFu;  // no colour value has the top byte

  std::size_t Slot(ColourValue colour) const {
    return (colour * 2654435761u >> 8) & (keys_.size() - 1);
  }

  void Grow() {
    std::vector<ColourValue> keys = std::move(keys_);
    std::vector<int> ids = std::move(ids_);
    keys_.assign(keys.size() * 2, kEmpty);
    ids_.assign(keys.size() * 2, 0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == kEmpty) continue;
      std::size_t slot = Slot(keys[i]);
      while (keys_[slot] != kEmpty)
        slot = (slot + 1) & (keys_.size() - 1);
      keys_[slot] = keys[i];
      ids_[slot] = ids[i];
    }
  }

  std::vector<ColourValue> keys_;
  std::vector<int> ids_;
  std::size_t used_ = 0;
};

// The passes, run over colour groups instead of single candidates. Group ids
// follow the order of the groups' first candidates, which is the order in which a
// pass reaches them; a surviving group's first alive candidate is always its first
// candidate, and once a pass has reached a group only that candidate is left.
class Merger {
 public:
  Merger(std::vector<ColourGroup>& groups, std::vector<int>& positions, int candidates)
      : groups_(groups), positions_(positions), alive_(candidates) {}

  void Run() {
    int threshold = 0;
    while (alive_ > kTableSize && threshold < kThresholdEnd) {
      threshold += kThresholdStep;
      if (Pass(threshold)) break;
    }
  }

 private:
  // Buckets the alive groups into cubes of side `threshold`: two colours within
  // the threshold lie in the same or neighbouring cubes.
  void BuildCells(int threshold) {
    cellsPerAxis_ = 255 / threshold + 1;
    const std::size_t cells =
        static_cast<std::size_t>(cellsPerAxis_) * cellsPerAxis_ * cellsPerAxis_;
    cellStart_.assign(cells + 1, 0);
    cellOf_.assign(groups_.size(), -1);
    for (std::size_t g = 0; g < groups_.size(); ++g) {
      const ColourGroup& group = groups_[g];
      if (group.alive() == 0) continue;
      cellOf_[g] = Cell(group.red / threshold, group.green / threshold, group.blue / threshold);
      ++cellStart_[cellOf_[g] + 1];
    }
    for (std::size_t c = 0; c < cells; ++c)
      cellStart_[c + 1] += cellStart_[c];
    cellMembers_.assign(cellStart_[cells], 0);
    std::vector<int> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t g = 0; g < groups_.size(); ++g)
      if (cellOf_[g] >= 0) cellMembers_[fill[cellOf_[g]]++] = static_cast<int>(g);
  }

  int Cell(int r, int g, int b) const { return (r * cellsPerAxis_ + g) * cellsPerAxis_ + b; }

  // The alive groups after `id` within the threshold of it.
  void FindNear(int id, int threshold) {
    near_.clear();
    const ColourGroup& group = groups_[id];
    const int cr = group.red / threshold, cg = group.green / threshold, cb = group.blue / threshold;
    for (int r = std::max(cr - 1, 0); r <= std::min(cr + 1, cellsPerAxis_ - 1); ++r)
      for (int g = std::max(cg - 1, 0); g <= std::min(cg + 1, cellsPerAxis_ - 1); ++g)
        for (int b = std::max(cb - 1, 0); b <= std::min(cb + 1, cellsPerAxis_ - 1); ++b) {
          const int cell = Cell(r, g, b);
          for (int m = cellStart_[cell]; m < cellStart_[cell + 1]; ++m) {
            const int other = cellMembers_[m];
            if (other <= id || groups_[other].alive() == 0) continue;
            if (Within(group, groups_[other], threshold)) near_.push_back(other);
          }
        }
  }

  // One pass. Returns true when it stopped midway (256 survivors reached).
  bool Pass(int threshold) {
    BuildCells(threshold);
    for (int id = 0; id < static_cast<int>(groups_.size()); ++id) {
      ColourGroup& group = groups_[id];
      if (group.alive() == 0) continue;
      FindNear(id, threshold);
      long victims = group.alive() - 1;
      for (int n : near_)
        victims += groups_[n].alive();
      if (alive_ - victims > kTableSize) {
        group.end = group.begin + 1;
        for (int n : near_)
          groups_[n].end = groups_[n].begin;
        alive_ -= static_cast<int>(victims);
        continue;
      }
      StopWithin(group, static_cast<std::size_t>(alive_ - kTableSize));
      return true;
    }
    return false;
  }

  // The walk from `group`'s first candidate reaches 256 survivors after removing
  // `count` of its victims: those with the `count` lowest list positions.
  void StopWithin(ColourGroup& group, std::size_t count) {
    std::vector<int> victims(positions_.begin() + group.begin + 1, positions_.begin() + group.end);
    for (int n : near_)
      victims.insert(victims.end(), positions_.begin() + groups_[n].begin,
                     positions_.begin() + groups_[n].end);
    std::nth_element(victims.begin(), victims.begin() + (count - 1), victims.end());
    const int last = victims[count - 1];
    auto firstAfter = [&](int from, int end) {
      return static_cast<int>(
          std::upper_bound(positions_.begin() + from, positions_.begin() + end, last) -
          positions_.begin());
    };
    // The group keeps its first candidate and those beyond `last`.
    const int keep = firstAfter(group.begin + 1, group.end);
    if (keep > group.begin + 1) {
      positions_[keep - 1] = positions_[group.begin];
      group.begin = keep - 1;
    }
    for (int n : near_)
      groups_[n].begin = firstAfter(groups_[n].begin, groups_[n].end);
    alive_ = kTableSize;
  }

  std::vector<ColourGroup>& groups_;
  std::vector<int>& positions_;
  int alive_;
  int cellsPerAxis_ = 1;
  std::vector<int> cellStart_, cellMembers_, cellOf_;
  std::vector<int> near_;
};

ColourTable SurvivorTable(const std::vector<ColourGroup>& groups,
                          const std::vector<int>& positions) {
  std::vector<std::pair<int, int>> survivors;  // list position, group
  for (int g = 0; g < static_cast<int>(groups.size()); ++g)
    for (int i = groups[g].begin; i < groups[g].end; ++i)
      survivors.emplace_back(positions[i], g);
  std::sort(survivors.begin(), survivors.end());
  ColourTable table(kTableSize);
  for (std::size_t i = 0; i < survivors.size() && i < table.size(); ++i) {
    const ColourGroup& g = groups[survivors[i].second];
    table[i] = Rgbq{static_cast<std::uint8_t>(g.blue), static_cast<std::uint8_t>(g.green),
                    static_cast<std::uint8_t>(g.red), 0};
  }
  return table;
}

// Nearest-entry search over the 256 entries of a table, laid out channel by channel
// so the distances of all entries are computed in one straight loop.
class NearestSearch {
 public:
  explicit NearestSearch(const ColourTable& table) {
    for (int i = 0; i < kTableSize; ++i) {
      red_[i] = table[i].red;
      green_[i] = table[i].green;
      blue_[i] = table[i].blue;
    }
  }

  // The nearest entry by sum distance; the first one at the smallest distance.
  std::uint8_t operator()(const ColourGroup& g) {
    int best = kMappingStart;
    for (int i = 0; i < kTableSize; ++i) {
      distance_[i] =
          std::abs(red_[i] - g.red) + std::abs(green_[i] - g.green) + std::abs(blue_[i] - g.blue);
      best = std::min(best, distance_[i]);
    }
    int index = 0;
    while (distance_[index] != best)
      ++index;
    return static_cast<std::uint8_t>(index);
  }

 private:
  int red_[kTableSize], green_[kTableSize], blue_[kTableSize];
  int distance_[kTableSize];
};

// Pixel colours in candidate order: rows from the bottom up.
template <typename Visit>
void ForEachPixelBottomUp(const Bitmap& image, Visit visit) {
  const int width = image.width();
  for (int y = image.height() - 1; y >= 0; --y) {
    const std::uint8_t* p = image.row(y);
    if (image.bits() == 32) {
      for (int x = 0; x < width; ++x, p += 4)
        visit(MakeColour(p[2], p[1], p[0]));
    } else if (image.bits() == 24) {
      for (int x = 0; x < width; ++x, p += 3)
        visit(MakeColour(p[2], p[1], p[0]));
    } else {
      for (int x = 0; x < width; ++x)
        visit(image.pixelColour(x, y));
    }
  }
}

}  // namespace

MergeQuantizeOptions MergeOptionsFor(const ConversionSettings& settings) {
  return MergeQuantizeOptions{settings.optimizedPalette, ReservesBlack(settings)};
}

void MergeQuantize(Bitmap& image, const MergeQuantizeOptions& options) {
  if (image.empty() || image.indexed()) return;
  const int width = image.width(), height = image.height();
  const std::size_t pixels = static_cast<std::size_t>(width) * height;

  // Candidates grouped by colour: each candidate's group, then each group's
  // positions in one array.
  std::vector<ColourGroup> groups;
  std::vector<int> groupOfCandidate;
  groupOfCandidate.reserve(pixels + 1);
  GroupIndex index;
  // Neighbouring pixels often share their colour: the last lookup is remembered.
  ColourValue lastColour = 0xFFFFFFFFu;
  int lastId = -1;
  auto add = [&](ColourValue colour) {
    if (colour != lastColour) {
      bool added = false;
      lastId = index.FindOrAdd(colour, static_cast<int>(groups.size()), added);
      lastColour = colour;
      if (added) groups.push_back(ColourGroup{RedOf(colour), GreenOf(colour), BlueOf(colour)});
    }
    const int id = lastId;
    ++groups[id].end;  // counts for now
    groupOfCandidate.push_back(id);
  };
  if (options.reserveBlack) add(kBlack);
  ForEachPixelBottomUp(image, add);

  int start = 0;
  for (ColourGroup& g : groups) {
    const int count = g.end;
    g.begin = g.end = start;
    start += count;
  }
  std::vector<int> positions(groupOfCandidate.size());
  for (std::size_t i = 0; i < groupOfCandidate.size(); ++i)
    positions[groups[groupOfCandidate[i]].end++] = static_cast<int>(i);

  ColourTable table;
  if (options.optimizedPalette) {
    Merger(groups, positions, static_cast<int>(groupOfCandidate.size())).Run();
    table = SurvivorTable(groups, positions);
  } else {
    table = CubePalette();
  }

  std::vector<std::uint8_t> entryOfGroup(groups.size());
  NearestSearch nearest(table);
  for (std::size_t g = 0; g < groups.size(); ++g)
    entryOfGroup[g] = nearest(groups[g]);

  Bitmap out(width, height, 8);
  out.setColourTable(table);
  std::size_t candidate = options.reserveBlack ? 1 : 0;
  for (int y = height - 1; y >= 0; --y) {
    std::uint8_t* row = out.row(y);
    for (int x = 0; x < width; ++x)
      row[x] = entryOfGroup[groupOfCandidate[candidate++]];
  }
  image = std::move(out);
}

}  // namespace glyphwell::imaging
