#include "kernel/guest/UhidKeyboard.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace keyloom::kernel_test {
namespace {

// Vendor page 0xFF00, application collection, report id 7 with seven data
// bytes as a feature report and as an output report.
const uint8_t kDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x07,        //   Report ID (7)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x07,        //   Report Count (7)
    0x09, 0x01,        //   Usage (1)
    0xB1, 0x02,        //   Feature (Data, Var, Abs)
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Var, Abs)
    0xC0,              // End Collection
};

bool Send(int fd, const uhid_event& event) {
  return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

}  // namespace

UhidKeyboard::UhidKeyboard(const std::string& name, int vid, int pid) {
  fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return;
  uhid_event create{};
  create.type = UHID_CREATE2;
  std::snprintf(reinterpret_cast<char*>(create.u.create2.name), sizeof create.u.create2.name, "%s",
                name.c_str());
  std::memcpy(create.u.create2.rd_data, kDescriptor, sizeof kDescriptor);
  create.u.create2.rd_size = sizeof kDescriptor;
  create.u.create2.bus = 0x03;  // BUS_USB
  create.u.create2.vendor = static_cast<uint32_t>(vid);
  create.u.create2.product = static_cast<uint32_t>(pid);
  create.u.create2.version = 0x0102;
  if (!Send(fd_, create)) {
    close(fd_);
    fd_ = -1;
    return;
  }
  thread_ = std::thread([this] { Serve(); });
}

UhidKeyboard::~UhidKeyboard() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (fd_ >= 0) {
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    Send(fd_, destroy);
    close(fd_);
  }
}

void UhidKeyboard::SetReply(std::vector<uint8_t> reply) {
  std::lock_guard lock(mutex_);
  reply_ = std::move(reply);
}

void UhidKeyboard::Hold(bool hold) { hold_ = hold; }

std::vector<UhidKeyboard::Report> UhidKeyboard::Reports() const {
  std::lock_guard lock(mutex_);
  return reports_;
}

bool UhidKeyboard::WaitReports(size_t count, int timeoutMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return reports_.size() >= count; });
}

void UhidKeyboard::Serve() {
  while (!stop_) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    uhid_event event{};
    if (read(fd_, &event, sizeof event) <= 0) continue;
    std::lock_guard lock(mutex_);
    switch (event.type) {
      case UHID_OUTPUT: {
        const auto& out = event.u.output;
        reports_.push_back({Report::Output, std::vector<uint8_t>(out.data, out.data + out.size)});
        break;
      }
      case UHID_SET_REPORT: {
        const auto& set = event.u.set_report;
        reports_.push_back({Report::SetFeature, std::vector<uint8_t>(set.data, set.data + set.size)});
        if (hold_) break;
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = set.id;
        reply.u.set_report_reply.err = 0;
        Send(fd_, reply);
        break;
      }
      case UHID_GET_REPORT: {
        const auto& get = event.u.get_report;
        reports_.push_back({Report::GetFeature, {get.rnum}});
        if (hold_) break;
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = get.id;
        reply.u.get_report_reply.err = 0;
        reply.u.get_report_reply.size = static_cast<uint16_t>(reply_.size());
        std::memcpy(reply.u.get_report_reply.data, reply_.data(), reply_.size());
        Send(fd_, reply);
        break;
      }
      default:
        break;
    }
    changed_.notify_all();
  }
}

}  // namespace keyloom::kernel_test
