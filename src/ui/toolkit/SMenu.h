#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <pugixml.hpp>

class QMenu;

namespace keyloom::ui {

class SHostWnd;
class UiApp;

// A drop-down menu built from a menu resource of the resource folder:
//   classic  ("SMENU:name"):   <menu><item id="1">Text</item><sep/><menu text="Sub">...</menu></menu>
//   extended ("SMENUEX:name"): <menuRoot><menuItem id="1" text="Text" icon="img:x"/><sep/>...</menuRoot>
// (an extended menu's root may also be a <menuItem>). Choosing an item
// posts its id to the owner window as a menu command.
class SMenu {
 public:
  enum class Kind { Classic = 0, Extended = 1, None = 2 };

  // The kind a resource's root element makes: "menu" classic; "menuRoot" or
  // "menuItem" extended; any other name (also "Menu") none. Compared exactly.
  static Kind KindOfRoot(const char* rootName);

  explicit SMenu(UiApp& app) : app_(app) {}
  ~SMenu();
  SMenu(const SMenu&) = delete;
  SMenu& operator=(const SMenu&) = delete;

  // Loads the menu resource; false (and no menu) when it is missing,
  // malformed or its root makes no menu.
  bool LoadMenu(const QString& resource);
  Kind kind() const { return kind_; }

  // Opens the menu at `globalPos` (screen coordinates) without blocking; the
  // chosen command reaches `owner` as a posted menu command. The menu closes
  // itself, and goes with the owner if the owner goes first.
  void TrackPopupMenu(const QPoint& globalPos, SHostWnd* owner);

  // The menu as built for `owner` (tests look at its items); null before a load.
  QMenu* Build(SHostWnd* owner) const;

 private:
  void AddItems(QMenu* menu, const pugi::xml_node& parent, SHostWnd* owner) const;

  UiApp& app_;
  pugi::xml_document doc_;
  Kind kind_ = Kind::None;
  QPointer<QMenu> open_;
};

}  // namespace keyloom::ui
