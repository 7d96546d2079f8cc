#include "app/ui/saved_list_panel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/saved_lists.h"

namespace glyphwell::app::ui {

namespace {

// The item's whole text (folder + "=" + totals) lives in the user role; the widget
// shows it as two drawn lines instead.
constexpr int kItemRole = Qt::UserRole;

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// The small picture of a list: a sheet with ruled lines.
void DrawListPicture(QPainter& p, const QRect& box) {
  const QRect sheet(box.left() + 4, box.top() + 4, 22, box.height() - 8);
  p.setPen(QColor(96, 96, 96));
  p.setBrush(QColor(255, 255, 240));
  p.drawRect(sheet.adjusted(0, 0, -1, -1));
  p.setPen(QColor(70, 110, 190));
  for (int y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4)
    p.drawLine(sheet.left() + 4, y, sheet.right() - 4, y);
}

// Draws an item 36 pixels high: the list picture, the folder on the first line and
// "files .. normal .. icon .. bmp .. graphic .." on the second.
class ListItemDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const std::string item = index.data(kItemRole).toString().toStdString();
    const bool selected = option.state & QStyle::State_Selected;
    const QRect r = option.rect;
    p->save();
    p->fillRect(r, selected ? option.palette.highlight() : option.palette.base());
    DrawListPicture(*p, QRect(r.left(), r.top(), 30, r.height()));
    const QRect text = r.adjusted(34, 2, -2, -2);
    const int half = text.height() / 2;
    p->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
    p->drawText(QRect(text.left(), text.top(), text.width(), half),
                Qt::AlignLeft | Qt::AlignVCenter,
                option.fontMetrics.elidedText(Text(SavedLists::ItemFolder(item)), Qt::ElideMiddle,
                                              text.width()));
    p->drawText(QRect(text.left(), text.top() + half, text.width(), text.height() - half),
                Qt::AlignLeft | Qt::AlignVCenter, Text(SavedLists::ItemDetails(item)));
    p->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), SavedListPanel::kItemHeight);
  }
};

// A press on empty space clears the selection.
class EmptySpaceClick final : public QObject {
 public:
  explicit EmptySpaceClick(QListWidget* list) : QObject(list), list_(list) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* me = static_cast<QMouseEvent*>(event);
      if (!list_->itemAt(me->position().toPoint())) list_->clearSelection();
    }
    return false;
  }

 private:
  QListWidget* list_;
};

}  // namespace

SavedListPanel::SavedListPanel(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* head = new QHBoxLayout();
  Caption = new QLabel(QStringLiteral("ファイルリスト"), this);
  SpeedButton11 = new QToolButton(this);
  SpeedButton11->setText(QStringLiteral("×"));
  SpeedButton11->setToolTip(QStringLiteral("Close|") + Caption->text() +
                            QStringLiteral("を閉じる"));
  SpeedButton11->setAutoRaise(true);
  head->addWidget(Caption, 1);
  head->addWidget(SpeedButton11);
  layout->addLayout(head);

  ListBox1 = new QListWidget(this);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setItemDelegate(new ListItemDelegate(ListBox1));
  ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  ListBox1->viewport()->installEventFilter(new EmptySpaceClick(ListBox1));
  layout->addWidget(ListBox1, 1);

  PopupMenu3 = new QMenu(this);
  New1 = PopupMenu3->addAction(QStringLiteral("新規作成と更新"));
  Find1 = PopupMenu3->addAction(QStringLiteral("リストを開く"));
  Find1->setToolTip(QStringLiteral("選択したリストから検索する"));
  Delete2 = PopupMenu3->addAction(QStringLiteral("削除"));
  PopupMenu3->setToolTipsVisible(true);

  connect(SpeedButton11, &QToolButton::clicked, this, [this] {
    if (onClose) onClose();
  });
  connect(New1, &QAction::triggered, this, [this] {
    if (onNewList) onNewList();
  });
  connect(Find1, &QAction::triggered, this, &SavedListPanel::OpenSelected);
  connect(Delete2, &QAction::triggered, this, [this] {
    const std::string folder = SelectedFolder();
    if (!folder.empty() && onDelete) onDelete(folder);
  });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, &SavedListPanel::OpenSelected);
  connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (!ListBox1->itemAt(at)) ListBox1->clearSelection();
    PopupMenu3Popup();
    PopupMenu3->popup(ListBox1->viewport()->mapToGlobal(at));
  });
  PopupMenu3Popup();
}

void SavedListPanel::SetItems(const std::vector<std::string>& items) {
  const std::string selected = SelectedFolder();
  ListBox1->clear();
  for (const std::string& item : items)
    PutItem(item);
  if (!selected.empty()) SelectFolder(selected);
}

void SavedListPanel::PutItem(const std::string& item) {
  const int row = RowOfFolder(SavedLists::ItemFolder(item));
  QListWidgetItem* target = row >= 0 ? ListBox1->item(row) : new QListWidgetItem(ListBox1);
  target->setData(kItemRole, Text(item));
  target->setToolTip(Text(SavedLists::ItemFolder(item)));
  target->setSizeHint(QSize(0, kItemHeight));
}

void SavedListPanel::RemoveFolder(const std::string& folder) {
  const int row = RowOfFolder(folder);
  if (row >= 0) delete ListBox1->takeItem(row);
}

std::vector<std::string> SavedListPanel::Items() const {
  std::vector<std::string> items;
  for (int i = 0; i < ListBox1->count(); ++i)
    items.push_back(ListBox1->item(i)->data(kItemRole).toString().toStdString());
  return items;
}

void SavedListPanel::SelectFolder(const std::string& folder) {
  const int row = RowOfFolder(folder);
  if (row < 0) {
    ListBox1->clearSelection();
    return;
  }
  ListBox1->setCurrentRow(row);
  ListBox1->item(row)->setSelected(true);
}

std::string SavedListPanel::SelectedItem() const {
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  if (selected.isEmpty()) return {};
  return selected.front()->data(kItemRole).toString().toStdString();
}

std::string SavedListPanel::SelectedFolder() const {
  const std::string item = SelectedItem();
  return item.empty() ? std::string() : SavedLists::ItemFolder(item);
}

void SavedListPanel::PopupMenu3Popup() {
  const bool any = !ListBox1->selectedItems().isEmpty();
  Delete2->setEnabled(any);
  Find1->setEnabled(any);
}

void SavedListPanel::OpenSelected() {
  const std::string folder = SelectedFolder();
  if (!folder.empty() && onOpen) onOpen(folder);
}

int SavedListPanel::RowOfFolder(const std::string& folder) const {
  for (int i = 0; i < ListBox1->count(); ++i) {
    const std::string item = ListBox1->item(i)->data(kItemRole).toString().toStdString();
    if (SavedLists::ItemFolder(item) == folder) return i;
  }
  return -1;
}

}  // namespace glyphwell::app::ui
