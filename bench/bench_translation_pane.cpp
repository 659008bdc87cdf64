// The translation preview's pane with a translation of 1 MB: showing it
// (the text set and the visible part laid out and painted), and redrawing
// it unchanged (updated and painted again), as every change of another
// field of the panel does.
#include "panels/SelectablePreviewTextView.h"

#include "QtBenchmarkMain.h"
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

QString oneMegabyte()
{
    QString text;
    const QString line = QStringLiteral("Перевод строки с эмодзи 🌍 and some Latin words, line %1.\n");
    for (int i = 0; text.size() < 512 * 1024; ++i)  // UTF-16: 2 bytes a character
        text += line.arg(i);
    return text;
}

void paint(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

void BM_ShowOneMegabyte(benchmark::State& state)
{
    const QString text = oneMegabyte();
    for (auto _ : state) {
        state.PauseTiming();
        mendo::SelectablePreviewTextView view;
        view.resize(320, 300);
        view.updateTextView(QString(), QStringLiteral("Translation will appear here."), 14);
        state.ResumeTiming();
        view.updateTextView(text, QStringLiteral("Translation will appear here."), 14);
        paint(view);
    }
}
BENCHMARK(BM_ShowOneMegabyte)->Unit(benchmark::kMillisecond);

void BM_RedrawUnchanged(benchmark::State& state)
{
    const QString text = oneMegabyte();
    mendo::SelectablePreviewTextView view;
    view.resize(320, 300);
    view.updateTextView(text, QStringLiteral("Translation will appear here."), 14);
    paint(view);
    // An equal text in another string, as the controller hands it over.
    const QString same = QString(text.constData(), text.size());
    for (auto _ : state) {
        view.updateTextView(same, QStringLiteral("Translation will appear here."), 14);
        paint(view);
    }
}
BENCHMARK(BM_RedrawUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
