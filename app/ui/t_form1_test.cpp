#include "app/ui/t_form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ui/bitmap_image.h"
#include "imaging/bmp_codec.h"
#include "platform/display_probe.h"
#include "tests/support/fixture_files.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app::ui {
namespace {

namespace fs = std::filesystem;
using testsupport::MakeIconDib;

QApplication& App() {
  static int argc = 1;
  static char name[] = "app_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class FixedDisplay final : public platform::DisplayProbe {
 public:
  int BitsPerPixel() const override { return 32; }
};

std::string Module(const std::string& name) {
  testsupport::ModuleBuilder b(testsupport::ModuleBuilder::Kind::kPe32);
  b.AddIconGroup(
      testsupport::ResName::Named("MAINICON"), 1,
      {MakeIconDib(32, 32, 8, 3), MakeIconDib(16, 16, 4, 4), MakeIconDib(48, 48, 32, 5)});
  return testsupport::WriteFixtureFile(name, b.Build());
}

std::string Bmp(const std::string& name) {
  return testsupport::WriteFixtureFile(
      name, imaging::EncodeBmp(testsupport::MakePatternBitmap(40, 30, 24, 7)));
}

struct WindowFixture : ::testing::Test {
  WindowFixture() {
    App();
    root = fs::path(testsupport::FixtureDir()) /
           ("home-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(root / "program");
    options.programFolder = (root / "program").string();
    options.logOnName = "tester";
    options.settingsPath = (root / "config" / "Orvane" / "Glyphwell.ini").string();
    options.lockPath = (root / "Glyphwell.lock").string();
    const char* bin = std::getenv("GLYPHWELL_BIN_DIR");
    options.pelmoraLibrary = bin ? std::string(bin) + "/libPelmora.so" : "libPelmora-missing.so";
  }
  std::unique_ptr<TForm1> Start(AppEnvironment& env) {
    env.Start(messages, FixedDisplay());
    return std::make_unique<TForm1>(env, messages);
  }
  fs::path root;
  StartupOptions options;
  platform::RecordingMessages messages;
};

using TForm1Test = WindowFixture;

TEST_F(TForm1Test, OpensFromTheCommandLineAndPreviewsTheClickedEntry) {
  AppEnvironment env(options);
  auto form = Start(env);
  const std::string dll = Module("window.dll");
  form->HandleCommandLine({dll});
  ASSERT_EQ(form->ListView2->count(), 3);
  EXPECT_EQ(form->StaticText2->text(), "window.dll");
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->SpeedButton13->isHidden());
  EXPECT_FALSE(form->SaveSwBtn->isEnabled());
  EXPECT_TRUE(form->SizeItems[5]->isVisibleTo(form.get()));  // own parser offers "Original"

  form->ListView2->item(2)->setSelected(true);
  form->ListView2Click();
  EXPECT_TRUE(form->SaveSwBtn->isEnabled());
  const QImage preview = ToQImage(form->model().preview().preview());
  ASSERT_FALSE(preview.isNull());
  bool coloured = false;
  for (int y = 0; y < preview.height(); ++y)
    for (int x = 0; x < preview.width(); ++x)
      coloured |= preview.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_TRUE(coloured);

  // Two files on the command line go to the file list and open nothing.
  AppEnvironment env2(options);
  TForm1 second(env2, messages);
  second.HandleCommandLine({dll, Bmp("cmd.bmp"), "/tmp/ignored.txt"});
  EXPECT_EQ(second.ListView1->topLevelItemCount(), 2);
  EXPECT_EQ(second.ListView2->count(), 0);
  EXPECT_EQ(second.StaticText1->text(), "2");
}

TEST_F(TForm1Test, SaveControlsFollowTypeAndSwitches) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->HandleCommandLine({Module("controls.dll")});
  form->TypeComBox->setCurrentIndex(1);  // Jepg
  EXPECT_EQ(form->BitTypeComBox->currentIndex(), 1);
  EXPECT_FALSE(form->BitTypeComBox->isEnabled());
  EXPECT_FALSE(form->ColorOriChkBox->isEnabled());
  form->TypeComBox->setCurrentIndex(2);  // Png
  EXPECT_TRUE(form->BitTypeComBox->isEnabled());
  form->BitTypeComBox->setCurrentIndex(2);  // 256色
  EXPECT_FALSE(form->PngColComBox->isHidden());
  EXPECT_EQ(form->BitTypeComBox->toolTip(), QString::fromUtf8("8bit|作成又は保存する色数"));
  form->BitTypeComBox->setCurrentIndex(0);
  EXPECT_TRUE(form->PngColComBox->isHidden());

  form->ColorOriChkBox->SetChecked(true);
  form->ColorOriChkBoxClick();
  EXPECT_FALSE(form->BitTypeComBox->isEnabled());

  form->SizeItems[4]->setChecked(true);
  form->SizeRadioGroupClick(4);
  form->UpDown2->setValue(100);  // linked: the height follows
  EXPECT_EQ(form->UpDown3->value(), 100);
  EXPECT_EQ(form->SizeItems[4]->text(), QString::fromUtf8("100×100"));
}

TEST_F(TForm1Test, SavesOneAndThreeImages) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->HandleCommandLine({Module("save.dll")});
  form->TypeComBox->setCurrentIndex(2);  // Png
  const fs::path out = root / "saved";
  fs::create_directories(out);
  std::string name;
  form->ChooseSaveFile = [&](const output::SaveProposal& p) {
    EXPECT_EQ(p.defaultExtension, "png");
    return std::optional<output::SaveChoice>(output::SaveChoice{(out / name).string(), 3});
  };
  name = "single.png";
  form->ListView2->item(0)->setSelected(true);
  form->SaveSwBtnClick();
  EXPECT_TRUE(fs::exists(out / "single.png"));

  name = "all.png";
  form->ListView2->selectAll();
  form->SaveSwBtnClick();
  for (const char* file : {"all-001.png", "all-002.png", "all-003.png"})
    EXPECT_TRUE(fs::exists(out / file)) << file;
  EXPECT_TRUE(form->ProgressBar1->isHidden());
}

TEST_F(TForm1Test, PastesABitmapAndDropsOnTheGrid) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  QImage image(24, 20, QImage::Format_RGB32);
  image.fill(qRgb(200, 10, 30));
  QApplication::clipboard()->setImage(image);
  form->PopupMenu1Popup();
  EXPECT_TRUE(form->Paste1->isEnabled());
  form->Paste1Click();
  ASSERT_EQ(form->ListView2->count(), 1);
  EXPECT_EQ(form->ListView2->item(0)->text(), QString::fromUtf8("24×20\n深さ： 24"));
  form->PopupMenu1Popup();
  EXPECT_TRUE(form->Copy3->isVisible());

  const QStringList files = {QString::fromStdString(Module("drop1.dll")),
                             QString::fromStdString(Bmp("drop2.bmp")),
                             QString::fromStdString(Module("drop3.dll"))};
  const QPoint onGrid = form->ListView2->mapTo(form.get(), form->ListView2->rect().center());
  ASSERT_TRUE(form->DropFiles(files, onGrid));
  EXPECT_EQ(form->StaticText2->text(), "drop1.dll");
  EXPECT_EQ(form->ListView1->topLevelItemCount(), 0);
  const QPoint onList = form->ListView1->mapTo(form.get(), form->ListView1->rect().center());
  ASSERT_TRUE(form->DropFiles(files, onList));
  EXPECT_EQ(form->ListView1->topLevelItemCount(), 3);
  EXPECT_FALSE(form->DropFiles(files, form->PaintBox1->mapTo(form.get(), QPoint(2, 2))));

  // File list: sort by count, delete, copy as files.
  form->ListView1ColumnClick(2);
  EXPECT_EQ(form->ListView1->topLevelItem(0)->text(2), "1");
  form->ListView1->topLevelItem(0)->setSelected(true);
  form->Copy1Click();
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_EQ(data->urls().size(), 1);
  EXPECT_TRUE(data->data("x-special/gnome-copied-files").startsWith("copy\nfile://"));
  form->Delete1Click();
  EXPECT_EQ(form->ListView1->topLevelItemCount(), 2);
}

TEST_F(TForm1Test, SettingsSurviveACloseAndStart) {
  {
    AppEnvironment env(options);
    auto form = Start(env);
    form->UpDown2->setValue(120);
    form->N4->setChecked(true);
    fs::create_directories(env.workFolder());
    std::ofstream(fs::path(env.workFolder()) / "vs.bmp") << "x";
    form->close();
    EXPECT_FALSE(fs::exists(fs::path(env.workFolder()) / "vs.bmp"));
  }
  ASSERT_TRUE(fs::exists(options.settingsPath));
  AppEnvironment env(options);
  auto form = Start(env);
  EXPECT_EQ(form->UpDown2->value(), 120);
  EXPECT_TRUE(form->N4->isChecked());
}

TEST_F(TForm1Test, SecondCopyIsTurnedAway) {
  AppEnvironment first(options);
  ASSERT_TRUE(first.ClaimSingleInstance(messages));
  AppEnvironment second(options);
  platform::RecordingMessages shown;
  EXPECT_FALSE(second.ClaimSingleInstance(shown));
  ASSERT_EQ(shown.entries.size(), 1u);
  EXPECT_EQ(shown.entries[0].text, "Glyphwell は実行中です。");
}

}  // namespace
}  // namespace glyphwell::app::ui

namespace glyphwell::app::ui {
namespace {

// A module of 2000 icon images: the grid lists them all without decoding pictures
// for cells that are never shown. Prints the time next to the command line's list.
TEST_F(TForm1Test, OpensAModuleWithTwoThousandImages) {
  testsupport::ModuleBuilder b(testsupport::ModuleBuilder::Kind::kPe32);
  for (int g = 0; g < 500; ++g) {
    b.AddIconGroup(testsupport::ResName::Id(static_cast<std::uint16_t>(100 + g)),
                   static_cast<std::uint16_t>(1 + 4 * g),
                   {MakeIconDib(16, 16, 4, g), MakeIconDib(32, 32, 8, g),
                    MakeIconDib(48, 48, 32, g), MakeIconDib(32, 32, 32, g + 1)});
  }
  const std::string big = testsupport::WriteFixtureFile("big2000.dll", b.Build());
  if (const char* keep = std::getenv("GLYPHWELL_KEEP_LARGE"))
    fs::copy_file(big, keep, fs::copy_options::overwrite_existing);
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  const auto start = std::chrono::steady_clock::now();
  form->HandleCommandLine({big});
  QApplication::processEvents();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_EQ(form->ListView2->count(), 2000);
  std::printf("window: 2000 images listed in %lld ms\n", static_cast<long long>(ms));
}

}  // namespace
}  // namespace glyphwell::app::ui

namespace glyphwell::app::ui {
namespace {

// Opt-in: GLYPHWELL_SHOTS=<folder> writes PNG pictures of the window on a module
// with many icons, on a picture, and with the about box open, for a person to look at.
TEST_F(TForm1Test, WritesScreenshotsWhenAsked) {
  const char* folder = std::getenv("GLYPHWELL_SHOTS");
  if (!folder) GTEST_SKIP() << "set GLYPHWELL_SHOTS to a folder to get screenshots";
  fs::create_directories(folder);
  testsupport::ModuleBuilder b(testsupport::ModuleBuilder::Kind::kPe32);
  for (int g = 0; g < 40; ++g) {
    b.AddIconGroup(
        testsupport::ResName::Id(static_cast<std::uint16_t>(100 + g)),
        static_cast<std::uint16_t>(1 + 3 * g),
        {MakeIconDib(32, 32, 8, g), MakeIconDib(16, 16, 4, g + 7), MakeIconDib(48, 48, 32, g + 3)});
  }
  const std::string many = testsupport::WriteFixtureFile("shots.dll", b.Build());
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  form->HandleCommandLine({many});
  form->ListView2->item(4)->setSelected(true);
  form->ListView2Click();
  form->model().AddFiles({many, Bmp("shots.bmp")});
  form->RefreshRows();
  QApplication::processEvents();
  form->grab().save(QString::fromUtf8(folder) + "/main-module.png");

  form->HandleCommandLine({Bmp("shots-picture.bmp")});
  form->ListView2->item(0)->setSelected(true);
  form->ListView2Click();
  QApplication::processEvents();
  form->grab().save(QString::fromUtf8(folder) + "/main-picture.png");

  QTimer::singleShot(300, [folder] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    box->grab().save(QString::fromUtf8(folder) + "/about.png");
    box->close();
  });
  form->SpeedButton5Click();
}

}  // namespace
}  // namespace glyphwell::app::ui
