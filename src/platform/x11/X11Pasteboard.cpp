#include "platform/x11/X11Pasteboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

#include <xcb/xcb.h>

#include <X11/Xlib.h>

namespace mendo {

X11Pasteboard::X11Pasteboard(x11::X11Connection& connection, QObject* parent)
    : Pasteboard(parent), m_clipboard(QGuiApplication::clipboard()), m_connection(connection)
{
    // Qt follows the selection owner through XFixes, so copies made by other
    // clients arrive here too.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        const xcb_setup_t* setup = xcb_get_setup(x11->connection());
        m_qtResourceBase = setup->resource_id_base;
        m_qtResourceMask = setup->resource_id_mask;
    }
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            bump();
    });
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
    const QMimeData* mime = m_clipboard->mimeData(QClipboard::Clipboard);
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
    const QMimeData* mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime || !mime->formats().contains(type))
        return std::nullopt;
    // Qt answers an owner that does not reply in time with no data, which
    // here means "cannot be read"; an empty representation is still data.
    const QByteArray bytes = mime->data(type);
    if (bytes.isNull())
        return std::nullopt;
    return bytes;
}

std::optional<QString> X11Pasteboard::string() const
{
    const QMimeData* mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime || !mime->hasText())
        return std::nullopt;
    return mime->text();
}

void X11Pasteboard::clearContents()
{
    m_clipboard->clear(QClipboard::Clipboard);
    // Qt clears with the time of the last event it saw; a client that took
    // the clipboard later keeps it then, and a copy that yields nothing
    // would find the old contents instead. Clearing at the server's own
    // time always takes effect.
    if (Display* display = m_connection.display()) {
        const x11::XAtom clipboard = m_connection.atom("CLIPBOARD");
        if (XGetSelectionOwner(display, clipboard) != None) {
            XSetSelectionOwner(display, clipboard, None, CurrentTime);
            XFlush(display);
        }
        m_connection.drainEventsLater();
    }
    bump();
}

void X11Pasteboard::writeItems(const QList<PasteboardItem>& items)
{
    if (items.isEmpty()) {
        clearContents();
        return;
    }
    publish([&items] {
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
}

void X11Pasteboard::setString(const QString& text)
{
    publish([&text] {
        auto* mime = new QMimeData;
        mime->setText(text);
        return mime;
    });
    bump();
}

void X11Pasteboard::publish(const std::function<QMimeData*()>& makeContents)
{
    Display* display = m_connection.display();
    const x11::XAtom clipboard = m_connection.atom("CLIPBOARD");
    m_clipboard->setMimeData(makeContents(), QClipboard::Clipboard);
    if (!display || m_qtResourceMask == 0)
        return;
    // Qt takes the selection with the time of the last event it saw. When
    // another client took the clipboard after that, the server ignores the
    // request, and a paste would insert the user's old clipboard instead of
    // the text. The event that tells Qt of that client is on its way: let Qt
    // read it (no timers, no input, so nothing else of ours runs meanwhile)
    // and try again.
    // The owner queries may read the connection's events into Xlib's queue:
    // their handling is asked for when the loop below is over, not in the
    // middle of it.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const Window owner = XGetSelectionOwner(display, clipboard);
        if (owner != None && (owner & ~m_qtResourceMask) == m_qtResourceBase) {
            m_connection.drainEventsLater();
            return;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers
                                            | QEventLoop::X11ExcludeTimers,
                                        5);
        m_clipboard->setMimeData(makeContents(), QClipboard::Clipboard);
    }
    m_connection.drainEventsLater();
    qWarning("MendoAI could not take the clipboard");
}

}  // namespace mendo
