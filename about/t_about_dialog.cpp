#include "about/t_about_dialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "about/update_page.h"

namespace glyphwell::about {

namespace {

void Colour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

int ScreenBits() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->depth() : 32;
}

}  // namespace

TAboutDialog::TAboutDialog(QObject* parent) : QObject(parent) {}
TAboutDialog::~TAboutDialog() = default;

std::unique_ptr<TVersionBox> TAboutDialog::BuildBox(QWidget* parent) const {
  VersionBoxSettings settings;
  settings.applicationTitle = ApplicationTitle;
  settings.baseAddress = BaseAddress;
  settings.jumpXY = JumpXY;
  settings.stretchMax = StretchMax;
  settings.pageFile = UpdateFileName.empty() ? kDefaultPageFile : UpdateFileName;
  settings.updateName = UpdateName;
  settings.updateFolderName = UpdateFolderName;
  settings.updateDownFolder = UpdateDownFolder;
  settings.verStr = VerStr;
  settings.noChkDownLoad = NoChkDownLoad;
  int bits = Services.displayBits > 0 ? Services.displayBits : ScreenBits();
  settings.panelColor = bits <= 10 ? QColor(Qt::white) : BackColor;

  auto box = std::make_unique<TVersionBox>(settings, Services, parent);
  box->StaticText1->setText(QString::fromStdString(ApplicationTitle + "  " + VerNo));
  Colour(box->StaticText1, TitleFontColor);
  box->Label2->setText(QString::fromStdString("Programming by " + ProgramerName));
  box->StaticText2->setText(QString::fromStdString(VerNoMain));
  Colour(box->StaticText2, VerFontColor);
  box->Label3->setText(QString::fromStdString(Year));
  Colour(box->Label3, DateColor);
  box->Label4->setText(QString::fromStdString(Corp));
  box->Label3->adjustSize();
  box->Label4->adjustSize();
  return box;
}

void TAboutDialog::Execute(QWidget* parent) {
  if (showing_) return;
  showing_ = true;
  std::unique_ptr<TVersionBox> box = BuildBox(parent);
  box->exec();
  box.reset();
  showing_ = false;
}

void ConfigureForMainWindow(TAboutDialog& about, const std::string& updurl) {
  about.ApplicationTitle = "Glyphwell";
  about.VerNo = "";
  about.VerNoMain = "[ 2.3.1.2 ]";
  about.ProgramerName = "the Glyphwell team";
  about.Year = "Copyright (C) 2026 Orvane";
  about.Corp = "Orvane";
  about.UpdateName = "Glyphwell_Up";
  about.VerStr = "2312";
  about.UpdateFileName = "";
  about.UpdateFolderName = "DownLoadHtml";
  about.UpdateDownFolder = "UpdateFile";
  about.BackColor = QColor(0xE6, 0xF2, 0xFF);
  about.DateColor = QColor(0x50, 0x50, 0x50);
  about.TitleFontColor = Qt::black;
  about.VerFontColor = QColor(0x60, 0x60, 0x60);
  about.JumpXY = 2;
  about.StretchMax = 5;
  about.NoChkDownLoad = false;
  about.BaseAddress = updurl;
}

}  // namespace glyphwell::about
