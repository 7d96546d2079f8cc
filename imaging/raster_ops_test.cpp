#include "imaging/raster_ops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glyphwell::imaging {
namespace {

// Coverage of a shape on a small grid: '#' covered once, '2'.. covered more often.
class Grid {
 public:
  Grid(int width, int height) : width_(width), counts_(width * height, 0) {
    clip_ = Box{0, 0, width, height};
  }
  const Box& clip() const { return clip_; }
  SpanSink sink() {
    return [this](int y, int x0, int x1) {
      ASSERT_LT(x0, x1);
      for (int x = x0; x < x1; ++x)
        ++counts_[y * width_ + x];
    };
  }
  std::string text() const {
    std::string out;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
      const int c = counts_[i];
      out += c == 0 ? '.' : c == 1 ? '#' : static_cast<char>('0' + std::min(c, 9));
      if ((i + 1) % width_ == 0) out += '\n';
    }
    return out;
  }

 private:
  int width_;
  Box clip_;
  std::vector<int> counts_;
};

std::string Rows(std::initializer_list<const char*> rows) {
  std::string out;
  for (const char* r : rows)
    out += std::string(r) + "\n";
  return out;
}

TEST(RasterOps, FilledShapes) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> draw;
    std::string expected;
  };
  const Case cases[] = {
      {"rect clipped",
       [](Grid& g) {
         RectSpans({-2, 1, 3, 9}, g.clip(), g.sink());
       },
       Rows({".....", "###..", "###..", "###.."})},
      {"reversed rect is empty",
       [](Grid& g) {
         RectSpans({3, 1, 0, 3}, g.clip(), g.sink());
       },
       Rows({".....", ".....", ".....", "....."})},
      {"ellipse",
       [](Grid& g) {
         EllipseSpans({0, 0, 5, 4}, g.clip(), g.sink());
       },
       Rows({".###.", "#####", "#####", ".###."})},
      {"round rect",
       [](Grid& g) {
         RoundRectSpans({0, 0, 5, 4}, 4, 4, g.clip(), g.sink());
       },
       Rows({".###.", "#####", "#####", ".###."})},
      {"triangle",
       [](Grid& g) {
         const std::vector<std::vector<Point>> rings = {{{0, 0}, {5, 4}, {0, 4}}};
         PolygonSpans(rings, FillRule::kEvenOdd, g.clip(), g.sink());
       },
       Rows({"#....", "##...", "###..", "####."})},
      {"even-odd hole",
       [](Grid& g) {
         const std::vector<std::vector<Point>> rings = {{{0, 0}, {5, 0}, {5, 4}, {0, 4}},
                                                        {{1, 1}, {4, 1}, {4, 3}, {1, 3}}};
         PolygonSpans(rings, FillRule::kEvenOdd, g.clip(), g.sink());
       },
       Rows({"#####", "#...#", "#...#", "#####"})},
      {"non-zero fills the same-direction inner ring",
       [](Grid& g) {
         const std::vector<std::vector<Point>> rings = {{{0, 0}, {5, 0}, {5, 4}, {0, 4}},
                                                        {{1, 1}, {4, 1}, {4, 3}, {1, 3}}};
         PolygonSpans(rings, FillRule::kNonZero, g.clip(), g.sink());
       },
       Rows({"#####", "#####", "#####", "#####"})},
      {"rect outline",
       [](Grid& g) {
         OutlineSpans(OutlineShape::kRectangle, {0, 0, 5, 4}, 1, 0, 0, g.clip(), g.sink());
       },
       Rows({"#####", "#...#", "#...#", "#####"})},
      {"thick outline fills a small rect",
       [](Grid& g) {
         OutlineSpans(OutlineShape::kRectangle, {1, 0, 4, 4}, 2, 0, 0, g.clip(), g.sink());
       },
       Rows({".###.", ".###.", ".###.", ".###."})},
      {"ellipse outline",
       [](Grid& g) {
         OutlineSpans(OutlineShape::kEllipse, {0, 0, 5, 4}, 1, 0, 0, g.clip(), g.sink());
       },
       Rows({".###.", "#...#", "#...#", ".###."})},
  };
  for (const Case& c : cases) {
    Grid grid(5, 4);
    c.draw(grid);
    EXPECT_EQ(grid.text(), c.expected) << c.name;
  }
}

TEST(RasterOps, Lines) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> draw;
    std::string expected;
  };
  const Case cases[] = {
      {"diagonal with end",
       [](Grid& g) {
         LineSpans({0, 0}, {3, 3}, 1, true, g.clip(), g.sink());
       },
       Rows({"#....", ".#...", "..#..", "...#."})},
      {"shallow without end",
       [](Grid& g) {
         LineSpans({0, 1}, {4, 2}, 1, false, g.clip(), g.sink());
       },
       Rows({".....", "##...", "..##.", "....."})},
      {"far outside ends are cut",
       [](Grid& g) {
         LineSpans({-2000000000, 2}, {2000000000, 2}, 1, true, g.clip(), g.sink());
       },
       Rows({".....", ".....", "#####", "....."})},
      {"wide horizontal",
       [](Grid& g) {
         LineSpans({1, 1}, {3, 1}, 3, true, g.clip(), g.sink());
       },
       Rows({"#####", "#####", "#####", "....."})},
      {"closed polyline joints once",
       [](Grid& g) {
         const std::vector<Point> pts = {{0, 0}, {4, 0}, {4, 3}, {0, 3}};
         PolylineSpans(pts, 1, true, g.clip(), g.sink());
       },
       Rows({"#####", "#...#", "#...#", "#####"})},
      {"open polyline leaving out its end",
       [](Grid& g) {
         const std::vector<Point> pts = {{0, 0}, {4, 0}, {4, 3}};
         PolylineSpans(pts, 1, false, g.clip(), g.sink(), false);
       },
       Rows({"#####", "....#", "....#", "....."})},
      {"wide polyline pixels once",
       [](Grid& g) {
         const std::vector<Point> pts = {{0, 0}, {4, 0}, {4, 3}};
         PolylineSpans(pts, 2, false, g.clip(), g.sink());
       },
       Rows({"#####", "...##", "...##", "...##"})},
  };
  for (const Case& c : cases) {
    Grid grid(5, 4);
    c.draw(grid);
    EXPECT_EQ(grid.text(), c.expected) << c.name;
  }
}

TEST(RasterOps, ColourHelpersWriteEveryFormatInsideTheImage) {
  for (int bits : {1, 4, 8, 24, 32}) {
    Bitmap image(6, 5, bits);
    FillRect(image, {-3, -3, 2, 2}, kBlack);
    DrawLine(image, {5, 0}, {5, 4}, 1, kBlack);
    EXPECT_EQ(image.pixelColour(1, 1), kBlack) << bits;
    EXPECT_EQ(image.pixelColour(2, 2), kWhite) << bits;
    EXPECT_EQ(image.pixelColour(5, 4), kBlack) << bits;
  }
  Bitmap image(4, 4, 32);
  image.setRawPixel(1, 1, 0x7F000000 | kWhite);
  FillEllipse(image, {0, 0, 4, 4}, MakeColour(10, 20, 30));
  EXPECT_EQ(image.pixelColour(1, 1), MakeColour(10, 20, 30));
  EXPECT_EQ(image.pixelAlpha(1, 1), 0x7F) << "alpha kept";
}

}  // namespace
}  // namespace glyphwell::imaging
