// TForm1's search side: the search controls under the file list, the saved-list
// panel over the grid, the favourites, and the hooks through which the GUI-free
// IconSearch gets its busy dialog, message pump and icon refresh worker.

#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QTimer>

#include "app/saved_lists.h"
#include "app/short_folder_display.h"
#include "app/ui/bitmap_image.h"
#include "app/ui/t_form1.h"
#include "app/ui/window_switch.h"

namespace glyphwell::app::ui {

namespace {

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// The box layout that holds `widget`, searched from `layout` down.
QBoxLayout* LayoutHolding(QLayout* layout, QWidget* widget) {
  if (!layout) return nullptr;
  if (layout->indexOf(widget) >= 0) return qobject_cast<QBoxLayout*>(layout);
  for (int i = 0; i < layout->count(); ++i) {
    if (QLayout* child = layout->itemAt(i)->layout()) {
      if (QBoxLayout* found = LayoutHolding(child, widget)) return found;
    }
  }
  return nullptr;
}

// Until the worker has found a row's own icon, every row shows a plain file's.
// Made once and kept for the whole run (never destroyed after the application).
const QIcon& PlainFileIcon() {
  static const QIcon* icon = new QIcon(QFileIconProvider().icon(QFileIconProvider::File));
  return *icon;
}

}  // namespace

// ---- building ----

void TForm1::BuildSearch() {
  const platform::Settings& s = env_.settings();
  QWidget* parent = ListView1->parentWidget();

  SearchSpBtn->setToolTip(Tr("指定したフォルダからアイコン等のファイルを検索してリストに表示する"));
  SystemSpBtn->setToolTip(Tr("システムフォルダを検索"));
  RefreshSpBtn->setToolTip(Tr("最新の状態に更新|現在開いているフォルダからアイコン等を再検索する"));
  FavoriteSpBtn->setToolTip(QString());
  SystemSpBtn->setCheckable(true);
  FavoriteSpBtn->setCheckable(true);
  RefreshSpBtn->setEnabled(false);  // until something was searched
  UpDown1->setPrefix(Tr("検索の基準値 "));
  UpDown1->setSuffix(Tr("個以上"));
  UpDown1->setToolTip(Tr("アイコン数"));
  UpDown1->setValue(s.mcount);
  CheckBox2->setToolTip(Tr("ファイルリストからアイコン等を検索"));
  CheckBox2->SetChecked(s.filelist);
  SystemChkBox->SetChecked(s.sys);
  HideChkBox->SetChecked(s.hide);

  CheckBox3 = Switch(parent, "画像ファイルは除く", "画像ファイルは除く", true);
  CheckBox4 = Switch(parent, "del", "削除|ファイルリストから不明ファイルを削除", false);
  CheckBox4->setEnabled(CheckBox2->Checked());
  if (QBoxLayout* right = LayoutHolding(centralWidget()->layout(), ListView1)) {
    auto* filters = new QHBoxLayout();
    filters->addWidget(CheckBox3);
    filters->addWidget(CheckBox4);
    filters->addStretch();
    right->addLayout(filters);
  }

  // The saved-list panel takes the grid's place when shown.
  Panel10 = new SavedListPanel(ListView2->parentWidget());
  Panel10->hide();
  if (QBoxLayout* centre = LayoutHolding(centralWidget()->layout(), ListView2))
    centre->insertWidget(centre->indexOf(ListView2) + 1, Panel10, 1);
  Panel10->onNewList = [this] { New1Click(); };
  Panel10->onOpen = [this](const std::string& folder) { OpenSavedList(folder); };
  Panel10->onDelete = [this](const std::string& folder) { DeleteSavedList(folder); };
  Panel10->onClose = [this] { SpeedButton11Click(); };
  for (QAction* item : {List1, List2}) {
    item->setEnabled(true);
    item->setToolTip(QString());
    connect(item, &QAction::triggered, this, &TForm1::List2Click);
  }

  N10 = new QMenu(Tr("お気に入り"), PopupMenu2);
  N9 = N10->addAction(Tr("追加"), this, &TForm1::N9Click);
  Delete3 = N10->addAction(Tr("削除"), this, &TForm1::Delete3Click);
  PopupMenu2->insertMenu(AllSelMenu, N10);
  connect(PopupMenu2, &QMenu::aboutToShow, this, &TForm1::PopupMenu2SearchItems);

  connect(SearchSpBtn, &QToolButton::clicked, this, &TForm1::SearchSpBtnClick);
  connect(SystemSpBtn, &QToolButton::clicked, this, &TForm1::SystemSpBtnClick);
  connect(RefreshSpBtn, &QToolButton::clicked, this, &TForm1::RefreshSpBtnClick);
  connect(FavoriteSpBtn, &QToolButton::clicked, this, &TForm1::FavoriteSpBtnClick);
  connect(CheckBox2, &controls::TNewCheckBox::clicked, this, &TForm1::CheckBox2Click);
  // "クリア" also releases the "System" button and disables "更新".
  connect(SpeedButton8, &QToolButton::clicked, this, [this] {
    search_->systemButtonDown = false;
    search_->refreshEnabled = false;
    SystemSpBtn->setChecked(false);
    RefreshSpBtn->setEnabled(false);
  });
  // Whoever refills the list (a search, a sort, a drop, a paste), its rows get
  // their icons back and the worker looks at the rest.
  connect(ListView1->model(), &QAbstractItemModel::rowsInserted, this, &TForm1::ScheduleRowIcons);
  // A click on a row hides the saved-list panel.
  connect(ListView1, &QTreeWidget::itemClicked, this, [this] {
    if (!Panel10->isHidden()) SpeedButton11Click();
  });

  ChooseFolder = [this](const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(this, title, start, QFileDialog::ShowDirsOnly);
  };

  // The icon refresh worker hands its results over through queued calls, so rows
  // get their icons on this thread only.
  iconCalls_ = std::make_unique<workers::MainThreadCalls>([this] {
    QMetaObject::invokeMethod(
        this, [this] { iconCalls_->RunPending(); }, Qt::QueuedConnection);
  });
  workers::IconUpHost host;
  host.itemCount = [this] { return ListView1->topLevelItemCount(); };
  host.itemPath = [this](int i) {
    QTreeWidgetItem* item = ListView1->topLevelItem(i);
    return item ? item->data(0, Qt::UserRole).toString().toStdString() : std::string();
  };
  host.setIcon = [this](int i, const std::optional<imaging::IconImage>& icon, int) {
    SetRowIcon(i, icon);
  };
  iconUpdate_ = std::make_unique<workers::IconUpdate>(host, *iconCalls_);

  WireSearch();
}

void TForm1::WireSearch() {
  const platform::ProgramFolders& folders = env_.folders();
  platform::MakeFolderTree(folders.userDataFolder());
  search_ = std::make_unique<IconSearch>(
      SavedLists(folders.sharedDataFolder(), folders.fileListIndex()), messages_);
  favourites_ = std::make_unique<Favourites>(folders.favouritesFile());

  search_->runBusy = [this](const std::string& message, const std::string& caption, int maximum,
                            const std::function<bool()>& work) {
    return RunBusy(message, caption, maximum, work);
  };
  search_->runPendingEvents = [this] {
    QCoreApplication::processEvents();
    // Ctrl held down stops a search as the cancel button does.
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) search_->cancel = true;
  };
  search_->stepBar = [this](int n) {
    if (busyDialog_) busyDialog_->ProgressBar1->StepBy(static_cast<std::uint64_t>(n));
  };
  search_->stopIconUpdate = [this] { StopIconUpdate(); };
  // The rows go on screen before the worker starts reading them.
  search_->startIconUpdate = [this] {
    ShowSearchRows();
    StartIconUpdate();
  };
  search_->clearGrid = [this] { ClearGridForSearch(); };
  search_->selectList = [this](const std::string& section) { Panel10->SelectFolder(section); };
  search_->listsChanged = [this] {
    if (!Panel10->isHidden()) Panel10->SetItems(search_->lists().PanelItems());
  };
  // A row the list search did not give (dropped, pasted or opened since) is counted
  // from its file: its count is not 0 just because the list does not hold it.
  // A folder dropped, pasted or opened into the file list is searched as "参照"
  // searches one, with the filters the window shows, by a walk of its own so that the
  // search's rows and folder stay as they are.
  model_->searchFolder = [this](const std::string& folder) {
    ReadSearchFilters();
    const platform::ProgramFolders& folders = env_.folders();
    IconSearch walk(SavedLists(folders.sharedDataFolder(), folders.fileListIndex()), messages_);
    walk.filters = search_->filters;
    walk.WalkFolder(folder, false);
    return walk.rows();
  };
  model_->listCount = [this](const std::string& path) -> std::optional<int> {
    search_->filters.mode = model_->mode();
    return search_->FindListCount(path);
  };
}

void TForm1::SearchFormClose() {
  StopIconUpdate();
  platform::Settings& s = env_.settings();
  s.mcount = UpDown1->value();
  s.filelist = CheckBox2->Checked();
  s.sys = SystemChkBox->Checked();
  s.hide = HideChkBox->Checked();
}

// ---- hooks ----

bool TForm1::RunBusy(const std::string& message, const std::string& caption, int maximum,
                     const std::function<bool()>& work) {
  const bool bitmapNoun = AllIconChkBox->Checked() && BmpAllChkBox->Checked();
  dialogs::TMsgCanselDlg dialog(true, this, Text(message), search_->cancel, bitmapNoun);
  if (!caption.empty()) dialog.setWindowTitle(Text(caption));
  dialog.SetProgressMax(static_cast<std::uint64_t>(std::max(maximum, 0)));
  dialog.SetWorkRoutine(work);
  // Shown without a modal loop of its own; it runs the work from its start timer
  // while this loop waits. The window takes no input meanwhile, so a second search
  // cannot start inside the first.
  dialog.setWindowModality(Qt::WindowModal);
  QEventLoop loop;
  bool finished = false;
  connect(&dialog, &QDialog::finished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  busyDialog_ = &dialog;
  dialog.show();
  if (!finished) loop.exec();
  busyDialog_ = nullptr;
  return dialog.WorkResult();
}

void TForm1::StopIconUpdate() {
  if (iconUpdate_) iconUpdate_->Stop();
}

void TForm1::StartIconUpdate() {
  if (iconUpdate_ && !closed_) iconUpdate_->Start();
}

void TForm1::SetRowIcon(int row, const std::optional<imaging::IconImage>& icon) {
  QTreeWidgetItem* item = ListView1->topLevelItem(row);
  if (!item || !icon) return;
  imaging::Bitmap canvas(icon->width(), icon->height(), 24);  // white, as the list
  icon->Draw(canvas, 0, 0);
  const QIcon shown(QPixmap::fromImage(ToQImage(canvas)));
  rowIcons_.insert(item->data(0, Qt::UserRole).toString(), shown);
  item->setIcon(0, shown);
}

void TForm1::ScheduleRowIcons() {
  if (rowIconsPending_) return;
  rowIconsPending_ = true;
  QTimer::singleShot(0, this, [this] {
    rowIconsPending_ = false;
    if (searching_ || closed_) return;
    ShowRowIcons();
    // A worker still running reads the new rows as it goes on.
    if (!iconUpdateRunning()) StartIconUpdate();
  });
}

void TForm1::ShowRowIcons() {
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ListView1->topLevelItem(i);
    item->setIcon(0, rowIcons_.value(item->data(0, Qt::UserRole).toString(), PlainFileIcon()));
  }
}

void TForm1::ClearGridForSearch() {
  model_->ClearSource();
  ShowOpenResult();
}

void TForm1::ReadSearchFilters() {
  SearchFilters& f = search_->filters;
  f.threshold = UpDown1->value();
  f.leaveOutPictures = CheckBox3->Checked();
  f.system = SystemChkBox->Checked();
  f.hidden = HideChkBox->Checked();
  f.listSearch = CheckBox2->Checked();
  f.deleteMissing = CheckBox2->Checked() && CheckBox4->Checked();
  f.mode = model_->mode();
}

void TForm1::ShowSearchRows() {
  model_->SetRows(search_->rows());
  rowIcons_.clear();  // only this list's icons are kept
  RefreshRows();
  ShowRowIcons();
  ShowStatusFolder(search_->searchFolder(), search_->statusFolder());
}

void TForm1::ShowStatusFolder(const std::string& folder, const std::string& shortText) {
  SetStatusPanel(0, Text(shortText));
  StatusPanel0->setToolTip(shortText.empty() ? QString() : Tr("検索ディレクトリ|") + Text(folder));
}

// ---- the search buttons ----

void TForm1::SearchSpBtnClick() {
  if (searching_) return;
  const QString start =
      search_->browseStart().empty() ? QDir::homePath() : Text(search_->browseStart());
  const QString folder = ChooseFolder(Tr("検索を行なうフォルダを選択して下さい"), start);
  if (folder.isEmpty()) return;
  searching_ = true;
  ReadSearchFilters();
  search_->SearchFolder(QDir(folder).absolutePath().toStdString());
  searching_ = false;
  SystemSpBtn->setChecked(false);
  FavoriteSpBtn->setChecked(false);
  RefreshSpBtn->setEnabled(search_->refreshEnabled);
}

void TForm1::SystemSpBtnClick() {
  if (searching_) return;
  searching_ = true;
  ReadSearchFilters();
  search_->SearchSystemFolder(env_.settings().sysdir);
  searching_ = false;
  // The favourites are no longer what the list shows: removing one now must not
  // write the system folder's files into favorite.txt.
  search_->favouritesDown = false;
  FavoriteSpBtn->setChecked(false);
  SystemSpBtn->setChecked(search_->systemButtonDown);
  RefreshSpBtn->setEnabled(search_->refreshEnabled);
}

void TForm1::RefreshSpBtnClick() {
  if (searching_ || search_->favouritesDown) return;
  QTreeWidgetItem* current = ListView1->currentItem();
  const std::string selectedName = current ? current->text(0).toStdString() : std::string();
  searching_ = true;
  ReadSearchFilters();
  const int row = search_->RefreshSearch(selectedName, env_.settings().sysdir);
  searching_ = false;
  SystemSpBtn->setChecked(search_->systemButtonDown);
  if (QTreeWidgetItem* item = ListView1->topLevelItem(row)) {
    ListView1->setCurrentItem(item);
    ListView1->scrollToItem(item);
  }
}

bool TForm1::SearchAgainForMode() {
  if (searching_ || search_->favouritesDown || search_->searchFolder().empty()) return false;
  RefreshSpBtnClick();
  return true;
}

void TForm1::FavoriteSpBtnClick() {
  if (searching_) return;
  StopIconUpdate();
  search_->clearListSearchLines();
  search_->mutableRows() = favourites_->Show();
  search_->favouritesDown = true;
  search_->refreshEnabled = false;
  search_->systemButtonDown = false;
  model_->SetRows(search_->rows());
  model_->RefreshCounts();
  RefreshRows();
  ShowRowIcons();
  StartIconUpdate();
  FavoriteSpBtn->setChecked(true);
  SystemSpBtn->setChecked(false);
  RefreshSpBtn->setEnabled(false);
  ClearGridForSearch();
  ShowStatusFolder(std::string(), std::string());
}

void TForm1::CheckBox2Click() {
  CheckBox4->setEnabled(CheckBox2->Checked());
}

// ---- favourites in the file list's menu ----

void TForm1::PopupMenu2SearchItems() {
  const bool rows = model_->FileListCopyEnabled();
  QTreeWidgetItem* current = ListView1->currentItem();
  const std::string path =
      current ? current->data(0, Qt::UserRole).toString().toStdString() : std::string();
  N9->setVisible(!path.empty() && !favourites_->Contains(path));
  N9->setEnabled(rows);
  Delete3->setVisible(search_->favouritesDown);
  Delete3->setEnabled(rows);
  N10->menuAction()->setVisible(N9->isVisible() || Delete3->isVisible());
}

void TForm1::N9Click() {
  std::vector<std::string> paths;
  for (QTreeWidgetItem* item : ListView1->selectedItems())
    paths.push_back(item->data(0, Qt::UserRole).toString().toStdString());
  if (!favourites_->Readable()) {
    ShowFavouritesUnreadable();
    return;
  }
  favourites_->Add(paths);
}

void TForm1::ShowFavouritesUnreadable() {
  messages_.Show("お気に入りを読み込めないため、変更しませんでした。\n" + favourites_->path(),
                 env_.title(), platform::MsgButtons::kOk, platform::MsgIcon::kError);
}

void TForm1::Delete3Click() {
  if (!search_->favouritesDown) return;
  std::vector<int> selected;
  for (QTreeWidgetItem* item : ListView1->selectedItems())
    selected.push_back(ListView1->indexOfTopLevelItem(item));
  if (selected.empty()) return;
  if (!favourites_->Readable()) {
    ShowFavouritesUnreadable();
    return;
  }
  StopIconUpdate();
  model_->DeleteRows(selected);
  std::vector<std::string> remaining;
  for (const FileRow& row : model_->rows())
    remaining.push_back(row.path);
  favourites_->KeepOnly(remaining);
  RefreshRows();
  StartIconUpdate();
}

// ---- the saved-list panel ----

void TForm1::List2Click() {
  ListView2->hide();
  Panel10->SetItems(search_->lists().PanelItems());
  Panel10->show();
  List1->setEnabled(false);
  List2->setEnabled(false);
}

void TForm1::SpeedButton11Click() {
  Panel10->hide();
  ListView2->show();
  List1->setEnabled(true);
  List2->setEnabled(true);
  Panel10->SetItems({});
}

void TForm1::New1Click() {
  if (searching_) return;
  const std::string selected = Panel10->SelectedFolder();
  const QString title = Tr("ファイルリストの") + (selected.empty() ? Tr("新規作成") : Tr("更新")) +
                        Tr("を行ないます。\n") + Tr("検索を行なうフォルダを選択して下さい");
  const QString start = !selected.empty()                 ? Text(selected)
                        : !search_->browseStart().empty() ? Text(search_->browseStart())
                                                          : QDir::homePath();
  const QString folder = ChooseFolder(title, start);
  if (folder.isEmpty()) return;
  Panel10->New1->setEnabled(false);
  searching_ = true;
  ReadSearchFilters();
  const std::optional<IconSearch::MadeList> made =
      search_->MakeList(QDir(folder).absolutePath().toStdString());
  searching_ = false;
  Panel10->New1->setEnabled(true);
  if (!made || made->cancelled) return;
  if (!made->written) {
    // The index would otherwise show totals of a list that is not on disk.
    messages_.Show(
        "ファイルリストを保存できませんでした。\n" + search_->lists().ListFilePath(made->fileName),
        env_.title(), platform::MsgButtons::kOk, platform::MsgIcon::kError);
    return;
  }
  Panel10->PutItem(made->item);
}

void TForm1::OpenSavedList(const std::string& folder) {
  if (searching_) return;
  searching_ = true;
  ReadSearchFilters();
  search_->OpenList(folder);
  searching_ = false;
  // The list shows the saved list's files now, not the favourites or the system
  // folder: "削除" of the favourites must not write these into favorite.txt, and
  // "更新" searches this folder again.
  search_->favouritesDown = false;
  search_->systemButtonDown = false;
  search_->refreshEnabled = true;
  FavoriteSpBtn->setChecked(false);
  SystemSpBtn->setChecked(false);
  RefreshSpBtn->setEnabled(true);
}

void TForm1::DeleteSavedList(const std::string& folder) {
  const platform::MsgResult answer = messages_.Show(
      folder + "\nこのリストを削除してよろしいですか？", "削除確認", platform::MsgButtons::kYesNo,
      platform::MsgIcon::kQuestion, platform::MsgResult::kNo);
  if (answer != platform::MsgResult::kYes) return;
  std::string error;
  if (search_->lists().DeleteList(folder, &error)) {
    Panel10->RemoveFolder(folder);
  } else {
    messages_.Show(error, env_.title(), platform::MsgButtons::kOk, platform::MsgIcon::kError);
  }
}

}  // namespace glyphwell::app::ui
