#include "app/icon_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/favourites.h"
#include "app/short_folder_display.h"
#include "platform/ini_file.h"
#include "tests/support/search_tree.h"

namespace glyphwell::app {
namespace {

using extract::ExtractionMode;
using testsupport::SearchTree;

// A program folder with its data folders, and a search over it.
struct Harness {
  SearchTree home;
  platform::SilentMessages messages;
  IconSearch search{SavedLists(home.Folder("data"), home.Folder("data/me") + "/filelist.ini"),
                    messages};
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const FileListRow& r : search.rows())
      names.push_back(r.name + "." + r.ext);
    return names;
  }
};

using Names = std::vector<std::string>;

TEST(IconSearchWalk, ThresholdPicturesAndModesDecideTheRows) {
  struct Case {
    ExtractionMode mode;
    int threshold;
    bool pictures;
    Names expected;
  };
  const Case cases[] = {
      {ExtractionMode::kNormal, 2, false, {"two.dll"}},
      {ExtractionMode::kNormal, 1, false, {"one.exe", "two.dll"}},
      {ExtractionMode::kNormal, 5, true, {"back.png", "Pic.bmp"}},
      {ExtractionMode::kIcon, 1, false, {"one.exe", "two.dll"}},
      {ExtractionMode::kBmp, 1, false, {"none.dll"}},
  };
  SearchTree tree;
  tree.Module("two.dll", 2);
  tree.Module("sub/one.exe", 1);
  tree.Module("sub/deeper/none.dll", 0, 1);
  tree.Write("back.png", {1, 2, 3});
  tree.Write("sub/Pic.bmp", {1, 2, 3});
  tree.Write("notes.txt", {1});
  for (const Case& c : cases) {
    Harness h;
    h.search.filters.mode = c.mode;
    h.search.filters.threshold = c.threshold;
    h.search.filters.leaveOutPictures = !c.pictures;
    h.search.DiskSearch(tree.root());
    EXPECT_EQ(h.Names(), c.expected) << "threshold " << c.threshold;
  }
  Harness h;
  h.search.filters.mode = ExtractionMode::kNormal;
  h.search.DiskSearch(tree.root());
  ASSERT_EQ(h.search.rows().size(), 2u);
  EXPECT_EQ(h.search.rows()[1], (FileListRow{"two", "dll", 2, tree.Path("two.dll")}));
}

TEST(IconSearchWalk, HiddenSystemDotFoldersAndSymlinks) {
  SearchTree tree;
  tree.Module("shown.dll", 1);
  tree.Module(".dotfile.dll", 1);
  tree.Module("secret/inside.dll", 1);
  tree.Write(".hidden", {'s', 'e', 'c', 'r', 'e', 't', '\n'});
  tree.Module(".config/dot.dll", 1);
  tree.Module("lost+found/sys.dll", 1);
  // A loop back to the root, a link to a module and a pipe: only the module is read.
  ASSERT_EQ(symlink(tree.root().c_str(), tree.Path("loop").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("shown.dll").c_str(), tree.Path("linked.dll").c_str()), 0);
  ASSERT_EQ(mkfifo(tree.Path("pipe.dll").c_str(), 0600), 0);
  struct Case {
    bool hidden, system;
    Names expected;
  };
  const Case cases[] = {
      {false, false, {"linked.dll", "shown.dll"}},
      {true, false, {".dotfile.dll", "inside.dll", "linked.dll", "shown.dll"}},
      {false, true, {"linked.dll", "shown.dll", "sys.dll"}},
  };
  for (const Case& c : cases) {
    Harness h;
    h.search.filters.hidden = c.hidden;
    h.search.filters.system = c.system;
    h.search.DiskSearch(tree.root());
    EXPECT_EQ(h.Names(), c.expected) << c.hidden << c.system;
  }
}

TEST(IconSearchWalk, OpxOnlyByAddingAndShortcutsFollowed) {
  SearchTree tree;
  const std::string opx = tree.Module("extra.opx", 1);
  tree.Module("folder/a.dll", 1);
  Harness h;
  h.search.DiskSearch(tree.root());
  EXPECT_EQ(h.Names(), (Names{"a.dll"}));
  h.search.AddFiles({opx, opx, tree.Path("missing.dll")});
  EXPECT_EQ(h.Names(), (Names{"a.dll", "extra.opx"}));  // no duplicate, nothing missing
  // A folder line is walked; a file below the threshold still gets its row.
  Harness added;
  added.search.filters.threshold = 50;
  added.search.AddFiles({tree.Path("folder"), opx});
  EXPECT_EQ(added.Names(), (Names{"extra.opx"}));
}

TEST(IconSearchWalk, CancelKeepsTheRowsFoundSoFarSorted) {
  SearchTree tree;
  for (int i = 0; i < 30; ++i)
    tree.Module("m" + std::to_string(29 - i) + ".dll", 1);
  Harness h;
  int events = 0;
  int busyMax = -1;
  bool working = false;
  h.search.runBusy = [&](const std::string&, const std::string&, int max,
                         const std::function<bool()>& work) {
    busyMax = max;
    working = true;
    return work();
  };
  // The busy dialog's cancel button, pressed half-way through the walk.
  h.search.runPendingEvents = [&] {
    if (working && ++events == 12) h.search.cancel = true;
  };
  h.search.DiskSearch(tree.root());
  EXPECT_EQ(busyMax, 30);
  EXPECT_GT(h.search.rows().size(), 0u);
  EXPECT_LT(h.search.rows().size(), 30u);
  EXPECT_TRUE(
      std::is_sorted(h.search.rows().begin(), h.search.rows().end(),
                     [](const FileListRow& a, const FileListRow& b) { return a.name < b.name; }));
}

TEST(IconSearchWalk, UnreadableAndShrinkingFilesCountNothing) {
  SearchTree tree;
  tree.Write("empty.dll", {});
  tree.Write("junk.exe", {'M', 'Z', 0, 1});
  const std::string locked = tree.Module("locked.dll", 2);
  chmod(locked.c_str(), 0);
  Harness h;
  h.search.filters.threshold = 1;
  h.search.DiskSearch(tree.root());
  if (geteuid() != 0) {
    EXPECT_TRUE(h.search.rows().empty());
  }
}

// Saved lists --------------------------------------------------------------

TEST(SavedListsTest, MakeListTakesTheFirstFreeFileAndRewritesItInPlace) {
  Harness h;
  SearchTree icons;
  icons.Module("a.dll", 2, 1);
  icons.Module("Sub/b.exe", 1);
  icons.Module("Sub/bits.dll", 0, 2);
  icons.Module("Sub/plain.dll", 0);  // no icons, no bitmaps: not listed
  icons.Write("Sub/p.png", {1});
  h.home.Write("data/0.ini", {});
  h.home.Write("data/1.ini", {});
  auto made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_FALSE(made->cancelled);
  EXPECT_EQ(made->fileName, "2.ini");
  EXPECT_EQ(made->item, icons.root() + "=4<>3e3e3e1");

  platform::IniFile list;
  ASSERT_EQ(list.Load(h.home.Path("data/2.ini")), platform::IniLoadStatus::kLoaded);
  EXPECT_EQ(list.SectionKeys(icons.root()), (Names{"a.dll<>7e2e2e1"}));
  Names sub = list.SectionKeys(icons.Path("Sub"));
  std::sort(sub.begin(), sub.end());
  EXPECT_EQ(sub, (Names{"b.exe<>3e1e1e0", "bits.dll<>4e0e0e2", "p.png<>8e1e0e0"}));

  std::vector<std::string> items = h.search.lists().PanelItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(SavedLists::ItemDetails(items[0]), "files 4   normal 3  icon 3  bmp 3  graphic 1");

  // Again, after a file is added: the same list file, the panel item replaced.
  icons.Module("c.dll", 1);
  made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_EQ(made->fileName, "2.ini");
  IconSearch::PutPanelItem(items, made->item);
  EXPECT_EQ(items, (Names{icons.root() + "=5<>4e4e3e1"}));
  EXPECT_FALSE(std::filesystem::exists(h.home.Path("data/3.ini")));

  // A list of a missing folder is not made.
  EXPECT_FALSE(h.search.MakeList(icons.Path("nowhere")));
}

TEST(SavedListsTest, CancelledMakeListWritesNothing) {
  Harness h;
  SearchTree icons;
  for (int i = 0; i < 5; ++i)
    icons.Module("m" + std::to_string(i) + ".dll", 1);
  h.search.runPendingEvents = [&] { h.search.cancel = true; };
  auto made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->cancelled);
  EXPECT_FALSE(std::filesystem::exists(h.home.Path("data/0.ini")));
  EXPECT_TRUE(h.search.lists().PanelItems().empty());
}

TEST(SavedListsTest, ListSearchOfASubFolderUsesTheParentsList) {
  Harness h;
  SearchTree icons;
  icons.Module("top.dll", 1);
  icons.Module("Sub/in.dll", 2);
  icons.Module("Sub/deep/deeper.dll", 3);
  icons.Module("Sub2/beside.dll", 1);
  ASSERT_TRUE(h.search.MakeList(icons.root()));
  EXPECT_EQ(h.search.lists().ListedCount(icons.Path("Sub")), 2);
  EXPECT_EQ(h.search.lists().ListedCount(icons.root()), 4);
  EXPECT_EQ(h.search.lists().ListedCount(icons.Path("gone")), -1);

  // The disk is not read: a file made after the list is not found.
  icons.Module("Sub/later.dll", 1);
  h.search.filters.listSearch = true;
  h.search.filters.mode = ExtractionMode::kNormal;
  std::string selected;
  h.search.selectList = [&](const std::string& section) { selected = section; };
  h.search.SearchFolder(icons.Path("Sub"));
  EXPECT_EQ(h.Names(), (Names{"deeper.dll", "in.dll"}));
  EXPECT_EQ(selected, icons.root());
  EXPECT_EQ(h.search.ListCount(icons.Path("Sub/in.dll")), 2);
  EXPECT_EQ(h.search.ListCount(icons.Path("Sub/in.dl")), 0);
  EXPECT_EQ(h.search.listSearchLines().size(), 2u);

  // Without the list box ticked the disk is searched.
  h.search.filters.listSearch = false;
  h.search.RefreshSearch("", "");
  EXPECT_EQ(h.Names(), (Names{"deeper.dll", "in.dll", "later.dll"}));
  EXPECT_TRUE(h.search.listSearchLines().empty());
}

TEST(SavedListsTest, DelRemovesMissingFilesAndTheirCountsFromTheTotals) {
  Harness h;
  SearchTree icons;
  const std::string gone = icons.Module("gone.dll", 2, 1);
  icons.Module("kept.dll", 1);
  const std::string picture = icons.Write("pic.png", {1});
  ASSERT_TRUE(h.search.MakeList(icons.root()));
  EXPECT_EQ(h.search.lists().ReadTotals(icons.root()), (ListTotals{3, 3, 3, 1, 1}));
  std::filesystem::remove(gone);
  std::filesystem::remove(picture);
  int refreshed = 0;
  h.search.listsChanged = [&] { ++refreshed; };
  h.search.filters.listSearch = true;
  h.search.filters.leaveOutPictures = false;
  // Without "del" the missing files stay listed.
  h.search.SearchFolder(icons.root());
  EXPECT_EQ(h.search.rows().size(), 3u);
  h.search.filters.deleteMissing = true;
  h.search.RefreshSearch("", "");
  EXPECT_EQ(h.Names(), (Names{"kept.dll"}));
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(h.search.lists().ReadTotals(icons.root()), (ListTotals{1, 1, 1, 0, 0}));
  platform::IniFile list;
  list.Load(h.home.Path("data/0.ini"));
  EXPECT_EQ(list.SectionKeys(icons.root()), (Names{"kept.dll<>3e1e1e0"}));
}

TEST(SavedListsTest, RewritingAListStepsTheBarOncePerListedFile) {
  Harness h;
  SearchTree icons;
  icons.Module("a.dll", 1);
  icons.Module("plain.dll", 0);  // looked at, never listed
  icons.Module("a=b.dll", 1);    // a name the list file cannot hold
  icons.Module("Sub/b.dll", 2);
  ASSERT_TRUE(h.search.MakeList(icons.root()));
  int maximum = -1;
  int steps = 0;
  h.search.runBusy = [&](const std::string&, const std::string&, int max,
                         const std::function<bool()>& work) {
    maximum = max;
    return work();
  };
  h.search.stepBar = [&](int n) { steps += n; };
  auto made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->written);
  EXPECT_EQ(maximum, 2);
  EXPECT_EQ(steps, 2);
}

TEST(SavedListsTest, AListFileThatCannotBeWrittenLeavesTheIndexAlone) {
  Harness h;
  SearchTree icons;
  icons.Module("a.dll", 1);
  ASSERT_TRUE(h.search.MakeList(icons.root()));
  icons.Module("b.dll", 2);
  // The list file's place is taken by a folder: the rewrite cannot replace it.
  std::filesystem::remove(h.home.Path("data/0.ini"));
  h.home.Folder("data/0.ini");
  auto made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_FALSE(made->written);
  EXPECT_EQ(h.search.lists().ReadTotals(icons.root()), (ListTotals{1, 1, 1, 0, 0}));
}

TEST(SavedListsTest, NamesTheListFileCannotHoldAreLeftOutWhole) {
  Harness h;
  SearchTree icons;
  // Each of these would read back as another name, a section or nothing.
  for (const char* odd : {"[x].dll", "a=b.dll", " lead.dll", ";semi.dll", "x<>y.dll",
                          "new\nline.dll", "Sub\nfolder/in.dll"})
    icons.Module(odd, 1);
  icons.Module("ok.dll", 1);
  icons.Module("z.dll", 2);
  icons.Module("Sub/deep.dll", 1);
  auto made = h.search.MakeList(icons.root());
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->written);
  EXPECT_EQ(h.search.lists().ReadTotals(icons.root()), (ListTotals{3, 4, 4, 0, 0}));
  EXPECT_EQ(h.search.lists().ListedCount(icons.root()), 3);
  h.search.filters.listSearch = true;
  h.search.SearchFolder(icons.root());
  EXPECT_EQ(h.Names(), (Names{"deep.dll", "ok.dll", "z.dll"}));
  EXPECT_EQ(h.search.rows()[2].count, 2);
  EXPECT_EQ(h.search.rows()[2].path, icons.Path("z.dll"));
}

TEST(SavedListsTest, AListSearchAfterACancelledSearchStillRuns) {
  Harness h;
  SearchTree icons;
  icons.Module("a.dll", 1);
  ASSERT_TRUE(h.search.MakeList(icons.root()));
  h.search.cancel = true;  // left over from the search before
  h.search.filters.listSearch = true;
  h.search.SearchFolder(icons.root());
  EXPECT_FALSE(h.search.listSearchLines().empty());
  EXPECT_EQ(h.Names(), (Names{"a.dll"}));
}

TEST(SavedListsTest, AnIndexKeyNamingAPathNeverReachesOutsideTheDataFolder) {
  for (const char* key : {"../outside.ini", "x/../../outside.ini", ".."}) {
    Harness h;
    SearchTree icons;
    icons.Module("a.dll", 1);
    const std::string outside = h.home.Write("outside.ini", {'k', 'e', 'e', 'p'});
    platform::IniFile index;
    ASSERT_TRUE(index.WriteString(icons.root(), key, "1<>1e1e0e0"));
    ASSERT_TRUE(index.Save(h.search.lists().indexPath()));

    EXPECT_FALSE(h.search.lists().CoveringList(icons.root(), false)) << key;
    auto made = h.search.MakeList(icons.root());
    ASSERT_TRUE(made);
    EXPECT_FALSE(made->written) << key;
    std::string error;
    EXPECT_TRUE(h.search.lists().DeleteList(icons.root(), &error)) << key << error;
    EXPECT_TRUE(h.search.lists().PanelItems().empty()) << key;
    std::ifstream in(outside, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep") << key;
  }
}

TEST(SavedListsTest, CoveringListGoesByWholeFoldersAndDeleteRemovesBoth) {
  Harness h;
  SearchTree icons;
  icons.Module("a/x.dll", 1);
  icons.Module("ab/y.dll", 1);
  icons.Module("a/b/z.dll", 1);
  ASSERT_TRUE(h.search.MakeList(icons.Path("a")));
  ASSERT_TRUE(h.search.MakeList(icons.Path("a/b")));
  auto covering = h.search.lists().CoveringList(icons.Path("a/b/c"), false);
  ASSERT_TRUE(covering);
  EXPECT_EQ(covering->fileName, "1.ini");  // the nearest folder above
  EXPECT_FALSE(h.search.lists().CoveringList(icons.Path("ab"), false));
  EXPECT_EQ(h.search.lists().ListedCount(icons.Path("ab")), 0);
  // A search of "ab" through the lists does not apply: the disk is searched.
  h.search.filters.listSearch = true;
  h.search.SearchFolder(icons.Path("ab"));
  EXPECT_EQ(h.Names(), (Names{"y.dll"}));

  std::string error;
  ASSERT_TRUE(h.search.lists().DeleteList(icons.Path("a"), &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(h.home.Path("data/0.ini")));
  EXPECT_EQ(h.search.lists().PanelItems(), (Names{icons.Path("a/b") + "=1<>1e1e0e0"}));
}

TEST(SavedListsTest, EntryKeysAndIndexValuesParse) {
  struct Case {
    const char* key;
    bool valid;
    ListEntry entry;
  };
  const Case cases[] = {
      {"shell32.dll<>7e300e310e12", true, {"shell32.dll", 7, 300, 310, 12}},
      {"back.png<>8e1e0e0", true, {"back.png", 8, 1, 0, 0}},
      {"odd.dll<>3ex1e2", true, {"odd.dll", 3, 0, 2, 0}},
      {"a<b.dll<>", true, {"a<b.dll", 0, 0, 0, 0}},
      {"<>1e1e1e1", false, {}},
      {"noseparator", false, {}},
  };
  for (const Case& c : cases) {
    auto entry = ListEntry::ParseKey(c.key);
    ASSERT_EQ(entry.has_value(), c.valid) << c.key;
    if (!entry) continue;
    EXPECT_EQ(entry->name, c.entry.name);
    EXPECT_EQ(entry->Key(), c.entry.Key()) << c.key;
  }
  EXPECT_EQ(ListTotals::Parse("120<>860e905e40e3"), (ListTotals{120, 860, 905, 40, 3}));
  EXPECT_EQ(ListTotals::Parse("120<>860e905e40e3").ToValue(), "120<>860e905e40e3");
  EXPECT_EQ(ListTotals::Parse("junk"), ListTotals{});
  ListTotals t{1, 0, 0, 0, 1};
  t.Remove(ListEntry{"p.png", 8, 1, 0, 0});
  EXPECT_EQ(t, ListTotals{});
  t.Remove(ListEntry{"m.dll", 3, 9, 9, 9});  // never below zero
  EXPECT_EQ(t, ListTotals{});
}

TEST(ShortFolderDisplayTest, FirstComponentDotsAndLastFolder) {
  SearchTree tree;
  tree.Folder("v1.2");
  const std::pair<std::string, std::string> cases[] = {
      {"/usr/share/icons/hicolor", "/usr...[hicolor]"},
      {"/usr/lib", "/usr.[lib]"},
      {"/usr/lib/", "/usr.[lib]"},
      {"/home", "/home"},
      {"/", "/"},
      {"/opt/app/icon.dll", "/opt.[app]"},  // a file path shows its folder
  };
  for (const auto& [path, shown] : cases)
    EXPECT_EQ(ShortFolderDisplay(path), shown) << path;
  // A folder with a dot in its name stays a folder.
  EXPECT_TRUE(ShortFolderDisplay(tree.Path("v1.2")).ends_with(".[v1.2]"));
  std::string deep = "/r";
  for (int i = 0; i < 40; ++i)
    deep += "/d";
  EXPECT_EQ(ShortFolderDisplay(deep), "/r" + std::string(30, '.') + "[d]");
}

TEST(FavouritesTest, ShowDropsMissingFilesAndAddIgnoresCase) {
  SearchTree tree;
  const std::string a = tree.Module("Alpha.dll", 1);
  const std::string b = tree.Module("beta.exe", 1);
  Favourites favourites(tree.Path("favorite.txt"));
  EXPECT_FALSE(favourites.Contains(a));  // no file yet
  EXPECT_EQ(favourites.Add({b, a, tree.Path("gone.dll")}), 3);
  EXPECT_EQ(favourites.Add({tree.Path("ALPHA.DLL")}), 0);
  std::vector<FileListRow> rows = favourites.Show();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (FileListRow{"Alpha", "dll", 0, a}));
  EXPECT_EQ(favourites.Read(), (Names{b, a}));
  std::ifstream in(tree.Path("favorite.txt"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, b + "\r\n" + a + "\r\n");
  favourites.KeepOnly({a});
  EXPECT_FALSE(favourites.Contains(b));
}

// A favourites file that is there but cannot be read is never replaced: adding to it or
// removing from it would otherwise write only what the window knows of.
TEST(FavouritesTest, AFileThatCannotBeReadIsNeverWritten) {
  SearchTree tree;
  const std::string a = tree.Module("Alpha.dll", 1);
  const std::string kept = tree.Module("favorite.txt/held", 1);  // a folder where the file goes
  Favourites favourites(tree.Path("favorite.txt"));
  EXPECT_FALSE(favourites.Readable());
  EXPECT_TRUE(favourites.Show().empty());
  EXPECT_EQ(favourites.Add({a}), 0);
  EXPECT_FALSE(favourites.KeepOnly({a}));
  EXPECT_TRUE(std::filesystem::is_directory(tree.Path("favorite.txt")));
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_TRUE(Favourites(tree.Path("none.txt")).Readable());  // no file is an empty list
}

}  // namespace
}  // namespace glyphwell::app
