// Puts data on the X11 CLIPBOARD as another application would and keeps
// serving it until it is ended (or another client takes the clipboard).
//
//   mendo_clipboard_owner TYPE=FILE [TYPE=FILE ...]
//
// Each file's bytes are offered under its MIME type, in the given order.
// Prints "owning" once the clipboard is taken, and "served TYPE" whenever a
// client is given the bytes of one of the types.

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <cstdio>

namespace {

class ReportingMimeData final : public QMimeData {
protected:
    QVariant retrieveData(const QString& type, QMetaType metaType) const override
    {
        std::printf("served %s\n", qPrintable(type));
        std::fflush(stdout);
        return QMimeData::retrieveData(type, metaType);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    auto* mime = new ReportingMimeData;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        QFile file(argument.mid(equals + 1));
        if (equals <= 0 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(argument));
            return 2;
        }
        mime->setData(argument.left(equals), file.readAll());
    }
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &app, [](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !QGuiApplication::clipboard()->ownsClipboard())
            QCoreApplication::quit();
    });
    QTimer::singleShot(0, &app, [] {
        std::fputs("owning\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
