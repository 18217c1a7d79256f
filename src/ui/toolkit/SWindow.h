#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "ui/toolkit/EventArgs.h"
#include "ui/toolkit/ToolkitLog.h"

namespace keyloom::ui {

class ImageSkin;
class LayoutLoader;
class SHostWnd;
class UiApp;

bool ClassNameEquals(std::string_view a, std::string_view b);

// Declares a widget class's layout name and its place in the class test:
// IsClass answers for the class's own layout name and its bases'.
#define KEYLOOM_WIDGET_CLASS(Base, xmlName)                                                          \
 public:                                                                                              \
  static constexpr const char* kClassName = xmlName;                                                  \
  const char* GetClassName() const override { return kClassName; }                                    \
  bool IsClass(std::string_view name) const override {                                                \
    return ::keyloom::ui::ClassNameEquals(name, kClassName) || Base::IsClass(name);                   \
  }                                                                                                   \
                                                                                                      \
 private:

// The toolkit's base widget ("window"): a rectangle placed by its layout
// attributes, with an optional name, id, text, colours and skin.
//
// Layout attributes (names without regard to case): name, id, pos="x,y",
// size="w,h", text, tip (tool tip), colorBkgnd, colorBorder, radius (rounded
// background corners), colorText, skin, align (left, center, right), valign
// (top, middle, bottom), multiLines, fontSize, bold, visible. A negative x or y counts from the parent's right or
// bottom edge; a width or height of 0 or less stretches to the parent's far
// edge less that many pixels. Texts pass through the active translation when
// drawn, so a language change shows at once.
class SWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kClassName = "window";

  SWindow(UiApp& app, QWidget* parent);

  virtual const char* GetClassName() const { return kClassName; }
  virtual bool IsClass(std::string_view name) const { return ClassNameEquals(name, kClassName); }

  // Takes one layout attribute (name in lower case). Each class handles its
  // own and passes the rest to its base; false when nobody knew it.
  virtual bool SetAttribute(const QString& name, const QString& value);
  // Builds the widget's content from its layout element. By default every
  // child element becomes a child widget; a class with its own XML (a combo
  // box's items, a list's header, a tab control's pages) reads it here.
  virtual void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader);
  // Called once the widget's children from the layout exist.
  virtual void OnLayoutLoaded() {}
  // The active language changed: show texts anew.
  virtual void OnLanguageChanged();

  const QString& GetName() const { return name_; }
  int GetID() const { return id_; }
  void SetID(int id) { id_ = id; }

  // The text as written (untranslated) and as shown.
  virtual void SetWindowText(const QString& text);
  const QString& GetWindowText() const { return text_; }
  QString GetDisplayText() const;

  // Lookup among the descendants, breadth first, `levels` widget generations
  // deep (-1: all); Qt widgets that wrap or scroll widgets are looked
  // through without counting as a level. A miss, or a widget of another
  // class, gives null and logs a diagnostic.
  SWindow* FindChildByName(const QString& name, const char* className = kClassName, int levels = -1) const;
  SWindow* FindChildByID(int id, const char* className = kClassName, int levels = -1) const;
  // Typed lookup: the class test by T's layout name, then a checked cast, so
  // a widget that answers the name but is no T gives null, never a bad pointer.
  template <class T>
  T* FindChildByName2(const QString& name, int levels = -1) const {
    return Checked<T>(FindChildByName(name, T::kClassName, levels), name.toUtf8().constData(), levels);
  }
  template <class T>
  T* FindChildByID2(int id, int levels = -1) const {
    return Checked<T>(FindChildByID(id, T::kClassName, levels), QByteArray::number(id).constData(), levels);
  }

  // Notifications: handlers subscribed to this widget see the event first;
  // when none of them takes it (returns true), each enclosing widget is
  // offered it (OnChildEvent), and last the host window (OnEvent).
  using EventHandler = std::function<bool(EventArgs&)>;
  // Returns a token for Unsubscribe.
  int Subscribe(EventKind kind, EventHandler handler);
  void Unsubscribe(int token);
  void FireEvent(EventArgs& event);
  void FireEvent(EventKind kind, int value = 0);
  // A notification of a descendant on its way to the host; true stops it.
  virtual bool OnChildEvent(EventArgs& /*event*/) { return false; }

  // Places this widget in its parent from its pos and size attributes, then
  // lays out its children.
  void Relayout();
  // Places the children. By default each child places itself from its own
  // pos and size; a container that arranges its children overrides this.
  virtual void LayoutChildren();
  // The host window this widget lives in; null outside one.
  SHostWnd* GetHostWnd() const;
  UiApp& app() const { return app_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The skin state to draw: 0 normal; buttons add hover, pushed, disabled.
  virtual int DrawState() const { return isEnabled() ? 0 : 3; }
  void DrawText(QPainter& painter, const QRect& rect) const;
  // The background colour and the skin in its current state.
  void PaintBackground(QPainter& painter) const;
  const std::shared_ptr<ImageSkin>& skin() const { return skin_; }

 private:
  SWindow* FindChild(const std::function<bool(const SWindow*)>& match, int levels) const;
  template <class T>
  static T* Checked(SWindow* found, const char* what, int levels) {
    if (found == nullptr) return nullptr;
    if (T* typed = dynamic_cast<T*>(found)) return typed;
    ToolkitLog("class test of [%s] answered [%s] for a widget that is no [%s] within [%d] levels",
               what, found->GetClassName(), T::kClassName, levels);
    return nullptr;
  }

  UiApp& app_;
  QString name_;
  int id_ = 0;
  QString text_;
  QString tip_;
  QColor background_;
  QColor border_;
  int radius_ = 0;
  QColor textColor_;
  std::shared_ptr<ImageSkin> skin_;
  Qt::Alignment align_ = Qt::AlignLeft | Qt::AlignVCenter;
  int textFlags_ = 0;
  int pos_[4] = {0, 0, 0, 0};  // x, y, width, height as written
  struct Subscription {
    int token;
    EventKind kind;
    EventHandler handler;
  };
  std::vector<Subscription> subscriptions_;
  int nextToken_ = 1;
};

}  // namespace keyloom::ui
