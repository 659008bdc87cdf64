// The translation preview over fakes: the selection read and its fallbacks,
// the request it sends to the in-process mock service, language, text-size
// and panel-size rules, outcomes that arrive after a newer operation began,
// the statuses in both languages, and what the view shows and allows.

#include "app/AppStateRig.h"
#include "panels/SelectablePreviewTextView.h"
#include "panels/TranslationPreviewFakes.h"
#include "panels/TranslationPreviewPanel.h"
#include "panels/TranslationPreviewPanelController.h"
#include "support/MockAiService.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

struct Rig {
    AppStateRig app;
    MockAiService mock { app.clock };
    bool listening = mock.listen();
    TranslationPreviewFakes fakes { app.clock, app.defaults, app.selection };
    std::unique_ptr<TranslationPreviewPanelController> controller;

    explicit Rig(const std::function<void(MendoSettings&)>& prepare = {})
        : app(prepare)
    {
        app.defaults.values.insert(QStringLiteral("mendo.account.accessToken"), QStringLiteral("token-1"));
        app.selection.source = std::nullopt;  // the remembered application
        fakes.serviceURL = mock.aiURL();
        make();
    }

    void make()
    {
        controller = std::make_unique<TranslationPreviewPanelController>(fakes.services());
        controller->attach(*app.state);
    }

    TranslationPreviewPanelController& c() { return *controller; }
    TranslationPreviewPanel& view() { return *c().view(); }

    // Lets the selection read (10 ms on the fake clock) and any answer
    // delayed by up to `ms` go out, then waits for the request count.
    void advance(Millis ms)
    {
        QCoreApplication::processEvents();
        app.clock.advance(ms);
        QCoreApplication::processEvents();
    }
    void waitForRequests(int count) { QTRY_COMPARE(mock.requests().size(), count); }
    // Runs until nothing is under way.
    void settle(Millis step = 50ms)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                advance(step);
                return !c().isRunning();
            }(),
            5000);
    }

    // The statuses shown, without their times and the returns to idle.
    QStringList statuses() const
    {
        QStringList shown;
        for (const QString& line : app.statuses) {
            const QString status = line.section(QLatin1Char(' '), 1);
            if (status != QStringLiteral("idle"))
                shown << status;
        }
        return shown;
    }
};

}  // namespace

class TestTranslationPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requestForTheSelection();
    void sourceReads_data();
    void sourceReads();
    void languageChoice();
    void fontSizes_data();
    void fontSizes();
    void panelSizes_data();
    void panelSizes();
    void staleTranslationsAreDropped_data();
    void staleTranslationsAreDropped();
    void staleReadIsDropped();
    void statusSequences_data();
    void statusSequences();
    void refusalEndsTheRunningStatus();
    void insertHidesFirstAndCopyStays();
    void closeRequestHidesAndKeepsContent();
    void panesAndButtons();
    void selectionSurvivesRedraws();
};

void TestTranslationPreview::requestForTheSelection()
{
    Rig rig([](MendoSettings& s) { s.translatePreviewTargetLanguage = QStringLiteral("German"); });
    QVERIFY(rig.listening);
    rig.fakes.accessibility.selection = QStringLiteral("  Good morning\n");
    // An answer that only hands the text back is asked for once more.
    rig.mock.enqueue({ MockAiService::Answer::result(QStringLiteral("Good morning")),
        MockAiService::Answer::result(QStringLiteral("Guten Morgen")) });

    rig.c().showFromSelection(*rig.app.state);
    QCOMPARE(rig.c().targetLanguage(), QStringLiteral("German"));
    QVERIFY(rig.c().isRunning());
    QVERIFY(!rig.c().panel());  // shown once the text is read
    rig.settle();

    QCOMPARE(rig.c().sourceText(), QStringLiteral("  Good morning\n"));  // as read
    QCOMPARE(rig.c().resultText(), QStringLiteral("Guten Morgen"));
    QVERIFY(rig.c().panel() && rig.c().panel()->isVisible());
    QVERIFY(rig.app.selection.calls.isEmpty());  // no copy needed
    QCOMPARE(rig.fakes.focus.rememberedBundleIdentifier(), TranslationPreviewFakes::editor.bundleIdentifier);

    QCOMPARE(rig.mock.requests().size(), 2);
    const QJsonObject body = rig.mock.requests().at(0).json();
    QCOMPARE(rig.mock.requests().at(0).path, QStringLiteral("/macos/ai"));
    QCOMPARE(body.value("action").toString(), QStringLiteral("translate"));
    QCOMPARE(body.value("text").toString(), QStringLiteral("Good morning"));
    QCOMPARE(body.value("targetLanguage").toString(), QStringLiteral("German"));
    QCOMPARE(body.value("assistantSessionId").toString(), QString());
    QCOMPARE(body.value("assistantKeepContext").toBool(true), false);
    QCOMPARE(body.value("userInstruction").toString(), QString());
    QCOMPARE(body.value("replyTo").toString(), QString());
    QCOMPARE(body.value("keyboardLanguage").toString(), QString());
    QVERIFY(!body.contains("forceRewrite"));
    QVERIFY(!body.contains("styleIntensity"));
}

void TestTranslationPreview::sourceReads_data()
{
    QTest::addColumn<QString>("accessible");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<bool>("copyFails");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("requests");

    QTest::newRow("blank accessible selection falls back to the copy")
        << " \n\t" << "copied text" << false << "copied text" << "" << 1;
    QTest::newRow("blank copy sends nothing") << "" << "  \n " << false << "  \n " << "No selected text." << 0;
    QTest::newRow("failed copy shows its message")
        << "" << "" << true << "" << "No text was copied from the selection." << 0;
}

void TestTranslationPreview::sourceReads()
{
    QFETCH(QString, accessible);
    QFETCH(QString, copied);
    QFETCH(bool, copyFails);
    QFETCH(QString, source);
    QFETCH(QString, error);
    QFETCH(int, requests);

    Rig rig;
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("translated")));
    rig.fakes.accessibility.selection = accessible;
    rig.app.selection.selection = copied;
    if (copyFails)
        rig.app.selection.readError = [] { throw MessageError(QStringLiteral("No text was copied from the selection.")); };

    rig.c().showFromSelection(*rig.app.state);
    rig.settle();

    QCOMPARE(rig.app.selection.calls, QStringList { QStringLiteral("read selectAll=0 fallback=1 standard") });
    QCOMPARE(rig.c().sourceText(), source);
    QCOMPARE(rig.c().errorText(), error);
    QVERIFY(rig.c().panel() && rig.c().panel()->isVisible());
    QTest::qWait(50);
    QCOMPARE(rig.mock.requests().size(), requests);
    if (!error.isEmpty())
        QCOMPARE(rig.statuses().last(), QStringLiteral("failed ") + error);
    else
        QCOMPARE(rig.c().resultText(), QStringLiteral("translated"));
}

void TestTranslationPreview::languageChoice()
{
    Rig rig;
    rig.mock.setFallback(MockAiService::Answer::result(QStringLiteral("answer")));
    const int writes = rig.app.defaults.writes;

    // The same language does nothing at all.
    rig.c().setTargetLanguage(QStringLiteral("English"));
    QCOMPARE(rig.app.defaults.writes, writes);

    // Without a text the choice is only remembered.
    rig.c().setTargetLanguage(QStringLiteral("French"));
    QCOMPARE(rig.c().targetLanguage(), QStringLiteral("French"));
    QCOMPARE(rig.app.state->settings().translatePreviewTargetLanguage, QStringLiteral("French"));
    QTest::qWait(50);
    QCOMPARE(rig.mock.requests().size(), 0);
    QVERIFY(!rig.c().isRunning());

    // With one it translates again, into the new language.
    rig.fakes.pasteboard.setString(QStringLiteral("  Hello  "));
    rig.c().pasteFromClipboardAndTranslate();
    QCOMPARE(rig.c().sourceText(), QStringLiteral("Hello"));
    rig.settle();
    rig.c().setTargetLanguage(QStringLiteral("Spanish"));
    rig.settle();
    QCOMPARE(rig.mock.requests().size(), 2);
    QCOMPARE(rig.mock.requests().at(1).json().value("targetLanguage").toString(), QStringLiteral("Spanish"));

    // The next reading of the selection starts from the stored choice.
    rig.make();
    QCOMPARE(rig.c().targetLanguage(), QStringLiteral("English"));  // attaching leaves it
    rig.c().showFromSelection(*rig.app.state);
    QCOMPARE(rig.c().targetLanguage(), QStringLiteral("Spanish"));
    rig.settle();
}

void TestTranslationPreview::fontSizes_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("asked");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("written");

    QTest::newRow("below the range") << QVariant() << 14.0 << 11.0 << 12.0 << true;
    QTest::newRow("above the range") << QVariant() << 14.0 << 40.0 << 28.0 << true;
    QTest::newRow("stored too large") << QVariant(30.0) << 14.0 << 15.0 << 15.0 << true;
    QTest::newRow("stored fraction") << QVariant(12.5) << 12.5 << 12.5 << 12.5 << false;
    QTest::newRow("stored text") << QVariant(QStringLiteral("large")) << 14.0 << 14.0 << 14.0 << false;
    QTest::newRow("clamped to the current size") << QVariant(28.0) << 28.0 << 31.0 << 28.0 << false;
}

void TestTranslationPreview::fontSizes()
{
    QFETCH(QVariant, stored);
    QFETCH(double, start);
    QFETCH(double, asked);
    QFETCH(double, size);
    QFETCH(bool, written);

    Rig rig;
    if (stored.isValid())
        rig.app.defaults.values.insert(TranslationPreviewPanelController::fontSizeStorageKey, stored);
    rig.make();
    QCOMPARE(rig.c().previewFontSize(), start);
    const int writes = rig.app.defaults.writes;
    rig.c().setPreviewFontSize(asked);
    QCOMPARE(rig.c().previewFontSize(), size);
    QCOMPARE(rig.app.defaults.writes, writes + (written ? 1 : 0));
    if (written)
        QCOMPARE(rig.app.defaults.number(TranslationPreviewPanelController::fontSizeStorageKey), size);
}

void TestTranslationPreview::panelSizes_data()
{
    QTest::addColumn<QSizeF>("stored");
    QTest::addColumn<QSize>("made");

    QTest::newRow("nothing stored") << QSizeF() << QSize(680, 460);
    QTest::newRow("too narrow") << QSizeF(519, 500) << QSize(680, 460);
    QTest::newRow("too large") << QSizeF(2000, 2000) << QSize(980, 860);
    QTest::newRow("within") << QSizeF(700, 400) << QSize(700, 400);
}

void TestTranslationPreview::panelSizes()
{
    QFETCH(QSizeF, stored);
    QFETCH(QSize, made);

    Rig rig;
    if (!stored.isEmpty()) {
        rig.app.defaults.set(QStringLiteral("mendo.translationPreviewPanel.width"), stored.width());
        rig.app.defaults.set(QStringLiteral("mendo.translationPreviewPanel.height"), stored.height());
    }
    rig.c().show();
    QCOMPARE(rig.c().panel()->size(), made);

    // The smallest the panel can be is what is stored after a resize.
    rig.c().panel()->resize(300, 200);
    QCOMPARE(rig.c().panel()->size(), QSize(520, 360));
    QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.translationPreviewPanel.width")), 520.0);
    QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.translationPreviewPanel.height")), 360.0);
}

void TestTranslationPreview::staleTranslationsAreDropped_data()
{
    QTest::addColumn<int>("firstDelay");
    QTest::addColumn<int>("secondDelay");

    QTest::newRow("the older answer arrives last") << 300 << 100;
    QTest::newRow("the older answer arrives first") << 100 << 300;
}

void TestTranslationPreview::staleTranslationsAreDropped()
{
    QFETCH(int, firstDelay);
    QFETCH(int, secondDelay);

    Rig rig;
    auto answer = [](const QString& text, int delay) {
        MockAiService::Answer a = MockAiService::Answer::result(text);
        a.delay = Millis(delay);
        return a;
    };
    rig.mock.enqueue({ answer(QStringLiteral("Bonjour"), firstDelay), answer(QStringLiteral("Hola"), secondDelay) });

    rig.fakes.pasteboard.setString(QStringLiteral("Hello"));
    rig.c().setTargetLanguage(QStringLiteral("French"));
    rig.c().pasteFromClipboardAndTranslate();
    rig.waitForRequests(1);
    rig.c().setTargetLanguage(QStringLiteral("Spanish"));
    rig.waitForRequests(2);

    // Whichever arrives first, only the newest answer counts and only it
    // ends the run.
    rig.advance(Millis(std::min(firstDelay, secondDelay)));
    QTest::qWait(100);
    if (firstDelay < secondDelay) {
        QVERIFY(rig.c().isRunning());
        QCOMPARE(rig.c().resultText(), QString());
    }
    rig.settle();
    QCOMPARE(rig.c().resultText(), QStringLiteral("Hola"));
    rig.advance(500ms);
    QTest::qWait(100);
    QCOMPARE(rig.c().resultText(), QStringLiteral("Hola"));
    QCOMPARE(rig.statuses().count(QStringLiteral("done Translation preview ready")), 1);
}

void TestTranslationPreview::staleReadIsDropped()
{
    Rig rig;
    rig.mock.setFallback(MockAiService::Answer::result(QStringLiteral("from the clipboard")));
    rig.app.selection.selection = QStringLiteral("old selection");

    rig.c().showFromSelection(*rig.app.state);
    rig.app.clock.flush();  // the read is under way: 10 ms on the fake clock
    QCOMPARE(rig.app.selection.calls.size(), 1);
    rig.fakes.pasteboard.setString(QStringLiteral("clipboard text"));
    rig.c().pasteFromClipboardAndTranslate();
    rig.settle();

    QCOMPARE(rig.c().sourceText(), QStringLiteral("clipboard text"));
    QCOMPARE(rig.c().resultText(), QStringLiteral("from the clipboard"));
    QCOMPARE(rig.mock.requests().size(), 1);
    QVERIFY(!rig.statuses().contains(QStringLiteral("running Translating to English")));
}

void TestTranslationPreview::statusSequences_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("statuses");

    QTest::newRow("en") << UiLanguage::en
                        << QStringList { "running Reading selection", "running Translating to German",
                               "done Translation preview ready", "done Copied", "done Pasted",
                               "running Translating clipboard", "done Translation preview ready",
                               "failed Clipboard is empty.", "failed The service is unavailable." };
    QTest::newRow("ru") << UiLanguage::ru
                        << QStringList { "running Читаю выделение", "running Перевожу на German",
                               "done Предпросмотр перевода готов", "done Скопировано", "done Вставлено",
                               "running Перевожу из буфера", "done Предпросмотр перевода готов",
                               "failed Буфер обмена пуст.", "failed The service is unavailable." };
}

void TestTranslationPreview::statusSequences()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, statuses);

    Rig rig([language](MendoSettings& s) {
        s.uiLanguage = language;
        s.translatePreviewTargetLanguage = QStringLiteral("German");
    });
    rig.mock.enqueue({ MockAiService::Answer::result(QStringLiteral("Hallo")),
        MockAiService::Answer::result(QStringLiteral("Welt")) });
    rig.app.selection.selection = QStringLiteral("Hello");

    rig.c().showFromSelection(*rig.app.state);
    rig.settle();
    rig.c().copyResult();
    QCOMPARE(rig.fakes.pasteboard.string(), QStringLiteral("Hallo"));
    rig.c().pasteResult();
    rig.advance(50ms);
    rig.fakes.pasteboard.setString(QStringLiteral("World"));
    rig.c().pasteFromClipboardAndTranslate();
    rig.settle();
    rig.fakes.pasteboard.setString(QStringLiteral(" \n"));
    rig.c().pasteFromClipboardAndTranslate();
    QCOMPARE(rig.c().sourceText(), QStringLiteral("World"));  // kept
    QCOMPARE(rig.c().resultText(), QStringLiteral("Welt"));
    rig.app.selection.pasteError = [] { throw MessageError(QStringLiteral("The service is unavailable.")); };
    rig.c().pasteResult();
    rig.advance(50ms);

    QCOMPARE(rig.statuses(), statuses);
    QCOMPARE(rig.app.selection.calls.filter(QStringLiteral("paste")),
        (QStringList { QStringLiteral("paste Hallo standard"), QStringLiteral("paste Welt standard") }));
}

void TestTranslationPreview::refusalEndsTheRunningStatus()
{
    Rig rig([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    rig.app.selection.selection = QStringLiteral("   ");
    rig.c().showFromSelection(*rig.app.state);
    rig.settle();
    QCOMPARE(rig.c().errorText(), QStringLiteral("Нет выделенного текста."));
    QCOMPARE(rig.statuses(), (QStringList { QStringLiteral("running Читаю выделение"),
                                 QStringLiteral("running Перевожу на English"),
                                 QStringLiteral("failed Нет выделенного текста.") }));
    rig.app.clock.advance(2s);
    QVERIFY(rig.app.state->status().isIdle());
}

void TestTranslationPreview::insertHidesFirstAndCopyStays()
{
    Rig rig;
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Hallo")));
    rig.app.selection.selection = QStringLiteral("Hello");
    rig.c().showFromSelection(*rig.app.state);
    rig.settle();
    FloatingPanel* panel = rig.c().panel();

    rig.c().copyResult();
    QVERIFY(panel->isVisible());
    QVERIFY(rig.c().dismissMonitor()->isInstalled());

    bool visibleDuringPaste = true;
    rig.app.selection.pasteError = [&] { visibleDuringPaste = panel->isVisible(); };
    rig.c().pasteResult();
    QVERIFY(!panel->isVisible());
    QVERIFY(!rig.c().dismissMonitor()->isInstalled());
    rig.advance(50ms);
    QVERIFY(!visibleDuringPaste);
    QCOMPARE(rig.c().resultText(), QStringLiteral("Hallo"));
}

void TestTranslationPreview::closeRequestHidesAndKeepsContent()
{
    Rig rig;
    rig.fakes.desktop.pointer = QPoint(100, 200);
    rig.fakes.pasteboard.setString(QStringLiteral("Hello"));
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Hallo")));
    rig.c().show();
    rig.c().pasteFromClipboardAndTranslate();
    rig.settle();
    FloatingPanel* panel = rig.c().panel();
    QCOMPARE(panel->pos(), QPoint(114, 182));

    QVERIFY(!panel->close());  // refused: hidden instead
    QVERIFY(!panel->isVisible());
    QVERIFY(!rig.c().dismissMonitor()->isInstalled());

    // Shown again elsewhere, with what it held; a visible panel stays put.
    rig.fakes.desktop.pointer = QPoint(300, 300);
    rig.c().show();
    QCOMPARE(panel->pos(), QPoint(314, 282));
    QCOMPARE(rig.view().translationView()->shownText(), QStringLiteral("Hallo"));
    rig.fakes.desktop.pointer = QPoint(600, 600);
    rig.c().show();
    QCOMPARE(panel->pos(), QPoint(314, 282));
    QCOMPARE(rig.c().panel(), panel);
}

void TestTranslationPreview::panesAndButtons()
{
    Rig rig;
    rig.c().show();
    TranslationPreviewPanel& view = rig.view();
    FloatingPanel* panel = rig.c().panel();

    // The original shows from 620 pixels of panes width, while not hidden.
    struct Width {
        int panel;
        bool sourceVisible;
        bool shown;
    };
    for (const Width& w : { Width { 652, true, true }, Width { 651, true, false }, Width { 600, true, false },
             Width { 800, false, false }, Width { 800, true, true } }) {
        rig.c().setSourceVisible(w.sourceVisible);
        panel->resize(w.panel, 460);
        QCoreApplication::processEvents();
        QCOMPARE(view.panes()->width(), w.panel - 2 * TranslationPreviewPanel::padding);
        QVERIFY2(view.sourcePane()->isVisibleTo(panel) == w.shown, qPrintable(QString::number(w.panel)));
        QCOMPARE(view.sourceToggle()->toolTip(),
            w.sourceVisible ? QStringLiteral("Hide original") : QStringLiteral("Show original"));
        // The name assistive tools read.
        QCOMPARE(QAccessible::queryAccessibleInterface(view.sourceToggle())->text(QAccessible::Name),
            view.sourceToggle()->toolTip());
    }
    QCOMPARE(view.translationView()->shownText(), QStringLiteral("Translation will appear here."));
    QVERIFY(view.translationView()->showsPlaceholder());
    QCOMPARE(view.sourceView()->shownText(), QString());
    QVERIFY(!view.copyButton()->isEnabled());
    QVERIFY(!view.insertButton()->isEnabled());
    QVERIFY(view.errorLine()->isHidden());

    // Text size: the buttons stop at the ends, the sample letter at 20.
    rig.c().setPreviewFontSize(12);
    QVERIFY(!view.decreaseButton()->isEnabled());
    QVERIFY(view.increaseButton()->isEnabled());
    rig.c().setPreviewFontSize(28);
    QVERIFY(view.decreaseButton()->isEnabled());
    QVERIFY(!view.increaseButton()->isEnabled());
    QCOMPARE(view.sampleLetter()->font().pixelSize(), 20);
    QCOMPARE(view.translationView()->font().pixelSize(), 28);
    QTest::mouseClick(view.decreaseButton(), Qt::LeftButton);
    QCOMPARE(rig.c().previewFontSize(), 27.0);

    // While a translation runs, the list and "From Clipboard" wait; an
    // earlier translation can still be copied or inserted.
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Hallo")));
    MockAiService::Answer slow = MockAiService::Answer::result(QStringLiteral("Hola"));
    slow.delay = 1000ms;
    rig.mock.enqueue(slow);
    rig.fakes.pasteboard.setString(QStringLiteral("Hello"));
    QTest::mouseClick(view.fromClipboardButton(), Qt::LeftButton);
    rig.settle();
    QCOMPARE(view.translationView()->shownText(), QStringLiteral("Hallo"));
    view.picker()->setCurrentIndex(view.picker()->findText(QStringLiteral("Spanish")));
    Q_EMIT view.picker()->activated(view.picker()->currentIndex());
    QVERIFY(rig.c().isRunning());
    QVERIFY(!view.picker()->isEnabled());
    QVERIFY(!view.fromClipboardButton()->isEnabled());
    QVERIFY(view.copyButton()->isEnabled());
    QVERIFY(view.insertButton()->isEnabled());
    QVERIFY(view.spinner()->isVisibleTo(panel));
    QCOMPARE(view.translationTitle()->text(), QStringLiteral("Spanish"));
    rig.settle(250ms);
    QVERIFY(view.picker()->isEnabled());
    QVERIFY(!view.spinner()->isVisibleTo(panel));
    QCOMPARE(view.translationView()->shownText(), QStringLiteral("Hola"));

    // A message shows under the panes until the next translation.
    rig.fakes.pasteboard.clearContents();
    QTest::mouseClick(view.fromClipboardButton(), Qt::LeftButton);
    QVERIFY(!view.errorLine()->isHidden());
    QCOMPARE(view.errorLine()->text(), QStringLiteral("Clipboard is empty."));
    rig.app.setLanguage(UiLanguage::ru);
    QCOMPARE(view.copyButton()->text(), QStringLiteral("Скопировать"));
    QCOMPARE(view.insertButton()->text(), QStringLiteral("Вставить перевод"));
}

void TestTranslationPreview::selectionSurvivesRedraws()
{
    SelectablePreviewTextView view;
    view.resize(300, 200);
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog");
    auto select = [&](int from, int to) {
        QTextCursor cursor(view.document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
    };
    auto selected = [&] {
        const QTextCursor cursor = view.textCursor();
        return QPair<int, int>(cursor.selectionStart(), cursor.selectionEnd());
    };

    view.updateTextView(text, QString(), 14);
    select(5, 15);
    view.updateTextView(text, QString(), 14);  // the same text
    QCOMPARE(selected(), qMakePair(5, 15));
    view.updateTextView(text, QString(), 20);  // only the size
    QCOMPARE(selected(), qMakePair(5, 15));
    QCOMPARE(view.font().pixelSize(), 20);
    view.updateTextView(text + QStringLiteral(" again"), QString(), 20);  // longer: still fits
    QCOMPARE(selected(), qMakePair(5, 15));
    view.updateTextView(QStringLiteral("12345678"), QString(), 20);  // shorter than the selection
    QVERIFY(selected().second <= 8);
    QVERIFY(!view.textCursor().hasSelection());

    // The placeholder is text like any other, in the placeholder colour.
    view.updateTextView(QString(), QStringLiteral("Translation will appear here."), 20);
    QVERIFY(view.showsPlaceholder());
    QCOMPARE(view.palette().color(QPalette::Text), view.palette().color(QPalette::PlaceholderText));
    view.selectAll();
    QCOMPARE(view.textCursor().selectedText(), QStringLiteral("Translation will appear here."));
    view.updateTextView(QString(), QString(), 20);
    QCOMPARE(view.toPlainText(), QString());
}

QTEST_MAIN(TestTranslationPreview)
#include "test_translation_preview.moc"
