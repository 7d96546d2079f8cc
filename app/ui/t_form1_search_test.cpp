// The window's search: folder search through the busy dialog (finished and
// cancelled), the icon refresh worker, saved lists through the panel, favourites.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/short_folder_display.h"
#include "app/ui/t_form1.h"
#include "platform/display_probe.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/search_tree.h"

namespace glyphwell::app::ui {
namespace {

namespace fs = std::filesystem;
using testsupport::SearchTree;

class FixedDisplay final : public platform::DisplayProbe {
 public:
  int BitsPerPixel() const override { return 32; }
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> ListedNames(const TForm1& form) {
  std::vector<std::string> names;
  for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
    names.push_back(form.ListView1->topLevelItem(i)->text(0).toStdString());
  return names;
}

// Every row shows the icon the worker made from its file (one 32 x 32 picture in
// these modules), not the plain file icon it starts with (a theme icon of several
// sizes).
bool AllRowsHaveOwnIcons(const TForm1& form) {
  for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
    if (form.ListView1->topLevelItem(i)->icon(0).availableSizes() != QList<QSize>{QSize(32, 32)})
      return false;
  return true;
}

// A program folder of its own (never the real home) and one window over it.
struct SearchWindow : ::testing::Test {
  SearchWindow() {
    home = tree.Folder("home");
    ::setenv("GLYPHWELL_HOME", home.c_str(), 1);
    options.programFolder = home;
    options.logOnName = "tester";
    options.settingsPath = home + "/config/Glyphwell.ini";
    options.lockPath = home + "/Glyphwell.lock";
    options.pelmoraLibrary = "libPelmora-missing.so";
    env = std::make_unique<AppEnvironment>(options);
    env->Start(messages, FixedDisplay());
    form = std::make_unique<TForm1>(*env, messages);
    form->ChooseFolder = [this](const QString&, const QString&) { return chosen; };
  }
  ~SearchWindow() override {
    form->FormClose();
    form.reset();
    ::unsetenv("GLYPHWELL_HOME");
  }
  // Lets queued calls run until `done` or five seconds have passed.
  template <typename Done>
  bool WaitFor(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }
  std::string Folder(const std::string& path) const {
    return NormalFolder(fs::path(path).lexically_normal().string());
  }

  SearchTree tree;
  std::string home;
  StartupOptions options;
  platform::RecordingMessages messages;
  std::unique_ptr<AppEnvironment> env;
  std::unique_ptr<TForm1> form;
  QString chosen;
};

TEST_F(SearchWindow, FolderSearchListsSortedRowsAndFillsTheirIcons) {
  tree.Module("icons/Zeta.dll", 2);
  tree.Module("icons/alpha.exe", 3);
  tree.Module("icons/deep/Mid.ocx", 2);
  tree.Module("icons/one.dll", 1);   // below the threshold
  tree.Module("icons/none.dll", 0);  // no icons at all
  tree.Write("icons/readme.txt", {1, 2, 3});
  const std::string root = tree.Path("icons");
  chosen = QString::fromStdString(root);
  form->UpDown1->setValue(2);

  form->SearchSpBtnClick();

  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"alpha", "Mid", "Zeta"}));
  EXPECT_EQ(form->ListView1->topLevelItem(0)->text(2), "3");
  EXPECT_EQ(form->StaticText1->text(), "3");
  EXPECT_EQ(form->StatusPanel0->Text().toStdString(), ShortFolderDisplay(root));
  EXPECT_TRUE(form->RefreshSpBtn->isEnabled());
  EXPECT_FALSE(form->SystemSpBtn->isChecked());
  EXPECT_EQ(form->busyDialog(), nullptr);
  EXPECT_EQ(form->model().rows().size(), 3u);

  // The worker gives every row its own small icon, on the window thread.
  EXPECT_TRUE(WaitFor([&] { return !form->iconUpdateRunning(); }));
  EXPECT_TRUE(WaitFor([&] { return AllRowsHaveOwnIcons(*form); }));

  // "更新" finds a file added since and keeps the chosen row.
  tree.Module("icons/beta.dll", 2);
  form->ListView1->setCurrentItem(form->ListView1->topLevelItem(2));  // Zeta
  form->RefreshSpBtnClick();
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"alpha", "beta", "Mid", "Zeta"}));
  ASSERT_NE(form->ListView1->currentItem(), nullptr);
  EXPECT_EQ(form->ListView1->currentItem()->text(0), "Zeta");
  EXPECT_TRUE(WaitFor([&] { return AllRowsHaveOwnIcons(*form); }));

  // Rows rebuilt by a sort keep their icons; a file added to the list gets one.
  form->ListView1ColumnClick(2);
  QApplication::processEvents();
  EXPECT_TRUE(AllRowsHaveOwnIcons(*form));
  form->model().AddFiles({tree.Module("elsewhere/added.dll", 1)});
  form->RefreshRows();
  EXPECT_EQ(form->ListView1->topLevelItemCount(), 5);
  EXPECT_TRUE(WaitFor([&] { return AllRowsHaveOwnIcons(*form); }));
}

TEST_F(SearchWindow, CancellingTheBusyDialogKeepsTheRowsFoundSoFarSorted) {
  const int total = 12;
  for (int i = 0; i < total; ++i)
    tree.Module("many/f" + std::to_string(total - i) + ".dll", 1);  // f12 .. f1
  const std::string root = tree.Path("many");
  chosen = QString::fromStdString(root);

  // The fifth file the dialog's walk meets presses "キャンセル".
  const auto pump = form->search().runPendingEvents;
  int seen = 0;
  bool dialogShown = false;
  form->search().runPendingEvents = [&] {
    pump();
    dialogs::TMsgCanselDlg* dialog = form->busyDialog();
    if (!dialog) return;  // the counting walk before the dialog
    dialogShown = dialog->isVisible();
    if (++seen == 5) dialog->CancelBtn->click();
  };

  form->SearchSpBtnClick();

  EXPECT_TRUE(dialogShown);
  EXPECT_TRUE(form->search().cancel);
  const std::vector<std::string> names = ListedNames(*form);
  EXPECT_EQ(names.size(), 5u);  // the entry being looked at when cancelled is finished
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(names, sorted);
  EXPECT_EQ(form->StaticText1->text(), "5");
  EXPECT_EQ(form->StatusPanel0->Text().toStdString(), ShortFolderDisplay(root));
  EXPECT_EQ(form->busyDialog(), nullptr);
}

TEST_F(SearchWindow, SavedListPanelMakesSearchesRewritesAndDeletesAList) {
  tree.Module("lists/a.dll", 2);
  tree.Module("lists/sub/b.dll", 1);
  const std::string gone = tree.Module("lists/sub/c.dll", 3);
  const std::string root = Folder(tree.Path("lists"));
  const std::string index = env->folders().fileListIndex();

  form->List2Click();
  EXPECT_FALSE(form->Panel10->isHidden());
  EXPECT_TRUE(form->ListView2->isHidden());
  EXPECT_FALSE(form->List1->isEnabled());
  EXPECT_TRUE(form->Panel10->Items().empty());

  chosen = QString::fromStdString(root);
  form->New1Click();
  const std::string listFile = env->folders().sharedDataFolder() + "/0.ini";
  ASSERT_TRUE(fs::exists(listFile));
  ASSERT_EQ(form->Panel10->Items().size(), 1u);
  EXPECT_EQ(SavedLists::ItemFolder(form->Panel10->Items()[0]), root);
  EXPECT_EQ(SavedLists::ItemDetails(form->Panel10->Items()[0]).substr(0, 8), "files 3 ");

  // Making it again rewrites the same list; the panel item is replaced.
  tree.Module("lists/d.dll", 1);
  form->Panel10->SelectFolder(root);
  form->New1Click();
  ASSERT_EQ(form->Panel10->Items().size(), 1u);
  EXPECT_EQ(SavedLists::ItemDetails(form->Panel10->Items()[0]).substr(0, 8), "files 4 ");
  EXPECT_FALSE(fs::exists(env->folders().sharedDataFolder() + "/1.ini"));

  // A list search of a folder below, with "del": the missing file leaves the rows,
  // the list file and the list's totals, and the shown item follows.
  fs::remove(gone);
  form->CheckBox2->SetChecked(true);
  form->CheckBox2Click();
  ASSERT_TRUE(form->CheckBox4->isEnabled());
  form->CheckBox4->SetChecked(true);
  form->UpDown1->setValue(1);
  chosen = QString::fromStdString(root + "/sub");
  form->SearchSpBtnClick();
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"b"}));
  EXPECT_EQ(form->Panel10->SelectedFolder(), root);
  EXPECT_EQ(ReadText(listFile).find("c.dll"), std::string::npos);
  EXPECT_EQ(SavedLists::ItemDetails(form->Panel10->Items()[0]).substr(0, 8), "files 3 ");

  // Opening the list from the panel searches it through the list, and the
  // favourites shown before are released with their "削除".
  form->FavoriteSpBtnClick();
  form->OpenSavedList(root);
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"a", "b", "d"}));
  EXPECT_FALSE(form->FavoriteSpBtn->isChecked());
  EXPECT_TRUE(form->RefreshSpBtn->isEnabled());
  form->PopupMenu2SearchItems();
  EXPECT_FALSE(form->Delete3->isVisible());

  // "削除" asks first: "no" keeps the list, "yes" removes file, section and item.
  messages.entries.clear();  // the start-up's note about the missing library
  messages.answers = {platform::MsgResult::kNo, platform::MsgResult::kYes};
  form->DeleteSavedList(root);
  EXPECT_TRUE(fs::exists(listFile));
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].text, root + "\nこのリストを削除してよろしいですか？");
  EXPECT_EQ(messages.entries[0].caption, "削除確認");
  form->DeleteSavedList(root);
  EXPECT_FALSE(fs::exists(listFile));
  EXPECT_EQ(ReadText(index).find(root), std::string::npos);
  EXPECT_TRUE(form->Panel10->Items().empty());

  form->SpeedButton11Click();
  EXPECT_TRUE(form->Panel10->isHidden());
  EXPECT_TRUE(form->List1->isEnabled());
  EXPECT_TRUE(form->List2->isEnabled());
}

TEST_F(SearchWindow, DeletingAListWhoseFileIsGoneRemovesItsSection) {
  tree.Module("stale/a.dll", 1);
  const std::string root = Folder(tree.Path("stale"));
  chosen = QString::fromStdString(root);
  form->List2Click();
  form->New1Click();
  ASSERT_EQ(form->Panel10->Items().size(), 1u);
  fs::remove(env->folders().sharedDataFolder() + "/0.ini");

  messages.entries.clear();
  messages.answers = {platform::MsgResult::kYes};
  form->DeleteSavedList(root);
  EXPECT_EQ(messages.entries.size(), 1u);  // the question, no error after it
  EXPECT_TRUE(form->Panel10->Items().empty());
  EXPECT_EQ(ReadText(env->folders().fileListIndex()).find(root), std::string::npos);
}

TEST_F(SearchWindow, FavouritesDropMissingFilesAndFollowRemovals) {
  const std::string kept1 = tree.Module("fav/kept1.dll", 2);
  const std::string kept2 = tree.Module("fav/kept2.dll", 1);
  const std::string missing = tree.Path("fav/missing.dll");
  const std::string file = env->folders().favouritesFile();
  {
    std::ofstream out(file, std::ios::binary);
    out << kept1 << "\r\n" << missing << "\r\n" << kept2 << "\r\n";
  }

  // "追加" is offered for a found file that is no favourite yet, and adds it.
  const std::string found = tree.Module("elsewhere/found.dll", 1);
  chosen = QString::fromStdString(tree.Path("elsewhere"));
  form->SearchSpBtnClick();
  form->ListView1->topLevelItem(0)->setSelected(true);
  form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
  form->PopupMenu2SearchItems();
  EXPECT_TRUE(form->N9->isVisible());
  EXPECT_FALSE(form->Delete3->isVisible());
  form->N9Click();
  form->PopupMenu2SearchItems();
  EXPECT_FALSE(form->N9->isVisible());

  form->FavoriteSpBtnClick();
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"found", "kept1", "kept2"}));
  EXPECT_EQ(form->ListView1->topLevelItem(1)->text(2), "2");  // recounted for the mode
  EXPECT_EQ(ReadText(file).find("missing"), std::string::npos);
  EXPECT_TRUE(form->FavoriteSpBtn->isChecked());
  EXPECT_FALSE(form->RefreshSpBtn->isEnabled());

  form->ListView1->topLevelItem(1)->setSelected(true);
  form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
  form->PopupMenu2SearchItems();
  EXPECT_TRUE(form->Delete3->isVisible());
  EXPECT_FALSE(form->N9->isVisible());  // already a favourite
  form->Delete3Click();
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"found", "kept2"}));
  EXPECT_EQ(ReadText(file), found + "\r\n" + kept2 + "\r\n");

  // A system-folder search releases the favourites, so "削除" is gone with them.
  env->settings().sysdir = tree.Folder("system");
  form->SystemSpBtnClick();
  EXPECT_FALSE(form->FavoriteSpBtn->isChecked());
  form->PopupMenu2SearchItems();
  EXPECT_FALSE(form->Delete3->isVisible());
  form->Delete3Click();
  EXPECT_EQ(ReadText(file), found + "\r\n" + kept2 + "\r\n");
}

TEST_F(SearchWindow, ModeChangeSearchesAgainOrRecountsFromTheSavedList) {
  tree.Module("modes/icons.dll", 2);
  tree.Module("modes/bitmaps.dll", 0, 3);
  const std::string both = tree.Module("modes/sub/both.dll", 2, 3);
  const std::string root = Folder(tree.Path("modes"));
  chosen = QString::fromStdString(root);
  const auto switchToBmp = [&](bool updateSwitch) {
    form->NewCheckBox3->SetChecked(updateSwitch);
    form->BmpAllChkBox->SetChecked(true);
    form->ModeChkBoxClick(false);
  };

  // Update switch off: the folder is searched again for the new mode.
  form->SearchSpBtnClick();
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"both", "icons"}));
  switchToBmp(false);
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"bitmaps", "both"}));

  // Update switch on after a list search: the counts come from the list's lines,
  // even for a file that has left the disk since.
  form->BmpAllChkBox->SetChecked(false);
  form->AllIconChkBox->SetChecked(true);
  form->ModeChkBoxClick(true);
  form->List2Click();
  form->New1Click();
  form->CheckBox2->SetChecked(true);
  chosen = QString::fromStdString(root + "/sub");
  form->SearchSpBtnClick();
  ASSERT_EQ(ListedNames(*form), (std::vector<std::string>{"both"}));
  EXPECT_EQ(form->ListView1->topLevelItem(0)->text(2), "2");
  // A module added to the list afterwards ("開く") is not in the list's lines: its
  // count comes from its file.
  const std::string added = tree.Module("elsewhere/added.dll", 1, 4);
  form->ChooseOpenFiles = [&](bool) { return QStringList{QString::fromStdString(added)}; };
  form->Open1Click();
  fs::remove(both);
  switchToBmp(true);
  ASSERT_EQ(ListedNames(*form), (std::vector<std::string>{"both", "added"}));
  EXPECT_EQ(form->ListView1->topLevelItem(0)->text(2), "3");
  EXPECT_EQ(form->ListView1->topLevelItem(1)->text(2), "4");
}

// The folder dialogs of the search side carry their own titles.
TEST_F(SearchWindow, FolderDialogsAskWithTheirTitles) {
  std::vector<std::string> titles;
  form->ChooseFolder = [&](const QString& title, const QString&) {
    titles.push_back(title.toStdString());
    return QString();
  };
  form->SearchSpBtnClick();
  form->List2Click();
  form->New1Click();
  form->N11->trigger();
  EXPECT_EQ(titles,
            (std::vector<std::string>{
                "検索を行なうフォルダを選択して下さい",
                "ファイルリストの新規作成を行ないます。\n検索を行なうフォルダを選択して下さい",
                "新しい作業フォルダを指定"}));
}

TEST_F(SearchWindow, AFolderDroppedOnTheFileListIsSearchedWithTheFilters) {
  const std::string kept = tree.Module("dropped/zeta.dll", 2);
  tree.Module("dropped/sub/Alpha.exe", 3);
  tree.Module("dropped/one.dll", 1);             // under the threshold
  tree.Module("dropped/.hidden/secret.dll", 2);  // a dot folder is never entered
  tree.Module("dropped/plugin.opx", 2);          // found only when added one by one
  tree.Write("dropped/picture.png", testsupport::MakePngImage(4, 4));  // pictures left out
  const std::string single = tree.Module("single.opx", 2);
  form->UpDown1->setValue(2);
  form->show();
  QApplication::processEvents();
  const QPoint onList = form->ListView1->mapTo(form.get(), form->ListView1->rect().center());

  ASSERT_TRUE(form->DropFiles({QString::fromStdString(kept)}, onList));
  ASSERT_TRUE(form->DropFiles(
      {QString::fromStdString(tree.Path("dropped")), QString::fromStdString(single)}, onList));
  EXPECT_EQ(ListedNames(*form), (std::vector<std::string>{"Alpha", "zeta", "single"}));
  EXPECT_EQ(form->model().rows().size(), 3u);
}

TEST_F(SearchWindow, AFavouritesFileThatCannotBeReadIsLeftAloneAndSaidSo) {
  const std::string file = env->folders().favouritesFile();
  fs::create_directories(file);  // there, but no file to read
  chosen = QString::fromStdString(tree.Path("unread"));
  tree.Module("unread/found.dll", 1);
  form->SearchSpBtnClick();
  form->ListView1->topLevelItem(0)->setSelected(true);
  form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
  messages.entries.clear();
  form->N9Click();
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_NE(messages.entries[0].text.find(file), std::string::npos);
  EXPECT_TRUE(fs::is_directory(file));
}

// Opt-in: GLYPHWELL_SHOTS=<folder> writes pictures of a search's rows and of the
// saved-list panel, for a person to look at.
TEST_F(SearchWindow, WritesScreenshotsWhenAsked) {
  const char* folder = std::getenv("GLYPHWELL_SHOTS");
  if (!folder) GTEST_SKIP() << "set GLYPHWELL_SHOTS to a folder to get screenshots";
  fs::create_directories(folder);
  for (int i = 0; i < 12; ++i)
    tree.Module("shots/app" + std::to_string(i) + (i % 3 ? ".dll" : ".exe"), 1 + i % 5);
  tree.Module("shots/more/library.icl", 7);
  form->show();
  chosen = QString::fromStdString(tree.Path("shots"));
  form->SearchSpBtnClick();
  WaitFor([this] { return AllRowsHaveOwnIcons(*form); });
  form->grab().save(QString::fromUtf8(folder) + "/search-rows.png");

  form->List2Click();
  form->New1Click();
  chosen = QString::fromStdString(tree.Path("shots/more"));
  form->New1Click();
  QApplication::processEvents();
  form->grab().save(QString::fromUtf8(folder) + "/saved-lists.png");
}

}  // namespace
}  // namespace glyphwell::app::ui
