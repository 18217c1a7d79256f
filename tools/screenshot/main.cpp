// Saves a picture of the whole X screen: `take_screenshot OUT.png [delay-ms]`.
// scripts/screenshots uses it to photograph keyloom running under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: take_screenshot OUT.png [delay-ms]\n");
    return 2;
  }
  const int delay = argc > 2 ? std::atoi(argv[2]) : 0;
  int status = 1;
  QTimer::singleShot(delay, [&] {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) status = 0;
    app.quit();
  });
  app.exec();
  return status;
}
