// mendo-write-app-icon FILE
//
// Writes the application's icon for its desktop entry: the tray's drawing as
// SVG, so that the launcher and the tray show the same picture from one
// design. Run by the build; it needs fonts but no display.

#include "tray/MendoMenuBarIcon.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    // The letters are laid out with the fonts Qt finds, which takes a
    // platform; the offscreen one needs no X server at build time.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(mendo::MendoMenuBarIcon::makeSvg()) < 0 || !file.commit()) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
