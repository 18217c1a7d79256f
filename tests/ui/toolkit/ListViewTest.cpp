#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit/LayoutLoader.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SListView.h"
#include "ui/toolkit/SMCListView.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

constexpr int kGroupNameId = 70001;
constexpr int kKeyDelayId = 70002;
constexpr int kCol1Id = 70003;

// Group names, all editable.
class NameAdapter : public SAdapterBase {
 public:
  std::vector<QString> names{"Group 0", "Group 1", "Group 2"};
  int getCount() const override { return static_cast<int>(names.size()); }
  QString getItemText(int row) const override { return names[row]; }
  bool isItemEditable(int) const override { return true; }
  bool setItemText(int row, const QString& text) override {
    names[row] = text;
    return true;
  }
};

// Steps: a key code and a delay; only the delay is editable, and only to a number.
class StepAdapter : public SMcAdapterBase {
 public:
  struct Step {
    int code;
    int delay;
  };
  std::vector<Step> steps{{65, 10}, {66, 20}, {67, 30}};
  int getCount() const override { return static_cast<int>(steps.size()); }
  int getColumnCount() const override { return 2; }
  QString getCellText(int row, int column) const override {
    return QString::number(column == 0 ? steps[row].code : steps[row].delay);
  }
  bool isColumnEditable(int column) const override { return column == 1; }
  bool setCellText(int row, int, const QString& text) override {
    bool ok = false;
    const int delay = text.toInt(&ok);
    if (ok) steps[row].delay = delay;
    return ok;
  }
};

class ListView : public ToolkitFixture {
 protected:
  ListView() {
    app_.names().Register({{"group_name", kGroupNameId}, {"key_delay", kKeyDelayId}, {"col1", kCol1Id}});
    AddLayout("lists", R"(<layout width="400" height="300">
  <listview name="macro_group" pos="0,0" size="150,200" cell="group_name"/>
  <mclistview name="key_info" pos="160,0" size="0,200">
    <header>
      <item name="col1" text="Key code" width="90" cell="key_code"/>
      <item name="col2" text="Delay" width="80" cell="key_delay"/>
    </header>
  </mclistview>
</layout>)");
    host_.CreateFromLayout("LAYOUT:lists");
    groups_ = host_.FindChildByName2<SListView>("macro_group");
    steps_ = host_.FindChildByName2<SMCListView>("key_info");
    groups_->SetAdapter(&names_);
    steps_->SetAdapter(&stepData_);
    host_.show();
  }

  QPoint RowCentre(QAbstractItemView* view, int row, int column = 0) const {
    return view->visualRect(view->model()->index(row, column)).center();
  }
  // A step list of its own, so its sort marks start at none.
  std::unique_ptr<SMCListView> FreshStepList() {
    auto list = std::make_unique<SMCListView>(app_, host_.root());
    pugi::xml_document doc;
    doc.load_string(R"(<mclistview name="key_info" pos="0,210" size="0,80"><header>
        <item name="col1" text="Key code" width="90"/><item name="col2" text="Delay" width="80"/>
        </header></mclistview>)");
    LayoutLoader(app_).Build(doc.first_child(), list.get());
    list->SetAdapter(&stepData_);
    list->show();
    return list;
  }
  void ClickHeader(SMCListView* list, int column) {
    QHeaderView* header = list->view()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }
  // What the window system delivers for a double click; QTest's own
  // double click on a widget is the second press alone.
  static void DoubleClick(QWidget* viewport, QPoint at) {
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  }
  QLineEdit* Editor(QAbstractItemView* view, int row, int column) const {
    return qobject_cast<QLineEdit*>(view->indexWidget(view->model()->index(row, column)));
  }

  NameAdapter names_;
  StepAdapter stepData_;
  RecordingHost host_{app_};
  SListView* groups_ = nullptr;
  SMCListView* steps_ = nullptr;
};

TEST_F(ListView, ShowsTheAdaptersRowsAndTexts) {
  QAbstractItemModel* groups = groups_->view()->model();
  ASSERT_EQ(groups->rowCount(), 3);
  EXPECT_EQ(groups->index(2, 0).data().toString(), "Group 2");
  QAbstractItemModel* steps = steps_->view()->model();
  ASSERT_EQ(steps->rowCount(), 3);
  EXPECT_EQ(steps->index(1, 0).data().toString(), "66");
  EXPECT_EQ(steps->index(1, 1).data().toString(), "20");
  EXPECT_TRUE(steps_->view()->verticalHeader()->isHidden());
  EXPECT_FALSE(steps_->view()->isSortingEnabled());
}

TEST_F(ListView, ItemDataChangedSignalsThatRowOnlyWithoutAReset) {
  struct Row {
    QAbstractItemModel* model;
    std::function<void(int)> notify;
    int lastColumn;
  };
  const Row rows[] = {
      {&names_, [this](int r) { names_.notifyItemDataChanged(r); }, 0},
      {&stepData_, [this](int r) { stepData_.notifyItemDataChanged(r); }, 1},
  };
  for (const Row& row : rows) {
    QSignalSpy changed(row.model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(row.model, &QAbstractItemModel::modelReset);
    row.notify(1);
    row.notify(7);   // no such row: nothing
    row.notify(-1);  // nor here
    ASSERT_EQ(changed.count(), 1);
    const auto topLeft = changed[0][0].value<QModelIndex>();
    const auto bottomRight = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(topLeft.row(), 1);
    EXPECT_EQ(bottomRight.row(), 1);
    EXPECT_EQ(topLeft.column(), 0);
    EXPECT_EQ(bottomRight.column(), row.lastColumn);
    EXPECT_EQ(reset.count(), 0);
  }
}

TEST_F(ListView, DataSetChangedAfterADeleteShowsTheNewCountAndKeepsASelectionThatStillExists) {
  struct Row {
    int selected;
    int deleted;
    int selectedAfter;
  };
  const Row rows[] = {{0, 2, 0}, {1, 0, 1}, {2, 2, -1}, {-1, 1, -1}};
  for (const Row& row : rows) {
    NameAdapter adapter;
    groups_->SetAdapter(&adapter);
    groups_->SetSel(row.selected);
    adapter.names.erase(adapter.names.begin() + row.deleted);
    adapter.notifyDataSetChanged();
    EXPECT_EQ(groups_->view()->model()->rowCount(), 2);
    EXPECT_FALSE(groups_->view()->indexAt(QPoint(5, groups_->view()->sizeHintForRow(0) * 2 + 2)).isValid());
    EXPECT_EQ(groups_->GetSel(), row.selectedAfter) << "selected " << row.selected << ", deleted " << row.deleted;
    groups_->SetAdapter(nullptr);
  }
  EXPECT_TRUE(host_.Of(EventKind::ListSelChange).empty());
}

TEST_F(ListView, UserClickSelectsTheRowAndNotifiesWhileSetSelStaysQuiet) {
  struct Row {
    SListViewBase* list;
    QAbstractItemView* view;
    int row;
    int column;
  };
  const Row rows[] = {{groups_, groups_->view(), 1, 0}, {steps_, steps_->view(), 2, 1}};
  for (const Row& row : rows) {
    host_.events.clear();
    const QPoint at = RowCentre(row.view, row.row, row.column);
    QTest::mouseClick(row.view->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(row.list->GetSel(), row.row);
    const auto sel = host_.Of(EventKind::ListSelChange);
    ASSERT_EQ(sel.size(), 1u);
    EXPECT_EQ(sel[0].index, row.row);
    EXPECT_EQ(sel[0].senderName, row.list->GetName());
    const auto clicks = host_.Of(EventKind::ListItemClick);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].index, row.row);
    EXPECT_EQ(clicks[0].column, row.column);
    EXPECT_EQ(clicks[0].point, at);
    EXPECT_EQ(clicks[0].flags, 0u);

    host_.events.clear();
    row.list->SetSel(0);
    row.list->SetSel(-1);
    row.list->SetSel(99);
    EXPECT_EQ(row.list->GetSel(), -1);
    EXPECT_TRUE(host_.events.empty());
  }
}

TEST_F(ListView, DoubleClickIsAClickWithFlagOne) {
  DoubleClick(steps_->view()->viewport(), RowCentre(steps_->view(), 0));
  const auto clicks = host_.Of(EventKind::ListItemClick);
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].flags, 0u);
  EXPECT_EQ(clicks[1].flags, 1u);
  EXPECT_EQ(clicks[1].index, 0);
}

TEST_F(ListView, HeaderClickMovesOnlyTheSortMark) {
  using Mark = SMCListView::SortMark;
  struct Row {
    const char* what;
    std::vector<int> clicks;
    Mark first;
    Mark second;
  };
  const Row rows[] = {
      {"none becomes ascending", {0}, Mark::Ascending, Mark::None},
      {"ascending becomes descending", {0, 0}, Mark::Descending, Mark::None},
      {"descending becomes ascending", {0, 0, 0}, Mark::Ascending, Mark::None},
      {"another column clears the first", {0, 1}, Mark::None, Mark::Ascending},
      {"back to a cleared column starts ascending", {0, 0, 1, 0}, Mark::Ascending, Mark::None},
  };
  for (const Row& row : rows) {
    const auto fresh = FreshStepList();
    host_.events.clear();
    for (int c : row.clicks) ClickHeader(fresh.get(), c);
    EXPECT_EQ(fresh->GetSortMark(0), row.first) << row.what;
    EXPECT_EQ(fresh->GetSortMark(1), row.second) << row.what;
    // The header draws the one mark there is.
    const QHeaderView* header = fresh->view()->horizontalHeader();
    const int marked = row.first != Mark::None ? 0 : 1;
    const Mark mark = marked == 0 ? row.first : row.second;
    EXPECT_TRUE(header->isSortIndicatorShown()) << row.what;
    EXPECT_EQ(header->sortIndicatorSection(), marked) << row.what;
    EXPECT_EQ(header->sortIndicatorOrder(), mark == Mark::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder)
        << row.what;
    const auto clicks = host_.Of(EventKind::HeaderClick);
    ASSERT_EQ(clicks.size(), row.clicks.size()) << row.what;
    EXPECT_EQ(clicks.back().column, row.clicks.back()) << row.what;
    EXPECT_EQ(clicks.back().senderName, row.clicks.back() == 0 ? "col1" : "col2") << row.what;
    // The rows keep their order: the first row shown is still the first step.
    QTableView* view = fresh->view();
    EXPECT_EQ(view->indexAt(QPoint(5, view->rowViewportPosition(0) + 1)).data().toString(), "65") << row.what;
    EXPECT_TRUE(host_.Of(EventKind::ListSelChange).empty()) << row.what;
  }
  ClickHeader(steps_, 0);
  EXPECT_EQ(host_.Of(EventKind::HeaderClick).back().senderId, kCol1Id);
}

TEST_F(ListView, EditorReportsEveryKeystrokeAndEnterCommitsThroughTheAdapter) {
  struct Row {
    const char* opener;
    std::function<void()> open;
  };
  QListView* view = groups_->view();
  const Row rows[] = {
      {"double click", [&] { DoubleClick(view->viewport(), RowCentre(view, 1)); }},
      {"F2", [&] {
         groups_->SetSel(1);
         QTest::keyClick(view, Qt::Key_F2);
       }},
      {"BeginEdit", [&] { EXPECT_TRUE(groups_->BeginEdit(1)); }},
  };
  for (const Row& row : rows) {
    names_.names = {"Group 0", "Group 1", "Group 2"};
    row.open();
    QLineEdit* editor = Editor(view, 1, 0);
    ASSERT_NE(editor, nullptr) << row.opener;
    EXPECT_EQ(editor->text(), "Group 1") << row.opener;
    host_.events.clear();
    editor->selectAll();
    QTest::keyClicks(editor, "12");
    const auto typed = host_.Of(EventKind::TextChange);
    ASSERT_EQ(typed.size(), 2u) << row.opener;
    EXPECT_EQ(typed[0].text, "1");
    EXPECT_EQ(typed[1].text, "12");
    for (const EventArgs& e : typed) {
      EXPECT_EQ(e.senderName, "group_name");
      EXPECT_EQ(e.senderId, kGroupNameId);
      EXPECT_EQ(e.index, 1);
      EXPECT_EQ(e.column, 0);
    }
    EXPECT_EQ(names_.names[1], "Group 1") << "typing alone commits nothing";
    QTest::keyClick(editor, Qt::Key_Return);
    const auto entered = host_.Of(EventKind::KeyEnter);
    ASSERT_EQ(entered.size(), 1u) << row.opener;
    EXPECT_EQ(entered[0].text, "12");
    EXPECT_EQ(entered[0].senderName, "group_name");
    EXPECT_EQ(entered[0].index, 1);
    EXPECT_EQ(names_.names[1], "12") << row.opener;
    QCoreApplication::processEvents();  // the closed editor goes
    EXPECT_EQ(Editor(view, 1, 0), nullptr) << row.opener;
  }
}

TEST_F(ListView, CellEditTakenOrRefusedByTheAdapter) {
  struct Row {
    const char* typed;
    int delayAfter;
    const char* shownAfter;
  };
  const Row rows[] = {{"12", 12, "12"}, {"abc", 20, "20"}, {"", 20, "20"}};
  for (const Row& row : rows) {
    stepData_.steps[1].delay = 20;
    ASSERT_TRUE(steps_->BeginEdit(1, 1));
    QLineEdit* editor = Editor(steps_->view(), 1, 1);
    ASSERT_NE(editor, nullptr);
    host_.events.clear();
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, row.typed);
    QTest::keyClick(editor, Qt::Key_Enter);
    const auto entered = host_.Of(EventKind::KeyEnter);
    ASSERT_EQ(entered.size(), 1u) << row.typed;
    EXPECT_EQ(entered[0].senderName, "key_delay");
    EXPECT_EQ(entered[0].senderId, kKeyDelayId);
    EXPECT_EQ(entered[0].column, 1);
    EXPECT_EQ(stepData_.steps[1].delay, row.delayAfter) << row.typed;
    EXPECT_EQ(steps_->view()->model()->index(1, 1).data().toString(), row.shownAfter) << row.typed;
    QCoreApplication::processEvents();
  }
  EXPECT_FALSE(steps_->BeginEdit(1, 0)) << "the key code column is not editable";
  EXPECT_FALSE(steps_->BeginEdit(3, 1)) << "no such row";
  EXPECT_FALSE(steps_->BeginEdit(0, 5)) << "no such column";
}

TEST_F(ListView, ColumnsComeFromTheHeaderWithTranslatedCaptions) {
  AddResource("translator", "lang_list", "translation/lang_list.xml",
              R"(<language name="cn"><item src="Key code" tr="键码"/><item src="Delay" tr="延时"/></language>)");
  ASSERT_EQ(steps_->GetColumnCount(), 2);
  EXPECT_EQ(steps_->GetColumnName(0), "col1");
  EXPECT_EQ(steps_->GetColumnName(1), "col2");
  EXPECT_EQ(steps_->GetColumnName(2), "");
  EXPECT_EQ(steps_->CellName(1), "key_delay");
  EXPECT_EQ(steps_->view()->horizontalHeader()->sectionSize(0), 90);
  auto caption = [this](int column) {
    return steps_->view()->model()->headerData(column, Qt::Horizontal).toString();
  };
  EXPECT_EQ(caption(0), "Key code");

  ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), "lang_list"));
  EXPECT_EQ(caption(0), QString::fromUtf8("键码"));
  EXPECT_EQ(caption(1), QString::fromUtf8("延时"));

  ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), "lang_en"));
  EXPECT_EQ(caption(0), "Key code");
}

TEST_F(ListView, RowsAreDrawnInTheColourTablesColoursOrTheDarkDefaults) {
  struct Row {
    const char* what;
    std::string table;
    QRgb plain;
    QRgb alternate;
    QRgb selected;
  };
  const Row rows[] = {
      {"defaults", "", qRgb(0x1E, 0x21, 0x29), qRgb(0x22, 0x26, 0x32), qRgb(0x5F, 0xE3, 0xC4)},
      {"colour table", R"(<item name="list_bg" value="#102030"/><item name="list_sel_bg" value="#C04040"/>)",
       qRgb(0x10, 0x20, 0x30), qRgb(0x22, 0x26, 0x32), qRgb(0xC0, 0x40, 0x40)},
  };
  for (const Row& row : rows) {
    dir_.Write("uires/values/color.xml", "<color>" + row.table + "</color>");
    ASSERT_TRUE(app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init"));
    SListView list(app_, nullptr);
    list.resize(200, 120);
    list.SetAdapter(&names_);
    list.SetSel(2);
    list.show();
    const QImage shot = list.view()->viewport()->grab().toImage();
    // Right of the texts, where only the row's background is drawn.
    auto at = [&](int r) {
      const QRect cell = list.view()->visualRect(names_.index(r, 0));
      return shot.pixel(cell.right() - 2, cell.center().y());
    };
    EXPECT_EQ(at(0), row.plain) << row.what;
    EXPECT_EQ(at(1), row.alternate) << row.what;
    EXPECT_EQ(at(2), row.selected) << row.what;
  }
}

TEST_F(ListView, ListWithoutAnAdapterIsEmptyAndSafe) {
  groups_->SetAdapter(nullptr);
  steps_->SetAdapter(nullptr);
  groups_->SetSel(0);
  EXPECT_EQ(groups_->GetSel(), -1);
  EXPECT_FALSE(groups_->BeginEdit(0));
  QTest::mouseClick(groups_->view()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(host_.events.empty());
  {
    NameAdapter shortLived;
    groups_->SetAdapter(&shortLived);
  }
  // The adapter went while shown: the list is empty again, not dangling.
  EXPECT_EQ(groups_->GetAdapter(), nullptr);
  EXPECT_EQ(groups_->GetSel(), -1);
  EXPECT_FALSE(groups_->BeginEdit(0));
  QTest::mouseClick(groups_->view()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(host_.events.empty());
}

}  // namespace
}  // namespace keyloom::ui::test
