#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A HID keyboard interface made through the real kernel's uhid: one
// vendor-defined collection with the 8-byte feature and output reports of id
// 7 that keyloom's protocol uses. A thread plays the firmware: it records
// every report the host sends and answers feature reads with a reply.
namespace keyloom::kernel_test {

class UhidKeyboard {
 public:
  struct Report {
    enum Kind { Output, SetFeature, GetFeature } kind;
    std::vector<uint8_t> bytes;  // report id first
  };

  UhidKeyboard(const std::string& name, int vid, int pid);
  ~UhidKeyboard();
  UhidKeyboard(const UhidKeyboard&) = delete;
  UhidKeyboard& operator=(const UhidKeyboard&) = delete;

  bool Ok() const { return fd_ >= 0; }
  // What a feature read returns (report id first).
  void SetReply(std::vector<uint8_t> reply);
  // While held, the firmware records requests but answers none of them.
  void Hold(bool hold);

  std::vector<Report> Reports() const;
  // Waits until at least `count` reports arrived.
  bool WaitReports(size_t count, int timeoutMs) const;

 private:
  void Serve();

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<bool> hold_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Report> reports_;
  std::vector<uint8_t> reply_{0x07, 0x01, 0x00, 0, 0, 0, 0, 0};
};

}  // namespace keyloom::kernel_test
