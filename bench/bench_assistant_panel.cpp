// The assistant panel with a long conversation: 300 turns whose answers are
// 2000 characters each, shown offscreen. One keystroke in the composer (the
// binding, the view's update and the repaint it causes), and one more turn
// appended: from the moment the answer reaches the controller until the new
// row is built, laid out and painted (the service's round trip over loopback
// is not counted).
#include "panels/AssistantComposerTextView.h"
#include "panels/AssistantPanel.h"
#include "panels/AssistantRig.h"
#include "ui/FloatingPanel.h"

#include "QtBenchmarkMain.h"
#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

QString answerText(int n)
{
    QString text = QStringLiteral("Answer %1: ").arg(n);
    while (text.size() < 2000)
        text += QStringLiteral("Here is a considered reply, с русскими словами тоже, and a link https://example.com/a/b. ");
    return text.left(2000);
}

struct Setup {
    mendo::AssistantRig rig;
    QElapsedTimer sinceAnswer;
    qsizetype turns = 0;

    Setup()
    {
        // Connected before the view exists, so it runs before the view's
        // own update.
        QObject::connect(&rig.controller, &mendo::AssistantPanelController::changed, [this] {
            if (rig.controller.state().turns.size() > turns) {
                turns = rig.controller.state().turns.size();
                sinceAnswer.start();
            }
        });
        rig.controller.show(QString());
        for (int i = 0; i < 300; ++i)
            ask(i);
        QCoreApplication::processEvents();
    }

    void ask(int n)
    {
        rig.mock.enqueue(mendo::MockAiService::Answer::result(answerText(n)));
        rig.controller.setRequestText(QStringLiteral("Question number %1?").arg(n));
        rig.controller.run();
        while (rig.controller.state().isRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
    }

    // Made once: the runs of each benchmark share the conversation.
    static Setup& shared()
    {
        static Setup setup;
        return setup;
    }
};

void BM_KeystrokeWith300Turns(benchmark::State& state)
{
    Setup& setup = Setup::shared();
    mendo::AssistantComposerTextView* editor = setup.rig.controller.view()->composerEditor();
    editor->setFocus();
    int n = 0;
    for (auto _ : state) {
        // Type, and now and then clear, so the text stays short.
        if (++n % 50 == 0) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Backspace);
        } else {
            QTest::keyClick(editor, Qt::Key_X);
        }
        QCoreApplication::processEvents();
    }
    state.counters["turns"] = double(setup.rig.controller.state().turns.size());
}
BENCHMARK(BM_KeystrokeWith300Turns)->Unit(benchmark::kMicrosecond);

void BM_AppendTurnTo300(benchmark::State& state)
{
    Setup& setup = Setup::shared();
    int n = int(setup.turns);
    for (auto _ : state) {
        setup.ask(n++);
        state.SetIterationTime(double(setup.sinceAnswer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_AppendTurnTo300)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
