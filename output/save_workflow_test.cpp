#include "output/save_workflow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "output/safe_file_name.h"
#include "output/save_naming.h"
#include "platform/atomic_file.h"
#include "tests/support/image_tool_checks.h"

namespace glyphwell::output {
namespace {

namespace fs = std::filesystem;
using imaging::Bitmap;
using imaging::OutputType;
using imaging::SourceKind;

// A grid of images with fixed sizes; records what the loop asks of it.
class FakeSource : public SaveSource {
 public:
  struct Item {
    bool selected = false;
    std::string label = "ICON\n16×16\n4bit";
    int width = 16, height = 16, bits = 4;
    bool decodes = true;
  };
  std::vector<Item> items;
  std::vector<OutputType> renders;  // save type of every Render call
  Bitmap output{16, 16, 4};
  Bitmap mask{16, 16, 32};
  std::string baseName = "picture";

  explicit FakeSource(int count) : items(static_cast<std::size_t>(count)) { mask.fill(0); }
  void Select(std::initializer_list<int> positions) {
    for (int p : positions)
      items[static_cast<std::size_t>(p)].selected = true;
  }

  int gridCount() const override { return static_cast<int>(items.size()); }
  bool isSelected(int p) const override { return items[static_cast<std::size_t>(p)].selected; }
  std::optional<int> imageIndexAt(int p) const override { return p; }
  std::string extractedName(int p) const override {
    const std::string& label = items[static_cast<std::size_t>(p)].label;
    return label.substr(0, label.find('\n'));
  }
  std::string sourceBaseName() const override { return baseName; }
  bool Decode(int index, DecodedImage& out) override {
    const Item& item = items[static_cast<std::size_t>(index)];
    if (!item.decodes) return false;
    out.width = item.width;
    out.height = item.height;
    out.bitCount = item.bits;
    out.iconData = {0,   0,   1,   0,   1,   0,  static_cast<std::uint8_t>(index),
                    'a', 's', 'r', 'e', 'a', 'd'};
    out.bitmap = Bitmap(item.width, item.height, 8);
    return true;
  }
  bool Render(int index, const DecodedImage& decoded, OutputType saveType, Bitmap& image,
              Bitmap& m) override {
    renders.push_back(saveType);
    image = Bitmap(decoded.width, decoded.height, 4);
    image.setPixelColour(0, 0, imaging::MakeColour(255, 0, 0));
    m = Bitmap(decoded.width, decoded.height, 32);
    m.fill(0);
    m.setPixelColour(index % decoded.width, 0, imaging::kWhite);
    return true;
  }
  const Bitmap& outputImage() const override { return output; }
  const Bitmap& outputMask() const override { return mask; }
  void SetOutput(const Bitmap& image, const Bitmap& m) override {
    output = image;
    mask = m;
  }
};

// Cancels once `after` images have been started.
class CancelAfter : public SaveProgress {
 public:
  explicit CancelAfter(int after) : after_(after) {}
  void Step() override { ++steps_; }
  bool cancelled() const override { return steps_ > after_; }

 private:
  int after_;
  int steps_ = 0;
};

class SaveWorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("save_workflow_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
    fs::create_directories(dir_ / "out");
    ASSERT_TRUE(pelmora_.Load(messages_));
    context_.settings.sourceKind = SourceKind::IconMode;
    context_.settings.ownParser = true;
    context_.settings.outputType = OutputType::Icon;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Out(const std::string& name) const { return (dir_ / "out" / name).string(); }
  // The save dialog answering with a name and filter.
  ChooseSaveFile Choose(const std::string& name, int filter) const {
    std::string path = Out(name);
    return [path, filter, this](const SaveProposal& p) {
      proposals_.push_back(p);
      return std::optional<SaveChoice>(SaveChoice{path, filter});
    };
  }
  // The save dialog keeping the proposed name.
  ChooseSaveFile KeepProposal(int filter) const {
    std::string folder = (dir_ / "out").string();
    return [folder, filter](const SaveProposal& p) {
      return std::optional<SaveChoice>(SaveChoice{folder + "/" + p.fileName, filter});
    };
  }
  std::vector<std::string> Names(const SaveReport& report) const {
    std::vector<std::string> names;
    for (const auto& path : report.written)
      names.push_back(FileNameOf(path));
    return names;
  }

  fs::path dir_;
  platform::RecordingMessages messages_;
  PelmoraLoader pelmora_;
  SaveContext context_;
  SaveProgress progress_;
  mutable std::vector<SaveProposal> proposals_;
};

TEST_F(SaveWorkflowTest, SeveralImagesAreNumberedByGridPosition) {
  FakeSource source(12);
  source.Select({0, 4, 11});
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  SaveWorkflow flow(source, icons, messages_);
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("icons.ico", 4), progress_));
  EXPECT_EQ(Names(flow.report()),
            (std::vector<std::string>{"icons-001.ico", "icons-005.ico", "icons-012.ico"}));
  EXPECT_TRUE(flow.report().failed.empty());
  EXPECT_EQ(flow.rememberedSaveFolder, (dir_ / "out").string());
  // Several images are always drawn afresh, each with its own mask.
  EXPECT_EQ(source.renders.size(), 3u);
  if (auto pillow = testsupport::PillowIcon(Out("icons-005.ico"))) {
    EXPECT_EQ(pillow->width, 16) << pillow->detail;
    EXPECT_EQ(pillow->bits, 4) << pillow->detail;
  }
  ASSERT_EQ(proposals_.size(), 1u);
  EXPECT_EQ(proposals_[0].defaultExtension, "ico");
  EXPECT_EQ(proposals_[0].filterIndex, 4);

  // One image takes the chosen name as it is.
  FakeSource one(3);
  one.Select({2});
  SaveWorkflow single(one, icons, messages_);
  ASSERT_TRUE(single.SaveSelected(context_, Choose("single.ico", 4), progress_));
  EXPECT_EQ(Names(single.report()), std::vector<std::string>{"single.ico"});
}

TEST_F(SaveWorkflowTest, ExtractedNamesAvoidExistingFilesAndAreMadeSafe) {
  context_.showExtractedNames = true;
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  struct Case {
    std::vector<std::string> labels;
    std::vector<std::string> existing;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"APP\n32×32", "APP\n16×16"}, {}, {"APP.ico", "APP1.ico"}},
      {{"APP\n32×32", "APP\n16×16"}, {"APP.ico"}, {"APP1.ico", "APP2.ico"}},
      {{"a:b\n32×32"}, {}, {"a：b.ico"}},
      {{"MAIN.ICO\n32×32"}, {}, {"MAIN.ico"}},  // the label's extension is dropped
      // An image whose name leaves nothing for a file name is numbered instead.
      {{"X\n", "\n32×32"}, {}, {"X.ico", "X-002.ico"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.front());
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    for (const auto& name : c.existing)
      std::ofstream(Out(name)) << "old";
    FakeSource source(static_cast<int>(c.labels.size()));
    for (std::size_t i = 0; i < c.labels.size(); ++i) {
      source.items[i].label = c.labels[i];
      source.items[i].selected = true;
    }
    SaveWorkflow flow(source, icons, messages_);
    ASSERT_TRUE(flow.SaveSelected(context_, KeepProposal(4), progress_));
    EXPECT_EQ(Names(flow.report()), c.expected);
  }
}

TEST_F(SaveWorkflowTest, ChangingTheProposedNameNumbersAsUsual) {
  context_.showExtractedNames = true;
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  FakeSource source(2);
  source.Select({0, 1});
  source.items[0].label = source.items[1].label = "APP\n32×32";
  SaveWorkflow flow(source, icons, messages_);
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("mine.ico", 4), progress_));
  EXPECT_EQ(Names(flow.report()), (std::vector<std::string>{"mine-001.ico", "mine-002.ico"}));
  EXPECT_EQ(proposals_.at(0).fileName, "APP.ico");
}

TEST_F(SaveWorkflowTest, FilterChoosesTheFileTypeAndAllFilesTakesTheOutputType) {
  struct Case {
    OutputType outputType;
    int filter;
    const char* extension;
    std::vector<std::uint8_t> magic;
  };
  const Case cases[] = {
      {OutputType::Icon, 3, ".png", {0x89, 'P', 'N', 'G'}},
      {OutputType::Icon, 1, ".bmp", {'B', 'M'}},
      {OutputType::Icon, 2, ".jpg", {0xFF, 0xD8}},
      {OutputType::Bmp, 5, ".bmp", {'B', 'M'}},
      {OutputType::Jepg, 5, ".jpg", {0xFF, 0xD8}},
      {OutputType::Png, 5, ".png", {0x89, 'P', 'N', 'G'}},
      {OutputType::Icon, 5, ".ico", {0, 0, 1, 0}},
      {OutputType::Png, 4, ".ico", {0, 0, 1, 0}},
  };
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    context_.settings.outputType = c.outputType;
    FakeSource source(2);
    source.Select({0, 1});
    SaveWorkflow flow(source, icons, messages_);
    const std::string base = "t" + std::to_string(n++);
    ASSERT_TRUE(flow.SaveSelected(context_, Choose(base + ".xyz", c.filter), progress_));
    ASSERT_EQ(flow.report().written.size(), 2u);
    const std::string path = flow.report().written[1];
    EXPECT_EQ(path, Out(base + "-002" + c.extension));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFileBytes(path, bytes));
    ASSERT_GE(bytes.size(), c.magic.size());
    EXPECT_TRUE(std::equal(c.magic.begin(), c.magic.end(), bytes.begin()));
    if (auto magick = testsupport::IdentifyImage(path)) {
      EXPECT_EQ(magick->width, 16) << magick->detail;
      EXPECT_EQ(magick->height, 16) << magick->detail;
    }
  }
}

TEST_F(SaveWorkflowTest, OneUneditedImageIsRedrawnOnlyWhenIconAndOutputTypeDiffer) {
  struct Case {
    OutputType outputType;
    int filter;
    bool edited;
    SourceKind source;
    bool redrawn;
  };
  const Case cases[] = {
      {OutputType::Png, 4, false, SourceKind::IconMode, true},  // icon background and mask
      {OutputType::Icon, 3, false, SourceKind::IconMode, true},
      {OutputType::Icon, 4, false, SourceKind::IconMode, false},
      {OutputType::Png, 3, false, SourceKind::IconMode, false},
      {OutputType::Png, 4, true, SourceKind::IconMode, false},  // the editor's changes stay
      {OutputType::Png, 4, false, SourceKind::Picture, false},
  };
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  for (const Case& c : cases) {
    context_.settings.outputType = c.outputType;
    context_.settings.sourceKind = c.source;
    context_.edited = c.edited;
    FakeSource source(1);
    source.Select({0});
    SaveWorkflow flow(source, icons, messages_);
    ASSERT_TRUE(flow.SaveSelected(context_, Choose("one.ico", c.filter), progress_));
    EXPECT_EQ(source.renders.size(), c.redrawn ? 1u : 0u)
        << static_cast<int>(c.outputType) << " " << c.filter << " " << c.edited;
    if (c.redrawn) {
      EXPECT_EQ(source.renders[0], c.filter == 4 ? OutputType::Icon : OutputType::Png);
    }
    EXPECT_FALSE(context_.edited);  // cleared by every completed save
  }
}

TEST_F(SaveWorkflowTest, UneditedPictureIconHasNoMaskEditedOneHasIt) {
  context_.settings.sourceKind = SourceKind::Picture;
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  for (bool edited : {false, true}) {
    context_.edited = edited;
    FakeSource source(1);
    source.Select({0});
    source.mask.setPixelColour(0, 0, imaging::kWhite);  // transparent top-left pixel
    SaveWorkflow flow(source, icons, messages_);
    ASSERT_TRUE(flow.SaveSelected(context_, Choose("pic.ico", 4), progress_));
    std::vector<std::uint8_t> icon;
    ASSERT_TRUE(platform::ReadWholeFileBytes(Out("pic.ico"), icon));
    ASSERT_EQ(icon.size(), 22u + 40 + 64 + 128 + 64);
    EXPECT_EQ(icon[icon.size() - 4], edited ? 0x80 : 0x00) << edited;  // the top mask row
  }
}

TEST_F(SaveWorkflowTest, AsReadRouteWritesTheSourceBytes) {
  context_.settings.sizeChoice = imaging::SizeChoice::Original;
  context_.settings.keepSourceDepth = true;
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  FakeSource source(3);
  source.Select({1, 2});
  SaveWorkflow flow(source, icons, messages_);
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("raw.ico", 4), progress_));
  EXPECT_TRUE(source.renders.empty());
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFileBytes(Out("raw-003.ico"), bytes));
  DecodedImage expected;
  source.Decode(2, expected);
  EXPECT_EQ(bytes, expected.iconData);

  // The editor open (or another size) leaves the as-read route.
  context_.editorOpen = true;
  SaveWorkflow edited(source, icons, messages_);
  ASSERT_TRUE(edited.SaveSelected(context_, Choose("drawn.ico", 4), progress_));
  EXPECT_EQ(source.renders.size(), 2u);

  // Bmp mode saves the decoded bitmap as read.
  context_.editorOpen = false;
  context_.settings.sourceKind = SourceKind::BmpMode;
  FakeSource bitmaps(1);
  bitmaps.Select({0});
  SaveWorkflow bmp(bitmaps, icons, messages_);
  ASSERT_TRUE(bmp.SaveSelected(context_, Choose("res.bmp", 1), progress_));
  EXPECT_EQ(Names(bmp.report()), std::vector<std::string>{"res.bmp"});
  EXPECT_TRUE(bitmaps.renders.empty());
}

TEST_F(SaveWorkflowTest, FailingImagesAreSkippedReportedAndTheBatchGoesOn) {
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  FakeSource source(3);
  source.Select({0, 1, 2});
  source.items[1].decodes = false;
  SaveWorkflow flow(source, icons, messages_);
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("b.ico", 4), progress_));
  EXPECT_EQ(Names(flow.report()), (std::vector<std::string>{"b-001.ico", "b-003.ico"}));
  ASSERT_EQ(flow.report().failed.size(), 1u);
  EXPECT_EQ(flow.report().failed[0].position, 1);

  // A folder that cannot take files: every image fails, none is left half-written.
  SaveWorkflow nowhere(source, icons, messages_);
  ASSERT_TRUE(nowhere.SaveSelected(context_, Choose("missing/b.png", 3), progress_));
  EXPECT_TRUE(nowhere.report().written.empty());
  EXPECT_EQ(nowhere.report().failed.size(), 3u);
}

TEST_F(SaveWorkflowTest, CancelStopsBetweenImagesAndADialogCancelWritesNothing) {
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  FakeSource source(4);
  source.Select({0, 1, 2, 3});
  SaveWorkflow flow(source, icons, messages_);
  CancelAfter cancel(2);
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("c.ico", 4), cancel));
  EXPECT_EQ(flow.report().written.size(), 2u);
  EXPECT_TRUE(flow.report().cancelled);

  context_.edited = true;
  SaveWorkflow none(source, icons, messages_);
  EXPECT_FALSE(none.SaveSelected(
      context_, [](const SaveProposal&) { return std::optional<SaveChoice>(); }, progress_));
  EXPECT_TRUE(context_.edited);
  EXPECT_TRUE(none.report().written.empty());
}

TEST_F(SaveWorkflowTest, SaveMatchingSavesOnlyMatchingImagesAndSaysHowMany) {
  IconFileWriter icons(pelmora_, (dir_ / "work").string(), {});
  FakeSource source(3);
  source.Select({0, 1, 2});
  source.items[0].width = 16;
  source.items[1].width = 32;
  source.items[2].width = 48;
  SaveWorkflow flow(source, icons, messages_);
  ASSERT_TRUE(
      flow.SaveMatching(context_, MatchConditions{"32", "", ""}, Choose("m.ico", 4), progress_));
  EXPECT_EQ(Names(flow.report()), std::vector<std::string>{"m-002.ico"});
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].text, "1個のアイコンを保存しました。");

  ASSERT_TRUE(
      flow.SaveMatching(context_, MatchConditions{"64", "", ""}, Choose("n.ico", 4), progress_));
  EXPECT_TRUE(flow.report().written.empty());
  EXPECT_EQ(messages_.entries.back().text, "条件と一致するアイコンが見つかりません。");
  EXPECT_EQ(flow.lastConditions.width, "64");

  // Empty conditions or a cancelled criteria dialog save nothing and say nothing.
  const std::size_t before = messages_.entries.size();
  EXPECT_FALSE(flow.SaveMatching(context_, MatchConditions{}, Choose("o.ico", 4), progress_));
  EXPECT_FALSE(flow.SaveMatching(context_, std::nullopt, Choose("o.ico", 4), progress_));
  EXPECT_EQ(messages_.entries.size(), before);
  // Matching mode ends with the command: a plain save saves every selected image.
  ASSERT_TRUE(flow.SaveSelected(context_, Choose("p.ico", 4), progress_));
  EXPECT_EQ(flow.report().written.size(), 3u);
}

TEST(MatchConditionsTest, ConditionsAreSubstringTests) {
  const MatchConditions c{"16,32", "", "8"};
  for (int w : {16, 32, 1, 2, 3, 6})
    EXPECT_TRUE(c.Matches(w, 99, 8)) << w;
  for (int w : {4, 48, 64})
    EXPECT_FALSE(c.Matches(w, 99, 8)) << w;
  EXPECT_FALSE(c.Matches(16, 99, 4));
  EXPECT_TRUE(MatchConditions{}.Matches(7, 7, 7));
  EXPECT_FALSE(MatchConditions{}.any());
}

TEST(SafeFileNameTest, EveryCharacterOfTheTable) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/b", "a／b"},
      {"a\"b", "a”b"},
      {"a:b", "a：b"},
      {"a;b", "a；b"},
      {"a*b", "a＊b"},
      {"a<b", "a＜b"},
      {"a>b", "a＞b"},
      {"a?b", "a？b"},
      {"a\\b", "a￥b"},
      {"a|b", "a｜b"},
      {"plain", "plain"},
      {"a.b.ico", "a．b.ico"},  // dots before the last extension only
      {"v1.2.3", "v1．2.3"},
      {"x.y", "x.y"},
      {"日本語:名前", "日本語：名前"},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(SafeFileName(in), out) << in;
}

TEST(SaveNamingTest, NumberingAndPaths) {
  EXPECT_EQ(NumberedName("icons", 0, 1), "icons");
  EXPECT_EQ(NumberedName("icons", 4, 3), "icons-005");
  EXPECT_EQ(NumberedName("icons", 1233, 3), "icons-1234");
  EXPECT_EQ(BaseNameOf("/a/b.c/icons.ico"), "icons");
  EXPECT_EQ(BaseNameOf("/a/b.c/icons"), "icons");
  EXPECT_EQ(FolderOf("icons.ico"), ".");
  EXPECT_EQ(JoinPath("/x/", "n", "png"), "/x/n.png");
  EXPECT_EQ(DefaultExtension(OutputType::Jepg), std::string("jpg"));
  EXPECT_EQ(SaveTypeFor(kAllFilesFilter, OutputType::Png), OutputType::Png);
  EXPECT_EQ(SaveTypeFor(2, OutputType::Png), OutputType::Jepg);
}

TEST(ConfirmSaveChangesTest, AsksWithTheExclamationIcon) {
  platform::RecordingMessages messages;
  messages.answers = {platform::MsgResult::kNo};
  EXPECT_EQ(
      SaveWorkflow::ConfirmSaveChanges(messages, "Editor", platform::MsgButtons::kYesNoCancel),
      platform::MsgResult::kNo);
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, "内容が変更されています。\n\n保存しますか？");
  EXPECT_EQ(messages.entries[0].caption, "Editor");
  EXPECT_EQ(messages.entries[0].buttons, platform::MsgButtons::kYesNoCancel);
  EXPECT_EQ(messages.entries[0].icon, platform::MsgIcon::kWarning);
}

}  // namespace
}  // namespace glyphwell::output
