#include "ui/toolkit/SListViewBase.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>

#include "ui/toolkit/SCellEditDelegate.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SListViewBase::SListViewBase(UiApp& app, QWidget* parent, QAbstractItemView* view)
    : SWindow(app, parent), view_(view) {
  view_->setParent(this);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  view_->setAlternatingRowColors(true);
  delegate_ = new SCellEditDelegate(
      [this](EventKind kind, const QModelIndex& index, const QString& text) { OnEditorEvent(kind, index, text); },
      this);
  view_->setItemDelegate(delegate_);
  // The click signals carry no position; the viewport's mouse events do.
  view_->viewport()->installEventFilter(this);
  connect(view_, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { OnClicked(i, false); });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) { OnClicked(i, true); });
  setFocusProxy(view_);
  AttachModel(nullptr);
  ApplyStyle();
}

void SListViewBase::CreateChildren(const pugi::xml_node& /*element*/, LayoutLoader& /*loader*/) {}

void SListViewBase::LayoutChildren() {
  view_->setGeometry(rect());
  SWindow::LayoutChildren();
}

void SListViewBase::AttachModel(QAbstractItemModel* model) {
  for (const QMetaObject::Connection& c : modelConnections_) disconnect(c);
  modelConnections_.clear();
  QItemSelectionModel* previous = view_->selectionModel();
  view_->setModel(model);
  // The view makes a new selection model for every model and leaves the old one to us.
  if (previous != nullptr && previous != view_->selectionModel()) delete previous;
  model_ = model;
  modelConnections_.push_back(connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                      [this] { OnSelectionChanged(); }));
  if (model == nullptr) return;
  // A refreshed list keeps its selected row while that row exists.
  modelConnections_.push_back(connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    selBeforeReset_ = GetSel();
    programmatic_ = true;
  }));
  modelConnections_.push_back(connect(model, &QAbstractItemModel::modelReset, this, [this] {
    programmatic_ = false;
    SetSel(selBeforeReset_);
  }));
}

int SListViewBase::GetSel() const {
  const QItemSelectionModel* selection = view_->selectionModel();
  if (selection == nullptr || model_ == nullptr) return -1;
  const QModelIndexList selected = selection->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void SListViewBase::SetSel(int row) {
  QItemSelectionModel* selection = view_->selectionModel();
  if (selection == nullptr) return;
  const bool wasProgrammatic = programmatic_;
  programmatic_ = true;
  if (model_ != nullptr && row >= 0 && row < model_->rowCount()) {
    const QModelIndex index = model_->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
  } else {
    selection->clear();
  }
  programmatic_ = wasProgrammatic;
}

bool SListViewBase::BeginEdit(int row, int column) {
  if (model_ == nullptr || row < 0 || column < 0 || row >= model_->rowCount() || column >= model_->columnCount())
    return false;
  const QModelIndex index = model_->index(row, column);
  if (!(model_->flags(index) & Qt::ItemIsEditable)) return false;
  view_->edit(index);
  return view_->indexWidget(index) != nullptr;
}

void SListViewBase::Fire(EventArgs& event) {
  event.sender = this;
  event.senderName = GetName();
  event.senderId = GetID();
  FireEvent(event);
}

void SListViewBase::OnSelectionChanged() {
  if (programmatic_) return;
  EventArgs event;
  event.kind = EventKind::ListSelChange;
  event.index = event.value = GetSel();
  Fire(event);
}

void SListViewBase::OnClicked(const QModelIndex& index, bool doubleClick) {
  if (!index.isValid()) return;
  EventArgs event;
  event.kind = EventKind::ListItemClick;
  event.index = index.row();
  event.column = index.column();
  event.point = lastMousePos_;
  event.flags = doubleClick ? 1u : 0u;
  Fire(event);
}

void SListViewBase::OnEditorEvent(EventKind kind, const QModelIndex& index, const QString& text) {
  // Cells are named like widgets, so the host's event map can match an
  // edited cell ("key_delay") as it would match an edit of that name.
  EventArgs event;
  event.kind = kind;
  event.sender = this;
  event.senderName = CellName(index.column());
  event.senderId = event.senderName.isEmpty() ? 0 : app().names().IdOf(event.senderName);
  event.index = index.row();
  event.column = index.column();
  event.text = text;
  FireEvent(event);
}

bool SListViewBase::eventFilter(QObject* object, QEvent* event) {
  if (object == view_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        lastMousePos_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        break;
      default:
        break;
    }
  }
  return SWindow::eventFilter(object, event);
}

QString SListViewBase::Colour(const char* name, const char* fallback) const {
  const QColor c = app().definition().ColorOr(name, fallback);
  return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

void SListViewBase::ApplyStyle() {
  const QString bg = Colour("list_bg", "#1E2129");
  const QString alt = Colour("list_alt_bg", "#222632");
  const QString text = Colour("list_text", "#E6E8EE");
  const QString selBg = Colour("list_sel_bg", "#5FE3C4");
  const QString selText = Colour("list_sel_text", "#11141A");
  const QString headerBg = Colour("header_bg", "#171A21");
  const QString headerText = Colour("header_text", "#A9AFBC");
  view_->setStyleSheet(QStringLiteral(
                           "QAbstractItemView { background-color: %1; alternate-background-color: %2; color: %3;"
                           " selection-background-color: %4; selection-color: %5; border: none; outline: 0;"
                           " gridline-color: %2; }"
                           "QListView::item { padding: 6px 8px; }"
                           "QHeaderView { background-color: %6; border: none; }"
                           "QHeaderView::section { background-color: %6; color: %7; border: none;"
                           " padding: 2px 6px; }"
                           "QLineEdit { background-color: %1; color: %3; border: 1px solid %4;"
                           " selection-background-color: %4; selection-color: %5; }")
                           .arg(bg, alt, text, selBg, selText, headerBg, headerText));
}

}  // namespace keyloom::ui
