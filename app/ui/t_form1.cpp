#include "app/ui/t_form1.h"
#include "app/ui/window_switch.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "about/t_about_dialog.h"
#include "app/file_row_colours.h"
#include "app/preview_painting.h"
#include "app/status_panel_drawing.h"
#include "app/ui/bitmap_image.h"
#include "app/ui/grid_cell_painter.h"
#include "dialogs/t_ok_bottom_dlg.h"
#include "dialogs/t_option_dlg.h"

namespace glyphwell::app::ui {

namespace {

using extract::ExtractionMode;
using imaging::Depth;
using imaging::OutputType;
using imaging::SizeChoice;

constexpr const char* kNotYet = "この機能は準備中です";  // the feature is not ready yet
// A double-clicked file that no program of the desktop opens.
constexpr const char* kNothingOpensIt = "このファイルを開くプログラムが見つかりません。";
constexpr const char* kOpenFilters =
    "アイコン取得ファイル(exe,dll,ocx,ico,icl,cur,cpl,drv) (*.exe *.dll *.ico *.ocx *.cur *.cpl "
    "*.drv *.icl);;アイコン作成ファイル（bmp,jpg,png.wmf） (*.bmp *.jpg *.jpeg *.png "
    "*.wmf);;全てのファイル（All Files） (*)";

QColor ToQColor(imaging::ColourValue c) {
  return QColor(imaging::RedOf(c), imaging::GreenOf(c), imaging::BlueOf(c));
}

// "desc|*.a;*.b|..." as Qt's "desc (*.a *.b);;...".
QStringList QtFilters(const char* filter) {
  const QStringList parts = QString::fromUtf8(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(';', ' ');
    if (pattern == "*.*") pattern = "*";
    out << parts[i] + " (" + pattern + ")";
  }
  return out;
}

// The 1-based number of the chosen filter. A dialog that hides the patterns names
// the filter by its caption alone.
int FilterNumber(const QStringList& filters, const QString& chosen) {
  for (qsizetype i = 0; i < filters.size(); ++i)
    if (filters[i] == chosen || filters[i].startsWith(chosen + " ("))
      return static_cast<int>(i) + 1;
  return 0;
}

// Puts the drawn cells on the grid: each entry's cell (picture, tint and label come
// from the model's drawing) at the top of its place, centred across it.
class GridDelegate final : public QStyledItemDelegate {
 public:
  explicit GridDelegate(TForm1* form) : QStyledItemDelegate(form), form_(form) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QImage cell = form_->CellImage(index.row(), selected);
    if (cell.isNull()) return;
    p->drawImage(option.rect.left() + (option.rect.width() - cell.width()) / 2, option.rect.top(),
                 cell);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(form_->gridCell().width, form_->gridCell().height);
  }

 private:
  TForm1* form_;
};

class BarProgress final : public output::SaveProgress {
 public:
  BarProgress(TForm1& form, bool& cancel) : form_(form), cancel_(cancel) {}
  void Begin(int total) override {
    cancel_ = false;
    form_.ProgressBar1->SetMax(static_cast<std::uint64_t>(std::max(total, 1)));
    form_.ProgressBar1->SetPosition(0);
    form_.ProgressBar1->show();
    form_.SpeedButton13->setChecked(false);
    form_.SpeedButton13->show();
  }
  void Step() override {
    form_.ProgressBar1->StepIt();
    QApplication::processEvents();
  }
  bool cancelled() const override { return cancel_ || form_.SpeedButton13->isChecked(); }
  void End() override {
    form_.ProgressBar1->SetPosition(0);
    form_.ProgressBar1->hide();
    form_.SpeedButton13->hide();
  }

 private:
  TForm1& form_;
  bool& cancel_;
};

// Hints are "short|long": the tooltip shows the short part, and status panel 1 the
// long one while the mouse is over the control. Watches the whole application, so
// it is a separate object from the window's own filter.
class HintFilter final : public QObject {
 public:
  explicit HintFilter(TForm1* form) : QObject(form), form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip && event->type() != QEvent::Enter) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != form_ || widget->toolTip().isEmpty()) return false;
    const QString hint = widget->toolTip();
    const qsizetype bar = hint.indexOf('|');
    if (event->type() == QEvent::Enter) {
      form_->SetStatusPanel(1, bar >= 0 ? hint.mid(bar + 1) : hint);
      return false;
    }
    if (bar < 0) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), hint.left(bar), widget);
    return true;
  }

 private:
  TForm1* form_;
};

QToolButton* Button(QWidget* parent, const char* caption, const char* hint) {
  auto* b = new QToolButton(parent);
  b->setText(QString::fromUtf8(caption));
  if (hint) b->setToolTip(QString::fromUtf8(hint));
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return b;
}

void NotReady(QWidget* w) {
  w->setEnabled(false);
  w->setToolTip(QString::fromUtf8(kNotYet));
}

}  // namespace

TForm1::TForm1(AppEnvironment& env, platform::MessageSink& messages, QWidget* parent)
    : QMainWindow(parent), env_(env), messages_(messages) {
  model_ = std::make_unique<MainModel>(messages_, env_.workFolder(),
                                       env_.display().workingBitsPerPixel, env_.pelmora());
  setWindowTitle(QString::fromUtf8(env_.title().c_str()));
  resize(990, 591);
  setMinimumSize(796, 511);
  // Centred on the desktop, its top left kept on screen when the desktop is smaller.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desk = screen->availableGeometry();
    move(std::max(desk.left(), desk.center().x() - width() / 2),
         std::max(desk.top(), desk.center().y() - height() / 2));
  }
  setAcceptDrops(true);

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 0);
  outer->setSpacing(4);
  setCentralWidget(central);
  BuildTopBar(central);
  BuildCentre(central);
  BuildBottom(central);
  BuildMenus();
  BuildSearch();
  // A menu item's hint goes to status panel 1 while the item is highlighted, as the
  // controls' hints do; an item without a hint of its own empties the panel.
  for (QMenu* menu : {PopupMenu1, PopupMenu2, N10}) {
    connect(menu, &QMenu::hovered, this, [this](QAction* item) {
      QString caption = item->text();
      caption.remove('&');
      const QString hint = item->toolTip() == caption ? QString() : item->toolTip();
      const qsizetype bar = hint.indexOf('|');
      SetStatusPanel(1, bar >= 0 ? hint.mid(bar + 1) : hint);
    });
  }

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer1->start();
  Timer2 = new QTimer(this);
  Timer2->setSingleShot(true);
  Timer2->setInterval(50);
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);

  model_->UseRememberedPaths(env_.folders().rememberedPathsFile());
  ChooseOpenFiles = [this](bool multi) {
    const QString start =
        QString::fromStdString(multi ? fileListOpenStart_ : model_->OpenDialogStart());
    // The filters show their captions as written; the patterns are already in them.
    const auto details = QFileDialog::HideNameFilterDetails;
    if (multi)
      return QFileDialog::getOpenFileNames(this, Tr("ファイルを開く"), start, Tr(kOpenFilters),
                                           nullptr, details);
    const QString one = QFileDialog::getOpenFileName(this, Tr("ファイルを開く"), start,
                                                     Tr(kOpenFilters), nullptr, details);
    return one.isEmpty() ? QStringList() : QStringList{one};
  };
  ChooseSaveFile =
      [this](const output::SaveProposal& proposal) -> std::optional<output::SaveChoice> {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = QtFilters(output::kSaveDialogFilter);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(proposal.filterIndex - 1));
    dialog.setDefaultSuffix(QString::fromStdString(proposal.defaultExtension));
    dialog.setDirectory(QString::fromStdString(proposal.folder));
    dialog.selectFile(QString::fromStdString(proposal.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return output::SaveChoice{dialog.selectedFiles().front().toStdString(),
                              FilterNumber(filters, dialog.selectedNameFilter())};
  };
  AskConditions =
      [this](const output::MatchConditions& last) -> std::optional<output::MatchConditions> {
    dialogs::CriteriaHistories histories{env_.settings().seldt1, env_.settings().seldt2,
                                         env_.settings().seldt3};
    dialogs::TOKBottomDlg dialog(Tr("抽出"), this, histories);
    dialog.SetTexts(QString::fromStdString(last.width), QString::fromStdString(last.height),
                    QString::fromStdString(last.bits));
    const bool ok = dialog.exec() == QDialog::Accepted;
    env_.settings().seldt1 = histories.width;
    env_.settings().seldt2 = histories.height;
    env_.settings().seldt3 = histories.bits;
    if (!ok) return std::nullopt;
    return output::MatchConditions{dialog.WidthText().toStdString(),
                                   dialog.HeightText().toStdString(),
                                   dialog.BitsText().toStdString()};
  };

  AboutDialog1 = new about::TAboutDialog(this);
  about::ConfigureForMainWindow(*AboutDialog1, env_.settings().updurl);
  RunOptionDialog = [](QDialog& dialog) { return dialog.exec(); };
  OpenDocument = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  ReadSettings();
  // FormShow's choices: the system icon size, 256 PNG colours, base size 32.
  SizeItems[2]->setChecked(true);
  built_ = true;
  qApp->installEventFilter(new HintFilter(this));
  RefreshSaveControls();
  RefreshPreview();
}

TForm1::~TForm1() {
  // The icon worker hands over its last icons while it stops; that has to happen while
  // the rows and the icon cache still exist, not in the members' own teardown.
  StopIconUpdate();
}

// ---- layout ----

void TForm1::BuildTopBar(QWidget* parent) {
  auto* bar = new QHBoxLayout();
  OpenSpBtn = Button(parent, "開く", "Open|ファイルを開く");
  SpeedButton3 = Button(parent, "ヘルプ", nullptr);
  SpeedButton5 = Button(parent, "バージョン", nullptr);
  SpeedButton6 = Button(parent, "終了", nullptr);
  StaticText2 = new QLabel(parent);
  StaticText2->setFrameShape(QFrame::Panel);
  StaticText2->setFrameShadow(QFrame::Sunken);
  StaticText2->setMinimumWidth(120);
  StaticText2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  if (!env_.display().lowDepth) {
    const auto c = env_.display().backgrounds[0];
    StaticText2->setStyleSheet(QString("background:rgb(%1,%2,%3);color:blue")
                                   .arg(c & 0xFF)
                                   .arg((c >> 8) & 0xFF)
                                   .arg((c >> 16) & 0xFF));
  }
  ProgressBar1 = new controls::TColorProgressBar(parent);
  ProgressBar1->setFixedSize(160, 18);
  ProgressBar1->hide();
  SpeedButton13 = Button(parent, "中止", nullptr);
  SpeedButton13->setCheckable(true);
  SpeedButton13->hide();
  StaticText1 = new QLabel(QStringLiteral("0"), parent);
  StaticText1->setMinimumWidth(48);
  StaticText1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SpeedButton8 = Button(parent, "クリア", "削除|全てのリストを削除する");
  for (QWidget* w : std::initializer_list<QWidget*>{OpenSpBtn, SpeedButton3, SpeedButton5,
                                                    SpeedButton6, StaticText2, ProgressBar1,
                                                    SpeedButton13, StaticText1, SpeedButton8})
    bar->addWidget(w);
  static_cast<QVBoxLayout*>(parent->layout())->addLayout(bar);

  connect(OpenSpBtn, &QToolButton::clicked, this, &TForm1::OpenSpBtnClick);
  connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
  connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
  connect(SpeedButton6, &QToolButton::clicked, this, &QWidget::close);
  connect(SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
  connect(SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, &TForm1::SpeedButton3Click);
}

void TForm1::BuildCentre(QWidget* parent) {
  auto* row = new QHBoxLayout();
  // The image grid and its controls.
  auto* centre = new QVBoxLayout();
  ListView2 = new QListWidget(parent);
  ListView2->setViewMode(QListView::IconMode);
  ListView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView2->setResizeMode(QListView::Adjust);
  ListView2->setMovement(QListView::Static);
  ListView2->setUniformItemSizes(true);
  ListView2->setItemDelegate(new GridDelegate(this));
  ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
  ListView2->setAcceptDrops(false);
  ListView2->viewport()->installEventFilter(this);
  ListView2->installEventFilter(this);
  ListView2->viewport()->setMouseTracking(true);
  // The labels use the small font the cells were designed for: "48×48" fits a
  // 36-pixel cell.
  QFont gridFont = ListView2->font();
  gridFont.setPixelSize(9);
  ListView2->setFont(gridFont);
  centre->addWidget(ListView2, 1);

  auto* under = new QHBoxLayout();
  SizeSetTrackBar = new controls::TNewTrackBar(parent);
  SizeSetTrackBar->setOrientation(Qt::Horizontal);
  SizeSetTrackBar->setRange(10, 100);
  SizeSetTrackBar->setValue(10);
  SizeSetTrackBar->setToolTip(Tr("拡大"));
  SizeSetTrackBar->setMinimumWidth(120);
  SystemChkBox = Switch(parent, "System", "システム属性|この属性のファイルも検索に含める");
  HideChkBox = Switch(parent, "Hide", "隠し属性|この属性のファイルも検索に含める");
  ComboBox2 = new QComboBox(parent);
  for (int s : {16, 32, 48, 64, 96, 128})
    ComboBox2->addItem(QString::number(s));
  ComboBox2->setCurrentText("32");
  GrpEditerSpBtn = Button(parent, "編集", nullptr);
  SpeedButton10 = Button(parent, "Multi", nullptr);
  SpeedButton9 = Button(parent, "User", "User|ユーザーサイズの設定");
  SpeedButton4 = Button(parent, "Option", nullptr);
  NotReady(GrpEditerSpBtn);
  NotReady(SpeedButton10);
  SpeedButton4->setToolTip(Tr("Option|アイコンの設定"));
  AllIconChkBox = Switch(parent, "Icon", nullptr, true);
  BmpAllChkBox = Switch(parent, "Bmp", nullptr);
  NewCheckBox3 = Switch(parent, "更新", "更新スイッチ|モードの切り換えでリストを更新する", true);
  OnOffSwitch(NewCheckBox3, 0x81CFFE, 20);
  CheckBox7 = Switch(parent, "抽出名", nullptr);
  under->addWidget(SizeSetTrackBar, 1);
  for (QWidget* w :
       std::initializer_list<QWidget*>{SystemChkBox, HideChkBox, ComboBox2, GrpEditerSpBtn,
                                       SpeedButton10, SpeedButton9, SpeedButton4})
    under->addWidget(w);
  centre->addLayout(under);
  row->addLayout(centre, 3);

  // The file list and the search controls.
  auto* right = new QVBoxLayout();
  ListView1 = new QTreeWidget(parent);
  ListView1->setColumnCount(3);
  ListView1->setHeaderLabels({Tr("ファイル名"), "ext", Tr("数")});
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  ListView1->header()->setSectionsClickable(true);
  ListView1->header()->setSortIndicatorShown(false);
  ListView1->setColumnWidth(0, 150);
  ListView1->setColumnWidth(1, 40);
  ListView1->setAcceptDrops(false);
  ListView1->viewport()->installEventFilter(this);
  ListView1->installEventFilter(this);
  right->addWidget(ListView1, 1);
  auto* search = new QHBoxLayout();
  SearchSpBtn = Button(parent, "参照", nullptr);
  SystemSpBtn = Button(parent, "System", nullptr);
  RefreshSpBtn = Button(parent, "更新", nullptr);
  FavoriteSpBtn = Button(parent, "お気に入り", nullptr);
  UpDown1 = new QSpinBox(parent);
  UpDown1->setRange(1, 100);
  CheckBox2 = Switch(parent, "リストサーチ", nullptr);
  for (QWidget* w : std::initializer_list<QWidget*>{SearchSpBtn, SystemSpBtn, RefreshSpBtn,
                                                    FavoriteSpBtn, UpDown1, CheckBox2}) {
    search->addWidget(w);
  }
  right->addLayout(search);
  // The extraction mode boxes sit under the file list.
  auto* modes = new QHBoxLayout();
  for (QWidget* w :
       std::initializer_list<QWidget*>{AllIconChkBox, BmpAllChkBox, NewCheckBox3, CheckBox7})
    modes->addWidget(w);
  modes->addStretch();
  right->addLayout(modes);
  row->addLayout(right, 2);
  static_cast<QVBoxLayout*>(parent->layout())->addLayout(row, 1);

  connect(ListView2, &QListWidget::itemSelectionChanged, this, &TForm1::SyncSelectionFromGrid);
  connect(ListView2, &QListWidget::itemClicked, this, &TForm1::ListView2Click);
  connect(ListView2, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu1Popup();
    PopupMenu1->popup(ListView2->viewport()->mapToGlobal(p));
  });
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu2Popup();
    PopupMenu2->popup(ListView1->viewport()->mapToGlobal(p));
  });
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TForm1::ListView1DblClick);
  connect(ListView1->header(), &QHeaderView::sectionClicked, this, &TForm1::ListView1ColumnClick);
  connect(AllIconChkBox, &controls::TNewCheckBox::clicked, this, [this] { ModeChkBoxClick(true); });
  connect(BmpAllChkBox, &controls::TNewCheckBox::clicked, this, [this] { ModeChkBoxClick(false); });
  connect(CheckBox7, &controls::TNewCheckBox::clicked, this, &TForm1::CheckBox7Click);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox2Change);
  connect(SizeSetTrackBar, &QSlider::sliderReleased, this, &TForm1::SizeSetTrackBarRelease);
  connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
  connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
}

void TForm1::BuildBottom(QWidget* parent) {
  auto* row = new QHBoxLayout();
  // The preview box sits in a gray panel with a three-pixel margin.
  auto* previewPanel = new QWidget(parent);
  previewPanel->setFixedSize(kPreviewBoxWidth + 2 * kPreviewBoxLeft,
                             kPreviewBoxHeight + 2 * kPreviewBoxTop);
  previewPanel->setAutoFillBackground(true);
  QPalette panelColours = previewPanel->palette();
  panelColours.setColor(QPalette::Window, ToQColor(kPreviewPanelColour));
  previewPanel->setPalette(panelColours);
  PaintBox1 = new QWidget(previewPanel);
  PaintBox1->setGeometry(kPreviewBoxLeft, kPreviewBoxTop, kPreviewBoxWidth, kPreviewBoxHeight);
  PaintBox1->installEventFilter(this);
  row->addWidget(previewPanel, 0, Qt::AlignTop);

  SizeRadioGroup = new QGroupBox(Tr("表示と保存サイズ"), parent);
  auto* sizes = new QVBoxLayout(SizeRadioGroup);
  sizes->setSpacing(0);
  for (const char* caption : {"16×16", "24×24", "32×32", "48×48", "User", "Original"}) {
    auto* item = new QRadioButton(Tr(caption), SizeRadioGroup);
    const int n = static_cast<int>(SizeItems.size());
    connect(item, &QRadioButton::clicked, this, [this, n] { SizeRadioGroupClick(n); });
    SizeItems.push_back(item);
    sizes->addWidget(item);
  }
  row->addWidget(SizeRadioGroup);

  auto* types = new QVBoxLayout();
  TypeComBox = new QComboBox(parent);
  TypeComBox->addItems({"Bmp", "Jepg", "Png"});
  if (model_->iconFormatAvailable()) TypeComBox->addItem("Icon");
  TypeComBox->setToolTip(Tr("保存形式"));
  BitTypeComBox = new QComboBox(parent);
  BitTypeComBox->addItems({"32bit", "24bit", Tr("256色"), Tr("16色"), Tr("2色")});
  PngColComBox = new QComboBox(parent);
  for (int n = 32; n <= 256; n += 32)
    PngColComBox->addItem(QString::number(n));
  PngColComBox->addItem(Tr("他"));
  PngColComBox->setCurrentText("256");
  PngColEdit = new QSpinBox(parent);
  PngColEdit->setRange(8, 256);
  PngColEdit->setValue(32);
  for (QWidget* w :
       std::initializer_list<QWidget*>{TypeComBox, BitTypeComBox, PngColComBox, PngColEdit})
    types->addWidget(w);
  types->addStretch();
  row->addLayout(types);

  auto* grid = new QGridLayout();
  ColorOriChkBox =
      Switch(parent, "Original", "オリジナルビットカラー|色数は抽出画像のビット値を使用");
  OptimizeChkBox = Switch(parent, "最適化", "最適化パレット|最適化したパレットを使用する", true);
  HoseiChkBox = Switch(parent, "補正", "アイコン補正|マスクでイメージの不要な部分を除く");
  OnOffSwitch(OptimizeChkBox, 0x81CFFE);
  OnOffSwitch(HoseiChkBox, 0x95CFE8);
  GrayChkBox = Switch(parent, "Gray", "モノクロ|画像をモノクロに変換");
  ToukaChkBox =
      Switch(parent, "透過色の追加", "16色への減色で透過色の黒(0)をパレットに追加(256色でも有効)");
  BokashiChkBox = Switch(parent, "ぼかし", "ラインでサンプリング");
  BokashiChkBox2 = Switch(parent, "ぼかしⅡ", "2次元でサンプリング");
  Mode2ChkBox = Switch(parent, "mode2", "減色モード");
  MaskChkBox = Switch(parent, "Mask", "マスクを使って保存", true);
  LargeChkBox = Switch(parent, "拡大", nullptr);
  const std::vector<controls::TNewCheckBox*> switches = {
      ColorOriChkBox, OptimizeChkBox, HoseiChkBox, GrayChkBox, ToukaChkBox,
      BokashiChkBox,  BokashiChkBox2, Mode2ChkBox, MaskChkBox, LargeChkBox};
  for (std::size_t i = 0; i < switches.size(); ++i) {
    grid->addWidget(switches[i], static_cast<int>(i % 4), static_cast<int>(i / 4));
    if (switches[i] != ColorOriChkBox)
      connect(switches[i], &controls::TNewCheckBox::clicked, this, &TForm1::SwitchClick);
  }
  if (env_.display().lowDepth) {
    HoseiChkBox->SetColorCheck(static_cast<controls::TColor>(env_.display().switchCheckColour));
    OptimizeChkBox->SetColorCheck(static_cast<controls::TColor>(env_.display().switchCheckColour));
  }
  connect(ColorOriChkBox, &controls::TNewCheckBox::clicked, this, &TForm1::ColorOriChkBoxClick);
  row->addLayout(grid);

  Panel3 = new QWidget(parent);
  auto* user = new QVBoxLayout(Panel3);
  UpDown2 = new QSpinBox(Panel3);
  UpDown3 = new QSpinBox(Panel3);
  UpDown2->setRange(16, 256);
  UpDown3->setRange(16, 256);
  UpDown2->setPrefix(Tr("幅 "));
  UpDown3->setPrefix(Tr("高さ "));
  LinkChkBox = Switch(Panel3, "連動", nullptr, true);
  user->addWidget(UpDown2);
  user->addWidget(UpDown3);
  user->addWidget(LinkChkBox);
  Panel3->hide();
  row->addWidget(Panel3);

  row->addStretch();
  SaveSwBtn = new controls::TSwitchButton(parent);
  SaveSwBtn->SetCaption(Tr("保存"));
  SaveSwBtn->setToolTip(Tr("Save|現在選択しているアイコンを保存します。"));
  SaveSwBtn->setFixedSize(96, 48);
  SaveSwBtn->setEnabled(false);
  row->addWidget(SaveSwBtn, 0, Qt::AlignBottom);
  static_cast<QVBoxLayout*>(parent->layout())->addLayout(row);

  StatusPanel0 = new StatusPanel(kStatusFolderPanelWidth, statusBar());
  StatusPanel1 = new StatusPanel(0, statusBar());
  StatusPanel1->setToolTip(Tr("ヒント"));
  statusBar()->addWidget(StatusPanel0);
  statusBar()->addWidget(StatusPanel1, 1);
  SetStatusPanel(0, QString());

  connect(TypeComBox, &QComboBox::currentIndexChanged, this, &TForm1::TypeComBoxChange);
  connect(BitTypeComBox, &QComboBox::currentIndexChanged, this, &TForm1::BitTypeComBoxChange);
  connect(PngColComBox, &QComboBox::currentIndexChanged, this, &TForm1::SwitchClick);
  connect(PngColEdit, &QSpinBox::valueChanged, this, &TForm1::SwitchClick);
  connect(UpDown2, &QSpinBox::valueChanged, this, &TForm1::UserSizeChange);
  connect(UpDown3, &QSpinBox::valueChanged, this, &TForm1::UserSizeChange);
  connect(SaveSwBtn, &controls::TSwitchButton::clicked, this, &TForm1::SaveSwBtnClick);
}

void TForm1::BuildMenus() {
  PopupMenu1 = new QMenu(this);
  Edit4 = PopupMenu1->addAction(Tr("編集(&E)"));
  Edit4->setEnabled(false);
  Edit4->setToolTip(Tr(kNotYet));
  Copy2 = PopupMenu1->addAction(Tr("コピー"), this, [this] { Copy2Click(false); });
  Copy3 = PopupMenu1->addAction(Tr("コピー（実サイズ）"), this, [this] { Copy2Click(true); });
  Paste1 = PopupMenu1->addAction(Tr("貼り付け(&P)"), this, &TForm1::Paste1Click);
  AllSelectMenu = PopupMenu1->addAction(Tr("全て選択(&A)"), this, &TForm1::AllSelectMenuClick);
  PopupMenu1->addSeparator();
  List2 = PopupMenu1->addAction(Tr("ファイルリストの一覧"));
  N13 = PopupMenu1->addAction(Tr("条件と一致するアイコンの保存"), this, &TForm1::N13Click);
  N4 = PopupMenu1->addAction(Tr("アイコンの表示間隔を詰める"), this, &TForm1::N4Click);
  N4->setCheckable(true);
  N11 = PopupMenu1->addAction(Tr("作業フォルダの変更"), this, [this] {
    const QString folder =
        ChooseFolder(Tr("新しい作業フォルダを指定"), QString::fromStdString(env_.workFolder()));
    if (folder.isEmpty()) return;
    env_.ChangeWorkFolder(folder.toStdString());
    // The pipeline's temporary files follow the new folder at once.
    model_->SetWorkFolder(env_.workFolder());
    N11->setToolTip(QString::fromStdString(env_.workFolder()));
  });
  N11->setToolTip(QString::fromStdString(env_.workFolder()));
  PopupMenu1->setToolTipsVisible(true);

  PopupMenu2 = new QMenu(this);
  Open1 = PopupMenu2->addAction(Tr("開く"), this, &TForm1::Open1Click);
  Open1->setToolTip(Tr("リストに追加する"));
  Copy1 = PopupMenu2->addAction(Tr("コピー(&C)"), this, &TForm1::Copy1Click);
  Paste2 = PopupMenu2->addAction(Tr("貼り付け(&P)"), this, &TForm1::Paste2Click);
  Paste2->setToolTip(Tr("リストに貼り付ける"));
  Delete1 = PopupMenu2->addAction(Tr("削除(&D)"), this, &TForm1::Delete1Click);
  Delete1->setToolTip(Tr("リストから削除する"));
  List1 = PopupMenu2->addAction(List2->text());
  AllSelMenu = PopupMenu2->addAction(Tr("全て選択(&A)"), this, &TForm1::AllSelMenuClick);
  N3 = PopupMenu2->addAction(Tr("選択の切り替え(&I)"), this, &TForm1::N3Click);
  PopupMenu2->setToolTipsVisible(true);
}

// ---- settings ----

void TForm1::ReadSettings() {
  const platform::Settings& s = env_.settings();
  {
    // Restored as they were saved: the "連動" link must not copy one into the other.
    QSignalBlocker b2(UpDown2), b3(UpDown3);
    UpDown2->setValue(s.us_w);
    UpDown3->setValue(s.us_h);
  }
  N4->setChecked(s.haichi);
  model_->iconOptions = {s.png256, s.pngfrg, s.pngsv};
  model_->settings().userWidth = s.us_w;
  model_->settings().userHeight = s.us_h;
  TypeComBox->setCurrentIndex(static_cast<int>(model_->settings().outputType));
  BitTypeComBox->setCurrentIndex(static_cast<int>(model_->settings().depth));
}

void TForm1::FormClose() {
  if (closed_) return;
  closed_ = true;
  SearchFormClose();
  Timer1->stop();
  platform::Settings& s = env_.settings();
  s.us_w = UpDown2->value();
  s.us_h = UpDown3->value();
  s.haichi = N4->isChecked();
  s.png256 = model_->iconOptions.png256;
  s.pngfrg = model_->iconOptions.pngfrg;
  s.pngsv = model_->iconOptions.pngsv;
  env_.Close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

// Every switch of the lower panel into the model's settings.
void TForm1::ReadControls() {
  imaging::ConversionSettings& s = model_->settings();
  s.optimizedPalette = OptimizeChkBox->Checked();
  s.correction = HoseiChkBox->Checked();
  s.gray = GrayChkBox->Checked();
  s.transparencyColour = ToukaChkBox->Checked();
  s.blur1 = BokashiChkBox->Checked();
  s.blur2 = BokashiChkBox2->Checked();
  s.mode2 = Mode2ChkBox->Checked();
  s.mask = MaskChkBox->Checked();
  s.userWidth = UpDown2->value();
  s.userHeight = UpDown3->value();
  const bool other = PngColComBox->currentIndex() == PngColComBox->count() - 1;
  s.pngColourCount = other ? PngColEdit->value() : 32 * (PngColComBox->currentIndex() + 1);
  model_->enlarge = LargeChkBox->Checked();
}

// ---- showing the model ----

void TForm1::SetStatusPanel(int panel, const QString& text) {
  if (panel == 0) {
    StatusPanel0->SetText(text);
    StatusPanel0->setToolTip(Tr("検索ディレクトリ|") + text);
  } else {
    StatusPanel1->SetText(text);
  }
}

void TForm1::RefreshGrid() {
  cells_.clear();
  selectedCells_.clear();
  if (const auto layout = model_->GridLayout(SizeSetTrackBar->value(), ListView2->width()))
    gridCell_ = layout->cell;
  // The packed layout advances by the cell width + 20 and the cell height + one
  // label line; the usual one leaves the list view's wider icon spacing.
  const int labelLine = ListView2->fontMetrics().height();
  const QSize place = N4->isChecked()
                          ? QSize(gridCell_.width + 20, gridCell_.height + labelLine)
                          : QSize(gridCell_.width + 36, gridCell_.height + labelLine + 12);
  ListView2->setSpacing(0);
  ListView2->setGridSize(place);
  QSignalBlocker block(ListView2);
  ListView2->clear();
  const auto& images = model_->listing().images();
  for (std::size_t i = 0; i < images.size(); ++i) {
    auto* item = new QListWidgetItem(QString::fromStdString(images[i].entry.label), ListView2);
    item->setSelected(i < model_->selection().size() && model_->selection()[i]);
  }
  ListView2->setToolTip(QString::fromStdString(model_->GridHint()));
}

void TForm1::RefreshRows() {
  QSignalBlocker block(ListView1);
  ListView1->clear();
  for (const FileRow& row : model_->rows()) {
    auto* item = new QTreeWidgetItem(
        ListView1, {QString::fromStdString(row.name), QString::fromStdString(row.ext),
                    QString::number(row.count)});
    item->setData(0, Qt::UserRole, QString::fromStdString(row.path));
    item->setTextAlignment(2, Qt::AlignRight);
    const FileRowColours colours = RowColours(
        row.ext, model_->mode() == ExtractionMode::kBmp, env_.display().screenBitsPerPixel,
        QFileInfo::exists(item->data(0, Qt::UserRole).toString()));
    for (int column = 0; column < ListView1->columnCount(); ++column) {
      if (colours.background) item->setBackground(column, ToQColor(*colours.background));
      if (colours.text) item->setForeground(column, ToQColor(*colours.text));
    }
  }
  StaticText1->setText(QString::number(model_->rows().size()));
}

void TForm1::RefreshSaveControls() {
  const MainModel& m = *model_;
  const auto& s = m.settings();
  {
    QSignalBlocker b1(TypeComBox), b2(BitTypeComBox);
    TypeComBox->setCurrentIndex(static_cast<int>(s.outputType));
    BitTypeComBox->setCurrentIndex(static_cast<int>(s.depth));
  }
  BitTypeComBox->setEnabled(m.DepthListEnabled());
  BitTypeComBox->setToolTip(QString::fromStdString(m.DepthHint()));
  ColorOriChkBox->SetChecked(s.keepSourceDepth);
  ColorOriChkBox->setEnabled(m.OriginalColoursEnabled());
  SizeItems[5]->setVisible(m.OriginalSizeOffered());
  if (!m.OriginalSizeOffered() && SizeItems[5]->isChecked()) SizeItems[2]->setChecked(true);
  SizeItems[4]->setText(s.sizeChoice == SizeChoice::User
                            ? QString("%1×%2").arg(UpDown2->value()).arg(UpDown3->value())
                            : QStringLiteral("User"));
  SizeRadioGroup->setToolTip(s.sizeChoice == SizeChoice::Original
                                 ? Tr("実サイズ|抽出画像のサイズ")
                                 : SizeItems[static_cast<std::size_t>(s.sizeChoice)]->text());
  MaskChkBox->setEnabled(s.outputType != OutputType::Icon);
  const bool pngList = s.outputType == OutputType::Png && s.depth == Depth::Colours256;
  PngColComBox->setVisible(pngList);
  PngColEdit->setVisible(pngList && PngColComBox->currentIndex() == PngColComBox->count() - 1);
  SaveSwBtn->setEnabled(m.SaveEnabled());
}

void TForm1::RefreshPreview() {
  ReadControls();
  model_->RebuildPreview();
  PaintBox1->update();
}

QImage TForm1::CellImage(int row, bool selected) {
  QHash<int, QImage>& cache = selected ? selectedCells_ : cells_;
  auto it = cache.find(row);
  if (it != cache.end()) return *it;
  MainModel::CellLook look;
  look.width = gridCell_.width;
  look.height = gridCell_.height;
  look.cellWidth = gridCell_.width;
  look.selected = selected;
  look.lineHeight = GridLineHeight(ListView2->font());
  look.baseSize = ComboBox2->currentText().toInt();
  look.displayBits = env_.display().screenBitsPerPixel;
  const QImage image = PaintGridCell(model_->DrawCell(row, look), ListView2->font());
  cache.insert(row, image);
  return image;
}

// ---- opening ----

void TForm1::OpenAndShow(const std::string& path, bool fromFileList) {
  SourceListing& listing = model_->listing();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SpeedButton13->setChecked(false);
  listing.stopRequested = [this] { return SpeedButton13->isChecked(); };
  listing.progress = [this](int done, int total) {
    if (done == 0) {
      ProgressBar1->SetMax(static_cast<std::uint64_t>(std::max(total, 1)));
      ProgressBar1->SetPosition(0);
      ProgressBar1->show();
      SpeedButton13->show();
      StaticText2->hide();
    } else {
      ProgressBar1->SetPosition(static_cast<std::uint64_t>(done));
    }
  };
  listing.runPendingEvents = [] { QApplication::processEvents(); };
  busy_ = true;
  model_->Open(path, fromFileList);
  busy_ = false;
  listing.stopRequested = nullptr;
  listing.progress = nullptr;
  listing.runPendingEvents = nullptr;
  QApplication::restoreOverrideCursor();
  ShowOpenResult();
}

void TForm1::ShowOpenResult() {
  ProgressBar1->hide();
  SpeedButton13->hide();
  StaticText2->show();
  const std::string& path = model_->listing().sourcePath();
  StaticText2->setText(model_->hasSource() && !path.empty()
                           ? QFileInfo(QString::fromStdString(path)).fileName()
                           : QString());
  RefreshGrid();
  RefreshSaveControls();
  RefreshPreview();
}

void TForm1::HandleCommandLine(const std::vector<std::string>& args) {
  const auto kept = MainModel::KeptArguments(args);
  if (kept.size() == 1) {
    OpenAndShow(kept.front());
  } else if (kept.size() > 1) {
    model_->AddFiles(kept);
    RefreshRows();
  }
}

void TForm1::OpenSpBtnClick() {
  const QStringList files = ChooseOpenFiles(false);
  if (files.isEmpty()) return;
  OpenAndShow(files.front().toStdString());
}

void TForm1::Open1Click() {
  std::vector<std::string> paths;
  for (const QString& f : ChooseOpenFiles(true))
    paths.push_back(f.toStdString());
  if (!paths.empty()) fileListOpenStart_ = paths.front();
  model_->AddFiles(paths);
  RefreshRows();
}

bool TForm1::DropFiles(const QStringList& paths, QPoint pos) {
  std::vector<std::string> files;
  for (const QString& p : paths)
    files.push_back(p.toStdString());
  const QWidget* at = childAt(pos);
  DropTarget target = DropTarget::kElsewhere;
  if (at && (at == ListView2 || ListView2->isAncestorOf(at))) target = DropTarget::kGrid;
  if (at && (at == ListView1 || ListView1->isAncestorOf(at))) target = DropTarget::kFileList;
  if (target == DropTarget::kGrid && !files.empty()) {
    OpenAndShow(files.front());
    return true;
  }
  const auto result = model_->Drop(target, files);
  RefreshRows();
  return result != MainModel::DropResult::kIgnored;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (DropFiles(paths, event->position().toPoint())) event->acceptProposedAction();
}

// ---- file list ----

void TForm1::ListView1MouseUp() {
  SaveSwBtn->setEnabled(model_->SaveEnabled());
  const auto selected = ListView1->selectedItems();
  if (selected.size() == 1 && selected.front()->text(2) != "0") {
    QApplication::processEvents();
    const QString path = selected.front()->data(0, Qt::UserRole).toString();
    if (QFileInfo::exists(path)) OpenAndShow(path.toStdString(), true);
    SetStatusPanel(1, path);
    return;
  }
  model_->ClearSource();
  ShowOpenResult();
}

void TForm1::ListView1DblClick() {
  auto* item = ListView1->currentItem();
  if (!item) return;
  const QString path = item->data(0, Qt::UserRole).toString();
  if (!OpenDocument(QUrl::fromLocalFile(path)))
    messages_.Show((path + "\n" + Tr(kNothingOpensIt)).toStdString(), env_.title());
}

void TForm1::ListView1ColumnClick(int column) {
  model_->SortRows(column);
  RefreshRows();
}

void TForm1::ListView1KeyDown() {
  Delete1Click();
}

void TForm1::Delete1Click() {
  std::vector<int> rows;
  for (auto* item : ListView1->selectedItems())
    rows.push_back(ListView1->indexOfTopLevelItem(item));
  model_->DeleteRows(rows);
  RefreshRows();
}

void TForm1::AllSelMenuClick() {
  ListView1->selectAll();
}

void TForm1::N3Click() {
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    auto* item = ListView1->topLevelItem(i);
    item->setSelected(!item->isSelected());
  }
}

void TForm1::Copy1Click() {
  QList<QUrl> urls;
  QByteArray gnome = "copy";
  for (auto* item : ListView1->selectedItems()) {
    const QUrl url = QUrl::fromLocalFile(item->data(0, Qt::UserRole).toString());
    urls << url;
    gnome += "\n" + url.toEncoded();
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  data->setData("x-special/gnome-copied-files", gnome);
  QApplication::clipboard()->setMimeData(data);
}

void TForm1::Paste2Click() {
  std::vector<std::string> files = ReadClipboard().files;
  model_->AddFiles(files);
  RefreshRows();
}

// ---- the grid ----

void TForm1::SyncSelectionFromGrid() {
  std::vector<bool> selected(static_cast<std::size_t>(ListView2->count()), false);
  for (int i = 0; i < ListView2->count(); ++i)
    selected[static_cast<std::size_t>(i)] = ListView2->item(i)->isSelected();
  model_->SetSelection(std::move(selected));
}

void TForm1::ListView2Click() {
  SyncSelectionFromGrid();
  RefreshSaveControls();
  RefreshPreview();
}

void TForm1::AllSelectMenuClick() {
  ListView2->selectAll();
  SyncSelectionFromGrid();
  RefreshSaveControls();
}

ClipboardFacts TForm1::ReadClipboard() const {
  ClipboardFacts facts;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return facts;
  facts.hasBitmap = data->hasImage();
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) facts.files.push_back(url.toLocalFile().toStdString());
  return facts;
}

void TForm1::Paste1Click() {
  const ClipboardFacts clipboard = ReadClipboard();
  model_->PasteIntoGrid(clipboard, [] { return FromQImage(QApplication::clipboard()->image()); });
  ShowOpenResult();
}

void TForm1::Copy2Click(bool realSize) {
  ReadControls();
  const QImage image = ToQImage(model_->ClipboardBitmap(realSize));
  if (!image.isNull()) QApplication::clipboard()->setImage(image);
}

void TForm1::N4Click() {
  model_->Reopen(), RefreshGrid();
}

void TForm1::N13Click() {
  RunSave(true);
}

void TForm1::PopupMenu1Popup() {
  SyncSelectionFromGrid();
  Copy2->setEnabled(model_->CopyEnabled());
  Copy3->setEnabled(model_->CopyEnabled());
  Copy3->setVisible(model_->CopyRealSizeVisible());
  Paste1->setEnabled(model_->PasteEnabled(ReadClipboard()));
  AllSelectMenu->setEnabled(model_->SelectAllEnabled());
  N13->setVisible(model_->MatchingSaveVisible());
  N4->setEnabled(MainModel::PackSpacingEnabled(SizeSetTrackBar->value()));
}

void TForm1::PopupMenu2Popup() {
  Copy1->setEnabled(model_->FileListCopyEnabled());
  Delete1->setEnabled(model_->FileListCopyEnabled());
  Paste2->setEnabled(MainModel::FileListPasteEnabled(ReadClipboard()));
}

// ---- mode and display controls ----

void TForm1::ModeChkBoxClick(bool icon) {
  // The two boxes exclude each other; neither ticked is the Normal mode.
  if (icon && AllIconChkBox->Checked()) BmpAllChkBox->SetChecked(false);
  if (!icon && BmpAllChkBox->Checked()) AllIconChkBox->SetChecked(false);
  const ExtractionMode mode = AllIconChkBox->Checked()  ? ExtractionMode::kIcon
                              : BmpAllChkBox->Checked() ? ExtractionMode::kBmp
                                                        : ExtractionMode::kNormal;
  model_->SetMode(mode);
  if (NewCheckBox3->Checked() || !SearchAgainForMode()) model_->RefreshCounts();
  RefreshRows();
  model_->Reopen();
  if (model_->gridCount() == 0 && !model_->lastOpened().empty() &&
      QFileInfo::exists(QString::fromStdString(model_->lastOpened())))
    model_->Open(model_->lastOpened());
  ShowOpenResult();
}

void TForm1::CheckBox7Click() {
  model_->SetShowExtractedNames(CheckBox7->Checked());
  model_->Reopen();
  ShowOpenResult();
}

void TForm1::ComboBox2Change() {
  model_->Reopen();
  ShowOpenResult();
}

void TForm1::SizeSetTrackBarRelease() {
  N4->setChecked(false);
  model_->Reopen();
  ShowOpenResult();
}

void TForm1::SizeRadioGroupClick(int item) {
  const SizeChoice before = model_->settings().sizeChoice;
  model_->settings().sizeChoice = static_cast<SizeChoice>(item);
  // In Normal mode the grid shows the small icons for 16 x 16 and the large ones
  // otherwise: going to or from 16 x 16 refills it, keeping the selected entry.
  const bool small = before == SizeChoice::Size16 || item == static_cast<int>(SizeChoice::Size16);
  if (model_->mode() == ExtractionMode::kNormal && model_->hasSource() && small) {
    model_->Reopen();
    ShowOpenResult();
    return;
  }
  RefreshSaveControls();
  Timer2->start();
}

void TForm1::TypeComBoxChange() {
  model_->SetOutputType(static_cast<OutputType>(TypeComBox->currentIndex()));
  RefreshSaveControls();
  Timer2->start();
}

void TForm1::BitTypeComBoxChange() {
  model_->SetDepth(static_cast<Depth>(BitTypeComBox->currentIndex()));
  RefreshSaveControls();
  Timer2->start();
}

void TForm1::ColorOriChkBoxClick() {
  model_->OriginalClicked(ColorOriChkBox->Checked());
  RefreshSaveControls();
  Timer2->start();
}

void TForm1::SwitchClick() {
  // Ticking one blur unticks the other.
  if (sender() == BokashiChkBox && BokashiChkBox->Checked()) BokashiChkBox2->SetChecked(false);
  if (sender() == BokashiChkBox2 && BokashiChkBox2->Checked()) BokashiChkBox->SetChecked(false);
  RefreshSaveControls();
  Timer2->start();
}

void TForm1::UserSizeChange() {
  if (LinkChkBox->Checked()) {
    QSignalBlocker b2(UpDown2), b3(UpDown3);
    if (sender() == UpDown2) UpDown3->setValue(UpDown2->value());
    if (sender() == UpDown3) UpDown2->setValue(UpDown3->value());
  }
  ReadControls();
  RefreshSaveControls();
  Timer2->start();
}

// ---- buttons ----

void TForm1::SpeedButton3Click() {
  OpenHelp("Glyphwell.htm");
}

void TForm1::OpenHelp(const QString& page) {
  // A page may name an anchor ("page.htm#part"); the file is the part before it.
  const qsizetype hash = page.indexOf('#');
  const QString file = QString::fromStdString(env_.folders().programFolder()) + "/Help/" +
                       (hash < 0 ? page : page.left(hash));
  if (!QFileInfo::exists(file)) return;  // without the page nothing happens
  QUrl url = QUrl::fromLocalFile(file);
  if (hash >= 0) url.setFragment(page.mid(hash + 1));
  OpenDocument(url);
}

void TForm1::SpeedButton5Click() {
  AboutDialog1->Execute(this);
}

void TForm1::SpeedButton4Click() {
  platform::Settings& s = env_.settings();
  dialogs::IconOptionValues values{s.png256, s.pngfrg, s.pngsv, s.pngiclchg};
  const dialogs::ProgramShortcut shortcut{QCoreApplication::applicationFilePath().toStdString(),
                                          env_.title()};
  dialogs::TOptionDlg dialog(this, values, ShellLink1, shortcut);
  if (RunOptionDialog(dialog) != QDialog::Accepted) return;
  s.png256 = values.png256;
  s.pngfrg = values.pngfrg;
  s.pngsv = values.pngsv;
  s.pngiclchg = values.pngiclchg;
  model_->iconOptions = {s.png256, s.pngfrg, s.pngsv};
}

void TForm1::SpeedButton8Click() {
  model_->ClearRows();
  RefreshRows();
  model_->ClearSource();
  ShowOpenResult();
}

void TForm1::SpeedButton9Click() {
  Panel3->setVisible(!Panel3->isVisible());
}

void TForm1::SpeedButton13Click() {
  cancel_ = SpeedButton13->isChecked();
}

void TForm1::SaveSwBtnClick() {
  RunSave(false);
}

bool TForm1::RunSave(bool matching) {
  SyncSelectionFromGrid();
  ReadControls();
  Timer1->stop();
  BarProgress progress(*this, cancel_);
  bool ran = false;
  if (matching) {
    const auto conditions = AskConditions(model_->lastConditions);
    ran = model_->SaveMatching(conditions, ChooseSaveFile, progress);
  } else {
    ran = model_->SaveSelected(ChooseSaveFile, progress);
  }
  Timer1->start();
  RefreshPreview();
  return ran;
}

void TForm1::Timer1Timer() {
  GrpEditerSpBtn->setEnabled(false);  // the pixel editor is not part of this build yet
  SaveSwBtn->setEnabled(model_->SaveEnabled());
}

void TForm1::Timer2Timer() {
  RefreshPreview();
}

// ---- events ----

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ListView2->doItemsLayout();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (!built_) return QMainWindow::eventFilter(watched, event);  // still being laid out
  if (watched == PaintBox1 && event->type() == QEvent::Paint) {
    QPainter p(PaintBox1);
    p.drawImage(0, 0,
                BitmapToImage(PaintPreview(model_->preview().preview(), PaintBox1->width(),
                                           PaintBox1->height())));
    return true;
  }
  if (watched == ListView1 && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    ListView1KeyDown();
    return true;
  }
  if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
    QTimer::singleShot(0, this, &TForm1::ListView1MouseUp);
  }
  if (watched == ListView2 && event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)
      ListView2Click();
  }
  if (watched == ListView2->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() == Qt::LeftButton) {
        const QModelIndex at = ListView2->indexAt(me->position().toPoint());
        dragAnchor_ = at.isValid() ? at.row() : -1;
      }
    } else if (event->type() == QEvent::MouseMove) {
      auto* me = static_cast<QMouseEvent*>(event);
      ListView2->setFocus();
      if ((me->buttons() & Qt::LeftButton) && dragAnchor_ >= 0) {
        const QModelIndex at = ListView2->indexAt(me->position().toPoint());
        if (at.isValid()) {
          const int first = ListView2->indexAt(QPoint(4, 4)).row();
          // The visible window: from 30 entries before the first visible one to
          // the last visible one; entries further away keep their selection.
          int last = std::max(first, 0);
          const int bottom = ListView2->viewport()->height();
          while (last + 1 < ListView2->count() &&
                 ListView2->visualRect(ListView2->model()->index(last + 1, 0)).top() < bottom)
            ++last;
          model_->DragSelect(dragAnchor_, at.row(), std::max(0, first - 30), last);
          QSignalBlocker block(ListView2);
          for (int i = 0; i < ListView2->count(); ++i)
            ListView2->item(i)->setSelected(model_->selection()[static_cast<std::size_t>(i)]);
          ListView2->viewport()->update();
        }
        const int y = static_cast<int>(me->position().y());
        if (y < 32)
          ListView2->verticalScrollBar()->setValue(ListView2->verticalScrollBar()->value() -
                                                   ListView2->gridSize().height());
        if (y > ListView2->viewport()->height() - 32)
          ListView2->verticalScrollBar()->setValue(ListView2->verticalScrollBar()->value() +
                                                   ListView2->gridSize().height());
        return true;
      }
    } else if (event->type() == QEvent::MouseButtonRelease) {
      // A drag that ended away from where it began is no click: show its selection.
      if (dragAnchor_ >= 0) {
        SyncSelectionFromGrid();
        RefreshSaveControls();
        Timer2->start();
      }
      dragAnchor_ = -1;
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      return true;  // the pixel editor is not part of this build yet
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace glyphwell::app::ui
