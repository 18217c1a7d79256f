#include "platform/virtual/VirtualDeviceNotifier.h"

#include <QMetaObject>

namespace keyloom::platform {

VirtualDeviceNotifier::VirtualDeviceNotifier(VirtualKeyboard& keyboard, QObject* parent)
    : DeviceNotifier(parent), keyboard_(keyboard) {
  listener_ = keyboard_.AddListener([this](DeviceChange event, const std::wstring& path) {
    const QString text = QString::fromStdWString(path);
    QMetaObject::invokeMethod(
        this, [this, event, text] { emit deviceChanged(event, text); }, Qt::QueuedConnection);
  });
}

VirtualDeviceNotifier::~VirtualDeviceNotifier() { keyboard_.RemoveListener(listener_); }

}  // namespace keyloom::platform
