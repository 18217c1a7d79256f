#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "runtime/BaseRunable.h"

namespace keyloom {

// Runs a member of a bound object with the runnable's arguments.
template <class T>
class SimpleRunable : public BaseRunable {
 public:
  using Member = int (T::*)(int32_t a1, int32_t a2, const uint8_t* a3, uint32_t a4);

  SimpleRunable(T* target, Member member, uint32_t intervalMs = 0, int32_t repeatCount = 0,
                bool exclusiveFlag = false, int32_t arg1 = 0, int32_t arg2 = 0,
                std::vector<uint8_t> data = {}, uint32_t waitMs = 0)
      : target_(target), member_(member) {
    a1 = arg1;
    a2 = arg2;
    buffer = std::move(data);
    interval = intervalMs;
    repeat = repeatCount;
    exclusive = exclusiveFlag;
    waitTimeout = waitMs;
  }

  bool IsValid() const override { return target_ != nullptr && member_ != nullptr; }

  std::unique_ptr<BaseRunable> Clone() const override {
    return std::make_unique<SimpleRunable>(*this);
  }

  int Run(int32_t arg1, int32_t arg2, const uint8_t* a3, uint32_t a4) override {
    return IsValid() ? (target_->*member_)(arg1, arg2, a3, a4) : 0;
  }

 private:
  T* target_;
  Member member_;
};

}  // namespace keyloom
