#include "app/ShownReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace keyloom {

std::unique_ptr<ShownReport> ShownReport::FromEnvironment() {
  const char* path = std::getenv("KEYLOOM_REPORT_SHOWN");
  if (path == nullptr || *path == '\0') return nullptr;
  return std::make_unique<ShownReport>(path);
}

ShownReport::ShownReport(std::string path) : path_(std::move(path)) { qApp->installEventFilter(this); }

bool ShownReport::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()) {
    qApp->removeEventFilter(this);
    // Written once the expose, its paint and flush are done.
    QTimer::singleShot(0, this, [this] { Write(); });
  }
  return false;
}

void ShownReport::Write() const {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  if (std::FILE* out = std::fopen(path_.c_str(), "w")) {
    std::fprintf(out, "shown %.3f\n", std::chrono::duration<double, std::milli>(now).count());
    std::fclose(out);
  }
}

}  // namespace keyloom
