#include "about/update_page.h"

#include <gtest/gtest.h>

#include "about/version_animation.h"

namespace glyphwell::about {
namespace {

TEST(UpdatePageTest, ArchiveNameIsFoundAfterSkippingOtherMentions) {
  struct Case {
    const char* page;
    const char* expected;  // null: none
  } cases[] = {
      {"<a href='Glyphwell_Up.txt'>notes</a> <a href='Glyphwell_Up2313.zip'>",
       "Glyphwell_Up2313.zip"},
      {"Glyphwell_Up2313.ZIP", "Glyphwell_Up2313.ZIP"},  // extension in any case
      {"Glyphwell_Up231A.zip", "Glyphwell_Up231A.zip"},
      {"xGlyphwell_Up2313.zipx", "Glyphwell_Up2313.zip"},
      {"Glyphwell_Up2313.zi", nullptr},  // the page ends too early
      {"Glyphwell_Up231.zip", nullptr},  // three characters, then ".zip" is not there
      {"no update here", nullptr},
      {"", nullptr},
      // A page must not name a file outside the chosen folder or break the address.
      {"Glyphwell_Up/../.zip Glyphwell_Up2314.zip", "Glyphwell_Up2314.zip"},
      {"Glyphwell_Up?a=b.zip", nullptr},
      // The first archive wins even when a later one is newer.
      {"Glyphwell_Up2313.zip Glyphwell_Up2399.zip", "Glyphwell_Up2313.zip"},
      // A name glued to another occurrence: the search goes on behind the first.
      {"Glyphwell_UpGlyphwell_Up2313.zip", "Glyphwell_Up2313.zip"},
  };
  for (const Case& c : cases) {
    auto found = FindArchiveName(c.page, "Glyphwell_Up");
    if (c.expected) {
      ASSERT_TRUE(found.has_value()) << c.page;
      EXPECT_EQ(*found, c.expected) << c.page;
    } else {
      EXPECT_FALSE(found.has_value()) << c.page;
    }
  }
  EXPECT_FALSE(FindArchiveName("Glyphwell_Up2313.zip", "").has_value());
}

TEST(UpdatePageTest, DecisionComparesVersionsByteWise) {
  const std::string page = "Glyphwell_Up.txt Glyphwell_Up2313.zip";
  struct Case {
    std::optional<std::string> page;
    const char* current;
    bool alwaysOffer;
    UpdateOutcome outcome;
  } cases[] = {
      {page, "2312", false, UpdateOutcome::kOfferDownload},
      {page, "2313", false, UpdateOutcome::kUpToDate},
      {page, "2314", false, UpdateOutcome::kUpToDate},
      {page, "2313", true, UpdateOutcome::kOfferDownload},
      {"Glyphwell_Up231A.zip", "2312", false, UpdateOutcome::kOfferDownload},
      {"Glyphwell_Up2312.zip", "231A", false, UpdateOutcome::kUpToDate},
      {"nothing", "2312", true, UpdateOutcome::kNoUpdateFile},
      {std::nullopt, "2312", false, UpdateOutcome::kNoConnection},
  };
  for (const Case& c : cases) {
    UpdateDecision d = DecideUpdate(c.page, "Glyphwell_Up", c.current, c.alwaysOffer);
    EXPECT_EQ(d.outcome, c.outcome) << c.current << " " << c.page.value_or("(no page)");
  }
  EXPECT_EQ(DecideUpdate(page, "Glyphwell_Up", "2312", false).archiveName, "Glyphwell_Up2313.zip");
  EXPECT_EQ(ArchiveVersion("Glyphwell_Up2313.zip"), "2313");
}

TEST(UpdatePageTest, AddressesAndTexts) {
  EXPECT_EQ(PageAddress("http://h/", "DownLoadHtml", ""),
            "http://h/DownLoadHtml/UpdateFilePage.html");
  EXPECT_EQ(PageAddress("http://h/", "  DownLoadHtml ", "p.html"), "http://h/DownLoadHtml/p.html");
  EXPECT_EQ(PageAddress("http://h/", " ", "p.html"), "http://h/p.html");  // exactly one space
  EXPECT_EQ(PageAddress("http://h/", "  ", "p.html"), "http://h//p.html");
  EXPECT_EQ(ArchiveAddress("http://h/", "UpdateFile", "Glyphwell_Up2313.zip"),
            "http://h/UpdateFile/Glyphwell_Up2313.zip");

  for (const char* good : {"http://127.0.0.1:8080/", "https://example.org/sw/"}) {
    EXPECT_TRUE(IsUsableBaseAddress(good)) << good;
  }
  for (const char* bad :
       {"", "http://", "http:///x/", "ftp://h/", "http://h", "http://h x/", "127.0.0.1/"}) {
    EXPECT_FALSE(IsUsableBaseAddress(bad)) << bad;
  }
  EXPECT_EQ(OfferText("Glyphwell_Up2313.zip"),
            "最新のアップデートファイルが見つかりました。\n'Glyphwell_Up2313.zip' "
            "をダウンロードしますか？");
}

TEST(UpdatePageTest, DownloadPacing) {
  EXPECT_EQ(DownloadChunkSize(4096), 1024);
  EXPECT_EQ(DownloadChunkSize(300), 300);
  EXPECT_EQ(DownloadChunkSize(0), 1);
  EXPECT_EQ(DownloadProgressMax(5000, 1024), 5);
  EXPECT_EQ(DownloadProgressMax(4096, 1024), 4);
  EXPECT_EQ(DownloadProgressMax(0, 1024), 0);
}

// Answers from a script, one number per call, and remembers what was asked.
struct ScriptedRandom {
  std::vector<int> answers;
  std::vector<int> asked;
  std::size_t next = 0;
  int operator()(int n) {
    asked.push_back(n);
    return answers.at(next++);
  }
};

TEST(VersionAnimationTest, FramesAlternateWithJumpsAndBreathing) {
  ScriptedRandom random;
  random.answers = {1, 0, 9, 0, 1, 6, 1, 1, 5};
  VersionAnimation a(2, 5);
  auto r = [&](int n) { return random(n); };

  VersionAnimation::Step s = a.Next(r);  // frame 0: jump
  EXPECT_EQ(s.frame, 0);
  EXPECT_TRUE(s.moved);
  EXPECT_EQ(s.dx, 1);  // 1 is not above 2 / 2: kept
  EXPECT_EQ(s.dy, 0);
  EXPECT_EQ(s.size, 64);
  s = a.Next(r);  // frame 1: r = 9 grows
  EXPECT_EQ(s.frame, 1);
  EXPECT_FALSE(s.moved);
  EXPECT_EQ(s.size, 65);
  a.Next(r);      // frame 0 (0, 1)
  s = a.Next(r);  // r = 6 grows
  EXPECT_EQ(s.size, 66);
  a.Next(r);      // frame 0 (1, 1)
  s = a.Next(r);  // r = 5 keeps
  EXPECT_EQ(s.size, 66);
  EXPECT_EQ(random.asked, (std::vector<int>{2, 2, 10, 2, 2, 10, 2, 2, 10}));
}

TEST(VersionAnimationTest, OffsetsWrapAndSizeStaysWithinTheStretch) {
  VersionAnimation wide(5, 2);
  VersionAnimation::Step s = wide.Next([](int n) { return n - 1; });  // 4 > 5 / 2: 4 - 5
  EXPECT_EQ(s.dx, -1);
  EXPECT_EQ(s.dy, -1);
  for (int i = 0; i < 20; ++i)
    s = wide.Next([](int) { return 0; });  // r = 0 shrinks
  EXPECT_EQ(wide.sizeChange(), -2);

  VersionAnimation still(0, 5);  // no jump at all
  s = still.Next([](int) -> int {
    ADD_FAILURE() << "no random number needed";
    return 0;
  });
  EXPECT_EQ(s.dx, 0);
  EXPECT_EQ(s.dy, 0);
}

TEST(VersionAnimationTest, PointerAndPressChangeTheSize) {
  VersionAnimation a(2, 5);
  a.PointerEntered();
  EXPECT_EQ(a.sizeChange(), 10);
  a.Next([](int) { return 0; });                      // frame 0
  EXPECT_EQ(a.Next([](int) { return 9; }).size, 74);  // above the stretch: no growth
  EXPECT_EQ(a.Next([](int) { return 0; }).size, 74);  // frame 0: size unchanged
  EXPECT_EQ(a.Next([](int) { return 0; }).size, 73);  // shrinks back step by step
  a.Pressed();
  EXPECT_EQ(a.sizeChange(), -10);
  EXPECT_TRUE(a.pressed());
  a.PointerEntered();  // ignored while pressed
  EXPECT_EQ(a.sizeChange(), -10);
  a.PanelPointerMoved();
  EXPECT_FALSE(a.pressed());
  a.PointerEntered();
  EXPECT_EQ(a.sizeChange(), 10);
}

}  // namespace
}  // namespace glyphwell::about
