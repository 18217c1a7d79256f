#pragma once

#include <vector>

#include "ui/toolkit/SWindow.h"

class QTabBar;

namespace keyloom::ui {

// One page of a tab control ("page"); `title` is its header text.
class STabPage : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "page")
 public:
  STabPage(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  bool SetAttribute(const QString& name, const QString& value) override;
  const QString& title() const { return title_; }

 private:
  QString title_;
};

// A tab control ("tabctrl"): a header row of tabs (Qt's tab bar, so the
// keyboard and screen readers reach it) over pages that fill the rest.
//   <tabctrl name="..." curSel="0" tabHeight="32"><page title="Wave">...</page>...</tabctrl>
// Only `page` children become pages. tabHeight="0" hides the header (the
// program then switches pages itself). A tab clicked by the user shows its
// page and raises TabSelChange (value = the page); SetCurSel raises nothing.
class STabCtrl : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "tabctrl")
 public:
  STabCtrl(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) override;
  void LayoutChildren() override;
  void OnLayoutLoaded() override;
  void OnLanguageChanged() override;

  int GetItemCount() const { return static_cast<int>(pages_.size()); }
  int GetCurSel() const { return current_; }
  // Shows page `index`; false (nothing changes) when out of range.
  bool SetCurSel(int index);
  SWindow* GetPage(int index) const;
  QTabBar* tabBar() const { return tabBar_; }

 protected:
  // The element name of the pages this control takes.
  virtual const char* PageElementName() const { return STabPage::kClassName; }
  int tabHeight() const { return tabHeight_; }
  QRect PageRect() const;
  // For a control that draws its own headers: takes its own tab bar.
  STabCtrl(UiApp& app, QWidget* parent, QTabBar* tabBar);

 private:
  void ShowCurrent();

  QTabBar* tabBar_;
  std::vector<SWindow*> pages_;
  int current_ = -1;
  int initialSel_ = 0;
  int tabHeight_ = 32;
};

}  // namespace keyloom::ui
