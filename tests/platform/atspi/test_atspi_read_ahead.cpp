// What is read ahead of a walk, against a Qt window (rows of labels in a
// scroll area, above a field or a text editor) and a GTK dialog: a walk
// answered from it sees exactly what the elements themselves answer, even
// with the application stopped; it keeps to its depth and element count; and
// an application that does not answer costs one timeout.

#include "platform/atspi/AtspiAccessibility.h"
#include "platform/atspi/AtspiObjects.h"
#include "platform/atspi/AtspiPermissions.h"
#include "platform/atspi/AtspiReadAhead.h"
#include "support/X11TestApps.h"

#include <QScopeGuard>

#include <csignal>

using namespace mendo;
using namespace mendo::testing;

namespace {

constexpr int walkDepth = 11;

// What a walk reads of one element.
struct Seen {
    QString path;
    int depth;
    std::optional<QString> role;
    std::optional<bool> hidden;
    QStringList children;

    bool operator==(const Seen&) const = default;
};

char* toString(const Seen& seen)
{
    return qstrdup(
        QStringLiteral("%1 at %2: %3%4, children %5")
            .arg(seen.path)
            .arg(seen.depth)
            .arg(seen.role.value_or(QStringLiteral("(no role)")))
            .arg(seen.hidden ? (*seen.hidden ? QStringLiteral(" hidden") : QString()) : QStringLiteral(" (?)"))
            .arg(seen.children.join(QLatin1Char(' ')))
            .toUtf8());
}

QString pathOf(const AXElement& element)
{
    return atspi::objectPath(atspi::unwrap(element));
}

// Down from `element` in tree order, as a walk goes: hidden elements below
// the root and web areas are not entered.
void walk(Accessibility& ax, const AXElement& element, int depth, QList<Seen>& seen)
{
    Seen here { pathOf(element), depth, ax.stringAttribute(element, ax::Role), ax.boolAttribute(element, ax::Hidden),
        {} };
    const QList<AXElement> children = ax.children(element);
    for (const AXElement& child : children)
        here.children.append(pathOf(child));
    seen.append(here);
    if ((depth > 0 && here.hidden.value_or(false)) || here.role == ax::WebAreaRole || depth == walkDepth)
        return;
    for (const AXElement& child : children)
        walk(ax, child, depth + 1, seen);
}

// The elements read ahead, followed down from the root, each with its depth.
QList<std::pair<AtspiAccessible*, int>> readTree(const atspi::ReadAhead& ahead, AtspiAccessible* root)
{
    QList<std::pair<AtspiAccessible*, int>> found;
    QList<std::pair<AtspiAccessible*, int>> stack { { root, 0 } };
    while (!stack.isEmpty()) {
        const auto [object, depth] = stack.takeLast();
        const atspi::ReadAhead::Element* element = ahead.find(object);
        if (!element)
            continue;
        found.append({ object, depth });
        for (AtspiAccessible* child : element->children.value_or(QList<AtspiAccessible*> {}))
            stack.append({ child, depth + 1 });
    }
    return found;
}

struct Target {
    std::unique_ptr<OtherApp> app;
    AXElement window;
};

Target start(AtspiAccessibility& ax, const QString& kind)
{
    Target target;
    if (kind == QLatin1String("gtk")) {
        target.app = std::make_unique<OtherApp>(
            QStringLiteral("zenity"), QStringList { QStringLiteral("--entry"), QStringLiteral("--entry-text=hello") });
    } else {
        QStringList options { QStringLiteral("--labels"), QStringLiteral("60") };
        if (kind == QLatin1String("qt-editor"))
            options << QStringLiteral("--multiline");
        target.app = startTargetApp(QStringLiteral("hello"), options);
    }
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        target.window = ax.elementAttribute(ax.applicationElement(target.app->pid()), ax::FocusedWindow);
        // Shown with its contents.
        if (target.window && !ax.children(target.window).isEmpty())
            break;
        QTest::qWait(50);
    }
    return target;
}

// Stops the application until the guard goes.
auto stopped(qint32 pid)
{
    ::kill(pid, SIGSTOP);
    return qScopeGuard([pid] { ::kill(pid, SIGCONT); });
}

}  // namespace

class TestAtspiReadAhead : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        AtspiPermissions permissions;
        QVERIFY(permissions.requestAccessibility());
    }

    void answersAsTheElementsDo_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("Qt labels and field") << "qt";
        QTest::newRow("Qt labels and text editor") << "qt-editor";
        QTest::newRow("GTK dialog") << "gtk";
    }
    void answersAsTheElementsDo()
    {
        QFETCH(QString, kind);
        RealClock clock;
        AtspiAccessibility ax(clock);
        const Target target = start(ax, kind);
        QVERIFY(target.window);
        QList<Seen> live;
        walk(ax, target.window, 0, live);
        QVERIFY(live.size() > 5);
        QVERIFY(std::all_of(live.begin(), live.end(), [](const Seen& seen) { return seen.role && seen.hidden; }));
        if (kind == QLatin1String("qt-editor"))
            QVERIFY(std::any_of(live.begin(), live.end(), [](const Seen& s) { return s.role == ax::TextAreaRole; }));

        const auto ahead = ax.readAhead(target.window, walkDepth, 400);
        QVERIFY(ahead);
        // Whatever the walk asks now is answered without the application.
        const auto resume = stopped(target.app->pid());
        QList<Seen> read;
        walk(ax, target.window, 0, read);
        QCOMPARE(read, live);
    }

    // The read keeps to the walk's bounds: the count of elements, the depth
    // below the root; and what it read hangs together from the root down.
    void keepsToItsBounds_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("count");
        QTest::newRow("everything within reach") << walkDepth << 400;
        QTest::newRow("the first 30") << walkDepth << 30;
        QTest::newRow("two levels") << 2 << 400;
        QTest::newRow("the root alone") << 0 << 400;
    }
    void keepsToItsBounds()
    {
        QFETCH(int, depth);
        QFETCH(int, count);
        RealClock clock;
        AtspiAccessibility ax(clock);
        const Target target = start(ax, QStringLiteral("qt"));
        QVERIFY(target.window);
        QList<Seen> live;
        walk(ax, target.window, 0, live);
        const qsizetype inReach
            = std::count_if(live.begin(), live.end(), [&](const Seen& seen) { return seen.depth <= depth; });

        AtspiAccessible* root = atspi::unwrap(target.window);
        const auto ahead = atspi::ReadAhead::read(root, depth, count, AtspiAccessibility::callTimeoutMs);
        QVERIFY(ahead);
        const auto tree = readTree(*ahead, root);
        QCOMPARE(tree.size(), ahead->size());
        QCOMPARE(ahead->size(), std::min<qsizetype>(inReach, count));
        QVERIFY(std::all_of(tree.begin(), tree.end(), [&](const auto& element) { return element.second <= depth; }));
    }

    // A stopped application costs the read one timeout, and is then skipped
    // like one whose single read ran into it, until the event loop runs.
    void aStoppedApplicationIsSkipped()
    {
        RealClock clock;
        AtspiAccessibility ax(clock);
        const Target target = start(ax, QStringLiteral("qt"));
        QVERIFY(target.window);
        {
            const auto resume = stopped(target.app->pid());
            QVERIFY(!ax.readAhead(target.window, walkDepth, 400));
        }
        // Answering again, but not asked yet.
        QVERIFY(!ax.stringAttribute(target.window, ax::Role));
        QTRY_VERIFY(ax.stringAttribute(target.window, ax::Role));
    }
};

QTEST_MAIN(TestAtspiReadAhead)
#include "test_atspi_read_ahead.moc"
