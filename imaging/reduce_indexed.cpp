#include "imaging/reduce_indexed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "imaging/palette_search.h"

namespace glyphwell::imaging {

namespace {

constexpr int kThresholdStep = 6;
constexpr int kThresholdStepMode2 = 1;
constexpr int kThresholdEnd = 255;
// Colours closer than this are merged at once (without "mode2").
constexpr int kSameColourDistance = 10;
// Without a picture source, colours darker than this go into the reserved black.
constexpr int kDarkForIcons = 50;
constexpr int kDefaultDarkLevel = 30;
// "減色補正" is put at this position when the editor exists but is hidden.
constexpr int kHiddenEditorCorrection = 8;
// Keys far above any real one.
constexpr int kSearchStart = 300000;
constexpr int kDeadKey = 300000;

struct Slot {
  Rgbq colour;
  long count = 0;
};

bool IsBlack(const Rgbq& c) {
  return c.red + c.green + c.blue == 0;
}

// trunc(sqrt(dr² + dg² + db²) / 3), computed exactly in integers: the floor of a
// third of a real number is the floor of a third of its integer part.
int MergeDistance(const Rgbq& a, const Rgbq& b) {
  int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
  int square = dr * dr + dg * dg + db * db;
  int root = 0;
  while ((root + 1) * (root + 1) <= square)
    ++root;
  return root / 3;
}

int SquareKey(const Rgbq& c) {
  return c.red * c.red + c.green * c.green + c.blue * c.blue;
}

// Steps 3 to 8: the candidate slots ranked, merged and ordered; returns the N
// surviving colours in table order.
ColourTable MergedColours(const Bitmap& image, const ColourTable& source, int sourceSlots,
                          const IndexedTarget& target, const ConversionSettings& s) {
  const bool reserve = ReservesBlack(s);
  const int first = reserve ? 1 : 0;
  std::vector<Slot> slots(static_cast<std::size_t>(sourceSlots) + 1);
  for (int i = 0; i < sourceSlots && static_cast<std::size_t>(i) < source.size(); ++i)
    slots[first + i].colour = source[i];
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ++slots[first + (image.rawPixel(x, y) % sourceSlots)].count;

  const long pixels = static_cast<long>(image.width()) * image.height();
  if (reserve) {
    // The reserved black counts as the byte size of the output bitmap file, which
    // is meant to put it ahead of every colour. A 4-bit file can be smaller than the
    // pixel count, so the count is at least one more than the pixels: otherwise a
    // dominant colour would rank first and the black, ranked later, would be
    // cleared with the other blacks, losing the transparency colour.
    const int entries = target.bits == 4 ? 16 : 256;
    long fileSize =
        54 + 4L * entries +
        static_cast<long>(image.height()) * static_cast<long>(RowBytes(image.width(), target.bits));
    slots[0] = Slot{Rgbq{}, std::max(fileSize, pixels + 1)};
  }

  // Ranking by use; with black reserved every other black is cleared on the way.
  const int slotCount = static_cast<int>(slots.size());
  for (int k = 0; k < slotCount; ++k) {
    int best = k;
    for (int j = k + 1; j < slotCount; ++j) {
      if (reserve && IsBlack(slots[j].colour)) slots[j].count = 0;
      if (slots[j].count > slots[best].count) best = j;
    }
    std::swap(slots[k], slots[best]);
  }
  int used = 0;
  while (used < slotCount && slots[used].count > 0)
    ++used;

  // Merging.
  const int n = target.colours;
  const bool mode2 = s.mode2;
  const bool pictureSource = s.sourceKind == SourceKind::Picture;
  const int thresholdStep = mode2 ? kThresholdStepMode2 : kThresholdStep;
  const int limitStep = LimitStep(image.width(), s);
  const int darkLevel = s.editor.exists ? s.editor.darkLevel : kDefaultDarkLevel;
  int threshold = 0;
  long limit = 0;
  int alive = used;
  auto kill = [&](Slot& slot) {
    slot.count = 0;
    --alive;
  };
  while (alive > n) {
    if (threshold < kThresholdEnd) threshold += thresholdStep;
    if (limit < pixels) limit += limitStep;
    for (int a = 0; a < used && alive > n; ++a) {
      if (slots[a].count == 0) continue;
      for (int e = a + 1; e < used && alive > n; ++e) {
        Slot& other = slots[e];
        if (other.count == 0) continue;
        const int d = MergeDistance(slots[a].colour, other.colour);
        const int brightness = (other.colour.red + other.colour.green + other.colour.blue) / 3;
        if (!mode2 &&
            (d < kSameColourDistance || (!pictureSource && a == 0 && brightness < kDarkForIcons) ||
             (a == 0 && brightness < darkLevel && other.count < limit))) {
          kill(other);
          continue;
        }
        if (d < threshold && other.count < limit) {
          if (slots[a].count > other.count) {
            kill(other);
          } else {
            kill(slots[a]);
            break;
          }
        }
      }
    }
  }

  // Ordering of the ranked slots by red² + green² + blue²; a cleared slot counts as
  // the largest key where it stands, but with its real key as a candidate.
  for (int k = 0; k < used; ++k) {
    int best = k;
    int bestKey = slots[k].count == 0 ? kDeadKey : SquareKey(slots[k].colour);
    for (int j = k + 1; j < used; ++j) {
      int key = SquareKey(slots[j].colour);
      if (key < bestKey) {
        bestKey = key;
        best = j;
      }
    }
    std::swap(slots[k], slots[best]);
  }

  ColourTable colours;
  for (const Slot& slot : slots) {
    if (static_cast<int>(colours.size()) >= n) break;
    if (slot.count != 0) colours.push_back(slot.colour);
  }
  return colours;
}

}  // namespace

IndexedTarget IndexedTargetFor(int depth, const ConversionSettings& settings) {
  IndexedTarget target{16, depth == 4 ? 4 : 8};
  if (depth == 8 && settings.outputType == OutputType::Png && settings.depth == Depth::Colours256) {
    target.colours = std::clamp(settings.pngColourCount, 2, 256);
    if (target.colours <= 16) target.bits = 4;
  }
  return target;
}

int LimitStep(int width, const ConversionSettings& settings) {
  int step = width / 5;
  if (settings.editor.exists) {
    const bool hiddenForIcon =
        settings.sourceKind != SourceKind::Picture && !settings.editor.visible;
    step *= hiddenForIcon ? kHiddenEditorCorrection : settings.editor.reductionCorrection;
  }
  return std::max(step, 1);
}

void ReduceIndexed(Bitmap& image, int depth, const ConversionSettings& settings) {
  if (image.empty() || (image.bits() != 8 && image.bits() != 4)) return;
  if (depth != 4 && depth != 8) return;
  const int sourceSlots = image.bits() == 4 ? 16 : 256;
  const IndexedTarget target = IndexedTargetFor(depth, settings);
  const ColourTable source = image.colourTable();

  ColourTable table(target.bits == 4 ? 16 : 256);
  ColourTable chosen = settings.optimizedPalette
                           ? MergedColours(image, source, sourceSlots, target, settings)
                           : Fixed16Palette();
  std::copy_n(chosen.begin(), std::min(chosen.size(), table.size()), table.begin());

  // Each source index is looked up once; an index beyond the old table reads black.
  const int searchCount = std::min<int>(target.colours, static_cast<int>(table.size()));
  std::array<std::uint8_t, 256> newIndex{};
  for (int i = 0; i < sourceSlots; ++i) {
    Rgbq colour = static_cast<std::size_t>(i) < source.size() ? source[i] : Rgbq{};
    newIndex[i] = static_cast<std::uint8_t>(NearestBySum(table, searchCount, colour, kSearchStart));
  }

  Bitmap out(image.width(), image.height(), target.bits);
  out.setColourTable(table);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      out.setRawPixel(x, y, newIndex[image.rawPixel(x, y) % sourceSlots]);
  image = std::move(out);
}

}  // namespace glyphwell::imaging
