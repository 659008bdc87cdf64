// The yardstick for MendoAI's start-up: a minimal Qt Widgets program that
// shows one window. It writes the monotonic time at which its event loop
// first runs ("event loop <ns>") and ends.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

void mark(const char* step)
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%s %lld\n", step, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    mark("main");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(400, 300);
    window.show();
    QTimer::singleShot(0, [] {
        mark("event loop");
        QCoreApplication::quit();
    });
    return app.exec();
}
