// Screenshots of every drawn control and dialog in its main states, written to
// <build>/gallery/ so that the looks can be reviewed by eye. Each sheet is also
// saved enlarged three times.

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QTest>
#include <functional>
#include <vector>

#include "controls/synthetic_mouse.h"
#include "controls/t_color_progress_bar.h"
#include "controls/t_new_check_box.h"
#include "controls/t_new_track_bar.h"
#include "controls/t_number_edit.h"
#include "controls/t_switch_button.h"
#include "dialogs/t_input_dlg.h"
#include "dialogs/t_msg_cansel_dlg.h"
#include "dialogs/t_ok_bottom_dlg.h"

namespace glyphwell::dialogs {
namespace {

using namespace glyphwell::controls;

QString GalleryDir() {
  const QString dir = QStringLiteral(GLYPHWELL_BINARY_DIR "/gallery");
  QDir().mkpath(dir);
  return dir;
}

// Stacks the images with labels and saves the sheet at 1x and 3x.
void SaveSheet(const QString& name, const std::vector<std::pair<QString, QImage>>& items) {
  int width = 0, height = 4;
  for (const auto& [label, img] : items) {
    width = std::max(width, 150 + img.width());
    height += std::max(img.height(), 16) + 6;
  }
  QImage sheet(width + 8, height, QImage::Format_RGB32);
  sheet.fill(QColor(0xE8, 0xE8, 0xE8));
  QPainter painter(&sheet);
  QFont font;
  font.setPixelSize(11);
  painter.setFont(font);
  int y = 4;
  for (const auto& [label, img] : items) {
    painter.setPen(Qt::black);
    painter.drawText(4, y + 12, label);
    painter.drawImage(150, y, img);
    y += std::max(img.height(), 16) + 6;
  }
  painter.end();
  const QString dir = GalleryDir();
  ASSERT_TRUE(sheet.save(dir + "/" + name + ".png"));
  ASSERT_TRUE(sheet.scaled(sheet.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                  .save(dir + "/" + name + "_x3.png"));
}

TEST(Gallery, ProgressBars) {
  std::vector<std::pair<QString, QImage>> items;
  const std::pair<QString, PAINTTYPE> styles[] = {{"btSolid", PAINTTYPE::btSolid},
                                                  {"btSolid2", PAINTTYPE::btSolid2},
                                                  {"btGradetion", PAINTTYPE::btGradetion},
                                                  {"btGradetion2", PAINTTYPE::btGradetion2},
                                                  {"btWin7", PAINTTYPE::btWin7}};
  for (const int h : {16, 20}) {
    for (const auto& [name, style] : styles) {
      TColorProgressBar bar;
      bar.resize(150, h);
      bar.SetBarStyle(style);
      bar.SetPosition(60);
      items.emplace_back(name + QString(" %1px 60%").arg(h), bar.Compose());
    }
  }
  {
    TColorProgressBar bar;
    items.emplace_back("empty", bar.Compose());
    bar.SetFlat(true);
    bar.SetPosition(100);
    items.emplace_back("flat full", bar.Compose());
  }
  {
    TColorProgressBar bar;
    bar.SetSmooth(true);
    bar.SetBlockSpace(2);
    bar.SetBarStyle(PAINTTYPE::btWin7);
    bar.SetPosition(45);
    items.emplace_back("blocks 45% win7", bar.Compose());
  }
  {
    TColorProgressBar bar;
    bar.resize(150, 18);
    bar.SetLineParVisible(true);
    bar.SetLinePar(75);
    bar.SetTextSwitch(true);
    bar.SetPosition(40);
    items.emplace_back("marker + text", bar.Compose());
    bar.SetShadow(true);
    bar.SetBarStyle(PAINTTYPE::btGradetion2);
    items.emplace_back("shadow text", bar.Compose());
  }
  {
    TColorProgressBar bar;
    bar.resize(16, 80);
    bar.SetOrientation(TProgressBarOrientation::pbVertical);
    bar.SetBarStyle(PAINTTYPE::btWin7);
    bar.SetPosition(70);
    items.emplace_back("vertical win7", bar.Compose());
  }
  {
    bool cancel = false;
    TMsgCanselDlg dlg(true, nullptr, QString(), cancel);
    dlg.ProgressBar1->SetPosition(55);
    items.emplace_back("busy bar 335x11", dlg.ProgressBar1->Compose());
  }
  SaveSheet("progress_bars", items);
}

TEST(Gallery, SwitchButtons) {
  std::vector<std::pair<QString, QImage>> items;
  auto save = [](TSwitchButton& b) {
    b.resize(88, 87);
    b.SetButtonStyle(BTNSTYLE::btEllipse);
    b.SetColorButton(RgbHex(0x400040));
    b.SetColorDown(RgbHex(0xC400C4));
    b.SetColorDownText(RgbHex(0x400040));
    b.SetFontColor(RgbHex(0x400040));
    QFont f = b.font();
    f.setPixelSize(15);
    b.setFont(f);
    b.SetCaption(QStringLiteral("保存"));
    b.SetRoundSize(10);
    b.SetShadow(1, 1);
    b.SetShadowColor(RgbHex(0xFF93FF));
    b.SetShadowDownColor(RgbHex(0xFFAAFF));
    b.Loaded();
  };
  {
    TSwitchButton b;
    save(b);
    b.show();
    items.emplace_back("SaveSwBtn up", b.Compose());
    Press(&b, {44, 43});
    items.emplace_back("SaveSwBtn pressed", b.Compose());
    Release(&b, {44, 43});
    b.setEnabled(false);
    items.emplace_back("SaveSwBtn disabled", b.Compose());
  }
  {
    TSwitchButton b;
    b.resize(90, 30);
    b.SetRoundSize(10);
    b.SetCaption(QStringLiteral("角丸"));
    b.SetColorButton(RgbHex(0x80C0FF));
    b.SetColorDown(RgbHex(0x4080FF));
    b.Loaded();
    b.show();
    items.emplace_back("btRound 10 up", b.Compose());
    Press(&b, {45, 15});
    items.emplace_back("btRound 10 pressed", b.Compose());
    Release(&b, {45, 15});
    b.SetRoundSize(0);
    items.emplace_back("btRound 0 up", b.Compose());
    b.SetHafuDraw(true);
    b.SetColorUp(RgbHex(0xFFFFC0));
    items.emplace_back("btRound 0 HafuDraw", b.Compose());
  }
  {
    QWidget parent;
    TSwitchButton a(&parent);
    a.resize(90, 30);
    a.SetGroupIndex(1);
    a.SetRoundSize(8);
    a.SetCaption(QStringLiteral("Down"));
    a.SetColorDown(RgbHex(0xFFC040));
    a.Loaded();
    parent.show();
    Press(&a, {45, 15});
    Release(&a, {45, 15});
    items.emplace_back("grouped, down", a.Compose());
  }
  SaveSheet("switch_buttons", items);
}

TEST(Gallery, CheckBoxesTrackBarsAndEdits) {
  std::vector<std::pair<QString, QImage>> items;
  for (const bool onOff : {true, false}) {
    TNewCheckBox box;
    box.SetBoxStyle(onOff ? TCheckBoxStyle::stOnOffBox : TCheckBoxStyle::stCheckBox);
    box.SetCaption(onOff ? QStringLiteral("最適化") : QStringLiteral("補正"));
    box.SetColorBox(clBtnFace);
    box.SetColorCheck(onOff ? RgbHex(0x81CFFE) : RgbHex(0x95CFE8));
    box.SetShadow(1, 1);
    box.SetShadowColor(clBtnFace);
    box.SetShadowCheckColor(clBtnFace);
    box.show();
    const QString kind = onOff ? "stOnOffBox" : "stCheckBox";
    items.emplace_back(kind + " off", box.Compose());
    Press(&box, {5, 8});
    items.emplace_back(kind + " pressed", box.Compose());
    Release(&box, {5, 8});
    items.emplace_back(kind + " on", box.Compose());
    if (!onOff) {
      box.SetChkLine(true);
      items.emplace_back(kind + " on, tick", box.Compose());
    }
    box.SetAlignment(TLEFTRIGHT::taLeftJustify);
    items.emplace_back(kind + " box right", box.Compose());
    box.setEnabled(false);
    items.emplace_back(kind + " disabled", box.Compose());
  }
  {
    TNewCheckBox box;
    box.SetBoxStyle(TCheckBoxStyle::stOnOffBox);
    box.SetBoxWidth(20);
    box.SetCaption(QStringLiteral("リスト更新"));
    box.SetChecked(true);
    box.SetColorCheck(RgbHex(0x81CFFE));
    box.show();
    box.activateWindow();
    box.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    items.emplace_back("BoxWidth 20, focused", box.Compose());
  }
  for (const TBarStyle style : {TBarStyle::styBox, TBarStyle::styLine}) {
    TNewTrackBar bar;
    bar.resize(150, 28);
    bar.SetBarStyle(style);
    bar.SetColor(clBtnFace);
    bar.setValue(40);
    bar.show();
    items.emplace_back(style == TBarStyle::styBox ? "track styBox" : "track styLine",
                       bar.grab().toImage());
  }
  {
    TNumberEdit edit;
    edit.resize(80, 24);
    edit.SetNumberOnly(true);
    edit.setText(QStringLiteral("256"));
    edit.show();
    items.emplace_back("number edit right", edit.grab().toImage());
  }
  SaveSheet("check_boxes_track_bars_edits", items);
}

TEST(Gallery, Dialogs) {
  std::vector<std::pair<QString, QImage>> items;
  {
    bool cancel = false;
    TMsgCanselDlg dlg(true, nullptr, QString(), cancel, true);
    dlg.ProgressBar1->SetPosition(40);
    dlg.show();
    items.emplace_back("busy dialog", dlg.grab().toImage());
  }
  {
    TInputDlg dlg(nullptr, QPoint(10, 10));
    dlg.setWindowTitle(QStringLiteral("タイトル"));
    dlg.Label1->setText(QStringLiteral("新しいタイトルを入力"));
    dlg.Edit1->setText(QStringLiteral("パーツ1"));
    dlg.show();
    items.emplace_back("input dialog", dlg.grab().toImage());
  }
  {
    CriteriaHistories h{"16\r\n32", "16\r\n32", "4\r\n8"};
    TOKBottomDlg dlg(QStringLiteral("抽出"), nullptr, h);
    dlg.SetTexts(QStringLiteral("16,32"), QStringLiteral("16,32"), QStringLiteral("8"));
    dlg.show();
    items.emplace_back("criteria dialog", dlg.grab().toImage());
  }
  SaveSheet("dialogs", items);
}

}  // namespace
}  // namespace glyphwell::dialogs
