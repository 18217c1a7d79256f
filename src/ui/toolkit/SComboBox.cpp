#include "ui/toolkit/SComboBox.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SComboBox::SComboBox(UiApp& app, QWidget* parent) : SWrappedControl(app, parent), combo_(new QComboBox(this)) {
  Wrap(combo_);
  combo_->setFocusPolicy(Qt::StrongFocus);
  // QComboBox reports only real changes: a selection set again, or items
  // translated anew, raise nothing.
  connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) { FireEvent(EventKind::ComboSelChange, index); });
}

bool SComboBox::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("cursel")) {
    initialSel_ = value.toInt();
    return true;
  }
  if (name == QLatin1String("dropdown") || name == QLatin1String("dropheight")) return true;  // always a drop-down list
  return SWrappedControl::SetAttribute(name, value);
}

void SComboBox::CreateChildren(const pugi::xml_node& element, LayoutLoader&) {
  for (pugi::xml_node item : element.child("items").children("item")) {
    QString text = QString::fromUtf8(item.attribute("text").value());
    if (text.isEmpty()) text = QString::fromUtf8(item.text().get()).trimmed();
    InsertItem(-1, app().definition().ResolveString(text));
  }
}

void SComboBox::OnLayoutLoaded() {
  // The layout's selection is where the box starts, not a change.
  const QSignalBlocker blocker(combo_);
  combo_->setCurrentIndex(initialSel_ >= 0 && initialSel_ < GetCount() ? initialSel_ : -1);
}

void SComboBox::OnLanguageChanged() {
  const QSignalBlocker blocker(combo_);
  for (int i = 0; i < texts_.size(); ++i) combo_->setItemText(i, app().translator().Translate(texts_[i]));
  SWrappedControl::OnLanguageChanged();
}

int SComboBox::GetCount() const { return combo_->count(); }

int SComboBox::GetCurSel() const { return combo_->currentIndex(); }

bool SComboBox::SetCurSel(int index) {
  if (index < -1 || index >= GetCount()) return false;
  combo_->setCurrentIndex(index);
  return true;
}

int SComboBox::InsertItem(int index, const QString& text) {
  if (index < 0 || index > texts_.size()) index = static_cast<int>(texts_.size());
  texts_.insert(index, text);
  // QComboBox selects the first item added to an empty box; that is no
  // choice of anybody's, so the selection is put back quietly.
  const QSignalBlocker blocker(combo_);
  const int selected = combo_->currentIndex();
  combo_->insertItem(index, app().translator().Translate(text));
  combo_->setCurrentIndex(selected < 0 ? -1 : (index <= selected ? selected + 1 : selected));
  return index;
}

bool SComboBox::DeleteString(int index) {
  if (index < 0 || index >= texts_.size()) return false;
  texts_.removeAt(index);
  combo_->removeItem(index);
  return true;
}

void SComboBox::ResetContent() {
  texts_.clear();
  combo_->clear();
}

QString SComboBox::GetLBText(int index) const { return texts_.value(index); }

}  // namespace keyloom::ui
