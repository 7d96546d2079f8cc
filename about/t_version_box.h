#pragma once
// TVersionBox: the about box ("バージョン情報"). Title, version, the animated
// picture, the maker's link, and the "Update" button that asks the maker's site for
// a newer update archive and downloads it where the user chooses.
//
// The box is built and filled by TAboutDialog::Execute. What it needs from the
// outside (message boxes, the folder dialog, the file manager, the browser) comes
// through VersionBoxServices, so that tests can stand in for the person.

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

#include "about/update_client.h"
#include "about/version_animation.h"
#include "controls/t_color_progress_bar.h"
#include "platform/messages.h"

namespace glyphwell::about {

class VersionPicture;

struct VersionBoxServices {
  // Message boxes; null means Qt message boxes over the box.
  platform::MessageSink* messages = nullptr;
  // Asks for a folder (dialog title given); an empty answer means cancelled.
  std::function<QString(QWidget* parent, const QString& title)> chooseFolder;
  // Shows a folder in the file manager.
  std::function<void(const QString& folder)> openFolder;
  // Opens a web address in the browser.
  std::function<void(const QString& address)> openAddress;
  // Bits per pixel of the screen; 0 means ask the primary screen.
  int displayBits = 0;
  // Random numbers for the animation: 0 .. n - 1; null means the system's.
  VersionAnimation::Random random;
};

// What Execute hands over besides the texts.
struct VersionBoxSettings {
  std::string applicationTitle;
  std::string baseAddress;  // the maker's site, ending in "/"; empty = none
  std::string pageFile;     // already "UpdateFilePage.html" when the property was empty
  std::string updateName;
  std::string updateFolderName;
  std::string updateDownFolder;
  std::string verStr;
  bool noChkDownLoad = false;
  int jumpXY = 2;
  int stretchMax = 5;
  QColor panelColor = QColor(0xF1, 0xFF, 0xBF);
};

class TVersionBox : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kPanelWidth = 373;
  static constexpr int kPanelHeight = 202;
  static constexpr int kAnimationIntervalMs = 200;
  static constexpr int kLinkRightMargin = 16;

  TVersionBox(const VersionBoxSettings& settings, VersionBoxServices services,
              QWidget* parent = nullptr);
  ~TVersionBox() override;

  // Controls, named as on the form.
  QWidget* Panel1 = nullptr;
  VersionPicture* Image1 = nullptr;
  QImage Image2;  // the hidden bitmap with the two animation frames
  QLabel* StaticText1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* StaticText2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* UpdateChkBtn = nullptr;
  controls::TColorProgressBar* ColorProgressBar1 = nullptr;
  QTimer* Timer1 = nullptr;

  // True while no download runs.
  bool idle() const { return idle_; }
  // The archive name the last check found.
  const std::string& updateFileName() const { return updateFileName_; }
  const VersionAnimation& animation() const { return animation_; }

  // Handlers.
  void UpdateChkBtnClick();
  void Label4Click();
  void Timer1Timer();  // one animation step

  // Closing during a check or download stops it first and closes when it has ended.
  void reject() override;
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  platform::MsgResult Say(const std::string& text, const std::string& caption,
                          platform::MsgButtons buttons = platform::MsgButtons::kOk,
                          platform::MsgIcon icon = platform::MsgIcon::kInformation);
  void RunDownload(const std::string& archiveName, const QString& folder);
  void SetDownloadingLook(bool downloading, std::int64_t chunks = 0);

  VersionBoxSettings settings_;
  VersionBoxServices services_;
  std::unique_ptr<platform::MessageSink> ownMessages_;
  UpdateClient client_;
  VersionAnimation animation_;
  QPoint imageHome_{10, 10};
  std::string updateFileName_;
  bool idle_ = true;
  bool checking_ = false;       // a page request is under way
  bool closeWhenIdle_ = false;  // the box was closed during a download
};

}  // namespace glyphwell::about
