#include "imaging/merge_quantize.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "imaging/palette_search.h"

namespace glyphwell::imaging {

namespace {

constexpr int kTableSize = 256;
constexpr int kThresholdStep = 12;
constexpr int kThresholdEnd = 255;
// The distance a table entry must beat in the final mapping.
constexpr int kMappingStart = 100000;

// All candidates of one colour. `positions` holds the list positions of the
// candidates of this colour that are still alive, in ascending order.
struct ColourGroup {
  int red = 0, green = 0, blue = 0;
  std::vector<int> positions;
};

bool Within(const ColourGroup& a, const ColourGroup& b, int threshold) {
  return std::abs(a.red - b.red) < threshold && std::abs(a.green - b.green) < threshold &&
         std::abs(a.blue - b.blue) < threshold;
}

class Merger {
 public:
  // Groups are in the order of their first candidate, which is also the order in
  // which a pass reaches them.
  Merger(std::vector<ColourGroup>& groups, int candidates) : groups_(groups), alive_(candidates) {}

  // Runs the passes; afterwards the groups' positions are the survivors.
  void Run() {
    int threshold = 0;
    while (alive_ > kTableSize && threshold < kThresholdEnd) {
      threshold += kThresholdStep;
      if (Pass(threshold)) break;
    }
  }

 private:
  // One pass. Returns true when it stopped midway (256 survivors reached).
  bool Pass(int threshold) {
    order_.clear();
    for (int i = 0; i < static_cast<int>(groups_.size()); ++i)
      if (!groups_[i].positions.empty()) order_.push_back(i);

    for (std::size_t k = 0; k < order_.size(); ++k) {
      ColourGroup& group = groups_[order_[k]];
      if (group.positions.empty()) continue;
      // The group's first survivor is the candidate the walk is at. Every other
      // group that can still lose candidates behind it lies later in the order (an
      // earlier group kept only its first candidate, which lies before this one).
      std::size_t victims = group.positions.size() - 1;
      near_.clear();
      for (std::size_t j = k + 1; j < order_.size(); ++j) {
        ColourGroup& other = groups_[order_[j]];
        if (other.positions.empty() || !Within(group, other, threshold)) continue;
        near_.push_back(order_[j]);
        victims += other.positions.size();
      }
      if (static_cast<std::size_t>(alive_) - victims > static_cast<std::size_t>(kTableSize)) {
        group.positions.resize(1);
        for (int n : near_)
          groups_[n].positions.clear();
        alive_ -= static_cast<int>(victims);
        continue;
      }
      StopWithin(group, static_cast<std::size_t>(alive_ - kTableSize));
      return true;
    }
    return false;
  }

  // The walk of `group`'s first candidate reaches 256 survivors after removing
  // `count` of its victims: those are the `count` lowest list positions among them.
  void StopWithin(ColourGroup& group, std::size_t count) {
    std::vector<int> victims(group.positions.begin() + 1, group.positions.end());
    for (int n : near_)
      victims.insert(victims.end(), groups_[n].positions.begin(), groups_[n].positions.end());
    std::nth_element(victims.begin(), victims.begin() + (count - 1), victims.end());
    int last = victims[count - 1];
    auto removeUpTo = [last](std::vector<int>& positions, std::size_t from) {
      auto end = std::upper_bound(positions.begin() + from, positions.end(), last);
      positions.erase(positions.begin() + from, end);
    };
    removeUpTo(group.positions, 1);
    for (int n : near_)
      removeUpTo(groups_[n].positions, 0);
    alive_ = kTableSize;
  }

  std::vector<ColourGroup>& groups_;
  int alive_;
  std::vector<int> order_;
  std::vector<int> near_;
};

ColourTable SurvivorTable(const std::vector<ColourGroup>& groups) {
  std::vector<std::pair<int, int>> survivors;  // list position, group
  for (int g = 0; g < static_cast<int>(groups.size()); ++g)
    for (int p : groups[g].positions)
      survivors.emplace_back(p, g);
  std::sort(survivors.begin(), survivors.end());
  ColourTable table(kTableSize);
  for (std::size_t i = 0; i < survivors.size() && i < table.size(); ++i) {
    const ColourGroup& g = groups[survivors[i].second];
    table[i] = Rgbq{static_cast<std::uint8_t>(g.blue), static_cast<std::uint8_t>(g.green),
                    static_cast<std::uint8_t>(g.red), 0};
  }
  return table;
}

}  // namespace

MergeQuantizeOptions MergeOptionsFor(const ConversionSettings& settings) {
  return MergeQuantizeOptions{settings.optimizedPalette, ReservesBlack(settings)};
}

void MergeQuantize(Bitmap& image, const MergeQuantizeOptions& options) {
  if (image.empty() || image.indexed()) return;
  const int width = image.width(), height = image.height();

  // Candidates grouped by colour; `groupOfPixel` remembers each pixel's group in
  // candidate order so the pixels can be written without a second lookup.
  std::vector<ColourGroup> groups;
  std::unordered_map<ColourValue, int> groupOf;
  std::vector<int> groupOfPixel;
  groupOfPixel.reserve(static_cast<std::size_t>(width) * height);
  int position = 0;
  auto add = [&](ColourValue colour, bool isPixel) {
    auto [it, inserted] = groupOf.try_emplace(colour, static_cast<int>(groups.size()));
    if (inserted) groups.push_back(ColourGroup{RedOf(colour), GreenOf(colour), BlueOf(colour), {}});
    groups[it->second].positions.push_back(position++);
    if (isPixel) groupOfPixel.push_back(it->second);
  };
  groupOf.reserve(4096);
  if (options.reserveBlack) add(kBlack, false);
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x)
      add(image.pixelColour(x, y), true);

  ColourTable table;
  if (options.optimizedPalette) {
    Merger(groups, position).Run();
    table = SurvivorTable(groups);
  } else {
    table = CubePalette();
  }

  std::vector<std::uint8_t> indexOfGroup(groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) {
    Rgbq colour{static_cast<std::uint8_t>(groups[g].blue),
                static_cast<std::uint8_t>(groups[g].green),
                static_cast<std::uint8_t>(groups[g].red), 0};
    indexOfGroup[g] =
        static_cast<std::uint8_t>(NearestBySum(table, kTableSize, colour, kMappingStart));
  }

  Bitmap out(width, height, 8);
  out.setColourTable(table);
  std::size_t pixel = 0;
  for (int y = height - 1; y >= 0; --y) {
    std::uint8_t* row = out.row(y);
    for (int x = 0; x < width; ++x)
      row[x] = indexOfGroup[groupOfPixel[pixel++]];
  }
  image = std::move(out);
}

}  // namespace glyphwell::imaging
