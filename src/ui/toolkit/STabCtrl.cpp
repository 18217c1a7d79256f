#include "ui/toolkit/STabCtrl.h"

#include <QSignalBlocker>
#include <QTabBar>
#include <cstring>

#include "ui/toolkit/LayoutLoader.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

bool STabPage::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("title")) {
    title_ = app().definition().ResolveString(value);
    return true;
  }
  return SWindow::SetAttribute(name, value);
}

STabCtrl::STabCtrl(UiApp& app, QWidget* parent) : STabCtrl(app, parent, new QTabBar) {}

STabCtrl::STabCtrl(UiApp& app, QWidget* parent, QTabBar* tabBar) : SWindow(app, parent), tabBar_(tabBar) {
  tabBar_->setParent(this);
  tabBar_->setDrawBase(false);
  tabBar_->setExpanding(false);
  tabBar_->setFocusPolicy(Qt::StrongFocus);
  // currentChanged from the user's click or arrow key; SetCurSel blocks it.
  connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
    current_ = index;
    ShowCurrent();
    FireEvent(EventKind::TabSelChange, index);
  });
}

bool STabCtrl::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("cursel")) {
    initialSel_ = value.toInt();
  } else if (name == QLatin1String("tabheight")) {
    tabHeight_ = std::max(0, value.toInt());
  } else {
    return SWindow::SetAttribute(name, value);
  }
  return true;
}

void STabCtrl::CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) {
  for (pugi::xml_node child : element.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!ClassNameEquals(child.name(), PageElementName())) {
      ToolkitLog("only [%s] children make pages of a [%s]; [%s] skipped", PageElementName(), GetClassName(), child.name());
      continue;
    }
    if (SWindow* page = loader.CreateChild(child, this)) pages_.push_back(page);
  }
}

void STabCtrl::OnLayoutLoaded() {
  const QSignalBlocker blocker(tabBar_);
  for (SWindow* page : pages_) {
    auto* tabPage = qobject_cast<STabPage*>(page);
    tabBar_->addTab(tabPage != nullptr ? app().translator().Translate(tabPage->title()) : QString());
  }
  tabBar_->setVisible(tabHeight_ > 0);
  if (!SetCurSel(initialSel_)) SetCurSel(0);
}

void STabCtrl::OnLanguageChanged() {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (auto* page = qobject_cast<STabPage*>(pages_[i])) tabBar_->setTabText(i, app().translator().Translate(page->title()));
  }
  SWindow::OnLanguageChanged();
}

bool STabCtrl::SetCurSel(int index) {
  if (index < 0 || index >= GetItemCount()) return false;
  current_ = index;
  {
    const QSignalBlocker blocker(tabBar_);
    tabBar_->setCurrentIndex(index);
  }
  ShowCurrent();
  return true;
}

SWindow* STabCtrl::GetPage(int index) const {
  return index >= 0 && index < GetItemCount() ? pages_[index] : nullptr;
}

QRect STabCtrl::PageRect() const { return rect().adjusted(0, tabHeight_, 0, 0); }

void STabCtrl::LayoutChildren() {
  tabBar_->setGeometry(0, 0, width(), tabHeight_);
  for (SWindow* page : pages_) {
    page->setGeometry(PageRect());
    page->LayoutChildren();
  }
}

void STabCtrl::ShowCurrent() {
  for (int i = 0; i < GetItemCount(); ++i) pages_[i]->setVisible(i == current_);
}

}  // namespace keyloom::ui
