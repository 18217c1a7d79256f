#pragma once

#include <condition_variable>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/AtomicFileWriter.h"

namespace keyloom {

// Saves files from a thread of its own, through an atomic writer, in the
// order they were asked for. Made for settings that change many times a
// second (a lighting slider being dragged): the thread that changes them
// never waits for the disk, and a newer content of a file that is still
// waiting replaces the older one, so the file ends with the latest content
// after fewer writes. Each write is still atomic: a crash leaves the old or
// the new file. A write that fails is reported to SaveFailures() (once per
// file: on standard error and in the main window). Destroying the writer finishes every waiting write first.
class BackgroundFileWriter : public platform::IAtomicFileWriter {
 public:
  explicit BackgroundFileWriter(std::unique_ptr<platform::IAtomicFileWriter> target);
  ~BackgroundFileWriter() override;
  BackgroundFileWriter(const BackgroundFileWriter&) = delete;
  BackgroundFileWriter& operator=(const BackgroundFileWriter&) = delete;

  // Queues the content; true (the write's own result comes later).
  bool Write(const std::string& path, std::string_view bytes) override;
  // Waits until every queued write is done; false when `timeout` ran out.
  bool Flush(std::chrono::milliseconds timeout);
  // Writes whose content was replaced by a newer one before they started.
  uint64_t Replaced() const;

 private:
  struct Pending {
    std::string path;
    std::string bytes;
  };
  void Loop();

  std::unique_ptr<platform::IAtomicFileWriter> target_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::condition_variable idle_;
  std::deque<Pending> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  uint64_t replaced_ = 0;
  std::thread thread_;
};

}  // namespace keyloom
