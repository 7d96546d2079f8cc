#pragma once
// SavedListPanel: the saved-list panel Panel10 that covers the image grid. It holds
// the caption "ファイルリスト", the close button SpeedButton11, the list box ListBox1
// with one item per saved list (folder + "=" + the list's totals) and the popup menu
// PopupMenu3. It keeps no files of its own: the window fills it from SavedLists and
// answers its requests (new or update, open, delete, close) through the callbacks.

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

namespace glyphwell::app::ui {

class SavedListPanel : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kItemHeight = 36;

  explicit SavedListPanel(QWidget* parent = nullptr);

  // The items, in order; PutItem replaces the item of the same folder or adds one.
  void SetItems(const std::vector<std::string>& items);
  void PutItem(const std::string& item);
  void RemoveFolder(const std::string& folder);
  std::vector<std::string> Items() const;
  // Selects the item of `folder` (nothing selected when there is none).
  void SelectFolder(const std::string& folder);
  // The selected item and its folder; empty when none is selected.
  std::string SelectedItem() const;
  std::string SelectedFolder() const;

  // Enables "削除" and "リストを開く" for the current selection (the menu's popup).
  void PopupMenu3Popup();

  // Requests to the window.
  std::function<void()> onNewList;                          // New1
  std::function<void(const std::string& folder)> onOpen;    // double-click, Find1
  std::function<void(const std::string& folder)> onDelete;  // Delete2
  std::function<void()> onClose;                            // SpeedButton11

  QLabel* Caption;
  QToolButton* SpeedButton11;
  QListWidget* ListBox1;
  QMenu* PopupMenu3;
  QAction* New1;
  QAction* Find1;
  QAction* Delete2;

 private:
  void OpenSelected();
  int RowOfFolder(const std::string& folder) const;
};

}  // namespace glyphwell::app::ui
