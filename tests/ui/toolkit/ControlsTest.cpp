// The input controls: what they raise when the user changes them, and that
// the program's own changes raise nothing (but for the combo box, whose
// selection notification follows every real change).
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SEdit.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SMessageBox.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

class Controls : public ToolkitFixture {
 protected:
  Controls() {
    AddLayout("controls", R"(<layout width="400" height="300">
  <combobox name="combo" pos="0,0" size="120,24"><items><item text="Minimize"/><item>Two</item><item text="@string/title"/></items></combobox>
  <combobox name="picked" pos="0,30" size="120,24" curSel="1"><items><item text="a"/><item text="b"/></items></combobox>
  <sliderbar name="slider" pos="0,60" size="200,20" min="0" max="4" value="2"/>
  <check name="check" pos="0,90" size="120,20">Minimize</check>
  <radio name="r1" pos="0,120" size="60,20" checked="1"/>
  <radio name="r2" pos="60,120" size="60,20"/>
  <radio name="other" pos="120,120" size="60,20" group="g" checked="1"/>
  <edit name="edit" pos="0,150" size="120,24"/>
  <tabctrl name="tabs" pos="0,180" size="300,100" curSel="1"><page title="One"><text name="p0"/></page><page title="Minimize"><text name="p1"/></page><text name="stray"/></tabctrl>
</layout>)");
    app_.translator().LoadAndInstall(app_.resources(), "lang_en");
    created_ = host_.CreateFromLayout("LAYOUT:controls");
    host_.show();
  }
  template <class T>
  T* Get(const char* name) {
    return host_.FindChildByName2<T>(name);
  }
  int Count(EventKind kind) const {
    return static_cast<int>(std::count_if(host_.events.begin(), host_.events.end(),
                                          [kind](const EventArgs& e) { return e.kind == kind; }));
  }
  RecordingHost host_{app_};
  bool created_ = false;
};

TEST_F(Controls, ComboBoxReadsItsItemsAndStartsWithoutANotification) {
  ASSERT_TRUE(created_);
  auto* combo = Get<SComboBox>("combo");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetCount(), 3);
  EXPECT_EQ(combo->GetCurSel(), -1);  // nothing chosen without curSel
  EXPECT_EQ(combo->GetLBText(1), "Two");
  EXPECT_EQ(combo->GetLBText(2), "Hello");
  EXPECT_EQ(Get<SComboBox>("picked")->GetCurSel(), 1);
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(Controls, ComboBoxNotifiesExactlyOnceOnARealChangeByProgramOrUser) {
  auto* combo = Get<SComboBox>("combo");
  EXPECT_TRUE(combo->SetCurSel(0));
  EXPECT_TRUE(combo->SetCurSel(0));   // the same selection again: nothing
  EXPECT_FALSE(combo->SetCurSel(3));  // out of range: nothing
  ASSERT_EQ(Count(EventKind::ComboSelChange), 1);
  EXPECT_EQ(host_.events[0].value, 0);
  EXPECT_EQ(host_.events[0].senderName, "combo");
  // The user picks the third item with the keyboard.
  combo->combo()->setFocus();
  QTest::keyClick(combo->combo(), Qt::Key_Down);
  QTest::keyClick(combo->combo(), Qt::Key_Down);
  ASSERT_EQ(Count(EventKind::ComboSelChange), 3);
  EXPECT_EQ(host_.events.back().value, 2);
  // Translating the items anew is no change of selection.
  app_.translator().LoadAndInstall(app_.resources(), "lang_cn");
  EXPECT_EQ(combo->combo()->itemText(0), QString::fromUtf8("最小化"));
  EXPECT_EQ(Count(EventKind::ComboSelChange), 3);
  // Adding an item to an empty box selects nothing.
  combo->ResetContent();
  host_.events.clear();
  combo->InsertItem(-1, "x");
  EXPECT_EQ(combo->GetCurSel(), -1);
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(Controls, SliderNotifiesEveryStepTheUserMakesAndNothingTheProgramSets) {
  auto* slider = Get<SSliderBar>("slider");
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->GetValue(), 2);
  slider->SetValue(4);
  slider->SetRange(0, 9);
  EXPECT_TRUE(host_.events.empty());
  // A drag: the handle moves step by step and each step is told at once.
  slider->slider()->setSliderDown(true);
  slider->slider()->setSliderPosition(3);
  slider->slider()->setSliderPosition(1);
  slider->slider()->setSliderDown(false);
  ASSERT_EQ(Count(EventKind::SliderPos), 2);
  EXPECT_EQ(host_.events[0].value, 3);
  EXPECT_EQ(host_.events[1].value, 1);
  slider->slider()->setFocus();
  QTest::keyClick(slider->slider(), Qt::Key_Right);
  ASSERT_EQ(Count(EventKind::SliderPos), 3);
  EXPECT_EQ(host_.events.back().value, 2);
}

TEST_F(Controls, CheckBoxClickTogglesAndNotifiesProgramChangesDoNot) {
  auto* check = Get<SCheckBox>("check");
  ASSERT_NE(check, nullptr);
  check->SetCheck(true);
  check->SetCheck(false);
  EXPECT_TRUE(host_.events.empty());
  QTest::mouseClick(check->button(), Qt::LeftButton, {}, QPoint(5, check->button()->height() / 2));
  EXPECT_TRUE(check->IsChecked());
  ASSERT_EQ(Count(EventKind::Command), 1);
  EXPECT_EQ(host_.events[0].value, 1);
  EXPECT_EQ(check->button()->text(), "Hide");  // the English translation of "Minimize"
}

TEST_F(Controls, RadioBoxesOfAGroupExcludeEachOtherAndOnlyClicksNotify) {
  auto* r1 = Get<SRadioBox>("r1");
  auto* r2 = Get<SRadioBox>("r2");
  auto* other = Get<SRadioBox>("other");
  EXPECT_TRUE(r1->IsChecked());
  r2->SetCheck(true);
  EXPECT_FALSE(r1->IsChecked());
  EXPECT_TRUE(other->IsChecked());  // another group
  r2->SetCheck(false);               // none checked is allowed
  EXPECT_FALSE(r1->IsChecked());
  EXPECT_TRUE(host_.events.empty());
  QTest::mouseClick(r1->button(), Qt::LeftButton, {}, QPoint(5, r1->button()->height() / 2));
  QTest::mouseClick(r1->button(), Qt::LeftButton, {}, QPoint(5, r1->button()->height() / 2));
  EXPECT_TRUE(r1->IsChecked());  // clicking a checked radio keeps it checked
  EXPECT_EQ(Count(EventKind::Command), 2);
  QTest::mouseClick(r2->button(), Qt::LeftButton, {}, QPoint(5, r2->button()->height() / 2));
  EXPECT_FALSE(r1->IsChecked());
  EXPECT_TRUE(other->IsChecked());
}

TEST_F(Controls, EditRaisesATextChangeOnEveryKeystrokeAndKeyEnterOnEnter) {
  auto* edit = Get<SEdit>("edit");
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("5");
  EXPECT_TRUE(host_.events.empty());
  edit->lineEdit()->setFocus();
  edit->lineEdit()->selectAll();
  QTest::keyClicks(edit->lineEdit(), "12");
  ASSERT_EQ(Count(EventKind::TextChange), 2);
  EXPECT_EQ(host_.events[0].text, "1");
  EXPECT_EQ(host_.events[1].text, "12");
  EXPECT_EQ(edit->GetWindowText(), "12");
  QTest::keyClick(edit->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(host_.events.back().kind, EventKind::KeyEnter);
  EXPECT_EQ(host_.events.back().text, "12");
}

TEST_F(Controls, TabControlTakesOnlyPagesAndShowsOneAtATime) {
  auto* tabs = Get<STabCtrl>("tabs");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetItemCount(), 2);
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_FALSE(tabs->GetPage(0)->isVisible());
  EXPECT_TRUE(tabs->GetPage(1)->isVisible());
  EXPECT_EQ(tabs->GetPage(1)->geometry(), QRect(0, 32, 300, 68));
  EXPECT_EQ(tabs->tabBar()->tabText(1), "Hide");
  EXPECT_EQ(host_.root()->FindChildByName("stray"), nullptr);
  EXPECT_TRUE(tabs->SetCurSel(0));
  EXPECT_FALSE(tabs->SetCurSel(2));
  EXPECT_TRUE(tabs->GetPage(0)->isVisible());
  EXPECT_TRUE(host_.events.empty());
  QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
  ASSERT_EQ(Count(EventKind::TabSelChange), 1);
  EXPECT_EQ(host_.events[0].value, 1);
  EXPECT_EQ(tabs->GetCurSel(), 1);
}

// The message box: its buttons by type, and the answer each gives.
struct AnswerCase {
  unsigned type;
  const char* button;  // null: Escape
  int answer;
  int buttonsShown;
};

class MessageBoxAnswers : public ToolkitFixture, public testing::WithParamInterface<AnswerCase> {};

TEST_P(MessageBoxAnswers, EachButtonGivesItsAnswer) {
  AddLayout("sys_xml_msgbox", R"(<layout width="300" height="150">
  <text name="msgtitle" pos="0,0" size="300,20"/><img name="msgicon" pos="0,30" size="20,20"/><text name="msgtext" pos="30,30" size="260,40"/>
  <window name="btnSwitch" pos="0,110" size="300,30">
    <button name="button1st" pos="0,0" size="60,24"/><button name="button2nd" pos="70,0" size="60,24"/><button name="button3rd" pos="140,0" size="60,24"/>
  </window>
</layout>)");
  int shown = -1;
  QString title;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dlg = qobject_cast<SMessageBoxDlg*>(w);
      if (dlg == nullptr || !dlg->isVisible()) continue;
      shown = 0;
      for (const char* name : {"button1st", "button2nd", "button3rd"}) shown += dlg->FindChildByName2<SButton>(name)->isVisible();
      title = dlg->FindChildByName2<SWindow>("msgtitle")->GetWindowText();
      if (GetParam().button == nullptr)
        QTest::keyClick(dlg, Qt::Key_Escape);
      else
        dlg->FindChildByName2<SButton>(GetParam().button)->Click();
    }
  });
  EXPECT_EQ(SMessageBox(app_, nullptr, "Sure?", "Warning", GetParam().type | mb::kIconWarning), GetParam().answer);
  EXPECT_EQ(shown, GetParam().buttonsShown);
  EXPECT_EQ(title, "Warning");
}

INSTANTIATE_TEST_SUITE_P(Table, MessageBoxAnswers, testing::Values(
    AnswerCase{mb::kOk, "button1st", mb::kIdOk, 1},
    AnswerCase{mb::kOkCancel, "button1st", mb::kIdOk, 2},
    AnswerCase{mb::kOkCancel, "button2nd", mb::kIdCancel, 2},
    AnswerCase{mb::kOkCancel, nullptr, mb::kIdCancel, 2},
    AnswerCase{mb::kYesNo, "button2nd", mb::kIdNo, 2},
    AnswerCase{mb::kYesNoCancel, "button3rd", mb::kIdCancel, 3}));

TEST_F(ToolkitFixture, MessageBoxWithoutItsLayoutGivesTheCautiousAnswer) {
  EXPECT_EQ(SMessageBox(app_, nullptr, "t", "c", mb::kOkCancel), mb::kIdCancel);
  EXPECT_EQ(SMessageBox(app_, nullptr, "t", "c", mb::kOk), mb::kIdOk);
}

TEST_F(ToolkitFixture, ImageButtonDrawsItsSkinStateAlone) {
  AddLayout("imgbtn", R"(<layout width="100" height="100"><imgbtn name="b" pos="0,0" size="6,3" skin="strip" colorBkgnd="#FFFFFF">Text</imgbtn></layout>)");
  SHostWnd host(app_);
  ASSERT_TRUE(host.CreateFromLayout("LAYOUT:imgbtn"));
  const QImage normal = host.FindChildByName2<SImageButton>("b")->grab().toImage();
  EXPECT_EQ(normal.pixelColor(3, 1), QColor(255, 0, 0));  // sub-image 0 fills the button, no text, no background
  host.FindChildByName2<SImageButton>("b")->setEnabled(false);
  EXPECT_EQ(host.FindChildByName2<SImageButton>("b")->grab().toImage().pixelColor(3, 1), QColor(0, 0, 255));
}

}  // namespace
}  // namespace keyloom::ui::test
