#pragma once
// TAboutDialog: the non-visual component on the main window that carries the texts
// of the about box; Execute builds a TVersionBox from them and shows it modally.

#include <QColor>
#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "about/t_version_box.h"

namespace glyphwell::about {

class TAboutDialog : public QObject {
  Q_OBJECT
 public:
  explicit TAboutDialog(QObject* parent = nullptr);
  ~TAboutDialog() override;

  // Published properties with the component's initial values.
  std::string ApplicationTitle;
  std::string VerNo;
  std::string VerNoMain;
  std::string ProgramerName;
  std::string Year;
  std::string Corp;
  std::string UpdateName;
  std::string VerStr;
  std::string UpdateFileName;  // empty: "UpdateFilePage.html"
  std::string UpdateFolderName = "DownLoadHtml";
  std::string UpdateDownFolder = "UpdateFile";
  QColor BackColor = QColor(0xF1, 0xFF, 0xBF);
  QColor DateColor = QColor(0x60, 0x60, 0x60);
  QColor TitleFontColor = Qt::black;
  QColor VerFontColor = QColor(0x60, 0x60, 0x60);
  int JumpXY = 2;
  int StretchMax = 5;
  bool NoChkDownLoad = false;
  // The maker's site (the setting `updurl`): base of the update addresses and the
  // page the maker's name links to. Empty: the check cannot connect.
  std::string BaseAddress;

  // Stand-ins for message boxes, dialogs and the desktop (tests); by default the
  // real ones.
  VersionBoxServices Services;

  // Builds the box and fills it (texts, colours, the values it works with) without
  // showing it.
  std::unique_ptr<TVersionBox> BuildBox(QWidget* parent) const;
  // Shows the box modally and frees it; does nothing while the box is open.
  void Execute(QWidget* parent = nullptr);
  bool showing() const { return showing_; }

 private:
  bool showing_ = false;
};

// The values the main window gives its about component, with the site address
// from the settings.
void ConfigureForMainWindow(TAboutDialog& about, const std::string& updurl);

}  // namespace glyphwell::about
