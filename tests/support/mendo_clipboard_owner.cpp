// Puts data on the X11 CLIPBOARD as another application would and keeps
// serving it until it is ended (or another client takes the clipboard).
//
//   mendo_clipboard_owner [--refill] TYPE=FILE [TYPE=FILE ...]
//
// Each file's bytes are offered under its MIME type, in the given order.
// Prints "owning" once the clipboard is taken. With --refill it behaves as
// some desktops' clipboard managers do: whenever the clipboard becomes empty
// it puts these contents back (and it never ends by itself).

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool refill = arguments.removeAll(QStringLiteral("--refill")) > 0;
    QList<QPair<QString, QByteArray>> formats;
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        QFile file(argument.mid(equals + 1));
        if (equals <= 0 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(argument));
            return 2;
        }
        formats.append({ argument.left(equals), file.readAll() });
    }
    const auto offer = [formats] {
        auto* mime = new QMimeData;
        for (const auto& [type, bytes] : formats)
            mime->setData(type, bytes);
        QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
    };
    offer();
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &app, [refill, offer](QClipboard::Mode mode) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (mode != QClipboard::Clipboard || clipboard->ownsClipboard())
            return;
        if (!refill) {
            QCoreApplication::quit();
            return;
        }
        const QMimeData* now = clipboard->mimeData(QClipboard::Clipboard);
        if (!now || now->formats().isEmpty())
            offer();
    });
    QTimer::singleShot(0, &app, [] {
        std::fputs("owning\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
