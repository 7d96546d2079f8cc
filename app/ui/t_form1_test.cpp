#include "app/ui/t_form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/preview_painting.h"
#include "app/ui/bitmap_image.h"
#include "app/ui/grid_cell_painter.h"
#include "dialogs/t_option_dlg.h"
#include "imaging/bmp_codec.h"
#include "platform/display_probe.h"
#include "tests/support/fixture_files.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/module_builder.h"

namespace glyphwell::app::ui {
namespace {

namespace fs = std::filesystem;
using testsupport::MakeIconDib;

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

// The file dialogs list their filters with the captions as the window writes them,
// and the filter chosen in the save dialog reaches the save as its number.
TEST_F(TForm1Test, FileDialogsShowTheFilterCaptionsAsWritten) {
  AppEnvironment env(options);
  auto form = Start(env);
  const auto comboTexts = [](QFileDialog* dialog) {
    QStringList texts;
    auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
    if (!combo) return texts;
    for (int i = 0; i < combo->count(); ++i)
      texts << combo->itemText(i);
    return texts;
  };
  QStringList shown;
  QString preselected;
  const std::string target = (root / "out.jpg").string();
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = comboTexts(dialog);
    preselected = dialog->selectedNameFilter();
    dialog->selectNameFilter(dialog->nameFilters().value(1));
    dialog->selectFile(QString::fromStdString(target));
    static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept
  });
  output::SaveProposal proposal;
  proposal.filterIndex = 3;
  const auto choice = form->ChooseSaveFile(proposal);
  EXPECT_EQ(preselected, "PNG(*.png)");
  EXPECT_EQ(shown, (QStringList{QString::fromUtf8("ビットマップ（*.bmp）"), "JPEG(*.jpg)",
                                "PNG(*.png)", QString::fromUtf8("アイコン（*.ico）"),
                                QString::fromUtf8("全てのファイル（All Files）")}));
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->filterIndex, 2);
  EXPECT_EQ(choice->path, target);

  shown.clear();
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = comboTexts(dialog);
    dialog->reject();
  });
  EXPECT_TRUE(form->ChooseOpenFiles(false).isEmpty());
  EXPECT_EQ(shown,
            (QStringList{QString::fromUtf8("アイコン取得ファイル(exe,dll,ocx,ico,icl,cur,cpl,drv)"),
                         QString::fromUtf8("アイコン作成ファイル（bmp,jpg,png.wmf）"),
                         QString::fromUtf8("全てのファイル（All Files）")}));
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
  // A PNG another reader takes, at the chosen size (the system's 32 x 32).
  const QImage single(QString::fromStdString((out / "single.png").string()));
  EXPECT_EQ(single.size(), QSize(32, 32));

  name = "all.png";
  form->ListView2->selectAll();
  form->SaveSwBtnClick();
  for (const char* file : {"all-001.png", "all-002.png", "all-003.png"})
    EXPECT_EQ(QImage(QString::fromStdString((out / file).string())).size(), QSize(32, 32)) << file;
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

TEST_F(TForm1Test, FirstStartLaysOutFoldersAndSettingsSurviveACloseAndStart) {
  {
    AppEnvironment env(options);
    auto form = Start(env);
    // First start in an empty program folder: the folders exist, defaults shown.
    for (const char* folder : {"tmp", "data/tester", "data/tester/part"})
      EXPECT_TRUE(fs::is_directory(root / "program" / folder)) << folder;
    EXPECT_EQ(form->UpDown2->value(), 64);
    EXPECT_FALSE(form->N4->isChecked());

    form->LinkChkBox->SetChecked(false);
    form->UpDown2->setValue(120);
    form->UpDown3->setValue(40);
    form->N4->setChecked(true);
    form->UpDown1->setValue(7);
    for (controls::TNewCheckBox* box : {form->CheckBox2, form->SystemChkBox, form->HideChkBox})
      box->SetChecked(true);
    form->RunOptionDialog = [](QDialog& d) {
      auto& dialog = static_cast<dialogs::TOptionDlg&>(d);
      dialog.CheckBox1->click();
      dialog.CheckBox3->click();
      dialog.CheckBox4->click();
      dialog.OKBtn->click();
      return dialog.result();
    };
    form->SpeedButton4Click();
    fs::create_directories(env.workFolder());
    std::ofstream(fs::path(env.workFolder()) / "vs.bmp") << "x";
    form->close();
    EXPECT_FALSE(fs::exists(fs::path(env.workFolder()) / "vs.bmp"));
  }
  ASSERT_TRUE(fs::exists(options.settingsPath));
  {
    AppEnvironment env(options);
    auto form = Start(env);
    EXPECT_EQ(form->UpDown2->value(), 120);
    EXPECT_EQ(form->UpDown3->value(), 40);
    EXPECT_TRUE(form->N4->isChecked());
    EXPECT_EQ(form->UpDown1->value(), 7);
    for (controls::TNewCheckBox* box : {form->CheckBox2, form->SystemChkBox, form->HideChkBox})
      EXPECT_TRUE(box->Checked());
    const platform::Settings& s = env.settings();
    EXPECT_TRUE(s.png256);
    EXPECT_FALSE(s.pngfrg);
    EXPECT_TRUE(s.pngsv);
    EXPECT_TRUE(s.pngiclchg);
    EXPECT_TRUE(form->model().iconOptions.png256);
    EXPECT_TRUE(form->model().iconOptions.pngsv);
  }
  // Values of the editor and the builder, which this window does not show, come back
  // from its close as they were.
  {
    platform::SettingsStore store(options.settingsPath);
    platform::Settings stored;
    ASSERT_TRUE(store.Load(stored));
    stored.grid_size = 100;
    stored.grid_color = 255;
    stored.keep_size = 3;
    stored.partdir = "/parts";
    stored.partpath = "/parts/a.dat";
    ASSERT_TRUE(store.Save(stored));
    AppEnvironment env(options);
    auto form = Start(env);
    form->close();
  }
  {
    AppEnvironment env(options);
    env.Start(messages, FixedDisplay());
    const platform::Settings& s = env.settings();
    EXPECT_EQ(s.grid_size, 100);
    EXPECT_EQ(s.grid_color, 255);
    EXPECT_EQ(s.keep_size, 3);
    EXPECT_EQ(s.partdir, "/parts");
    EXPECT_EQ(s.partpath, "/parts/a.dat");
    EXPECT_EQ(s.us_w, 120);
  }
  // A corrupt settings file: defaults, and no crash.
  std::ofstream(options.settingsPath, std::ios::trunc) << "\x01\x02[Glyphwell\nus_w=banana\n";
  AppEnvironment env(options);
  auto form = Start(env);
  EXPECT_EQ(form->UpDown2->value(), 64);
  EXPECT_FALSE(form->N4->isChecked());
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

// A module of 2000 icon images (500 groups of four), written once per run.
// GLYPHWELL_KEEP_LARGE=<path> keeps a copy for timing the program and the command line.
const std::string& TwoThousandImages() {
  static const std::string path = [] {
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
    return big;
  }();
  return path;
}

// The grid lists all 2000 without decoding pictures for cells that are never shown:
// only the visible cells are drawn.
TEST_F(TForm1Test, OpensAModuleWithTwoThousandImages) {
  const std::string& big = TwoThousandImages();
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  const auto start = std::chrono::steady_clock::now();
  form->HandleCommandLine({big});
  QApplication::processEvents();
  form->ListView2->viewport()->grab();  // paints the visible cells
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_EQ(form->ListView2->count(), 2000);
  EXPECT_GT(form->drawnCells(), 0);
  EXPECT_LT(form->drawnCells(), 400);
  std::printf("window: 2000 images listed in %lld ms\n", static_cast<long long>(ms));
}

// The user presses "中止" when the progress bar is half full: the entries listed so
// far stay, the bar and the toggle go away, and the grid is usable.
TEST_F(TForm1Test, StopToggleEndsALoadHalfWay) {
  const std::string& big = TwoThousandImages();
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  QTimer watcher;
  watcher.setInterval(0);
  bool sawToggle = false;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (form->ProgressBar1->Position() < 1000) return;
    sawToggle = form->SpeedButton13->isVisible();
    form->SpeedButton13->click();
    watcher.stop();
  });
  watcher.start();
  form->HandleCommandLine({big});
  EXPECT_TRUE(sawToggle);
  EXPECT_GE(form->ListView2->count(), 1000);
  EXPECT_LT(form->ListView2->count(), 1010);
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->SpeedButton13->isHidden());
  EXPECT_EQ(form->StaticText2->text(), "big2000.dll");

  // The next open is not stopped by the toggle left down.
  form->HandleCommandLine({Module("after-stop.dll")});
  EXPECT_EQ(form->ListView2->count(), 3);
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

namespace glyphwell::app::ui {
namespace {

// The part of `shot` where the grid shows entry `row`.
QImage CellOnScreen(TForm1& form, const QImage& shot, int row) {
  const QRect place = form.ListView2->visualRect(form.ListView2->model()->index(row, 0));
  const int width = form.gridCell().width;
  return shot.copy(place.left() + (place.width() - width) / 2, place.top(), width,
                   form.gridCell().height);
}

// A click on a switch's indicator, as the user makes it.
void ClickSwitch(controls::TNewCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

bool AllWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
  return true;
}

TEST_F(TForm1Test, GridAndPreviewShowTheDrawnPixels) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  form->HandleCommandLine({Module("pixels.dll")});
  ASSERT_EQ(form->ListView2->count(), 3);
  EXPECT_EQ(form->gridCell(), (GridCell{36, 72}));
  form->ListView2->item(1)->setSelected(true);
  form->ListView2Click();

  const QImage shot = form->ListView2->viewport()->grab().toImage();
  const QImage plain = CellOnScreen(*form, shot, 0);
  EXPECT_EQ(plain, form->CellImage(0, false));
  EXPECT_EQ(plain.pixelColor(0, 0), QColor(192, 192, 192));  // the frame
  EXPECT_FALSE(AllWhite(plain.copy(2, 2, 32, 32)));          // the icon
  // The selected cell: its label band tinted toward navy.
  const QImage selected = CellOnScreen(*form, shot, 1);
  EXPECT_EQ(selected, form->CellImage(1, true));
  const QColor band = selected.pixelColor(2, selected.height() - 3);
  EXPECT_GT(band.blue(), band.red() + 40);

  // The preview box shows the preview Bitmap stretched by our own drawing.
  const QImage box = form->PaintBox1->grab().toImage();
  ASSERT_EQ(box.size(), QSize(kPreviewBoxWidth, kPreviewBoxHeight));
  EXPECT_EQ(box.convertToFormat(QImage::Format_RGB32),
            BitmapToImage(PaintPreview(form->model().preview().preview(), kPreviewBoxWidth,
                                       kPreviewBoxHeight)));
  EXPECT_FALSE(AllWhite(box));
  form->ListView2->clearSelection();
  form->ListView2Click();
  EXPECT_TRUE(AllWhite(form->PaintBox1->grab().toImage()));
  EXPECT_FALSE(form->SaveSwBtn->isEnabled());
}

TEST_F(TForm1Test, DraggingOverTheGridSelectsTheRunFromTheAnchor) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->resize(990, 591);
  form->show();
  form->HandleCommandLine({Module("drag.dll")});
  QWidget* viewport = form->ListView2->viewport();
  auto centre = [&](int row) {
    return form->ListView2->visualRect(form->ListView2->model()->index(row, 0)).center();
  };
  QTest::mousePress(viewport, Qt::LeftButton, {}, centre(2));
  QMouseEvent move(QEvent::MouseMove, centre(0), viewport->mapToGlobal(centre(0)), Qt::NoButton,
                   Qt::LeftButton, {});
  QApplication::sendEvent(viewport, &move);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre(0));
  EXPECT_EQ(form->model().selection(), (std::vector<bool>{true, true, true}));
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(form->ListView2->item(i)->isSelected()) << i;
  EXPECT_TRUE(form->SaveSwBtn->isEnabled());
}

TEST_F(TForm1Test, FileListColoursRowsAndShowsThePathOfTheClickedRow) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  const std::string dll = Module("rows.dll");
  const std::string gone = Module("gone.dll");
  form->HandleCommandLine({dll, Bmp("rows.bmp"), gone});
  ASSERT_EQ(form->ListView1->topLevelItemCount(), 3);
  fs::remove(gone);
  form->RefreshRows();
  auto row = [&](int i) { return form->ListView1->topLevelItem(i); };
  EXPECT_EQ(row(0)->background(0).color(), QColor(230, 242, 255));
  EXPECT_EQ(row(1)->background(2).color(), QColor(255, 223, 255));
  EXPECT_EQ(row(2)->foreground(0).color(), QColor(255, 0, 0));  // its file is gone
  EXPECT_EQ(row(0)->foreground(0).style(), Qt::NoBrush);

  row(0)->setSelected(true);
  form->ListView1MouseUp();
  EXPECT_EQ(form->StatusPanel1->Text(), QString::fromStdString(dll));
  EXPECT_EQ(form->StaticText2->text(), "rows.dll");
  EXPECT_EQ(form->ListView2->count(), 3);
  // A row whose file is gone opens nothing; two rows clear the grid.
  row(0)->setSelected(false);
  row(2)->setSelected(true);
  form->ListView1MouseUp();
  EXPECT_EQ(form->StaticText2->text(), "rows.dll");
  row(0)->setSelected(true);
  form->ListView1MouseUp();
  EXPECT_EQ(form->ListView2->count(), 0);

  // Bmp mode tints module rows green.
  ClickSwitch(form->BmpAllChkBox);
  EXPECT_EQ(form->ListView1->topLevelItem(0)->background(0).color(), QColor(244, 255, 230));

  // Double-click opens the file with the desktop; nothing to open it: a message.
  messages.entries.clear();
  std::vector<QUrl> opened;
  bool opens = true;
  form->OpenDocument = [&](const QUrl& url) {
    opened.push_back(url);
    return opens;
  };
  form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
  form->ListView1DblClick();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].toLocalFile(), form->ListView1->topLevelItem(0)->data(0, Qt::UserRole));
  EXPECT_TRUE(messages.entries.empty());
  opens = false;
  form->ListView1DblClick();
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_NE(messages.entries[0].text.find("このファイルを開くプログラムが見つかりません。"),
            std::string::npos);
}

// A ticked "Original" is put aside while a file-list row fills the grid through the
// shell (Normal mode) and comes back with the next own-parser grid; the open button
// does not put it aside.
TEST_F(TForm1Test, OriginalIsPutAsideForShellGridsOfFileListRows) {
  AppEnvironment env(options);
  auto form = Start(env);
  const std::string dll = Module("aside.dll");
  const std::string bmp = Bmp("aside.bmp");
  form->HandleCommandLine({dll, bmp});
  form->AllIconChkBox->SetChecked(false);
  form->ModeChkBoxClick(true);  // Normal mode, nothing opened yet
  form->ColorOriChkBox->SetChecked(true);
  form->ColorOriChkBoxClick();
  ASSERT_TRUE(form->ColorOriChkBox->Checked());

  form->ListView1->topLevelItem(0)->setSelected(true);
  form->ListView1MouseUp();
  ASSERT_GT(form->ListView2->count(), 0);
  EXPECT_FALSE(form->ColorOriChkBox->Checked());
  form->ListView1->topLevelItem(0)->setSelected(false);
  form->ListView1->topLevelItem(1)->setSelected(true);
  form->ListView1MouseUp();  // a picture: the own parser's grid
  EXPECT_TRUE(form->ColorOriChkBox->Checked());

  form->ChooseOpenFiles = [&](bool) { return QStringList{QString::fromStdString(dll)}; };
  form->OpenSpBtnClick();
  EXPECT_TRUE(form->ColorOriChkBox->Checked());
}

TEST_F(TForm1Test, HelpOpensThePageOnlyWhenItExists) {
  AppEnvironment env(options);
  auto form = Start(env);
  std::vector<QUrl> opened;
  form->OpenDocument = [&](const QUrl& url) {
    opened.push_back(url);
    return true;
  };
  form->SpeedButton3Click();
  EXPECT_TRUE(opened.empty());
  fs::create_directories(root / "program" / "Help");
  std::ofstream(root / "program" / "Help" / "Glyphwell.htm") << "<html></html>";
  form->SpeedButton3Click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(fs::path(opened[0].toLocalFile().toStdString()),
            root / "program" / "Help" / "Glyphwell.htm");
}

// Points HOME and the XDG folders at the test's own tree while it runs.
class ScopedHome {
 public:
  explicit ScopedHome(const fs::path& root) {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    ::setenv("HOME", (root / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "xdg-config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root / "xdg-data").c_str(), 1);
  }
  ~ScopedHome() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(TForm1Test, OptionButtonEditsIconSettingsAndTheLaunchers) {
  ScopedHome home(root);
  AppEnvironment env(options);
  auto form = Start(env);
  EXPECT_TRUE(form->SpeedButton4->isEnabled());
  const fs::path desktop = root / "home" / "Desktop" / "Glyphwell.desktop";
  const fs::path sendTo = root / "xdg-data" / "applications" / "Glyphwell.desktop";

  // Cancel changes nothing.
  form->RunOptionDialog = [](QDialog& d) {
    auto& dialog = static_cast<dialogs::TOptionDlg&>(d);
    dialog.CheckBox2->click();
    dialog.CheckBox5->click();
    dialog.CancelBtn->click();
    return dialog.result();
  };
  form->SpeedButton4Click();
  EXPECT_FALSE(env.settings().pngfrg);
  EXPECT_FALSE(fs::exists(desktop));

  // OK stores the boxes and puts the launchers where they were asked for.
  form->RunOptionDialog = [](QDialog& d) {
    auto& dialog = static_cast<dialogs::TOptionDlg&>(d);
    EXPECT_FALSE(dialog.CheckBox5->isChecked());
    dialog.CheckBox2->click();
    dialog.CheckBox5->click();
    dialog.CheckBox6->click();
    dialog.OKBtn->click();
    return dialog.result();
  };
  form->SpeedButton4Click();
  EXPECT_TRUE(env.settings().pngfrg);
  EXPECT_TRUE(form->model().iconOptions.pngfrg);
  EXPECT_TRUE(fs::exists(desktop));
  EXPECT_TRUE(fs::exists(sendTo));

  // The next opening finds them; unticking the desktop box removes that one only.
  form->RunOptionDialog = [](QDialog& d) {
    auto& dialog = static_cast<dialogs::TOptionDlg&>(d);
    EXPECT_TRUE(dialog.CheckBox2->isChecked());
    EXPECT_TRUE(dialog.CheckBox5->isChecked());
    EXPECT_TRUE(dialog.CheckBox6->isChecked());
    dialog.CheckBox5->click();
    dialog.OKBtn->click();
    return dialog.result();
  };
  form->SpeedButton4Click();
  EXPECT_FALSE(fs::exists(desktop));
  EXPECT_TRUE(fs::exists(sendTo));
}

TEST_F(TForm1Test, NormalModeRefillsTheGridForTheSmallIconSize) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  ClickSwitch(form->AllIconChkBox);  // neither box: Normal mode
  form->HandleCommandLine({Module("normal.dll")});
  ASSERT_EQ(form->ListView2->count(), 1);  // one icon group
  EXPECT_EQ(form->gridCell(), (GridCell{36, 54}));
  form->ListView2->item(0)->setSelected(true);
  form->ListView2Click();
  const QImage large = form->CellImage(0, false);
  form->SizeItems[0]->click();
  ASSERT_EQ(form->ListView2->count(), 1);
  EXPECT_TRUE(form->ListView2->item(0)->isSelected());
  EXPECT_NE(form->CellImage(0, false), large);  // the small icon in a half box
}

}  // namespace
}  // namespace glyphwell::app::ui

namespace glyphwell::app::ui {
namespace {

// The preview follows the size group, the user size and "拡大" once its timer fires.
TEST_F(TForm1Test, PreviewFollowsSizeChoiceUserSizeAndEnlarge) {
  struct Case {
    const char* name;
    int sizeItem;
    int userWidth, userHeight;
    bool enlarge;
    QSize preview;
    bool whiteCorner;  // the image does not reach the bottom right corner
  };
  const Case cases[] = {
      {"16 in the 48 preview", 0, 64, 64, false, QSize(48, 48), true},
      {"48 fills the preview", 3, 64, 64, false, QSize(48, 48), false},
      {"enlarged 16", 0, 64, 64, true, QSize(16, 16), false},
      // The square icon is fitted into 64 x 40 with white at its sides.
      {"user 64x40 is large enough", 4, 64, 40, false, QSize(64, 40), true},
      {"user 40x40 stays 48", 4, 40, 40, false, QSize(48, 48), true},
  };
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  form->HandleCommandLine({Module("preview.dll")});
  form->TypeComBox->setCurrentIndex(2);         // Png: no icon mask over the preview
  form->ListView2->item(0)->setSelected(true);  // the 32 x 32 image
  form->ListView2Click();
  form->LinkChkBox->SetChecked(false);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form->UpDown2->setValue(c.userWidth);
    form->UpDown3->setValue(c.userHeight);
    if (form->LargeChkBox->Checked() != c.enlarge) ClickSwitch(form->LargeChkBox);
    form->SizeItems[static_cast<std::size_t>(c.sizeItem)]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Timer2->isActive(); }, 2000));
    const QImage preview = ToQImage(form->model().preview().preview());
    EXPECT_EQ(preview.size(), c.preview);
    EXPECT_NE(preview.pixel(std::min(preview.width() / 2, 12), 12), qRgb(255, 255, 255));
    const QPoint corner(preview.width() - 1, preview.height() - 1);
    EXPECT_EQ(preview.pixel(corner) == qRgb(255, 255, 255), c.whiteCorner);
  }
}

}  // namespace
}  // namespace glyphwell::app::ui

namespace glyphwell::app::ui {
namespace {

TEST_F(TForm1Test, HintsShowTheirLongPartInStatusPanelOne) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  form->SetStatusPanel(0, "/search/here");
  struct Case {
    QWidget* widget;
    const char* panel;
  };
  const Case cases[] = {
      {form->OpenSpBtn, "ファイルを開く"},
      {form->SaveSwBtn, "現在選択しているアイコンを保存します。"},
      {form->SpeedButton8, "全てのリストを削除する"},
      {form->StatusPanel0, "/search/here"},
      {form->StatusPanel1, "ヒント"},  // a hint without "|" is shown whole
  };
  for (const Case& c : cases) {
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(c.widget, &enter);
    EXPECT_EQ(form->StatusPanel1->Text(), QString::fromUtf8(c.panel));
  }
  EXPECT_EQ(form->StatusPanel0->Text(), "/search/here");

  // Menu items: their hint while highlighted; an item without one empties the panel.
  struct MenuCase {
    QMenu* menu;
    QAction* item;
    QString panel;
  };
  const MenuCase items[] = {
      {form->PopupMenu2, form->Open1, QString::fromUtf8("リストに追加する")},
      {form->PopupMenu2, form->Delete1, QString::fromUtf8("リストから削除する")},
      {form->PopupMenu2, form->Copy1, QString()},
      {form->PopupMenu1, form->N11, QString::fromStdString(env.workFolder())},
      {form->PopupMenu1, form->AllSelectMenu, QString()},
  };
  for (const MenuCase& c : items) {
    form->SetStatusPanel(1, "before");
    emit c.menu->hovered(c.item);
    EXPECT_EQ(form->StatusPanel1->Text(), c.panel) << c.item->text().toStdString();
  }

  // Both panels are drawn flat gray; the folder panel is 150 pixels wide.
  EXPECT_EQ(form->StatusPanel0->width(), 150);
  for (QWidget* panel :
       {static_cast<QWidget*>(form->StatusPanel0), static_cast<QWidget*>(form->StatusPanel1)}) {
    const QImage drawn = panel->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() - 2, 1), QColor(195, 195, 195));
  }
}

// "作業フォルダの変更": the hint, the stored work file and the preview's temporary
// bitmap all follow the chosen folder; a cancelled choice changes nothing.
TEST_F(TForm1Test, ChangingTheWorkFolderMovesTheTemporaryFiles) {
  AppEnvironment env(options);
  auto form = Start(env);
  const std::string before = env.workFolder();
  const fs::path chosen = root / "elsewhere";
  fs::create_directories(chosen);
  for (const QString& answer : {QString(), QString::fromStdString(chosen.string())}) {
    form->ChooseFolder = [&](const QString&, const QString& start) {
      EXPECT_EQ(start.toStdString(), env.workFolder());
      return answer;
    };
    form->N11->trigger();
    const fs::path expected = answer.isEmpty() ? fs::path(before) : chosen;
    EXPECT_EQ(fs::path(env.workFolder()), expected);
    EXPECT_EQ(fs::path(form->N11->toolTip().toStdString()), expected);
    EXPECT_EQ(form->model().preview().temporaryBitmapPath(), expected / "sv.bmp");
  }
  EXPECT_EQ(fs::path(env.workFile()), chosen / "vs.bmp");
}

TEST_F(TForm1Test, CopyPutsTheImageAtTheOutputSizeAndPackingFollowsTheSlider) {
  AppEnvironment env(options);
  auto form = Start(env);
  form->show();
  form->HandleCommandLine({Module("copy.dll")});
  form->ListView2->item(1)->setSelected(true);
  form->ListView2Click();
  form->PopupMenu1Popup();
  EXPECT_TRUE(form->Copy2->isEnabled());
  EXPECT_FALSE(form->Copy3->isVisible());  // a module, not a picture
  QApplication::clipboard()->clear();
  form->Copy2Click(false);
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(32, 32));  // the 16 x 16 image drawn at the output size
  EXPECT_NE(copied.pixel(16, 16), qRgb(255, 255, 255));

  // Packing the spacing is offered only at the slider's start and narrows the places.
  EXPECT_TRUE(form->N4->isEnabled());
  const QSize usual = form->ListView2->gridSize();
  form->N4->trigger();
  EXPECT_LT(form->ListView2->gridSize().width(), usual.width());
  EXPECT_EQ(form->ListView2->count(), 3);
  form->SizeSetTrackBar->setValue(20);
  form->SizeSetTrackBarRelease();
  EXPECT_FALSE(form->N4->isChecked());
  form->PopupMenu1Popup();
  EXPECT_FALSE(form->N4->isEnabled());
  EXPECT_EQ(form->gridCell(), (GridCell{72, 108}));
}

}  // namespace
}  // namespace glyphwell::app::ui
