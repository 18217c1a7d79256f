#pragma once

#include <QObject>
#include <QString>

namespace keyloom::platform {

// The two device-change events keyloom follows, numbered as the system's
// device-change codes are.
enum class DeviceChange : int {
  Arrival = 0x8000,
  RemoveComplete = 0x8004,
};

// Reports HID device interfaces coming and going. The signal is emitted on
// the thread that owns the notifier (the UI thread), from its event loop,
// with a device path that ParseHidPath understands; a removal carries the
// same path as the arrival of that interface did.
class DeviceNotifier : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~DeviceNotifier() override = default;

 signals:
  void deviceChanged(keyloom::platform::DeviceChange event, const QString& path);
};

}  // namespace keyloom::platform
