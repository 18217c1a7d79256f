#pragma once

#include <QHash>
#include <QString>
#include <functional>

class QWidget;

namespace keyloom::ui {

class SWindow;
class UiApp;

// Layout class name -> factory. The toolkit registers its built-in classes;
// the program registers its custom ones before any layout loads.
class ClassRegistry {
 public:
  using Factory = std::function<SWindow*(UiApp& app, QWidget* parent)>;

  void Register(const QString& className, Factory factory);
  template <class T>
  void Register() {
    Register(QString::fromLatin1(T::kClassName), [](UiApp& app, QWidget* parent) -> SWindow* {
      return new T(app, parent);
    });
  }

  bool Contains(const QString& className) const { return factories_.contains(className.toLower()); }
  // A new widget of `className`, or null when the class is not registered.
  SWindow* Create(const QString& className, UiApp& app, QWidget* parent) const;

 private:
  QHash<QString, Factory> factories_;
};

}  // namespace keyloom::ui
