// The shared connection's event dispatch, against property changes another
// client makes on a window of ours.

#include "platform/x11/X11Connection.h"

#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace mendo;
using namespace mendo::x11;

class TestX11Connection : public QObject {
    Q_OBJECT
    Display* m_other = nullptr;  // another client, as the desktop's programs are
    x11::XWindow m_window = 0;

    // Another client changes a property of our window; we get a PropertyNotify.
    void touchProperty(long value)
    {
        const Atom property = XInternAtom(m_other, "MENDO_TEST_PROPERTY", False);
        XChangeProperty(
            m_other, m_window, property, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
        XSync(m_other, False);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_other = XOpenDisplay(nullptr);
        QVERIFY(m_other);
    }
    void cleanupTestCase() { XCloseDisplay(m_other); }

    void handlersRunInOrderAndMayRemoveThemselvesAndOthers()
    {
        X11Connection connection;
        QVERIFY(connection.isOpen());
        Display* display = connection.display();
        m_window = XCreateSimpleWindow(display, connection.rootWindow(), 0, 0, 10, 10, 0, 0, 0);
        connection.selectEvents(m_window, PropertyChangeMask);
        XSync(display, False);

        QStringList calls;
        int second = 0;
        int third = 0;
        const auto isOurs = [this](const _XEvent& event) {
            return event.type == PropertyNotify && event.xproperty.window == m_window;
        };
        const int first = connection.addEventHandler([&](const _XEvent& event) {
            if (isOurs(event))
                calls << QStringLiteral("first");
        });
        second = connection.addEventHandler([&](const _XEvent& event) {
            if (!isOurs(event))
                return;
            calls << QStringLiteral("second");
            // Gone for this very event too: the third never sees it.
            connection.removeEventHandler(second);
            connection.removeEventHandler(third);
        });
        third = connection.addEventHandler([&](const _XEvent& event) {
            if (isOurs(event))
                calls << QStringLiteral("third");
        });

        touchProperty(1);
        QTRY_COMPARE(calls, (QStringList { "first", "second" }));
        touchProperty(2);
        QTRY_COMPARE(calls, (QStringList { "first", "second", "first" }));

        // The last handler removes itself while the socket's notice is being
        // handled; added again, the connection listens again.
        connection.removeEventHandler(first);
        connection.removeEventHandler(12345);  // unknown: harmless
        int last = 0;
        last = connection.addEventHandler([&](const _XEvent& event) {
            if (!isOurs(event))
                return;
            calls << QStringLiteral("last");
            connection.removeEventHandler(last);
        });
        touchProperty(3);
        QTRY_COMPARE(calls.size(), 4);
        connection.addEventHandler([&](const _XEvent& event) {
            if (isOurs(event))
                calls << QStringLiteral("again");
        });
        touchProperty(5);
        QTRY_COMPARE(calls, (QStringList { "first", "second", "first", "last", "again" }));
        XDestroyWindow(display, m_window);
    }

    // A request with a reply reads the events that came before it into
    // Xlib's queue; the socket has nothing left to wake anyone for them.
    void eventsQueuedDuringARequestAreStillHandled()
    {
        X11Connection connection;
        Display* display = connection.display();
        m_window = XCreateSimpleWindow(display, connection.rootWindow(), 0, 0, 10, 10, 0, 0, 0);
        // Adds to what was selected before, as another class on the connection would have.
        XSelectInput(display, m_window, StructureNotifyMask);
        connection.selectEvents(m_window, PropertyChangeMask);
        XWindowAttributes attributes;
        QVERIFY(XGetWindowAttributes(display, m_window, &attributes));
        QCOMPARE(attributes.your_event_mask, long(StructureNotifyMask | PropertyChangeMask));

        int seen = 0;
        connection.addEventHandler([&](const _XEvent& event) {
            if (event.type == PropertyNotify && event.xproperty.window == m_window)
                ++seen;
        });
        touchProperty(1);
        XSync(display, False);
        QVERIFY(XEventsQueued(display, QueuedAlready) > 0);
        connection.drainEventsLater();
        connection.drainEventsLater();  // one drain however often asked
        QTRY_COMPARE(seen, 1);

        touchProperty(2);
        XSync(display, False);
        connection.drainEvents();
        QCOMPARE(seen, 2);
        XDestroyWindow(display, m_window);
    }
};

QTEST_GUILESS_MAIN(TestX11Connection)
#include "test_x11_connection.moc"
