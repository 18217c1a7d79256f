#include "platform/linux/EvdevHookSource.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/linux/PermissionHint.h"

namespace keyloom::platform::linux_input {
namespace {

uint32_t Milliseconds(const input_event& event) {
  const uint64_t ms = static_cast<uint64_t>(event.input_event_sec) * 1000u +
                      static_cast<uint64_t>(event.input_event_usec) / 1000u;
  return static_cast<uint32_t>(ms);  // wraps like the system's tick count
}

bool IsEventNode(const char* name) { return std::strncmp(name, "event", 5) == 0; }

}  // namespace

EvdevHookSource::EvdevHookSource(int32_t vid, int32_t pid, PollFunction poll)
    : vid_(vid), pid_(pid), poll_(std::move(poll)) {}

EvdevHookSource::~EvdevHookSource() { Uninstall(); }

bool EvdevHookSource::Install(int hookType, HookProcedure procedure) {
  if (dispatcher_ || !procedure || hookType != WH_KEYBOARD_LL) return false;
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return false;
  dispatcher_ = std::make_unique<HookDispatcher>(std::move(procedure), kVerdictTimeout);
  // Listen before scanning, so a keyboard plugged in between is not missed
  // (one found twice is taken once).
  monitor_.Open("input");
  ScanExisting();
  stop_ = false;
  reader_ = std::thread([this] { Run(); });
  return true;
}

bool EvdevHookSource::Uninstall() {
  if (!dispatcher_) return false;
  // Stop first: a reader waiting for a verdict lets its event pass at once.
  dispatcher_->Stop();
  {
    std::lock_guard lock(stopMutex_);
    stop_ = true;
  }
  stopped_.notify_all();
  const uint64_t one = 1;
  (void)!write(wakeFd_, &one, sizeof one);
  if (reader_.joinable()) reader_.join();
  {
    std::lock_guard lock(clonesMutex_);
    clones_.clear();
  }
  keyboards_.clear();
  cloneSysPaths_.clear();
  translator_ = LowLevelTranslator();
  grabbed_ = 0;
  close(wakeFd_);
  wakeFd_ = -1;
  dispatcher_.reset();
  return true;
}

intptr_t EvdevHookSource::CallNext(int, uint32_t, KBDLLHOOKSTRUCT*) { return 0; }

std::vector<std::shared_ptr<KeyOutput>> EvdevHookSource::CloneOutputs() const {
  std::lock_guard lock(clonesMutex_);
  return clones_;
}

void EvdevHookSource::PutCloneFirst(const std::shared_ptr<KeyOutput>& clone) {
  std::lock_guard lock(clonesMutex_);
  if (!clones_.empty() && clones_.front() == clone) return;
  std::erase(clones_, clone);
  clones_.insert(clones_.begin(), clone);
}

uint64_t EvdevHookSource::TimedOutCount() const {
  return dispatcher_ ? dispatcher_->TimedOut() : 0;
}

void EvdevHookSource::ScanExisting() {
  DIR* dir = opendir("/dev/input");
  if (!dir) return;
  std::vector<std::string> nodes;
  while (dirent* entry = readdir(dir)) {
    if (IsEventNode(entry->d_name)) nodes.push_back(std::string("/dev/input/") + entry->d_name);
  }
  closedir(dir);
  for (const std::string& node : nodes) Take(node);
}

bool EvdevHookSource::IsOwnClone(const std::string& node) const {
  const std::string name = node.substr(node.rfind('/') + 1);
  char resolved[PATH_MAX];
  const std::string link = "/sys/class/input/" + name + "/device";
  if (!realpath(link.c_str(), resolved)) return false;
  return cloneSysPaths_.count(resolved) != 0;
}

void EvdevHookSource::Take(const std::string& node) {
  if (keyboards_.count(node) || IsOwnClone(node)) return;
  std::unique_ptr<GrabbedKeyboard> device;
  switch (GrabbedKeyboard::Open(node, vid_, pid_, &device)) {
    case GrabbedKeyboard::OpenResult::Grabbed: break;
    case GrabbedKeyboard::OpenResult::Denied: ReportAccessDenied(node); return;
    default: return;
  }
  cloneSysPaths_.insert(device->CloneSysPath());
  {
    std::lock_guard lock(clonesMutex_);
    clones_.push_back(device->Clone());
  }
  Keyboard& keyboard = keyboards_[node];
  keyboard.device = std::move(device);
  keyboard.source = ++nextSource_;
  ++grabbed_;
}

void EvdevHookSource::Release(const std::string& node) {
  auto it = keyboards_.find(node);
  if (it == keyboards_.end()) return;
  cloneSysPaths_.erase(it->second.device->CloneSysPath());
  {
    std::lock_guard lock(clonesMutex_);
    std::erase(clones_, it->second.device->Clone());
  }
  // Its clone goes too, and with it whatever it held.
  translator_.Forget(it->second.source);
  dispatcher_->Forget(it->second.source);
  keyboards_.erase(it);
  --grabbed_;
}

bool EvdevHookSource::PauseUnlessStopped(std::chrono::milliseconds pause) {
  std::unique_lock lock(stopMutex_);
  return !stopped_.wait_for(lock, pause, [this] { return stop_.load(); });
}

void EvdevHookSource::Run() {
  std::vector<pollfd> fds;
  std::vector<std::string> owners;  // node of each device entry in fds
  std::vector<input_event> events;
  std::chrono::milliseconds retryPause = kFirstRetryPause;
  bool failing = false;
  while (!stop_) {
    fds.clear();
    owners.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({monitor_.Fd(), POLLIN, 0});
    for (auto& [node, keyboard] : keyboards_) {
      fds.push_back({keyboard.device->Fd(), POLLIN, 0});
      owners.push_back(node);
      fds.push_back({keyboard.device->CloneFd(), POLLIN, 0});
      owners.push_back(node);
    }
    if (poll_(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      // poll itself fails for the whole process (no memory, too many
      // descriptors), not for one node: say so once, wait, try again.
      if (!failing) std::fprintf(stderr, "keyboard hook: cannot wait for key events: %s\n", std::strerror(errno));
      failing = true;
      if (!PauseUnlessStopped(retryPause)) break;
      retryPause = std::min(retryPause * 2, kLongestRetryPause);
      continue;
    }
    failing = false;
    retryPause = kFirstRetryPause;
    if (stop_) break;

    // LED changes first: NumLock decides how the keypad reads.
    for (size_t i = 2; i < fds.size(); ++i) {
      Keyboard& keyboard = keyboards_[owners[i - 2]];
      if (fds[i].revents && fds[i].fd == keyboard.device->CloneFd()) keyboard.device->ForwardLeds();
    }
    // Every node is read now, ready or not, so that the frames of several
    // interfaces can go on in the order they happened: whatever arrives
    // later is later than all of these.
    std::vector<std::string> gone;
    for (auto& [node, keyboard] : keyboards_) {
      events.clear();
      const bool alive = keyboard.device->Read(&events);
      Collect(keyboard, events);
      if (!alive) gone.push_back(node);
    }
    PassReadyFrames();
    for (const std::string& node : gone) Release(node);

    if (fds[1].revents) {
      UeventMonitor::Event change;
      while (monitor_.Receive(&change)) {
        if (change.devnode.rfind("/dev/input/event", 0) != 0) continue;
        if (change.added) {
          Take(change.devnode);
        } else {
          Release(change.devnode);
        }
      }
    }
  }
  // Stopping: what the keyboard sent meanwhile still goes on (the stopped
  // dispatcher passes everything) before the nodes are let go.
  for (auto& [node, keyboard] : keyboards_) {
    events.clear();
    keyboard.device->Read(&events);
    Collect(keyboard, events);
  }
  PassReadyFrames();
}

void EvdevHookSource::Collect(Keyboard& keyboard, const std::vector<input_event>& events) {
  for (const input_event& event : events) {
    if (event.type == EV_SYN && event.code == SYN_REPORT) {
      keyboard.partial.timeUs = static_cast<uint64_t>(event.input_event_sec) * 1000000u +
                                static_cast<uint64_t>(event.input_event_usec);
      keyboard.ready.push_back(std::move(keyboard.partial));
      keyboard.partial = Frame();
    } else {
      keyboard.partial.events.push_back(event);
    }
  }
}

void EvdevHookSource::PassReadyFrames() {
  for (;;) {
    Keyboard* earliest = nullptr;
    for (auto& [node, keyboard] : keyboards_) {
      if (keyboard.ready.empty()) continue;
      if (!earliest || keyboard.ready.front().timeUs < earliest->ready.front().timeUs) {
        earliest = &keyboard;
      }
    }
    if (!earliest) return;
    PassFrame(*earliest, earliest->ready.front());
    earliest->ready.pop_front();
  }
}

// One frame (the events up to a SYN_REPORT): each key event goes to the hook;
// the MSC_SCAN that announces a key goes or stays with it. LED and sound
// events from the device are not echoed: the clone's LEDs belong to the
// programs that set them, and those changes flow the other way.
void EvdevHookSource::PassFrame(Keyboard& keyboard, const Frame& frame) {
  std::vector<input_event> out;
  std::optional<input_event> scan;
  for (const input_event& event : frame.events) {
    if (event.type == EV_MSC && event.code == MSC_SCAN) {
      if (scan) out.push_back(*scan);
      scan = event;
      continue;
    }
    if (event.type == EV_KEY) {
      // The keyboard a key came from is the one keys injected for it join.
      PutCloneFirst(keyboard.device->Clone());
      LowLevelKey key;
      if (translator_.Translate(event.code, event.value, Milliseconds(event),
                                keyboard.device->NumLock(), &key, keyboard.source) &&
          dispatcher_->Ask(HookKey{keyboard.source, event.code}, key.message, key.event) != 0) {
        scan.reset();
        continue;
      }
    } else if (event.type == EV_LED || event.type == EV_SND) {
      continue;
    }
    if (scan) out.push_back(*scan);
    scan.reset();
    out.push_back(event);
  }
  if (scan) out.push_back(*scan);
  // One frame under the clone's lock: a key injected meanwhile from another
  // thread goes before or after it, never into it.
  if (!out.empty()) keyboard.device->Clone()->PassFrame(out);
}

}  // namespace keyloom::platform::linux_input
