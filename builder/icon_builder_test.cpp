#include "builder/icon_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "builder/group_rules.h"
#include "builder/ico_file_writer.h"
#include "builder/icon_block.h"
#include "builder/name_limit.h"
#include "builder/number_match.h"
#include "builder/testing_entries.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"
#include "platform/byte_writer.h"

namespace glyphwell::builder {
namespace {

using platform::MsgResult;
using testing::MakeEntry;

class FakeModules : public ModuleImageReader {
 public:
  std::map<std::string, std::vector<DecodedImage>> files;
  std::vector<DecodedImage>* loaded = nullptr;
  bool lastReduce = false;
  bool Load(const std::string& path) override {
    auto it = files.find(path);
    loaded = it == files.end() ? nullptr : &it->second;
    return loaded != nullptr;
  }
  int ImageCount() override { return loaded ? static_cast<int>(loaded->size()) : 0; }
  std::optional<DecodedImage> Decode(int i, bool reduce) override {
    lastReduce = reduce;
    if (!loaded || i < 0 || i >= ImageCount() || (*loaded)[i].block.empty()) return std::nullopt;
    return (*loaded)[i];
  }
  void Release() override { loaded = nullptr; }
};

class FakeSaveDialog : public SaveDialog {
 public:
  std::optional<SaveTarget> answer;
  std::string proposed;
  int asked = 0;
  std::optional<SaveTarget> Ask(const std::string& name) override {
    ++asked;
    proposed = name;
    return answer;
  }
};

class IconBuilderTest : public ::testing::Test {
 protected:
  IconBuilderTest() : model_(MakeServices()) {
    dir_ = std::filesystem::temp_directory_path() /
           ("glyphwell_builder_model_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  ~IconBuilderTest() override { std::filesystem::remove_all(dir_); }

  IconBuilder::Services MakeServices() {
    IconBuilder::Services services;
    services.messages = &messages_;
    services.modules = &modules_;
    services.ctrlHeld = [this] { return ctrlAfter_ >= 0 && ctrlCalls_++ >= ctrlAfter_; };
    return services;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void AddEntries(std::initializer_list<int> widths) {
    for (int w : widths)
      model_.Append(MakeEntry(w, w, 4, "e" + std::to_string(model_.count())));
  }
  // Writes an icon file of the given entries and returns its path.
  std::string WriteIco(const std::string& name, std::vector<TIconEntry> entries) {
    std::vector<int> all(entries.size());
    for (std::size_t i = 0; i < all.size(); ++i)
      all[i] = static_cast<int>(i);
    std::string error;
    auto bytes = EncodeIconFile(entries, all, {}, error);
    EXPECT_TRUE(bytes);
    EXPECT_TRUE(platform::WriteFileAtomically(Path(name), *bytes));
    return Path(name);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : model_.entries())
      names.push_back(e.Name);
    return names;
  }
  std::vector<std::int32_t> Groups() const {
    std::vector<std::int32_t> groups;
    for (const auto& e : model_.entries())
      groups.push_back(e.GroupId);
    return groups;
  }
  void Select(std::initializer_list<int> clicks) {
    model_.selection().Clear();
    for (int i : clicks)
      model_.MouseDown(i, true);
  }

  platform::RecordingMessages messages_;
  FakeModules modules_;
  int ctrlAfter_ = -1;
  int ctrlCalls_ = 0;
  IconBuilder model_;
  std::filesystem::path dir_;
};

// ---- rules on their own -----------------------------------------------------------

TEST(NumberMatchesText, DigitBoundaryAndFirstOccurrence) {
  struct Case {
    int value;
    const char* text;
    bool match;
  } cases[] = {{16, "16,32", true}, {32, "16,32", true},  {32, "132", false},   {13, "132", true},
               {2, "16,32", false}, {4, "4,8,24", true},  {24, "4,8,24", true}, {8, "", false},
               {48, "x48", true},   {32, "132,32", false}};
  for (const auto& c : cases)
    EXPECT_EQ(NumberMatchesText(c.value, c.text), c.match) << c.value << " in " << c.text;
}

TEST(CutToBytes, KeepsWholeCharacters) {
  EXPECT_EQ(CutToBytes("short", 255), "short");
  EXPECT_EQ(CutToBytes(std::string(300, 'a'), 255).size(), 255u);
  EXPECT_EQ(CutToBytes("aあい", 5), "aあ");  // 1 + 3, the next needs 3 more
  EXPECT_EQ(CutToBytes("aあい", 7), "aあい");
  EXPECT_EQ(CutToBytes("\xff\xfe\xfd", 2), "\xff\xfe");  // invalid bytes count singly
}

TEST(NormalizeGroups, RunsAndSingles) {
  std::vector<TIconEntry> entries(6);
  const std::int32_t ids[] = {4, 4, 4, -1, 9, 4};
  for (int i = 0; i < 6; ++i)
    entries[i].GroupId = ids[i];
  NormalizeGroups(entries);
  const std::int32_t groups[] = {4, 4, 4, -1, -1, -1};
  const std::int16_t counts[] = {3, 3, 3, 1, 1, 1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(entries[i].GroupId, groups[i]) << i;
    EXPECT_EQ(entries[i].GroupCount, counts[i]) << i;
  }
  EXPECT_EQ(NewGroupId({}), -1);
  entries[0].GroupId = 0;
  entries[1].GroupId = 1;
  entries[2].GroupId = 3;
  EXPECT_EQ(NewGroupId(entries), 2);
}

// ---- grouping ---------------------------------------------------------------------

TEST_F(IconBuilderTest, GroupingStopsAtTheFirstGap) {
  AddEntries({16, 16, 16, 16, 16, 16});
  Select({5, 1, 2});
  model_.GroupSelection();
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, IconBuilder::kGapText);
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{-1, 0, 0, -1, -1, -1}));
  EXPECT_EQ(model_.entries()[1].GroupCount, 2);
}

TEST_F(IconBuilderTest, SingleEntryGroupIsNormalisedAway) {
  AddEntries({16, 16, 16});
  Select({1});
  model_.GroupSelection();
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{-1, -1, -1}));
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(IconBuilderTest, DissolvingTheMiddleMemberLeavesTwoSingles) {
  AddEntries({16, 16, 16, 16, 16});
  Select({0, 1, 2});
  model_.GroupSelection();
  Select({3, 4});
  model_.GroupSelection();  // a second group: number 1
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{0, 0, 0, 1, 1}));
  Select({1});
  model_.DissolveSelection();
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{-1, -1, -1, 1, 1}));
  EXPECT_EQ(model_.entries()[3].GroupCount, 2);
}

TEST_F(IconBuilderTest, DissolvingAnEndMemberKeepsTheRest) {
  AddEntries({16, 16, 16});
  Select({0, 1, 2});
  model_.GroupSelection();
  Select({2});
  model_.DissolveSelection();
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{0, 0, -1}));
  EXPECT_EQ(model_.entries()[0].GroupCount, 2);
}

// ---- placement ---------------------------------------------------------------------

TEST_F(IconBuilderTest, MovingBackHomeClearsTheMarker) {
  AddEntries({16, 24, 32, 48});
  model_.DragMove(0, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e1", "e2", "e0", "e3"}));
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(model_.entries()[p].State & kMovedBit, kMovedBit) << p;
    EXPECT_EQ(model_.entries()[p].Shown & kMovedBit, kMovedBit) << p;
  }
  EXPECT_EQ(model_.entries()[3].State, 0);
  model_.DragMove(2, 0);
  for (const auto& e : model_.entries()) {
    EXPECT_EQ(e.State, 0) << e.Name;
    EXPECT_EQ(e.Shown, 0) << e.Name;
  }
  model_.DragExchange(1, 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e0", "e3", "e2", "e1"}));
  EXPECT_EQ(model_.entries()[1].State, kMovedBit);
  EXPECT_EQ(model_.entries()[2].State, 0);
}

TEST_F(IconBuilderTest, ExchangePairsCopyWithClickOrder) {
  AddEntries({16, 16, 16, 16, 16, 16});
  Select({0, 1});
  model_.CopyForPlacement();
  Select({5, 3});  // clicked 5 first
  model_.ExchangeWithCopy();
  EXPECT_EQ(Names(), (std::vector<std::string>{"e5", "e3", "e2", "e1", "e4", "e0"}));
  EXPECT_TRUE(model_.placementCopy().empty());
}

TEST_F(IconBuilderTest, InsertMovesTheCopiedEntriesToTheTarget) {
  AddEntries({16, 16, 16, 16, 16, 16});
  Select({4, 5});
  model_.CopyForPlacement();
  model_.InsertCopyAt(1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e0", "e4", "e5", "e1", "e2", "e3"}));
  EXPECT_TRUE(model_.placementCopy().empty());
  // Copied entries before the target end up behind it, in their order.
  Select({0, 1});
  model_.CopyForPlacement();
  model_.InsertCopyAt(4);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e5", "e1", "e2", "e0", "e4", "e3"}));
  EXPECT_EQ(model_.entries()[2].State, 0);  // e2 is back at its place
  EXPECT_EQ(model_.entries()[0].State, kMovedBit);
}

TEST_F(IconBuilderTest, InsertMovesExactlyTheCopiedEntries) {
  AddEntries({16, 16, 16, 16, 16, 16, 16});
  // Copied entries on both sides of the target, not one block.
  Select({1, 5});
  model_.CopyForPlacement();
  model_.InsertCopyAt(3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e0", "e2", "e3", "e1", "e5", "e4", "e6"}));
  // A target that is itself copied moves nothing.
  Select({2, 3});
  model_.CopyForPlacement();
  model_.InsertCopyAt(3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"e0", "e2", "e3", "e1", "e5", "e4", "e6"}));
  EXPECT_TRUE(model_.placementCopy().empty());
}

TEST_F(IconBuilderTest, PlacementKeepsGroupsNormalised) {
  AddEntries({16, 16, 16, 16});
  Select({0, 1});
  model_.GroupSelection();
  model_.DragMove(0, 3);  // the group is torn apart
  EXPECT_EQ(Groups(), (std::vector<std::int32_t>{-1, -1, -1, -1}));
}

// ---- selection ---------------------------------------------------------------------

TEST_F(IconBuilderTest, MouseSelection) {
  AddEntries({16, 16, 16, 16});
  model_.MouseDown(2, false);
  model_.MouseUp(true, {}, false, 2);
  EXPECT_EQ(model_.selection().items(), (std::vector<int>{2}));
  model_.MouseDown(2, false);
  EXPECT_TRUE(model_.clickedAgain());
  model_.MouseUp(true, {2, 3, 4, 5}, false, 2);  // range stops at the list end
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{2, 3}));
  model_.MouseDown(3, true);  // Ctrl toggles off
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{2}));
  model_.MouseUp(false, {}, false, -1);
  EXPECT_TRUE(model_.selection().empty());
  model_.RightDown(1);
  EXPECT_EQ(model_.selection().items(), (std::vector<int>{1}));
  model_.InvertSelection();
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{0, 2, 3}));
  model_.SelectAll();
  EXPECT_EQ(model_.StatusPanel0(), "4-4");
}

TEST_F(IconBuilderTest, SelectByCriteria) {
  model_.Append(MakeEntry(16, 16, 4));
  model_.Append(MakeEntry(32, 32, 8));
  model_.Append(MakeEntry(48, 48, 24));
  model_.Append(MakeEntry(32, 16, 32));
  model_.SelectByCriteria("16,32", "", "");
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{0, 1, 3}));
  model_.SelectByCriteria("132", "", "");
  EXPECT_TRUE(model_.SortedSelection().empty());
  model_.SelectByCriteria("", "16", "24");
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{0, 2, 3}));
  // All texts empty: the selection stays.
  model_.SelectByCriteria("", "", "");
  EXPECT_EQ(model_.SortedSelection(), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(model_.criteria()[2], "");
}

TEST_F(IconBuilderTest, ToolBarStatusAndCellTexts) {
  EXPECT_FALSE(model_.ToolBar().selectAll);
  AddEntries({16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16});
  ToolBarState s = model_.ToolBar();
  EXPECT_TRUE(s.selectAll && s.invert && s.selectBy);
  EXPECT_FALSE(s.remove || s.save || s.edit || s.exchange || s.insert);
  Select({4});
  s = model_.ToolBar();
  EXPECT_TRUE(s.remove && s.save && s.copyForPlacement && s.groupSet && s.groupDissolve &&
              s.refresh && s.edit);
  Select({4, 7, 9});
  EXPECT_FALSE(model_.ToolBar().edit);
  EXPECT_EQ(model_.StatusPanel0(), "12-3");
  model_.CopyForPlacement();
  EXPECT_TRUE(model_.ToolBar().exchange && model_.ToolBar().insert);

  model_.mutableEntries()[2].Name.clear();
  model_.mutableEntries()[2].SourcePath = "/x/y/app.dll";
  EXPECT_EQ(model_.SelectCell(2).name, "app.dll");
  EXPECT_EQ(model_.SelectCell(2).panel1, "/x/y/app.dll");
  EXPECT_EQ(model_.SelectCell(40).panel1, "");
}

TEST_F(IconBuilderTest, GroupMenuItems) {
  AddEntries({16, 16, 16, 16, 16, 16, 16});
  struct Case {
    bool onEntry;
    CellRange range;
    std::initializer_list<int> selected;
    bool groupSet, dissolve;
  } cases[] = {
      {false, {0, 0, 2, 0}, {0, 1, 2}, false, false}, {true, {1, 0, 1, 0}, {1}, false, true},
      {true, {0, 0, 1, 0}, {}, true, true},   // two cells of one row
      {true, {1, 0, 1, 1}, {}, false, true},  // two rows, one column of three
      {true, {0, 0, 2, 1}, {}, true, true},   // two whole rows
      {true, {1, 1, 1, 1}, {1, 4}, true, true},
  };
  for (const auto& c : cases) {
    Select(c.selected);
    const GroupMenuState s = model_.GroupMenu(c.onEntry, c.range);
    EXPECT_EQ(s.groupSet, c.groupSet) << c.range.left << "," << c.range.top;
    EXPECT_EQ(s.groupDissolve, c.dissolve);
  }
}

TEST_F(IconBuilderTest, DeleteRemovesSelectedWithoutRenormalising) {
  AddEntries({16, 16, 16, 16});
  Select({0, 1, 2});
  model_.GroupSelection();
  Select({1, 2});
  model_.DeleteSelection();
  EXPECT_EQ(Names(), (std::vector<std::string>{"e0", "e3"}));
  EXPECT_EQ(model_.entries()[0].GroupId, 0);
  EXPECT_EQ(model_.entries()[0].GroupCount, 3);
  EXPECT_TRUE(model_.selection().empty());
}

// ---- grid layout -------------------------------------------------------------------

TEST_F(IconBuilderTest, GridLayout) {
  AddEntries({16, 32, 16});
  model_.Append(MakeEntry(256, 256, 32));
  GridLayout l = model_.Layout();
  EXPECT_EQ(l.columnWidth, 48);
  EXPECT_EQ(l.rowHeight, 78);
  EXPECT_EQ(l.rows, 2);
  EXPECT_FALSE(l.lastRowEmpty);
  EXPECT_EQ(l.zoomLabel, "拡大 : 1.0");
  model_.gridSettings().fixedSize = false;
  l = model_.Layout();
  EXPECT_EQ(l.columnWidth, 256);
  EXPECT_EQ(l.rowHeight, 286);
  model_.gridSettings().fixedSize = true;
  model_.gridSettings().zoomPosition = 15;
  model_.gridSettings().columns = 2;
  l = model_.Layout();
  EXPECT_EQ(l.zoomLabel, "拡大 : 1.5");
  EXPECT_EQ(l.columnWidth, 72);
  EXPECT_EQ(l.rows, 3);
  EXPECT_TRUE(l.lastRowEmpty);
}

// ---- reading sources ---------------------------------------------------------------

TEST_F(IconBuilderTest, IconFileNaming) {
  const std::string one = WriteIco("one.ico", {MakeEntry(16, 16, 4)});
  const std::string three =
      WriteIco("app.ico", {MakeEntry(16, 16, 4), MakeEntry(32, 32, 8), MakeEntry(48, 48, 32)});
  EXPECT_EQ(model_.AddFiles({one, three}), 4);
  EXPECT_EQ(Names(), (std::vector<std::string>{"one.ico", "app.ico-0", "app.ico-1", "app.ico-2"}));
  const TIconEntry& e = model_.entries()[3];
  EXPECT_EQ(e.SrcIndex, 2);
  EXPECT_EQ(e.HomePos, 3);
  EXPECT_EQ(e.SourcePath, three);
  EXPECT_EQ(e.GroupId, -1);
  EXPECT_FALSE(e.IsPng);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(model_.progress().Position(), 0);
}

TEST_F(IconBuilderTest, ShortcutSourcesAreFollowed) {
  const std::string ico = WriteIco("target.ico", {MakeEntry(16, 16, 4), MakeEntry(32, 32, 4)});
  const std::string launcher = Path("target.desktop");
  const std::string text = "[Desktop Entry]\nType=Application\nName=t\nExec=" + ico + "\n";
  ASSERT_TRUE(
      platform::WriteFileAtomically(launcher, std::vector<std::uint8_t>(text.begin(), text.end())));
  EXPECT_EQ(model_.AddFiles({launcher}), 2);
  EXPECT_EQ(model_.entries()[0].SourcePath, ico);
  EXPECT_EQ(model_.entries()[1].Name, "target.ico-1");
  EXPECT_EQ(IconBuilder::FilterDroppedFiles({launcher}), std::vector<std::string>{ico});
}

TEST_F(IconBuilderTest, CursorHeaderAddsNothingSilently) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  std::vector<TIconEntry> one = {MakeEntry(16, 16, 4)};
  bytes = *EncodeIconFile(one, std::vector<int>{0}, {}, error);
  bytes[2] = 2;
  ASSERT_TRUE(platform::WriteFileAtomically(Path("cursor.ico"), bytes));
  EXPECT_EQ(model_.AddFiles({Path("cursor.ico")}), 0);
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(IconBuilderTest, BrokenEntriesAreCountedAndSkippedOnesAreNot) {
  std::vector<TIconEntry> four = {MakeEntry(16, 16, 4), MakeEntry(16, 16, 8), MakeEntry(16, 16, 4),
                                  MakeEntry(16, 16, 4)};
  std::string error;
  auto bytes = *EncodeIconFile(four, std::vector<int>{0, 1, 2, 3}, {}, error);
  platform::ByteReader r(bytes);
  // Entry 1: data not an icon image (compression 3). Entry 2: offset past the end
  // (skipped silently). Entry 3: data run past the end (failed).
  bytes[*r.u32le(6 + 16 + 12) + 16] = 3;
  platform::PutU32le(bytes.data() + 6 + 32 + 12, static_cast<std::uint32_t>(bytes.size() + 1));
  platform::PutU32le(bytes.data() + 6 + 48 + 12, static_cast<std::uint32_t>(bytes.size() - 100));
  ASSERT_TRUE(platform::WriteFileAtomically(Path("broken.ico"), bytes));
  EXPECT_EQ(model_.AddFiles({Path("broken.ico")}), 1);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, "4個の中で、2個の抽出に失敗しました。");
}

TEST_F(IconBuilderTest, UnreadableFilesAreReported) {
  const std::string missing = Path("missing.ico");
  EXPECT_EQ(model_.AddFiles({missing}), 0);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text.rfind(missing + "\n", 0), 0u);
  EXPECT_EQ(model_.AddFiles({Path("nothing.dll")}), 0);
  EXPECT_EQ(messages_.entries.back().text, "pBufAdr error");
}

TEST_F(IconBuilderTest, PngEntriesInIconFilesAndPngFiles) {
  imaging::Bitmap image(20, 10, 32);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      image.setRawPixel(x, y, x < 5 ? 0x00000000u : 0xFF336699u);
  const auto png = imaging::EncodePng(image);
  ASSERT_FALSE(png.empty());
  ASSERT_TRUE(platform::WriteFileAtomically(Path("pic.png"), png));
  // An icon file whose only entry is PNG data, declared as 8 bits.
  platform::ByteWriter w;
  w.u16(0);
  w.u16(1);
  w.u16(1);
  w.u8(20);
  w.u8(10);
  w.u8(0);
  w.u8(0);
  w.u16(1);
  w.u16(8);
  w.u32(static_cast<std::uint32_t>(png.size()));
  w.u32(22);
  w.append(png);
  ASSERT_TRUE(platform::WriteFileAtomically(Path("pngicon.ico"), w.bytes()));

  model_.AddFiles({Path("pic.png"), Path("pngicon.ico")});
  ASSERT_EQ(model_.count(), 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"png-0", "pngicon.ico"}));
  for (const auto& e : model_.entries()) {
    EXPECT_TRUE(e.IsPng);
    auto h = ReadIconBlockHeader(e.Image);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->width, 20);
    EXPECT_EQ(h->height(), 10);
    EXPECT_EQ(h->bitCount, 32);
    imaging::Bitmap mask;
    ASSERT_TRUE(RenderIconBlockMask(e.Image, mask));
    EXPECT_EQ(mask.pixelColour(0, 0), imaging::kWhite);  // alpha 0: transparent
    EXPECT_EQ(mask.pixelColour(10, 0), imaging::kBlack);
  }
  // "pngiclchg": the PNG image is brought back to the directory's 8 bits.
  model_.options().pngiclchg = true;
  model_.AddFiles({Path("pngicon.ico")});
  EXPECT_EQ(ReadIconBlockHeader(model_.entries()[2].Image)->bitCount, 8);
}

TEST_F(IconBuilderTest, ModuleImagesAndTheirNames) {
  DecodedImage grouped{testing::PatternBlock(32, 32, 8), false, 3, "10001@2#MAINICON-0"};
  DecodedImage plain{testing::PatternBlock(16, 16, 4), true, 7, ""};
  DecodedImage broken{};
  modules_.files["/m/shell.dll"] = {grouped, broken, plain};
  AddEntries({16, 16, 16, 16, 16, 16, 16});
  EXPECT_EQ(model_.AddFiles({"/m/shell.dll"}), 2);
  const TIconEntry& a = model_.entries()[7];
  EXPECT_EQ(a.Name, "MAINICON-0");
  EXPECT_EQ(a.GroupId, 10001);
  EXPECT_EQ(a.GroupCount, 2);
  EXPECT_EQ(a.SrcIndex, 3);
  const TIconEntry& b = model_.entries()[8];
  EXPECT_EQ(b.Name, "dll-8");
  EXPECT_TRUE(b.IsPng);
  EXPECT_EQ(b.GroupId, -1);
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(IconBuilderTest, CtrlStopsBetweenFiles) {
  const std::string one = WriteIco("a.ico", {MakeEntry(16, 16, 4)});
  // Ctrl is looked at before each file and each image: the third look (before
  // the second file) finds it held.
  ctrlAfter_ = 2;
  EXPECT_EQ(model_.AddFiles({one, one, one}), 1);
}

class FakeMainWindow : public MainWindowImages {
 public:
  bool CanAddSelection() const override { return true; }
  std::string CurrentFile() const override { return "/w/app.exe"; }
  std::vector<std::string> SelectedCaptions() const override { return {"2", "x", "5", "-1"}; }
  std::optional<DecodedImage> DecodeImage(int n) override {
    if (n == 2) return DecodedImage{testing::PatternBlock(16, 16, 4), false, 2, ""};
    if (n == 5) return DecodedImage{testing::PatternBlock(32, 32, 8), true, 5, "10002@3#APP-1"};
    return std::nullopt;
  }
};

TEST_F(IconBuilderTest, MainWindowSelection) {
  FakeMainWindow main;
  EXPECT_EQ(model_.AddMainWindowSelection(main), 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"m-2", "APP-1"}));
  EXPECT_EQ(model_.entries()[1].SourcePath, "/w/app.exe");
  EXPECT_EQ(model_.entries()[1].SrcIndex, 5);
  EXPECT_TRUE(model_.entries()[1].IsPng);
  EXPECT_EQ(model_.entries()[1].GroupId, 10002);
}

TEST_F(IconBuilderTest, DroppedFilesKeepModuleAndIconExtensions) {
  EXPECT_EQ(IconBuilder::FilterDroppedFiles(
                {"/a/b.DLL", "/a/c.png", "/a/d.ico", "/a/e.txt", "/a/f.icl", "/a/noext"}),
            (std::vector<std::string>{"/a/b.DLL", "/a/d.ico", "/a/f.icl"}));
}

// ---- saving, refresh and closing ---------------------------------------------------

TEST_F(IconBuilderTest, ClickOrderIsWrittenInGridOrderAndRefreshReadsTheNewFile) {
  for (int i = 0; i < 8; ++i)
    model_.Append(MakeEntry(16 + i, 16 + i, 4, "n" + std::to_string(i)));
  Select({5, 2, 7});
  FakeSaveDialog dialog;
  dialog.answer = SaveTarget{Path("out.icl"), 1};
  ASSERT_TRUE(model_.SaveCommand(dialog));
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, "3個のアイコンを保存します。よろしいですか？");
  EXPECT_EQ(messages_.entries[0].caption, IconBuilder::kCountCaption);
  EXPECT_EQ(dialog.proposed, "");
  const std::string written = Path("out.ico");  // the filter decides the extension
  std::vector<std::uint8_t> f;
  ASSERT_TRUE(platform::ReadWholeFileBytes(written, f));
  EXPECT_EQ(f[6], 18);
  EXPECT_EQ(f[6 + 16], 21);
  EXPECT_EQ(f[6 + 32], 23);
  EXPECT_EQ(model_.entries()[5].SrcIndex, 1);
  EXPECT_EQ(model_.entries()[5].SourcePath, written);

  // Edit entry 5, then refresh: it is read back from the new file.
  imaging::Bitmap image, mask;
  ASSERT_TRUE(model_.RenderEntry(5, image));
  ASSERT_TRUE(model_.RenderEntryMask(5, mask));
  const auto original = model_.entries()[5].Image;
  image.setPixelColour(3, 3, imaging::kWhite);
  image.setPixelColour(4, 3, imaging::kBlack);
  ASSERT_TRUE(model_.ApplyEdit(5, image, mask));
  EXPECT_NE(model_.entries()[5].Image, original);
  EXPECT_EQ(model_.entries()[5].State, kEditedBit);
  EXPECT_EQ(model_.entries()[5].Shown, kEditedBit);
  Select({5});
  EXPECT_EQ(model_.RefreshSelection(), 0);
  EXPECT_EQ(model_.entries()[5].Image, original);
  EXPECT_EQ(model_.entries()[5].State, 0);
  EXPECT_EQ(model_.entries()[5].Shown, 0);

  // An entry whose source is gone is removed by a refresh.
  std::filesystem::remove(written);
  Select({2, 5});
  EXPECT_EQ(model_.RefreshSelection(), 2);
  EXPECT_EQ(model_.count(), 6);
}

TEST_F(IconBuilderTest, SaveCommandQuestionDialogAndFilters) {
  AddEntries({16, 32});
  model_.extractedNames = true;
  Select({1});
  FakeSaveDialog dialog;
  messages_.answers = {MsgResult::kNo};
  EXPECT_FALSE(model_.SaveCommand(dialog));
  EXPECT_EQ(dialog.asked, 0);
  // Cancel in the dialog writes nothing.
  EXPECT_FALSE(model_.SaveCommand(dialog));
  EXPECT_EQ(dialog.proposed, "e1");
  // The library filter replaces the extension with ".icl".
  dialog.answer = SaveTarget{Path("lib.ico"), 2};
  model_.mutableEntries()[1].State = 1;
  EXPECT_TRUE(model_.SaveCommand(dialog));
  EXPECT_TRUE(std::filesystem::exists(Path("lib.icl")));
  EXPECT_EQ(model_.entries()[1].State, 0);
  EXPECT_EQ(model_.entries()[1].SourcePath, "/icons/source.ico");  // a library keeps the source
  // Nothing selected: no question at all.
  const std::size_t asked = messages_.entries.size();
  model_.selection().Clear();
  EXPECT_FALSE(model_.SaveCommand(dialog));
  EXPECT_EQ(messages_.entries.size(), asked);
}

TEST_F(IconBuilderTest, CloseQuestionOnlyWithUnsavedChanges) {
  AddEntries({16});
  EXPECT_TRUE(model_.CanClose());
  EXPECT_TRUE(messages_.entries.empty());
  model_.mutableEntries()[0].State = kEditedBit;
  messages_.answers = {MsgResult::kYes, MsgResult::kNo};
  EXPECT_FALSE(model_.CanClose());  // Yes: stay and save
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, "内容が変更されています。\n\n保存しますか？");
  EXPECT_EQ(messages_.entries[0].caption, kBuilderCaption);
  EXPECT_EQ(messages_.entries[0].icon, platform::MsgIcon::kWarning);
  EXPECT_TRUE(model_.CanClose());
}

TEST_F(IconBuilderTest, CopyRendersWithMask) {
  model_.Append(MakeEntry(8, 8, 24));
  imaging::Bitmap out;
  ASSERT_TRUE(model_.RenderForCopy(0, true, false, out));
  EXPECT_EQ(out.pixelColour(0, 3), imaging::kWhite);
  ASSERT_TRUE(model_.RenderForCopy(0, false, false, out));
  EXPECT_NE(out.pixelColour(0, 3), imaging::kWhite);
}

}  // namespace
}  // namespace glyphwell::builder
