#include "about/t_about_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "about/animation_frames.h"
#include "about/version_picture.h"

namespace glyphwell::about {
namespace {

using platform::RecordingMessages;

class AboutDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ConfigureForMainWindow(about_, "");
    about_.Services.messages = &messages_;
    about_.Services.displayBits = 32;
    about_.Services.random = [](int) { return 0; };
    about_.Services.openAddress = [this](const QString& a) { opened_.push_back(a); };
  }
  TAboutDialog about_;
  RecordingMessages messages_;
  std::vector<QString> opened_;
};

TEST_F(AboutDialogTest, ComponentStartsWithItsInitialValues) {
  TAboutDialog fresh;
  EXPECT_TRUE(fresh.ApplicationTitle.empty());
  EXPECT_EQ(fresh.UpdateFolderName, "DownLoadHtml");
  EXPECT_EQ(fresh.UpdateDownFolder, "UpdateFile");
  EXPECT_EQ(fresh.BackColor, QColor(0xF1, 0xFF, 0xBF));
  EXPECT_EQ(fresh.DateColor, QColor(0x60, 0x60, 0x60));
  EXPECT_EQ(fresh.JumpXY, 2);
  EXPECT_EQ(fresh.StretchMax, 5);
  EXPECT_FALSE(fresh.NoChkDownLoad);
}

TEST_F(AboutDialogTest, BoxShowsTheComponentsTexts) {
  about_.VerNo = "x64";
  auto box = about_.BuildBox(nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_EQ(box->StaticText1->text(), QStringLiteral("Glyphwell  x64"));
  EXPECT_EQ(box->Label2->text(), QStringLiteral("Programming by the Glyphwell team"));
  EXPECT_EQ(box->StaticText2->text(), QStringLiteral("[ 2.3.1.2 ]"));
  EXPECT_EQ(box->StaticText2->palette().color(QPalette::WindowText), QColor(0x60, 0x60, 0x60));
  EXPECT_EQ(box->Label3->palette().color(QPalette::WindowText), QColor(0x50, 0x50, 0x50));
  EXPECT_EQ(box->Label4->text(), QStringLiteral("Orvane"));
  EXPECT_EQ(box->Panel1->palette().color(QPalette::Window), QColor(0xE6, 0xF2, 0xFF));
  EXPECT_EQ(box->Panel1->size(), QSize(373, 202));
  EXPECT_EQ(box->OKButton->text(), QStringLiteral("OK"));
  EXPECT_TRUE(box->OKButton->isDefault());
  EXPECT_EQ(box->UpdateChkBtn->text(), QStringLiteral("Update"));
  EXPECT_TRUE(box->ColorProgressBar1->isHidden());
  EXPECT_EQ(box->ColorProgressBar1->size(), QSize(261, 20));
  EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(box->minimumSize(), box->maximumSize());  // no resizing

  about_.Services.displayBits = 8;  // low-depth screens get a white panel
  EXPECT_EQ(about_.BuildBox(nullptr)->Panel1->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(AboutDialogTest, ShowingStartsTheAnimationAndPlacesTheLink) {
  auto box = about_.BuildBox(nullptr);
  box->show();
  QApplication::processEvents();
  EXPECT_TRUE(box->Timer1->isActive());
  EXPECT_EQ(box->Timer1->interval(), 200);
  EXPECT_EQ(box->Label4->geometry().right() + 1, 373 - 16);
  // The first step drew frame 0 at home, 64 pixels square, background showing
  // through the blue key.
  EXPECT_EQ(box->Image1->geometry(), QRect(10, 10, 64, 64));
  EXPECT_EQ(box->Image1->canvas().pixelColor(0, 0), QColor(0xE6, 0xF2, 0xFF));
  EXPECT_EQ(box->animation().nextFrame(), 1);
  box->Timer1Timer();
  box->Timer1Timer();
  EXPECT_EQ(box->Image1->canvas(), DrawAnimationFrame(box->Image2, 0, QColor(0xE6, 0xF2, 0xFF)));
  box->close();
  EXPECT_FALSE(box->Timer1->isActive());

  // The shot of the box for a person to look at.
  auto shotBox = about_.BuildBox(nullptr);
  shotBox->show();
  QApplication::processEvents();
  QImage shot = shotBox->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  shot.save(QStringLiteral(GLYPHWELL_BINARY_DIR "/about_box.png"));
}

TEST_F(AboutDialogTest, FramesKeepTheBlueKeyOutOfTheCanvas) {
  QImage frames = MakeAnimationFrames();
  EXPECT_EQ(frames.size(), QSize(128, 64));
  for (int frame : {0, 1}) {
    QImage canvas = DrawAnimationFrame(frames, frame, Qt::white);
    int painted = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        QRgb p = canvas.pixel(x, y);
        EXPECT_NE(p, kFrameTransparent);
        if (p != 0xFFFFFFFF) ++painted;
      }
    }
    EXPECT_GT(painted, 500) << frame;
  }
  EXPECT_NE(DrawAnimationFrame(frames, 0, Qt::white), DrawAnimationFrame(frames, 1, Qt::white));
}

TEST_F(AboutDialogTest, ExecuteDoesNothingWhileTheBoxIsOpen) {
  int boxesSeen = 0;
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(about_.showing());
    about_.Execute();  // returns at once
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<TVersionBox*>(w) && w->isVisible()) {
        ++boxesSeen;
        static_cast<TVersionBox*>(w)->OKButton->click();
      }
    }
  });
  about_.Execute();
  EXPECT_EQ(boxesSeen, 1);
  EXPECT_FALSE(about_.showing());
}

TEST_F(AboutDialogTest, MakersNameOpensTheSite) {
  auto box = about_.BuildBox(nullptr);
  box->Label4Click();
  EXPECT_TRUE(opened_.empty());  // no site set: nothing to open
  about_.BaseAddress = "http://127.0.0.1:9/";
  about_.BuildBox(nullptr)->Label4Click();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], QStringLiteral("http://127.0.0.1:9/"));
}

}  // namespace
}  // namespace glyphwell::about
