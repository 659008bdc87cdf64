// A stand-in for "the application the user works in": one window with one
// text field. Every change of the text is printed to stdout as one line of
// JSON, {"text": "..."}, so a test can follow what was typed or pasted into
// it. A line "ready" follows once the window is shown.
//
//   mendo_target_app [--text TEXT] [--title TITLE] [--class NAME] [--multiline]
//
// --class sets the WM_CLASS class (the application name); --multiline uses a
// plain text editor instead of a one-line field.

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

void report(const QString& text)
{
    const QByteArray line = QJsonDocument(QJsonObject{{QStringLiteral("text"), text}}).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    // The application name becomes the WM_CLASS class; it has to be set
    // before the first window exists.
    QString className = QStringLiteral("MendoTarget");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--class") == 0)
            className = QString::fromLocal8Bit(argv[i + 1]);
    }
    QApplication::setApplicationName(className);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("Initial text."), QStringLiteral("text"));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("Window title."),
                                         QStringLiteral("title"), QStringLiteral("Mendo target"));
    const QCommandLineOption classOption(QStringLiteral("class"), QStringLiteral("WM_CLASS class."),
                                         QStringLiteral("name"));
    const QCommandLineOption multilineOption(QStringLiteral("multiline"), QStringLiteral("A multi-line editor."));
    parser.addOptions({textOption, titleOption, classOption, multilineOption});
    parser.addHelpOption();
    parser.process(app);

    QWidget window;
    window.setWindowTitle(parser.value(titleOption));
    auto* layout = new QVBoxLayout(&window);
    QWidget* field = nullptr;
    if (parser.isSet(multilineOption)) {
        auto* editor = new QPlainTextEdit(parser.value(textOption));
        QObject::connect(editor, &QPlainTextEdit::textChanged, editor, [editor] { report(editor->toPlainText()); });
        field = editor;
    } else {
        auto* editor = new QLineEdit(parser.value(textOption));
        QObject::connect(editor, &QLineEdit::textChanged, editor, [](const QString& text) { report(text); });
        field = editor;
    }
    field->setObjectName(QStringLiteral("field"));
    layout->addWidget(field);
    window.resize(480, 160);
    window.show();
    window.activateWindow();
    field->setFocus();
    QTimer::singleShot(0, &window, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
