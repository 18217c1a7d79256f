#pragma once

namespace keyloom {

class ISimpleThread;

// A callback of the worker thread: start, idle and stop. Called with the
// thread and the context given to SimpleThread::Start.
class ICallback {
 public:
  virtual ~ICallback() = default;
  virtual int Invoke(ISimpleThread* thread, void* context) = 0;
};

// Calls a member of a bound object.
template <class T>
class Callback : public ICallback {
 public:
  using Member = int (T::*)(ISimpleThread* thread, void* context);

  Callback(T* target, Member member) : target_(target), member_(member) {}

  int Invoke(ISimpleThread* thread, void* context) override {
    return target_ && member_ ? (target_->*member_)(thread, context) : 0;
  }

 private:
  T* target_;
  Member member_;
};

}  // namespace keyloom
