#include "platform/x11/X11Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

#include <X11/Xlib.h>

namespace mendo {

X11Pasteboard::X11Pasteboard(QObject* parent) : Pasteboard(parent), m_clipboard(QGuiApplication::clipboard())
{
    // Qt follows the selection owner through XFixes, so copies made by other
    // clients arrive here too.
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
    }
    bump();
}

void X11Pasteboard::writeItems(const QList<PasteboardItem>& items)
{
    if (items.isEmpty()) {
        clearContents();
        return;
    }
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
    m_clipboard->setMimeData(mime, QClipboard::Clipboard);
    bump();
}

void X11Pasteboard::setString(const QString& text)
{
    auto* mime = new QMimeData;
    mime->setText(text);
    m_clipboard->setMimeData(mime, QClipboard::Clipboard);
    bump();
}

}  // namespace mendo
