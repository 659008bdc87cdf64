// The Layout page's chooser over 500 installed applications: their desktop
// entries read from the applications folder, named and sorted, the dialog
// made and its first frame drawn offscreen (only the rows in sight load
// their icons). Then one keystroke in its filter field, redrawn.
#include "fakes/FakeWorkspace.h"
#include "platform/x11/X11ApplicationCatalog.h"
#include "settings/ApplicationChooserDialog.h"
#include "settings/ApplicationIcons.h"
#include "ui/SymbolRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "QtBenchmarkMain.h"
#include <benchmark/benchmark.h>

namespace {

const char* const iconNames[] = { "chromium", "xterm", "gvim", "accessories-text-editor", "no-such-icon" };

struct Folder {
    QTemporaryDir dir;
    QString applications;

    Folder()
        : applications(dir.filePath(QStringLiteral("applications")))
    {
        QDir().mkpath(applications + QStringLiteral("/vendor"));
        for (int i = 0; i < 500; ++i) {
            // A tenth in a vendor subfolder, as some packages install them.
            const QString path = applications + (i % 10 == 0 ? QStringLiteral("/vendor") : QString())
                + QStringLiteral("/org.example.App%1.desktop").arg(i);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
            QByteArray body = "[Desktop Entry]\nType=Application\nName=Application " + QByteArray::number(i * 7919 % 500)
                + "\nName[ru]=Приложение " + QByteArray::number(i) + "\nComment=Does one thing well\nIcon="
                + iconNames[i % 5] + "\nExec=app" + QByteArray::number(i) + " %F\nCategories=Utility;\n";
            // Many real entries carry dozens of translations.
            for (int t = 0; t < 40; ++t)
                body += "Comment[l" + QByteArray::number(t) + "]=Translated comment " + QByteArray::number(t) + "\n";
            body += "[Desktop Action new]\nName=New window\nExec=app --new\n";
            file.write(body);
        }
    }
};

void BM_ChooserFirstFrame(benchmark::State& state)
{
    Folder folder;
    mendo::FakeWorkspace workspace;
    for (int i = 0; i < 20; ++i)
        workspace.applications.append({ 100 + i, QStringLiteral("Running%1").arg(i), mendo::WindowId(i + 1) });
    mendo::X11ApplicationCatalog catalog({ folder.applications });
    {
        // The settings window it opens from has set up Qt's style, fonts and
        // the icon theme already.
        QWidget window;
        auto* field = new QLineEdit(&window);
        field->setPlaceholderText(QStringLiteral("Filter"));
        auto* button = new QPushButton(QStringLiteral("Add"), &window);
        button->setIcon(mendo::SymbolRegistry::icon(QStringLiteral("plus"), Qt::black));
        button->move(0, 40);
        (void)window.grab();
    }
    for (auto _ : state) {
        mendo::ApplicationIcons icons;
        mendo::ApplicationChooserDialog dialog(
            mendo::applicationChoices(catalog, workspace, mendo::UiLanguage::en), icons, mendo::UiLanguage::en);
        dialog.resize(440, 520);
        benchmark::DoNotOptimize(dialog.grab());
    }
}
// The process's first chooser: its entries' icons are looked up cold.
BENCHMARK(BM_ChooserFirstFrame)->Name("BM_ChooserFirstFrameCold")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserFirstFrame)->Unit(benchmark::kMillisecond);

void BM_ChooserFilterKeystroke(benchmark::State& state)
{
    Folder folder;
    mendo::FakeWorkspace workspace;
    mendo::X11ApplicationCatalog catalog({ folder.applications });
    mendo::ApplicationIcons icons;
    mendo::ApplicationChooserDialog dialog(
        mendo::applicationChoices(catalog, workspace, mendo::UiLanguage::en), icons, mendo::UiLanguage::en);
    dialog.resize(440, 520);
    (void)dialog.grab();
    const QString query = QStringLiteral("application 42");
    int length = 0;
    for (auto _ : state) {
        length = length % int(query.size()) + 1;
        dialog.filterField()->setText(query.left(length));
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(BM_ChooserFilterKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarksInQt<QApplication>(argc, argv);
}
