// The translation preview on the real desktop (Xvfb, openbox): the selection
// of a Qt field read by copying, translated by the in-process mock service,
// shown next to the pointer with the focus; Escape and a click elsewhere hide
// it; "Insert" replaces the selection in a Qt and a GTK field and gives the
// user's clipboard back; "Copy" leaves the translation on the clipboard; the
// language list takes a click; the header moves the panel, a pane only
// selects. Screenshots go to the artifacts.

#include "app/AppStateRig.h"
#include "engine/AccountCredentials.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "panels/SelectablePreviewTextView.h"
#include "panels/TranslationPreviewPanel.h"
#include "panels/TranslationPreviewPanelController.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11KeyboardEvents.h"
#include "platform/x11/X11PanelDesktop.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11PostedKeys.h"
#include "platform/x11/X11Workspace.h"
#include "support/MockAiService.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"
#include "ui/PanelPlacement.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTemporaryDir>

using namespace mendo;
using namespace mendo::testing;

namespace {

void dragFrom(QPoint from, QPoint by)
{
    const QPoint to = from + by;
    xdotool({ "mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1" });
    QTest::qWait(100);
    xdotool({ "mousemove", QString::number(from.x() + by.x() / 2), QString::number(from.y() + by.y() / 2) });
    QTest::qWait(100);
    xdotool({ "mousemove", QString::number(to.x()), QString::number(to.y()) });
    QTest::qWait(100);
    xdotool({ "mouseup", "1" });
    QTest::qWait(300);
}

QPoint globalCenter(const QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

// The desktop classes on one X connection, the pasteboard road over them,
// the mock service, and the controller under test.
struct Desktop {
    RealClock clock;
    AppStateRig app;
    x11::X11Connection connection;
    x11::X11PostedKeys posted { clock };
    X11Pasteboard pasteboard { connection };
    X11KeyboardEvents keyboard;
    ApplicationIdResolver resolver { QStringList {} };
    X11Workspace workspace { connection, resolver };
    X11GlobalInputMonitor globalInput { connection, posted };
    X11PanelDesktop panelDesktop { connection };
    FocusService focus { workspace };
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess accessibility;  // nothing readable: the selection is copied
    PasteboardService service { clock, pasteboard, keyboard, focus, history, accessibility };
    PasteboardSelectionTransfer transfer { service };
    MockAiService mock { clock };
    bool listening = mock.listen();
    DefaultsAccountCredentials credentials { app.defaults };
    QNetworkAccessManager network;
    FakeLanguageDetector languages;
    std::unique_ptr<TranslationPreviewPanelController> controller;

    Desktop()
    {
        keyboard.setPostedKeys(&posted);
        mock.setFallback(MockAiService::Answer::result(QStringLiteral("Hallo Welt")));
        app.state->editSettings([](MendoSettings& s) { s.translatePreviewTargetLanguage = QStringLiteral("German"); });
        controller = std::make_unique<TranslationPreviewPanelController>(TranslationPreviewServices { clock,
            app.defaults, pasteboard, focus, accessibility, transfer, panelDesktop, globalInput,
            mock.aiURL(), credentials, network, languages, nullptr });
        controller->attach(*app.state);
    }
    ~Desktop() { controller.reset(); }

    TranslationPreviewPanelController& c() { return *controller; }
    FloatingPanel* panel() { return c().panel(); }
    TranslationPreviewPanel& view() { return *c().view(); }

    // The application the user works in, in front and remembered.
    bool inFront(const OtherApp& app)
    {
        if (!waitUntilFrontmost(workspace, app.pid()))
            return false;
        QDeadlineTimer deadline(5000);
        while (focus.rememberedProcessIdentifier() != app.pid() && !deadline.hasExpired())
            QTest::qWait(10);
        return !deadline.hasExpired();
    }

    // The hotkey's work: read, translate, show.
    bool showFromSelection()
    {
        c().showFromSelection(*app.state);
        QDeadlineTimer deadline(15000);
        while ((c().isRunning() || !panel() || !panel()->isVisible()) && !deadline.hasExpired())
            QTest::qWait(20);
        return !deadline.hasExpired();
    }

    bool panelHasFocus()
    {
        QDeadlineTimer deadline(5000);
        while (activeWindow() != QString::number(panel()->winId()) && !deadline.hasExpired())
            QTest::qWait(20);
        return !deadline.hasExpired();
    }
};

}  // namespace

class TestTranslationPreviewDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void showsTranslatesAndHides();
    void insertsIntoAQtField();
    void insertsIntoAGtkField();
    void copyLanguageListWidthsAndDrags();

private:
    std::unique_ptr<OtherApp> userCopies();
    void verifyUsersClipboardIsBack();

    QTemporaryDir m_dir;
    const QList<QPair<QString, QByteArray>> m_usersClipboard {
        { QStringLiteral("text/plain"), QByteArray("the user's own words") },
        { QStringLiteral("text/html"), QByteArray("<b>the user's own words</b>") },
    };
};

void TestTranslationPreviewDisplay::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
}

std::unique_ptr<OtherApp> TestTranslationPreviewDisplay::userCopies()
{
    return offerClipboard(m_dir.path(), m_usersClipboard);
}

void TestTranslationPreviewDisplay::verifyUsersClipboardIsBack()
{
    for (const auto& [type, bytes] : m_usersClipboard)
        QTRY_COMPARE(runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o", "-t", type }), bytes);
}

void TestTranslationPreviewDisplay::showsTranslatesAndHides()
{
    Desktop d;
    QVERIFY(d.listening);
    auto target = startTargetApp(QStringLiteral("Hello world"));
    QVERIFY(d.inFront(*target));
    xdotool({ "key", "ctrl+a" });
    xdotool({ "mousemove", "400", "300" });

    QVERIFY(d.showFromSelection());
    QCOMPARE(d.c().sourceText(), QStringLiteral("Hello world"));
    QCOMPARE(d.c().resultText(), QStringLiteral("Hallo Welt"));
    QCOMPARE(d.view().translationView()->shownText(), QStringLiteral("Hallo Welt"));
    QCOMPARE(d.mock.requests().size(), 1);
    QTRY_COMPARE(d.panel()->pos(), QPoint(414, 282));
    QVERIFY(d.panelHasFocus());

    // Escape hides it.
    xdotool({ "key", "Escape" });
    QTRY_VERIFY_WITH_TIMEOUT(!d.panel()->isVisible(), 5000);
    QVERIFY(d.inFront(*target));

    // Shown again; a second call while it shows keeps its place.
    xdotool({ "mousemove", "300", "200" });
    QVERIFY(d.showFromSelection());
    QTRY_COMPARE(d.panel()->pos(), QPoint(314, 182));
    xdotool({ "mousemove", "700", "600" });
    QVERIFY(d.showFromSelection());
    QCOMPARE(d.c().resultText(), QStringLiteral("Hallo Welt"));
    QTest::qWait(200);
    QCOMPARE(d.panel()->pos(), QPoint(314, 182));
    QVERIFY(d.panelHasFocus());

    // A click elsewhere hides it.
    const QRect frame = d.panel()->frameGeometry();
    clickAt(QPoint(frame.right() + 200, frame.bottom() + 100));
    QTRY_VERIFY_WITH_TIMEOUT(!d.panel()->isVisible(), 5000);
}

void TestTranslationPreviewDisplay::insertsIntoAQtField()
{
    Desktop d;
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    auto target = startTargetApp(QStringLiteral("Hello world"));
    QVERIFY(d.inFront(*target));
    xdotool({ "key", "ctrl+a" });
    xdotool({ "mousemove", "400", "300" });
    QVERIFY(d.showFromSelection());
    verifyUsersClipboardIsBack();

    QTest::mouseClick(d.view().insertButton(), Qt::LeftButton);
    QVERIFY(!d.panel()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), QStringLiteral("Hallo Welt"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(d.app.state->status().text(), QStringLiteral("Pasted"), 10000);
    verifyUsersClipboardIsBack();
}

void TestTranslationPreviewDisplay::insertsIntoAGtkField()
{
    Desktop d;
    auto clipboard = userCopies();
    QVERIFY(clipboard);
    auto zenity = std::make_unique<OtherApp>(QStringLiteral("zenity"), QStringList { "--entry", "--entry-text=Good night" });
    QVERIFY(d.inFront(*zenity));
    QTest::qWait(300);
    xdotool({ "key", "ctrl+a" });
    d.mock.setFallback(MockAiService::Answer::result(QStringLiteral("Gute Nacht")));
    QVERIFY(d.showFromSelection());
    QCOMPARE(d.c().sourceText(), QStringLiteral("Good night"));

    QTest::mouseClick(d.view().insertButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(d.app.state->status().text(), QStringLiteral("Pasted"), 10000);
    verifyUsersClipboardIsBack();
    QVERIFY(d.inFront(*zenity));
    xdotool({ "key", "Return" });
    QTRY_VERIFY_WITH_TIMEOUT(zenity->output().contains("Gute Nacht"), 10000);
    QCOMPARE(zenity->output().trimmed(), QByteArray("Gute Nacht"));
}

void TestTranslationPreviewDisplay::copyLanguageListWidthsAndDrags()
{
    Desktop d;
    auto target = startTargetApp(QStringLiteral("Hello world, how are you today?"));
    QVERIFY(d.inFront(*target));
    xdotool({ "key", "ctrl+a" });
    xdotool({ "mousemove", "200", "200" });
    d.mock.setFallback(MockAiService::Answer::result(QStringLiteral("Hallo Welt, wie geht es dir heute?")));
    QVERIFY(d.showFromSelection());
    QVERIFY(d.panelHasFocus());

    // "Copy" leaves the panel and puts the translation on the clipboard.
    clickAt(globalCenter(d.view().copyButton()));
    QTRY_COMPARE(runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o" }),
        QByteArray("Hallo Welt, wie geht es dir heute?"));
    QVERIFY(d.panel()->isVisible());

    // A language picked from the list with a click lands; the panel stays.
    d.mock.setFallback(MockAiService::Answer::result(QStringLiteral("Hola mundo, ¿cómo estás hoy?")));
    QComboBox* picker = d.view().picker();
    clickAt(globalCenter(picker));
    QTRY_VERIFY_WITH_TIMEOUT(picker->view()->isVisible(), 5000);
    QTest::qWait(300);
    const QModelIndex spanish = picker->model()->index(picker->findText(QStringLiteral("Spanish")), 0);
    const QRect item = picker->view()->visualRect(spanish);
    QVERIFY(picker->view()->viewport()->rect().contains(item.center()));
    clickAt(picker->view()->viewport()->mapToGlobal(item.center()));
    QTRY_COMPARE_WITH_TIMEOUT(d.c().targetLanguage(), QStringLiteral("Spanish"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(d.c().resultText(), QStringLiteral("Hola mundo, ¿cómo estás hoy?"), 10000);
    QTest::qWait(300);
    QVERIFY(d.panel()->isVisible());
    QCOMPARE(d.app.state->settings().translatePreviewTargetLanguage, QStringLiteral("Spanish"));

    // The original shows beside the translation from 652 pixels wide.
    d.panel()->resize(652, 420);
    QTRY_VERIFY(d.view().sourcePane()->isVisible());
    d.panel()->resize(600, 420);
    QTRY_VERIFY(!d.view().sourcePane()->isVisible());

    // Dragging the header moves the panel.
    d.panel()->resize(760, 440);
    QTRY_VERIFY(d.view().sourcePane()->isVisible());
    QTest::qWait(200);
    const QPoint before = d.panel()->pos();
    QWidget* header = d.view().header();
    const QPoint grip = header->mapToGlobal(QPoint(header->width() / 2 - 60, header->height() / 2));
    dragFrom(grip, QPoint(120, 80));
    QTRY_COMPARE_WITH_TIMEOUT(d.panel()->pos(), before + QPoint(120, 80), 5000);

    // Dragging in a pane selects and leaves the panel where it is.
    const QPoint moved = d.panel()->pos();
    SelectablePreviewTextView* pane = d.view().translationView();
    const QPoint start = pane->viewport()->mapToGlobal(QPoint(14, 18));
    dragFrom(start, QPoint(120, 0));
    QTRY_VERIFY(pane->textCursor().hasSelection());
    QCOMPARE(d.panel()->pos(), moved);
    QVERIFY(d.panel()->isVisible());

    // Screenshots: both panes in English, and narrow in Russian.
    pane->setTextCursor(QTextCursor(pane->document()));
    QTest::qWait(200);
    QVERIFY(d.panel()->grab().save(artifactPath(QStringLiteral("translation-preview.png"))));
    d.app.setLanguage(UiLanguage::ru);
    d.c().setPreviewFontSize(16);
    d.panel()->resize(560, 400);
    QTRY_VERIFY(!d.view().sourcePane()->isVisible());
    QTest::qWait(200);
    QVERIFY(d.panel()->grab().save(artifactPath(QStringLiteral("translation-preview-narrow-ru.png"))));
    d.app.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidNoir; });
    d.panel()->resize(760, 440);
    QTest::qWait(200);
    QVERIFY(d.panel()->grab().save(artifactPath(QStringLiteral("translation-preview-dark-ru.png"))));
}

QTEST_MAIN(TestTranslationPreviewDisplay)
#include "test_translation_preview_display.moc"
