#pragma once
// TForm1: the main window. It lays out the controls, reads them into the MainModel,
// calls one model operation per event and shows the result. Everything it decides
// is in app/main_model.h; this class only wires widgets to it.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/t_about_dialog.h"
#include "app/favourites.h"
#include "app/icon_search.h"
#include "app/main_model.h"
#include "app/startup.h"
#include "app/ui/saved_list_panel.h"
#include "app/ui/status_panel.h"
#include "controls/t_color_progress_bar.h"
#include "controls/t_new_check_box.h"
#include "controls/t_new_track_bar.h"
#include "controls/t_switch_button.h"
#include "dialogs/t_msg_cansel_dlg.h"
#include "output/match_conditions.h"
#include "output/save_workflow.h"
#include "platform/messages.h"
#include "shell/t_shell_link.h"
#include "workers/t_icon_up_thread.h"

namespace glyphwell::app::ui {

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // `env` has been started (folders, settings, library); it outlives the window.
  TForm1(AppEnvironment& env, platform::MessageSink& messages, QWidget* parent = nullptr);
  ~TForm1() override;

  MainModel& model() { return *model_; }
  // FormShow's command line: one file opened, several added to the file list.
  void HandleCommandLine(const std::vector<std::string>& args);
  // FormClose: the settings back into the store, temporary files deleted. Runs once.
  void FormClose();

  // The dialogs, replaceable so the window can be driven without a person.
  output::ChooseSaveFile ChooseSaveFile;
  std::function<std::optional<output::MatchConditions>(const output::MatchConditions&)>
      AskConditions;
  std::function<QStringList(bool multi)> ChooseOpenFiles;

  // Drops as the window receives them; `pos` in window coordinates.
  bool DropFiles(const QStringList& paths, QPoint pos);

  // ---- controls ----
  QToolButton* OpenSpBtn;
  QToolButton* SpeedButton3;  // ヘルプ
  QToolButton* SpeedButton5;  // バージョン
  QToolButton* SpeedButton6;  // 終了
  QLabel* StaticText2;        // file-name plate
  controls::TColorProgressBar* ProgressBar1;
  QToolButton* SpeedButton13;  // 中止
  QLabel* StaticText1;         // file counter
  QToolButton* SpeedButton8;   // クリア

  QTreeWidget* ListView1;  // file list
  QToolButton* SearchSpBtn;
  QToolButton* SystemSpBtn;
  QToolButton* RefreshSpBtn;
  QToolButton* FavoriteSpBtn;
  QSpinBox* UpDown1;
  controls::TNewCheckBox* CheckBox2;  // リストサーチ

  QListWidget* ListView2;  // image grid
  controls::TNewTrackBar* SizeSetTrackBar;
  controls::TNewCheckBox* SystemChkBox;
  controls::TNewCheckBox* HideChkBox;
  QComboBox* ComboBox2;  // display base size
  QToolButton* GrpEditerSpBtn;
  QToolButton* SpeedButton10;  // builder
  QToolButton* SpeedButton9;   // user size
  QToolButton* SpeedButton4;   // Option
  controls::TNewCheckBox* AllIconChkBox;
  controls::TNewCheckBox* BmpAllChkBox;
  controls::TNewCheckBox* NewCheckBox3;  // update switch
  controls::TNewCheckBox* CheckBox7;     // 抽出名

  QWidget* PaintBox1;
  QGroupBox* SizeRadioGroup;
  std::vector<QRadioButton*> SizeItems;
  QComboBox* TypeComBox;
  QComboBox* BitTypeComBox;
  QComboBox* PngColComBox;
  QSpinBox* PngColEdit;
  controls::TNewCheckBox* ColorOriChkBox;
  controls::TNewCheckBox* OptimizeChkBox;
  controls::TNewCheckBox* HoseiChkBox;
  controls::TNewCheckBox* GrayChkBox;
  controls::TNewCheckBox* ToukaChkBox;
  controls::TNewCheckBox* BokashiChkBox;
  controls::TNewCheckBox* BokashiChkBox2;
  controls::TNewCheckBox* Mode2ChkBox;
  controls::TNewCheckBox* MaskChkBox;
  controls::TNewCheckBox* LargeChkBox;  // 拡大
  controls::TSwitchButton* SaveSwBtn;
  QWidget* Panel3;  // user size
  QSpinBox* UpDown2;
  QSpinBox* UpDown3;
  controls::TNewCheckBox* LinkChkBox;  // 連動

  QMenu* PopupMenu1;
  QAction* Edit4;
  QAction* Copy2;
  QAction* Copy3;
  QAction* Paste1;
  QAction* AllSelectMenu;
  QAction* List2;
  QAction* N13;
  QAction* N4;
  QAction* N11;
  QMenu* PopupMenu2;
  QAction* Open1;
  QAction* Copy1;
  QAction* Paste2;
  QAction* Delete1;
  QAction* List1;
  QAction* AllSelMenu;
  QAction* N3;

  QTimer* Timer1;
  QTimer* Timer2;

  // The status bar's two panels: 0 the folder being searched, 1 hints and the path
  // of the file chosen in the file list.
  StatusPanel* StatusPanel0;
  StatusPanel* StatusPanel1;
  void SetStatusPanel(int panel, const QString& text);

  about::TAboutDialog* AboutDialog1;  // the about box's texts
  shell::TShellLink ShellLink1;       // launchers on the desktop and in Send To
  void SpeedButton4Click();           // Option
  // The options dialog, replaceable so the window can be driven without a person:
  // shows the dialog modally and returns its result.
  std::function<int(QDialog& dialog)> RunOptionDialog;
  // Opens a file or page with the desktop's program for it (the shell's "open"
  // verb); false when nothing can open it.
  std::function<bool(const QUrl& url)> OpenDocument;

  // ---- handlers ----
  void OpenSpBtnClick();
  void SpeedButton3Click();
  void SpeedButton5Click();
  void SpeedButton8Click();
  void SpeedButton9Click();
  void SpeedButton13Click();
  void SaveSwBtnClick();
  void ListView1MouseUp();
  void ListView1DblClick();
  void ListView1ColumnClick(int column);
  void ListView1KeyDown();
  void ListView2Click();
  void ModeChkBoxClick(bool icon);
  void CheckBox7Click();
  void ComboBox2Change();
  void SizeSetTrackBarRelease();
  void SizeRadioGroupClick(int item);
  void TypeComBoxChange();
  void BitTypeComBoxChange();
  void ColorOriChkBoxClick();
  void SwitchClick();
  void UserSizeChange();
  void Copy2Click(bool realSize);
  void Paste1Click();
  void AllSelectMenuClick();
  void N13Click();
  void N4Click();
  void Open1Click();
  void Copy1Click();
  void Paste2Click();
  void Delete1Click();
  void AllSelMenuClick();
  void N3Click();
  void Timer1Timer();
  void Timer2Timer();
  void PopupMenu1Popup();
  void PopupMenu2Popup();

  // Shows the model's state: grid, rows, save controls, preview.
  void RefreshGrid();
  void RefreshRows();
  void RefreshSaveControls();
  void RefreshPreview();
  // Grid entry `row` as its cell shows it (picture, tint, label), drawn on first
  // use and kept until the grid is refilled.
  QImage CellImage(int row, bool selected);
  // The cell size of the current grid.
  const GridCell& gridCell() const { return gridCell_; }
  // How many cells have been drawn since the grid was last filled.
  int drawnCells() const { return static_cast<int>(cells_.size() + selectedCells_.size()); }

  // ---- search and saved lists ----
  // A favourites file that is there but cannot be read is left alone, and said so.
  void ShowFavouritesUnreadable();
  // The folder dialog: (title, start folder) -> the chosen folder, empty when
  // cancelled. Replaceable so the window can be driven without a person.
  std::function<QString(const QString& title, const QString& start)> ChooseFolder;
  IconSearch& search() { return *search_; }
  // The busy dialog of the search running now; nullptr between searches.
  dialogs::TMsgCanselDlg* busyDialog() const { return busyDialog_; }
  bool iconUpdateRunning() const { return iconUpdate_ && iconUpdate_->running(); }

  controls::TNewCheckBox* CheckBox3;  // 画像ファイルは除く
  controls::TNewCheckBox* CheckBox4;  // del
  SavedListPanel* Panel10;            // the saved lists, over the grid
  QMenu* N10;                         // お気に入り
  QAction* N9;                        // 追加
  QAction* Delete3;                   // 削除

  void SearchSpBtnClick();    // 参照
  void SystemSpBtnClick();    // System
  void RefreshSpBtnClick();   // 更新
  void FavoriteSpBtnClick();  // お気に入り
  void CheckBox2Click();      // リストサーチ: "del" follows it
  void List2Click();          // show the saved-list panel
  void SpeedButton11Click();  // hide it
  void New1Click();           // make or update a saved list
  void OpenSavedList(const std::string& folder);
  void DeleteSavedList(const std::string& folder);
  void N9Click();
  void Delete3Click();
  void PopupMenu2SearchItems();
  // A mode change with the update switch off searches the current folder again.
  // False when there is no folder search to repeat (nothing searched yet, or the
  // list shows the favourites): the caller recounts the rows instead.
  bool SearchAgainForMode();
  // Stops the icon refresh worker and waits for it; starts a new one.
  void StopIconUpdate();
  void StartIconUpdate();

 private:
  void BuildSearch();
  void WireSearch();
  void SearchFormClose();
  void ReadSearchFilters();
  void ShowSearchRows();
  void ShowStatusFolder(const std::string& folder, const std::string& shortText);
  void ClearGridForSearch();
  bool RunBusy(const std::string& message, const std::string& caption, int maximum,
               const std::function<bool()>& work);
  void SetRowIcon(int row, const std::optional<imaging::IconImage>& icon);
  // After any refill of ListView1: known icons back on their rows, the worker for
  // the rest.
  void ScheduleRowIcons();
  void ShowRowIcons();

  std::unique_ptr<IconSearch> search_;
  std::unique_ptr<Favourites> favourites_;
  std::unique_ptr<workers::MainThreadCalls> iconCalls_;
  std::unique_ptr<workers::IconUpdate> iconUpdate_;  // after iconCalls_: stops first
  dialogs::TMsgCanselDlg* busyDialog_ = nullptr;
  bool searching_ = false;
  bool rowIconsPending_ = false;
  QHash<QString, QIcon> rowIcons_;  // by path, as the worker made them

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTopBar(QWidget* parent);
  void BuildCentre(QWidget* parent);
  void BuildBottom(QWidget* parent);
  void BuildMenus();
  void ReadSettings();
  void ReadControls();
  void OpenAndShow(const std::string& path, bool fromFileList = false);
  void ShowOpenResult();
  void SyncSelectionFromGrid();
  ClipboardFacts ReadClipboard() const;
  bool RunSave(bool matching);
  void OpenHelp(const QString& page);
  QString Tr(const char* text) const { return QString::fromUtf8(text); }

  AppEnvironment& env_;
  platform::MessageSink& messages_;
  std::unique_ptr<MainModel> model_;
  QHash<int, QImage> cells_;
  QHash<int, QImage> selectedCells_;
  GridCell gridCell_;
  bool cancel_ = false;
  bool closed_ = false;
  bool built_ = false;
  bool busy_ = false;
  int dragAnchor_ = -1;
  std::string fileListOpenStart_;  // the file list's "開く" remembers its own start
};

}  // namespace glyphwell::app::ui
