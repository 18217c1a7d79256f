#pragma once

#include <cstdint>

namespace keyloom {

// Where the lighting panel sends its commands: the main window, which hands
// them to the keyboard's device thread. -1 means the model's current entry.
class ILightingSender {
 public:
  virtual ~ILightingSender() = default;
  virtual void SendLightingEffect(int32_t index) = 0;
  virtual void SendSideLightMode(int32_t index) = 0;
};

}  // namespace keyloom
