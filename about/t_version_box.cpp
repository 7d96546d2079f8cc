#include "about/t_version_box.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QUrl>

#include "about/animation_frames.h"
#include "about/qt_message_sink.h"
#include "about/update_page.h"
#include "about/version_picture.h"

namespace glyphwell::about {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

VersionBoxServices WithDefaults(VersionBoxServices s) {
  if (!s.chooseFolder) {
    s.chooseFolder = [](QWidget* parent, const QString& title) {
      return QFileDialog::getExistingDirectory(parent, title);
    };
  }
  if (!s.openFolder) {
    s.openFolder = [](const QString& folder) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
  }
  if (!s.openAddress) {
    s.openAddress = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
  }
  if (!s.random) {
    s.random = [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); };
  }
  return s;
}

}  // namespace

TVersionBox::TVersionBox(const VersionBoxSettings& settings, VersionBoxServices services,
                         QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      services_(WithDefaults(std::move(services))),
      animation_(settings.jumpXY, settings.stretchMax) {
  if (services_.messages == nullptr) {
    ownMessages_ = std::make_unique<QtMessageSink>(this);
    services_.messages = ownMessages_.get();
  }
  setWindowTitle(QStringLiteral("バージョン情報"));
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kPanelWidth + 2 * kMargin, kPanelHeight + 3 * kMargin + kButtonHeight);

  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(kMargin, kMargin, kPanelWidth, kPanelHeight);
  Panel1->setAutoFillBackground(true);
  QPalette panelPalette = Panel1->palette();
  panelPalette.setColor(QPalette::Window, settings_.panelColor);
  Panel1->setPalette(panelPalette);
  Panel1->setMouseTracking(true);
  Panel1->installEventFilter(this);

  Image1 = new VersionPicture(Panel1);
  Image1->setGeometry(imageHome_.x(), imageHome_.y(), 80, 80);
  Image2 = MakeAnimationFrames();

  const int textLeft = 100, textWidth = kPanelWidth - textLeft - 10;
  StaticText1 = new QLabel(Panel1);
  StaticText1->setGeometry(textLeft, 22, textWidth, 30);
  StaticText1->setAlignment(Qt::AlignCenter);
  QFont titleFont = StaticText1->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  titleFont.setBold(true);
  StaticText1->setFont(titleFont);

  Label2 = new QLabel(Panel1);
  Label2->setGeometry(textLeft, 60, textWidth, 20);
  Label2->setAlignment(Qt::AlignCenter);

  StaticText2 = new QLabel(Panel1);
  StaticText2->setGeometry(textLeft, 90, textWidth, 22);
  StaticText2->setAlignment(Qt::AlignCenter);
  StaticText2->setToolTip(QStringLiteral("バージョン"));

  Label3 = new QLabel(Panel1);
  Label3->move(12, kPanelHeight - 28);

  Label4 = new QLabel(Panel1);
  Label4->move(kPanelWidth - 100, kPanelHeight - 28);
  Label4->setCursor(Qt::PointingHandCursor);
  Label4->setToolTip(QStringLiteral("Orvane Home"));
  QFont linkFont = Label4->font();
  linkFont.setUnderline(true);
  Label4->setFont(linkFont);
  QPalette linkPalette = Label4->palette();
  linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 0xCC));
  Label4->setPalette(linkPalette);
  Label4->installEventFilter(this);

  const int buttonTop = kMargin * 2 + kPanelHeight;
  UpdateChkBtn = new QPushButton(QStringLiteral("Update"), this);
  UpdateChkBtn->setGeometry(kMargin, buttonTop, kButtonWidth, kButtonHeight);
  UpdateChkBtn->setToolTip(QStringLiteral("更新ファイルを確認する"));
  UpdateChkBtn->setStatusTip(
      QStringLiteral("Orvaneのサイトへ接続して最新のアップデートファイルの有無を確認します。"));
  UpdateChkBtn->setAutoDefault(false);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setGeometry(width() - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
  OKButton->setDefault(true);

  ColorProgressBar1 = new controls::TColorProgressBar(this);
  ColorProgressBar1->setGeometry(kMargin * 2 + kButtonWidth, buttonTop + 2, 261, 20);
  ColorProgressBar1->SetBarStyle(controls::PAINTTYPE::btWin7);
  ColorProgressBar1->hide();

  Timer1 = new QTimer(this);
  Timer1->setInterval(kAnimationIntervalMs);

  connect(OKButton, &QPushButton::clicked, this, &TVersionBox::accept);
  connect(UpdateChkBtn, &QPushButton::clicked, this, &TVersionBox::UpdateChkBtnClick);
  connect(Timer1, &QTimer::timeout, this, &TVersionBox::Timer1Timer);
  connect(Image1, &VersionPicture::pointerEntered, this, [this] { animation_.PointerEntered(); });
  connect(Image1, &VersionPicture::pressed, this, [this] { animation_.Pressed(); });
}

TVersionBox::~TVersionBox() = default;

void TVersionBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Label4->adjustSize();
  Label4->move(kPanelWidth - kLinkRightMargin - Label4->width(), Label4->y());
  Label3->adjustSize();
  Timer1Timer();
  Timer1->start();
}

void TVersionBox::hideEvent(QHideEvent* event) {
  Timer1->stop();
  QDialog::hideEvent(event);
}

bool TVersionBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel1 && event->type() == QEvent::MouseMove) {
    animation_.PanelPointerMoved();
  } else if (watched == Label4 && event->type() == QEvent::MouseButtonRelease &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Label4Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TVersionBox::Timer1Timer() {
  VersionAnimation::Step step = animation_.Next(services_.random);
  Image1->SetCanvas(DrawAnimationFrame(Image2, step.frame, settings_.panelColor));
  QPoint at = Image1->pos();
  if (step.moved) at = imageHome_ + QPoint(step.dx, step.dy);
  Image1->setGeometry(at.x(), at.y(), step.size, step.size);
}

void TVersionBox::Label4Click() {
  // The maker's home page is the site the update check asks.
  if (!settings_.baseAddress.empty()) services_.openAddress(Q(settings_.baseAddress));
}

MsgResult TVersionBox::Say(const std::string& text, const std::string& caption, MsgButtons buttons,
                           MsgIcon icon) {
  MsgResult fallback = buttons == MsgButtons::kYesNo ? MsgResult::kNo : MsgResult::kOk;
  return services_.messages->Show(text, caption, buttons, icon, fallback);
}

void TVersionBox::reject() {
  if (!idle_ || checking_) {
    // Closed while the site is asked: stop that first, close when it has ended.
    closeWhenIdle_ = true;
    if (!idle_) idle_ = true;
    client_.RequestAbort();
    return;
  }
  QDialog::reject();
}

void TVersionBox::accept() {
  if (!idle_ || checking_) return;  // OK is hidden then; Enter does nothing
  QDialog::accept();
}

void TVersionBox::UpdateChkBtnClick() {
  if (!idle_) {  // the button reads "中止": stop the download
    idle_ = true;
    client_.RequestAbort();
    return;
  }
  if (checking_) return;
  const std::string& title = settings_.applicationTitle;
  if (!IsUsableBaseAddress(settings_.baseAddress)) {
    Say(kNoConnectionText, title, MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  checking_ = true;
  std::optional<QByteArray> page = client_.FetchPage(
      QUrl(Q(PageAddress(settings_.baseAddress, settings_.updateFolderName, settings_.pageFile))));
  checking_ = false;
  if (closeWhenIdle_) {
    QDialog::reject();
    return;
  }
  std::optional<std::string> text;
  if (page) text = page->toStdString();
  UpdateDecision decision =
      DecideUpdate(text, settings_.updateName, settings_.verStr, settings_.noChkDownLoad);
  switch (decision.outcome) {
    case UpdateOutcome::kNoConnection:
      Say(kNoConnectionText, title, MsgButtons::kOk, MsgIcon::kError);
      return;
    case UpdateOutcome::kNoUpdateFile:
      Say(kNoUpdateFileText, title);
      return;
    case UpdateOutcome::kUpToDate:
      Say(kUpToDateText, title);
      return;
    case UpdateOutcome::kOfferDownload:
      break;
  }
  updateFileName_ = decision.archiveName;
  if (Say(OfferText(updateFileName_), kOfferCaption, MsgButtons::kYesNo, MsgIcon::kQuestion) !=
      MsgResult::kYes) {
    return;
  }
  QString folder = services_.chooseFolder(this, QString::fromUtf8(kChooseFolderTitle));
  if (folder.isEmpty()) return;
  RunDownload(updateFileName_, folder);
  if (closeWhenIdle_) QDialog::reject();
}

void TVersionBox::SetDownloadingLook(bool downloading, std::int64_t chunks) {
  if (downloading) {
    ColorProgressBar1->SetMax(static_cast<std::uint64_t>(chunks));
    ColorProgressBar1->SetPosition(0);
    ColorProgressBar1->show();
    OKButton->hide();
    UpdateChkBtn->setText(QStringLiteral("中止"));
  } else {
    ColorProgressBar1->hide();
    UpdateChkBtn->setText(QStringLiteral("Update"));
    OKButton->show();
  }
}

void TVersionBox::RunDownload(const std::string& archiveName, const QString& folder) {
  const std::string& title = settings_.applicationTitle;
  QString path = QDir(folder).filePath(Q(archiveName));
  QUrl address(Q(ArchiveAddress(settings_.baseAddress, settings_.updateDownFolder, archiveName)));

  UpdateClient::Progress progress;
  progress.started = [this](std::int64_t chunks) {
    SetDownloadingLook(true, chunks);
    idle_ = false;
  };
  progress.stepped = [this] { ColorProgressBar1->StepBy(1); };

  checking_ = true;  // until the download shows its abort button, clicks wait
  UpdateClient::DownloadResult result = client_.Download(address, path, progress);
  checking_ = false;
  SetDownloadingLook(false);
  idle_ = true;

  switch (result) {
    case UpdateClient::DownloadResult::kDone:
      services_.openFolder(folder);
      break;
    case UpdateClient::DownloadResult::kAborted:
      Say(kDownloadAbortedText, title);
      break;
    case UpdateClient::DownloadResult::kNoLength:
      break;
    case UpdateClient::DownloadResult::kReadError:
    case UpdateClient::DownloadResult::kFileError:
      Say(kDownloadErrorText, title, MsgButtons::kOk, MsgIcon::kError);
      break;
  }
}

}  // namespace glyphwell::about
