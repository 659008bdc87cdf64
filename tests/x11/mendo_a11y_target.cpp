// A target for the accessibility display tests and benchmark: one window with
// a one-line text field holding the focus, and optionally many labels around
// it so the accessibility tree is as large as a real application's. Prints
// "ready" once the window is shown.
//
//   mendo_a11y_target [--text TEXT] [--labels N]

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("Initial text."), QStringLiteral("text"));
    const QCommandLineOption labelsOption(QStringLiteral("labels"), QStringLiteral("Extra labels."),
                                          QStringLiteral("count"), QStringLiteral("0"));
    parser.addOptions({textOption, labelsOption});
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Mendo accessibility target"));
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(parser.value(textOption));
    layout->addWidget(field);
    if (const int labels = parser.value(labelsOption).toInt(); labels > 0) {
        auto* area = new QScrollArea;
        auto* grid = new QWidget;
        auto* gridLayout = new QGridLayout(grid);
        for (int i = 0; i < labels; ++i)
            gridLayout->addWidget(new QLabel(QStringLiteral("label %1").arg(i)), i / 20, i % 20);
        area->setWidget(grid);
        layout->addWidget(area);
    }
    window.resize(640, 400);
    window.show();
    window.activateWindow();
    field->setFocus();
    QTimer::singleShot(0, &window, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
