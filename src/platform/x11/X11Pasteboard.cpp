#include "platform/x11/X11Pasteboard.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11SelectionReader.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

#include <xcb/xcb.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace mendo {

X11Pasteboard::X11Pasteboard(x11::X11Connection& connection, QObject* parent)
    : X11Pasteboard(connection, Selection::Clipboard, parent)
{
}

X11Pasteboard::X11Pasteboard(x11::X11Connection& connection, Selection selection, QObject* parent)
    : Pasteboard(parent)
    , m_clipboard(QGuiApplication::clipboard())
    , m_mode(selection == Selection::Clipboard ? QClipboard::Clipboard : QClipboard::Selection)
    , m_connection(connection)
{
    if (m_connection.isOpen()) {
        m_selectionAtom = selection == Selection::Clipboard ? m_connection.atom("CLIPBOARD") : XA_PRIMARY;
        int eventBase = 0;
        int errorBase = 0;
        m_hasXFixes = XFixesQueryExtension(m_connection.display(), &eventBase, &errorBase);
    }
    // Qt follows the selection owner through XFixes, so copies made by other
    // clients arrive here too.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        const xcb_setup_t* setup = xcb_get_setup(x11->connection());
        m_qtResourceBase = setup->resource_id_base;
        m_qtResourceMask = setup->resource_id_mask;
    }
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == m_mode)
            bump();
    });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Pasteboard::~X11Pasteboard()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

void X11Pasteboard::bump()
{
    ++m_changeCount;
    Q_EMIT changed();
}

bool X11Pasteboard::isMetaTarget(const QString& format)
{
    static const QSet<QString> meta{
        QStringLiteral("TARGETS"),   QStringLiteral("MULTIPLE"),       QStringLiteral("TIMESTAMP"),
        QStringLiteral("SAVE_TARGETS"), QStringLiteral("DELETE"),      QStringLiteral("INSERT_SELECTION"),
        QStringLiteral("INSERT_PROPERTY"), QStringLiteral("INCR"),
    };
    return meta.contains(format);
}

QList<QStringList> X11Pasteboard::itemTypes() const
{
    const QMimeData* mime = m_clipboard->mimeData(m_mode);
    if (!mime)
        return {};
    QStringList types;
    for (const QString& format : mime->formats()) {
        if (!isMetaTarget(format) && !types.contains(format))
            types.append(format);
    }
    if (types.isEmpty())
        return {};
    return {types};
}

std::optional<QByteArray> X11Pasteboard::data(qsizetype item, const QString& type) const
{
    if (item != 0 || isMetaTarget(type))
        return std::nullopt;
    const QMimeData* mime = m_clipboard->mimeData(m_mode);
    if (!mime || !mime->formats().contains(type))
        return std::nullopt;
    // Qt answers an owner that does not reply in time with no data, which
    // here means "cannot be read"; an empty representation is still data.
    const QByteArray bytes = mime->data(type);
    if (bytes.isNull())
        return std::nullopt;
    return bytes;
}

QList<PasteboardItem> X11Pasteboard::readAllItems() const
{
    if (!m_reader)
        m_reader = std::make_unique<x11::X11SelectionReader>();
    const char* selection = m_mode == QClipboard::Clipboard ? "CLIPBOARD" : "PRIMARY";
    const x11::XWindow owner = m_reader->owner(selection);
    if (owner == None)
        return {};
    // Qt holds its own contents: they are read without the server, and
    // asking the server would wait for this very thread to answer.
    if (!m_reader->isOpen() || m_qtResourceMask == 0 || ownedByQt(owner))
        return Pasteboard::readAllItems();

    const std::optional<QList<QByteArray>> targets = m_reader->targets(selection);
    if (!targets)
        return {};
    // Qt gives every one of these out from its "text/plain": one of them is
    // fetched, the best the owner has.
    static const QList<QByteArray> textTargets { "UTF8_STRING", "text/plain", "STRING", "TEXT" };
    PasteboardItem item;
    bool textDone = false;
    bool anyContents = false;
    for (const QByteArray& name : *targets) {
        if (isMetaTarget(QString::fromLatin1(name)))
            continue;
        anyContents = true;
        if (!textTargets.contains(name)) {
            for (const auto& [target, bytes] : m_reader->fetch(selection, { name }))
                item.values.append({ QString::fromLatin1(target), bytes });
            continue;
        }
        if (std::exchange(textDone, true))
            continue;
        for (const QByteArray& text : textTargets) {
            if (!targets->contains(text))
                continue;
            const QList<x11::X11SelectionReader::Target> fetched = m_reader->fetch(selection, { text });
            if (fetched.isEmpty())
                continue;
            // STRING is Latin-1 by definition; the others are UTF-8.
            item.values.append({ plainTextType(),
                text == "STRING" ? QString::fromLatin1(fetched.first().data).toUtf8() : fetched.first().data });
            break;
        }
    }
    if (!anyContents)
        return {};
    return { item };
}

PasteboardTextReading X11Pasteboard::readText(const Withhold& withhold) const
{
    using Outcome = PasteboardTextReading::Outcome;
    if (!m_textReader)
        m_textReader = std::make_unique<x11::X11SelectionReader>(historyReadBound, historyReadBound);
    x11::X11SelectionReader& reader = *m_textReader;
    const char* selection = m_mode == QClipboard::Clipboard ? "CLIPBOARD" : "PRIMARY";
    if (!reader.isOpen() || m_qtResourceMask == 0)
        return Pasteboard::readText(withhold);
    const x11::XWindow owner = reader.owner(selection);
    if (owner == None)
        return {};
    // Our own contents are Qt's to give, without the server.
    if (ownedByQt(owner))
        return Pasteboard::readText(withhold);

    const auto finish = [&](PasteboardTextReading reading) -> PasteboardTextReading {
        if (reader.stalled())
            return { Outcome::unreadable, std::nullopt };
        // A new owner's types say nothing about the text read from the old one.
        if (reader.owner(selection) != owner)
            return { Outcome::ownerChanged, std::nullopt };
        return reading;
    };
    const std::optional<QList<QByteArray>> targets = reader.targets(selection);
    if (!targets)
        return finish({});
    QStringList types;
    for (const QByteArray& name : *targets) {
        const QString type = QString::fromLatin1(name);
        if (!isMetaTarget(type))
            types.append(type);
    }
    const auto fetch = [&](const QString& type) -> std::optional<QByteArray> {
        const QByteArray name = type.toLatin1();
        if (!targets->contains(name))
            return std::nullopt;
        const QList<x11::X11SelectionReader::Target> fetched = reader.fetch(selection, { name });
        if (fetched.isEmpty())
            return std::nullopt;
        return fetched.first().data;
    };
    if (withhold && withhold(types, fetch))
        return finish({ Outcome::withheld, std::nullopt });
    // One text target, the best the owner has.
    static const QList<QByteArray> textTargets { "UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING" };
    PasteboardTextReading reading;
    for (const QByteArray& name : textTargets) {
        if (!targets->contains(name))
            continue;
        const QList<x11::X11SelectionReader::Target> fetched = reader.fetch(selection, { name });
        if (reader.stalled())
            break;
        if (fetched.isEmpty())
            continue;
        // STRING is Latin-1 by definition; the others are UTF-8.
        reading.text = name == "STRING" ? QString::fromLatin1(fetched.first().data)
                                        : QString::fromUtf8(fetched.first().data);
        break;
    }
    return finish(std::move(reading));
}

std::optional<QString> X11Pasteboard::string() const
{
    const QMimeData* mime = m_clipboard->mimeData(m_mode);
    if (!mime || !mime->hasText())
        return std::nullopt;
    return mime->text();
}

void X11Pasteboard::clearContents()
{
    m_clipboard->clear(m_mode);
    // Qt clears with the time of the last event it saw; a client that took
    // the selection later keeps it then, and a copy that yields nothing
    // would find the old contents instead. Clearing at the server's own
    // time always takes effect.
    if (Display* display = m_connection.display()) {
        if (XGetSelectionOwner(display, m_selectionAtom) != None) {
            XSetSelectionOwner(display, m_selectionAtom, None, CurrentTime);
            XFlush(display);
        }
        m_connection.drainEventsLater();
    }
    bump();
}

bool X11Pasteboard::writeItems(const QList<PasteboardItem>& items)
{
    if (items.isEmpty()) {
        clearContents();
        return true;
    }
    const bool taken = publish([&items] {
        auto* mime = new QMimeData;
        QSet<QString> written;
        for (const PasteboardItem& item : items) {
            for (const PasteboardValue& value : item.values) {
                // The first item wins on a type that occurs twice.
                if (written.contains(value.type) || isMetaTarget(value.type))
                    continue;
                written.insert(value.type);
                mime->setData(value.type, value.data);
            }
        }
        return mime;
    });
    bump();
    return taken;
}

bool X11Pasteboard::setString(const QString& text)
{
    const bool taken = publish([&text] {
        auto* mime = new QMimeData;
        mime->setText(text);
        return mime;
    });
    bump();
    return taken;
}

bool X11Pasteboard::isOwnedByClientOf(quint64 window) const
{
    Display* display = m_connection.display();
    if (!display || window == 0 || m_qtResourceMask == 0)
        return false;
    const Window owner = XGetSelectionOwner(display, m_selectionAtom);
    // The query may have read events into Xlib's queue.
    m_connection.drainEventsLater();
    return owner != None && (owner & ~m_qtResourceMask) == (window & ~m_qtResourceMask);
}

qint64 X11Pasteboard::servedRequestCount(quint64 window) const
{
    if (window == 0)
        return m_servedRequests;
    return m_servedByClient.value(window & ~quint64(m_qtResourceMask));
}

bool X11Pasteboard::ownedByQt(x11::XWindow owner) const
{
    return owner != None && m_qtResourceMask != 0 && (owner & ~m_qtResourceMask) == m_qtResourceBase;
}

bool X11Pasteboard::publish(const std::function<QMimeData*()>& makeContents)
{
    m_clipboard->setMimeData(makeContents(), m_mode);
    Display* display = m_connection.display();
    if (!display || m_qtResourceMask == 0)
        return true;  // nothing to check with: trust Qt
    // Qt takes the selection with the time of the last event it saw. When
    // another client took it after that, the server ignores the request, and
    // a paste would insert the user's old clipboard instead of the text. No
    // event loop runs here (a hotkey, a timer or a network reply of ours
    // would run in the middle of a write): the caller tries again once the
    // event loop has read the newer owner's event.
    const bool taken = ownedByQt(XGetSelectionOwner(display, m_selectionAtom));
    m_connection.drainEventsLater();
    return taken;
}

bool X11Pasteboard::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
        return false;
    const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
    if (request->selection != m_selectionAtom || !ownedByQt(request->owner))
        return false;
    // Atom names are asked once each: a paste asks for a handful of targets.
    static QHash<xcb_atom_t, bool> metaTargets;
    auto known = metaTargets.constFind(request->target);
    if (known == metaTargets.constEnd()) {
        bool meta = false;
        if (Display* display = m_connection.display()) {
            x11::X11ErrorTrap trap(display);
            if (char* name = XGetAtomName(display, request->target)) {
                meta = isMetaTarget(QString::fromLatin1(name));
                XFree(name);
            }
            m_connection.drainEventsLater();
        }
        known = metaTargets.insert(request->target, meta);
    }
    if (!*known) {
        ++m_servedRequests;
        ++m_servedByClient[request->requestor & ~quint64(m_qtResourceMask)];
    }
    return false;  // Qt answers it
}

}  // namespace mendo
