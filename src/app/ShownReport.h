#pragma once

#include <QObject>
#include <memory>
#include <string>

namespace keyloom {

// For the start-up benchmark: with KEYLOOM_REPORT_SHOWN=<file> set, writes
// "shown <ms>" to the file once the first window has been exposed and its
// first frame drawn, <ms> being the monotonic clock (CLOCK_MONOTONIC on
// Linux) in milliseconds; the benchmark subtracts the time it started the
// program. Unset, nothing is installed.
class ShownReport : public QObject {
 public:
  static std::unique_ptr<ShownReport> FromEnvironment();
  explicit ShownReport(std::string path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Write() const;

  std::string path_;
};

}  // namespace keyloom
