#include "app/main_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/bmp_codec.h"
#include "tests/support/fixture_files.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app {
namespace {

namespace fs = std::filesystem;
using extract::ExtractionMode;
using imaging::Depth;
using imaging::OutputType;
using imaging::SizeChoice;
using testsupport::MakeIconDib;
using testsupport::ModuleBuilder;
using testsupport::ResName;

// A module with two groups (three 32-bit/8-bit/4-bit images) and a bitmap.
std::string SampleModule(const std::string& name = "two.dll") {
  ModuleBuilder b(ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(ResName::Named("MAINICON"), 1,
                 {MakeIconDib(32, 32, 8, 3), MakeIconDib(16, 16, 4, 4)});
  b.AddIconGroup(ResName::Id(7), 3, {MakeIconDib(48, 48, 32, 5)});
  b.AddBitmap(ResName::Id(101), testsupport::MakeBitmapDib(20, 10, 8));
  return testsupport::WriteFixtureFile(name, b.Build());
}

std::string SampleIco(const std::string& name) {
  return testsupport::WriteFixtureFile(
      name, testsupport::BuildIcoFile({MakeIconDib(32, 32, 8, 9), MakeIconDib(16, 16, 4, 2)}));
}

std::string SampleBmp(const std::string& name) {
  imaging::Bitmap bmp = testsupport::MakePatternBitmap(40, 30, 24, 11);
  return testsupport::WriteFixtureFile(name, imaging::EncodeBmp(bmp));
}

fs::path NewWorkFolder() {
  static int n = 0;
  fs::path work = fs::path(testsupport::FixtureDir()) / ("work-" + std::to_string(++n));
  fs::create_directories(work);
  return work;
}

struct Fixture : ::testing::Test {
  fs::path work = NewWorkFolder();
  platform::RecordingMessages messages;
  output::PelmoraLoader pelmora;  // not loaded: no icon format
  MainModel model{messages, work.string(), 32, pelmora};
};

using MainModelTest = Fixture;

class NoProgress final : public output::SaveProgress {};

TEST_F(MainModelTest, CommandLineOpensOneFileAndListsSeveral) {
  const std::string ico = SampleIco("one.ico");
  const std::string dll = SampleModule();
  const std::string txt = testsupport::WriteFixtureFile("notes.txt", {'h', 'i'});

  EXPECT_EQ(MainModel::KeptArguments({txt, ico, "/x/y.ICO", "/x/y.jpeg", "/x/y.jpe"}),
            (std::vector<std::string>{ico, "/x/y.ICO", "/x/y.jpeg"}));

  model.HandleCommandLine({txt, ico});
  EXPECT_TRUE(model.hasSource());
  EXPECT_EQ(model.gridCount(), 2);
  EXPECT_TRUE(model.rows().empty());

  MainModel other(messages, work.string(), 32, pelmora);
  other.HandleCommandLine({ico, dll});
  EXPECT_FALSE(other.hasSource());
  ASSERT_EQ(other.rows().size(), 2u);
  EXPECT_EQ(other.rows()[0], (FileRow{"one", "ico", 2, ico}));
  EXPECT_EQ(other.rows()[1], (FileRow{"two", "dll", 3, dll}));
}

TEST_F(MainModelTest, DropLandsWhereItFalls) {
  const std::vector<std::string> files = {SampleIco("d1.ico"), SampleModule("d2.dll"),
                                          SampleBmp("d3.bmp")};
  EXPECT_EQ(model.Drop(DropTarget::kElsewhere, files), MainModel::DropResult::kIgnored);
  EXPECT_FALSE(model.hasSource());

  EXPECT_EQ(model.Drop(DropTarget::kGrid, files), MainModel::DropResult::kOpened);
  EXPECT_EQ(model.listing().sourcePath(), files[0]);
  EXPECT_EQ(model.lastOpened(), files[0]);
  EXPECT_TRUE(model.rows().empty());

  EXPECT_EQ(model.Drop(DropTarget::kFileList, files), MainModel::DropResult::kAdded);
  ASSERT_EQ(model.rows().size(), 3u);
  EXPECT_EQ(model.rows()[2].count, 1);  // a picture counts one
  // Dropping the same files again adds no duplicate rows.
  model.Drop(DropTarget::kFileList, files);
  EXPECT_EQ(model.rows().size(), 3u);
}

TEST_F(MainModelTest, FileListSortsAndDeletes) {
  model.AddFiles({SampleModule("b.dll"), SampleBmp("c.bmp"), SampleIco("a.ico")});
  auto counts = [&] {
    std::vector<int> out;
    for (const auto& r : model.rows())
      out.push_back(r.count);
    return out;
  };
  model.SortRows(2);
  EXPECT_EQ(counts(), (std::vector<int>{1, 2, 3}));
  model.SortRows(2);
  EXPECT_EQ(counts(), (std::vector<int>{3, 2, 1}));
  model.SortRows(0);
  EXPECT_EQ(model.rows()[0].name, "a");
  model.DeleteRows({0, 2, 0});
  ASSERT_EQ(model.rows().size(), 1u);
  EXPECT_EQ(model.rows()[0].name, "b");
  EXPECT_TRUE(model.FileListCopyEnabled());
  model.DeleteRows({0});
  EXPECT_FALSE(model.FileListCopyEnabled());
}

// Names and extensions sort as text whatever their case, first ascending, then
// the other way round.
TEST_F(MainModelTest, FileListSortsTextIgnoringCase) {
  model.AddFiles({SampleModule("Beta.DLL"), SampleIco("alpha.ico"), SampleBmp("Gamma.bmp"),
                  SampleModule("delta.exe")});
  auto column = [&](int c) {
    std::vector<std::string> out;
    for (const auto& r : model.rows())
      out.push_back(c == 0 ? r.name : r.ext);
    return out;
  };
  struct Case {
    int column;
    std::vector<std::string> shown;
  };
  for (const Case& c :
       {Case{0, {"alpha", "Beta", "delta", "Gamma"}}, Case{0, {"Gamma", "delta", "Beta", "alpha"}},
        Case{1, {"bmp", "DLL", "exe", "ico"}}, Case{1, {"ico", "exe", "DLL", "bmp"}}}) {
    model.SortRows(c.column);
    EXPECT_EQ(column(c.column), c.shown) << "column " << c.column;
  }
}

TEST_F(MainModelTest, MenuRulesFollowSelectionSourceAndMode) {
  EXPECT_TRUE(model.CopyRealSizeVisible());  // no source counts as a picture source
  EXPECT_FALSE(model.SelectAllEnabled());
  model.Open(SampleModule("rules.dll"));
  ASSERT_EQ(model.gridCount(), 3);
  EXPECT_FALSE(model.CopyRealSizeVisible());
  EXPECT_TRUE(model.SelectAllEnabled());

  struct Case {
    std::vector<bool> selection;
    bool edit, save, copy, matching;
  };
  for (const Case& c : {Case{{false, false, false}, true, false, false, false},
                        Case{{true, false, false}, true, true, true, true},
                        Case{{true, true, false}, false, true, false, true}}) {
    model.SetSelection(c.selection);
    EXPECT_EQ(model.EditEnabled(), c.edit);
    EXPECT_EQ(model.SaveEnabled(), c.save);
    EXPECT_EQ(model.CopyEnabled(), c.copy);
    EXPECT_EQ(model.MatchingSaveVisible(), c.matching);
  }
  model.SetMode(ExtractionMode::kNormal);
  EXPECT_FALSE(model.MatchingSaveVisible());

  EXPECT_TRUE(MainModel::PackSpacingEnabled(10));
  EXPECT_FALSE(MainModel::PackSpacingEnabled(11));

  EXPECT_FALSE(model.PasteEnabled({}));
  EXPECT_TRUE(model.PasteEnabled({true, {}}));
  EXPECT_TRUE(model.PasteEnabled({false, {"/nowhere/pic.PNG"}}));
  EXPECT_TRUE(model.PasteEnabled({false, {SampleIco("p.ico")}}));
  EXPECT_FALSE(model.PasteEnabled({false, {testsupport::WriteFixtureFile("p.txt", {'x'})}}));
  EXPECT_TRUE(MainModel::FileListPasteEnabled({false, {"/a"}}));
  EXPECT_FALSE(MainModel::FileListPasteEnabled({true, {}}));
}

TEST_F(MainModelTest, JpegAndOriginalRules) {
  model.Open(SampleModule("orig.dll"));
  EXPECT_TRUE(model.OriginalSizeOffered());
  EXPECT_TRUE(model.OriginalColoursEnabled());
  model.SetDepth(Depth::Colours256);
  model.OriginalClicked(true);
  EXPECT_FALSE(model.DepthListEnabled());  // "Original" ticked and enabled

  model.SetOutputType(OutputType::Jepg);
  EXPECT_EQ(model.settings().depth, Depth::Bits24);
  EXPECT_FALSE(model.settings().keepSourceDepth);
  EXPECT_FALSE(model.OriginalColoursEnabled());
  EXPECT_FALSE(model.DepthListEnabled());

  model.SetOutputType(OutputType::Png);
  EXPECT_EQ(model.settings().depth, Depth::Colours256);
  EXPECT_TRUE(model.settings().keepSourceDepth);  // the remembered choice comes back

  // Normal mode clears it; back in Icon mode the choice returns.
  model.SetMode(ExtractionMode::kNormal);
  EXPECT_FALSE(model.settings().keepSourceDepth);
  model.SetMode(ExtractionMode::kIcon);
  EXPECT_TRUE(model.settings().keepSourceDepth);

  // A picture offers "Original" size unless the type is "Icon".
  ASSERT_EQ(model.Open(SampleBmp("orig.bmp")), SourceListing::Result::kPicture);
  EXPECT_TRUE(model.OriginalSizeOffered());
  EXPECT_EQ(model.DepthHint(), "8bit|作成又は保存する色数");
  model.SetDepth(Depth::Colours16);
  EXPECT_EQ(model.DepthHint(), "4bit|作成又は保存する色数");
}

// A ticked "Original" is put aside while a file-list row fills the grid through the
// shell, and comes back with the next own-parser grid (a picture counts as one).
TEST_F(MainModelTest, OriginalIsPutAsideForAShellGridOpenedFromTheFileList) {
  const std::string module = SampleModule("aside.dll");
  const std::string picture = SampleBmp("aside.bmp");
  for (const bool fromFileList : {false, true}) {
    SCOPED_TRACE(fromFileList ? "file-list row" : "open button");
    MainModel m{messages, work.string(), 32, pelmora};
    m.SetMode(ExtractionMode::kNormal);
    m.OriginalClicked(true);  // no source yet: the switch can be ticked
    m.Open(module, fromFileList);
    ASSERT_GT(m.gridCount(), 0);
    ASSERT_FALSE(m.listing().ownParserGrid());
    EXPECT_EQ(m.settings().keepSourceDepth, !fromFileList);
    m.Open(module);  // another shell grid leaves it as it is
    EXPECT_EQ(m.settings().keepSourceDepth, !fromFileList);
    ASSERT_EQ(m.Open(picture), SourceListing::Result::kPicture);
    EXPECT_TRUE(m.settings().keepSourceDepth);
  }
}

// data.ini remembers the source opened last (the open dialog's start in the next
// run) and the folder of the last save.
TEST_F(MainModelTest, OpenedSourceAndSaveFolderPersistInDataIni) {
  const std::string dataIni = (work / "user" / "data.ini").string();
  fs::create_directories(work / "user");
  const std::string module = SampleModule("remember.dll");
  {
    MainModel first{messages, work.string(), 32, pelmora};
    first.UseRememberedPaths(dataIni);
    EXPECT_EQ(first.OpenDialogStart(), "");
    EXPECT_EQ(first.rememberedSaveFolder, "");
    first.Open(module);
    EXPECT_EQ(first.OpenDialogStart(), module);
    first.SetOutputType(OutputType::Png);
    first.SelectOnly(0);
    fs::create_directories(work / "saved");
    NoProgress progress;
    ASSERT_TRUE(first.SaveSelected(
        [&](const output::SaveProposal&) {
          return std::optional<output::SaveChoice>(
              output::SaveChoice{(work / "saved" / "a.png").string(), 3});
        },
        progress));
  }
  MainModel next{messages, work.string(), 32, pelmora};
  next.UseRememberedPaths(dataIni);
  EXPECT_EQ(next.OpenDialogStart(), module);
  EXPECT_EQ(fs::path(next.rememberedSaveFolder), work / "saved");
  // A file opened in this run wins over the recorded one.
  const std::string ico = SampleIco("remember.ico");
  next.Open(ico);
  EXPECT_EQ(next.OpenDialogStart(), ico);
}

TEST_F(MainModelTest, IconTypeIsRefusedWithoutTheLibrary) {
  EXPECT_FALSE(model.iconFormatAvailable());
  EXPECT_EQ(model.settings().outputType, OutputType::Bmp);
  model.SetOutputType(OutputType::Icon);
  EXPECT_EQ(model.settings().outputType, OutputType::Bmp);
}

TEST_F(MainModelTest, ReopenKeepsTheSelectedLabel) {
  model.Open(SampleModule("reopen.dll"));
  model.SelectOnly(1);
  model.SetShowExtractedNames(true);
  model.Reopen();
  ASSERT_EQ(model.firstSelected(), -1);  // the label changed to the extracted name
  model.SelectOnly(1);
  const std::string label = model.listing().images()[1].entry.label;
  EXPECT_EQ(label.substr(0, label.find('\n')), "MAINICON-1");
  model.Reopen();
  EXPECT_EQ(model.firstSelected(), 1);
  model.ClearSource();
  EXPECT_EQ(model.gridCount(), 0);
  EXPECT_FALSE(model.hasSource());
}

TEST_F(MainModelTest, PreviewFollowsTheSelection) {
  model.Open(SampleModule("preview.dll"));
  model.SetOutputType(OutputType::Png);
  model.SetDepth(Depth::Bits32);
  model.SelectOnly(0);
  ASSERT_TRUE(model.RebuildPreview());
  const imaging::Bitmap& preview = model.preview().preview();
  ASSERT_GT(preview.width(), 0);
  bool anyColour = false;
  for (int y = 0; y < preview.height() && !anyColour; ++y)
    for (int x = 0; x < preview.width() && !anyColour; ++x)
      anyColour = preview.pixelColour(x, y) != 0xFFFFFFu;
  EXPECT_TRUE(anyColour);
  model.SetSelection({});
  model.RebuildPreview();
  EXPECT_EQ(model.preview().preview().pixelColour(0, 0), 0xFFFFFFu);
}

TEST_F(MainModelTest, SavesOneAndThreeImages) {
  model.Open(SampleModule("save.dll"));
  model.SetOutputType(OutputType::Png);
  const fs::path out = work / "out";
  fs::create_directories(out);
  NoProgress progress;
  auto chooser = [&](const std::string& name) {
    return [&, name](const output::SaveProposal& p) {
      EXPECT_EQ(p.defaultExtension, "png");
      return std::optional<output::SaveChoice>(output::SaveChoice{(out / name).string(), 3});
    };
  };
  model.SelectOnly(1);
  ASSERT_TRUE(model.SaveSelected(chooser("one.png"), progress));
  EXPECT_TRUE(fs::exists(out / "one.png"));

  model.SelectAll();
  ASSERT_TRUE(model.SaveSelected(chooser("many.png"), progress));
  for (const char* name : {"many-001.png", "many-002.png", "many-003.png"})
    EXPECT_TRUE(fs::exists(out / name)) << name;
  EXPECT_EQ(model.lastSaveReport().written.size(), 3u);
  EXPECT_EQ(model.rememberedSaveFolder.empty(), false);

  // A cancelled dialog writes nothing.
  const auto before = std::distance(fs::directory_iterator(out), fs::directory_iterator());
  EXPECT_FALSE(
      model.SaveSelected([](const output::SaveProposal&) { return std::nullopt; }, progress));
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), before);
}

TEST_F(MainModelTest, PasteOpensFileOrBitmap) {
  imaging::Bitmap pasted = testsupport::MakePatternBitmap(20, 12, 24, 3);
  bool asked = false;
  auto bitmap = [&] {
    asked = true;
    return pasted;
  };
  const std::string ico = SampleIco("paste.ico");
  EXPECT_EQ(model.PasteIntoGrid({true, {ico}}, bitmap), SourceListing::Result::kListed);
  EXPECT_FALSE(asked);  // a file wins over the bitmap
  EXPECT_EQ(model.PasteIntoGrid({true, {}}, bitmap), SourceListing::Result::kPicture);
  ASSERT_EQ(model.gridCount(), 1);
  EXPECT_EQ(model.listing().images()[0].entry.label, "20×12\n深さ： 24");
  EXPECT_TRUE(model.CopyRealSizeVisible());
  model.SelectOnly(0);
  const imaging::Bitmap copy = model.ClipboardBitmap(true);
  EXPECT_EQ(copy.width(), 20);
  EXPECT_EQ(copy.height(), 12);
  // An unusable clipboard changes nothing.
  EXPECT_EQ(model.PasteIntoGrid({}, bitmap), SourceListing::Result::kNoFile);
  EXPECT_EQ(model.gridCount(), 1);
}

}  // namespace
}  // namespace glyphwell::app

namespace glyphwell::app {
namespace {

// The colour of the cell pixel in the middle of the picture box.
imaging::ColourValue BoxCentre(const GridCellDrawing& d, int box) {
  return d.pixels.pixelColour(2 + box / 2, 2 + box / 2);
}

TEST_F(MainModelTest, GridCellsDrawThePictureOnceThenTheirThumbnail) {
  model.Open(SampleModule("cells.dll"));
  ASSERT_EQ(model.gridCount(), 3);
  const auto layout = model.GridLayout(10, 400);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->cell, (GridCell{36, 72}));

  MainModel::CellLook look{36, 72, 36, false, 12, 32, 32};
  const GridCellDrawing first = model.DrawCell(0, look);
  ASSERT_EQ(first.pixels.width(), 36);
  EXPECT_NE(BoxCentre(first, 32), imaging::kWhite);  // the icon is in its box
  ASSERT_FALSE(first.lines.empty());
  EXPECT_EQ(first.lines[0].text, "1");
  EXPECT_FALSE(first.newThumbnail);  // kept by the model

  // The second drawing comes from the kept JPEG: close to the first, not blank.
  const GridCellDrawing again = model.DrawCell(0, look);
  const auto a = BoxCentre(first, 32), b = BoxCentre(again, 32);
  EXPECT_NEAR(imaging::RedOf(a), imaging::RedOf(b), 24);
  EXPECT_NEAR(imaging::GreenOf(a), imaging::GreenOf(b), 24);

  // Selected: navy tint over the label, white text.
  look.selected = true;
  const GridCellDrawing selected = model.DrawCell(1, look);
  EXPECT_EQ(selected.textColour, imaging::kWhite);
  const auto label = selected.pixels.pixelColour(18, 70);
  EXPECT_LE(imaging::RedOf(label), 129);
  EXPECT_GT(imaging::BlueOf(label), imaging::RedOf(label));

  EXPECT_TRUE(model.DrawCell(3, look).pixels.empty());
  EXPECT_TRUE(model.DrawCell(-1, look).pixels.empty());
}

TEST_F(MainModelTest, APictureCellGrowsForThePicture) {
  imaging::Bitmap wide = testsupport::MakePatternBitmap(80, 20, 24, 3);
  model.Open(testsupport::WriteFixtureFile("wide.bmp", imaging::EncodeBmp(wide)));
  ASSERT_EQ(model.gridCount(), 1);
  const auto layout = model.GridLayout(10, 400);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->cell.width, 80);
  const GridCellDrawing cell =
      model.DrawCell(0, {layout->cell.width, layout->cell.height, 36, false, 12, 32, 32});
  ASSERT_EQ(cell.lines.size(), 2u);
  EXPECT_EQ(cell.lines[1].text, "深さ： 24");
  EXPECT_NE(cell.pixels.pixelColour(40, 10), imaging::kWhite);
}

}  // namespace
}  // namespace glyphwell::app
