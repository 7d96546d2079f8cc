#include "app/ui/saved_list_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace glyphwell::app::ui {
namespace {

TEST(SavedListPanelTest, ItemsAreReplacedByFolderAndTheMenuFollowsTheSelection) {
  SavedListPanel panel;
  panel.resize(400, 300);
  panel.show();
  EXPECT_EQ(panel.SpeedButton11->toolTip(), QStringLiteral("Close|ファイルリストを閉じる"));

  // "/a/b=..." holds an "=" in its folder; the value is what follows the last one.
  panel.SetItems({"/icons=3<>10e12e1e0", "/a/b=c=0"});
  panel.PutItem("/icons=4<>11e13e1e1");  // rewritten: replaced in place
  panel.PutItem("/new=1<>0e0e0e1");      // a new list: added at the end
  EXPECT_EQ(panel.Items(),
            (std::vector<std::string>{"/icons=4<>11e13e1e1", "/a/b=c=0", "/new=1<>0e0e0e1"}));
  EXPECT_EQ(panel.ListBox1->visualItemRect(panel.ListBox1->item(0)).height(),
            SavedListPanel::kItemHeight);

  panel.PopupMenu3Popup();
  EXPECT_FALSE(panel.Find1->isEnabled());
  EXPECT_FALSE(panel.Delete2->isEnabled());
  EXPECT_TRUE(panel.New1->isEnabled());

  std::vector<std::string> opened, deleted;
  panel.onOpen = [&](const std::string& f) { opened.push_back(f); };
  panel.onDelete = [&](const std::string& f) { deleted.push_back(f); };
  panel.SelectFolder("/a/b=c");
  EXPECT_EQ(panel.SelectedFolder(), "/a/b=c");
  panel.PopupMenu3Popup();
  EXPECT_TRUE(panel.Find1->isEnabled());
  EXPECT_TRUE(panel.Delete2->isEnabled());
  panel.Find1->trigger();
  panel.Delete2->trigger();
  EXPECT_EQ(opened, (std::vector<std::string>{"/a/b=c"}));
  EXPECT_EQ(deleted, (std::vector<std::string>{"/a/b=c"}));

  // Rewriting all items keeps the selection; a press on empty space clears it.
  panel.SetItems({"/a/b=c=1<>1e1e0e0", "/icons=4<>11e13e1e1"});
  EXPECT_EQ(panel.SelectedFolder(), "/a/b=c");
  QTest::mouseClick(panel.ListBox1->viewport(), Qt::LeftButton, {},
                    QPoint(10, panel.ListBox1->viewport()->height() - 5));
  EXPECT_EQ(panel.SelectedItem(), "");
  panel.PopupMenu3Popup();
  EXPECT_FALSE(panel.Delete2->isEnabled());

  panel.RemoveFolder("/icons");
  EXPECT_EQ(panel.Items(), (std::vector<std::string>{"/a/b=c=1<>1e1e0e0"}));
}

}  // namespace
}  // namespace glyphwell::app::ui
