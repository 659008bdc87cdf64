// A stand-in for "the application the user works in": one window with one
// text field. Every change of the text is printed to stdout as one line of
// JSON, {"text": "..."}, so a test can follow what was typed or pasted into
// it. A line "ready" follows once the window is shown.
//
//   mendo_target_app [--text TEXT] [--title TITLE] [--class NAME] [--multiline]
//                    [--labels N] [--paste-delay MS]
//
// --class sets the WM_CLASS class (the application name); --multiline uses a
// plain text editor instead of a one-line field; --labels puts N labels above
// the field, for an accessibility tree as large as a real application's;
// --paste-delay makes the one-line field fetch the clipboard only MS
// milliseconds after Control+V, as the slowest real applications do.

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
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

// Takes Control+V off the field and pastes later.
class DelayedPaste : public QObject {
public:
    DelayedPaste(QLineEdit* editor, int delayMs)
        : QObject(editor)
        , m_editor(editor)
        , m_delayMs(delayMs)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                if (event->type() == QEvent::KeyPress)
                    QTimer::singleShot(m_delayMs, m_editor, [editor = m_editor] { editor->paste(); });
                event->accept();
                return true;
            }
        }
        return false;
    }

private:
    QLineEdit* m_editor;
    int m_delayMs;
};

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
    const QCommandLineOption labelsOption(QStringLiteral("labels"), QStringLiteral("Labels above the field."),
        QStringLiteral("count"), QStringLiteral("0"));
    const QCommandLineOption pasteDelayOption(QStringLiteral("paste-delay"),
        QStringLiteral("Fetch the clipboard this long after Control+V."), QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({ textOption, titleOption, classOption, multilineOption, labelsOption, pasteDelayOption });
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
        if (const int delay = parser.value(pasteDelayOption).toInt(); delay > 0)
            editor->installEventFilter(new DelayedPaste(editor, delay));
        field = editor;
    }
    field->setObjectName(QStringLiteral("field"));
    if (const int labels = parser.value(labelsOption).toInt(); labels > 0) {
        // Rows of 20, as a real form nests its widgets.
        auto* area = new QScrollArea;
        auto* rows = new QWidget;
        auto* rowsLayout = new QVBoxLayout(rows);
        for (int first = 0; first < labels; first += 20) {
            auto* row = new QWidget;
            auto* rowLayout = new QHBoxLayout(row);
            for (int i = first; i < std::min(labels, first + 20); ++i)
                rowLayout->addWidget(new QLabel(QString::number(i)));
            rowsLayout->addWidget(row);
        }
        area->setWidget(rows);
        layout->addWidget(area);
    }
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
