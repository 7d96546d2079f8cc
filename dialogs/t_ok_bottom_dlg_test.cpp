#include "dialogs/t_ok_bottom_dlg.h"

#include <gtest/gtest.h>

#include "dialogs/criteria_history.h"

namespace glyphwell::dialogs {
namespace {

std::vector<std::string> Items(const QComboBox* box) {
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i)
    items.push_back(box->itemText(i).toStdString());
  return items;
}

TEST(CriteriaHistory, SortedDistinctNonEmptyAndAtMostEight) {
  const std::string text = "32\r\n16\r\n32\r\n\r\n48\n64\n8\n24\n20\n96\n128\n256\n72";
  const auto list = LoadCriteriaHistory(text);
  EXPECT_EQ(list, (std::vector<std::string>{"128", "16", "20", "24", "256", "32", "48", "64"}));
  EXPECT_EQ(CriteriaHistoryText({"a", "b"}), "a\r\nb");
  EXPECT_TRUE(LoadCriteriaHistory("").empty());
  std::vector<std::string> l{"16"};
  RememberCriteria(l, "16");
  RememberCriteria(l, "");
  RememberCriteria(l, "4,8");
  EXPECT_EQ(l, (std::vector<std::string>{"16", "4,8"}));
}

TEST(TOKBottomDlg, TextsAndTheHistoryRoundTrip) {
  CriteriaHistories h{"32\r\n16\r\n32\r\n", "", "8"};
  {
    TOKBottomDlg dlg(QStringLiteral("抽出"), nullptr, h);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("抽出設定"));
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("抽出するアイコンのサイズ、ビット形式を入力"));
    EXPECT_EQ(Items(dlg.ComboBox1), (std::vector<std::string>{"16", "32"}));
    EXPECT_EQ(h.width, "16\r\n32");  // written back tidied at once
    dlg.SetTexts(QStringLiteral("24"), QStringLiteral("24"), QStringLiteral("8"));
    dlg.OKBtn->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.WidthText(), QStringLiteral("24"));
  }
  EXPECT_EQ(h.width, "16\r\n32\r\n24");  // appended at the end
  EXPECT_EQ(h.height, "24");
  EXPECT_EQ(h.bits, "8");
  TOKBottomDlg again(QStringLiteral("選択"), nullptr, h);
  EXPECT_EQ(again.windowTitle(), QStringLiteral("選択設定"));
  EXPECT_EQ(Items(again.ComboBox1), (std::vector<std::string>{"16", "24", "32"}));

  // Cancel leaves the histories as the opening tidied them
  again.SetTexts(QStringLiteral("99"), QString(), QString());
  again.CancelBtn->click();
  EXPECT_EQ(h.width, "16\r\n24\r\n32");
}

}  // namespace
}  // namespace glyphwell::dialogs
