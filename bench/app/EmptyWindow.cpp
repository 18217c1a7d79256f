// The yardstick for keyloom's start-up: an empty Qt window of the main
// window's size (1000 x 680), shown at once. With KEYLOOM_REPORT_SHOWN set it
// reports its first exposed and drawn frame exactly as keyloom does.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

class ShownReport : public QObject {
 public:
  explicit ShownReport(const char* path) : path_(path) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] { Write(); });
    }
    return false;
  }

 private:
  // Only the monotonic time: the driver subtracts its own spawn time.
  void Write() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (std::FILE* out = std::fopen(path_, "w")) {
      std::fprintf(out, "shown %.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
      std::fclose(out);
    }
  }

  const char* path_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::unique_ptr<ShownReport> report;
  if (const char* path = std::getenv("KEYLOOM_REPORT_SHOWN"); path && *path) report = std::make_unique<ShownReport>(path);
  QWidget window;
  window.resize(1000, 680);
  window.show();
  return app.exec();
}
