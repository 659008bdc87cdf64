#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QHash>
#include <chrono>
#include <functional>
#include <memory>

class QMimeData;

namespace mendo {

namespace x11 {
class X11SelectionReader;
}

// An X11 selection through QClipboard (Qt's connection serves the selection
// requests of other clients while MendoAI owns it): the CLIPBOARD, or PRIMARY,
// where X applications put what is merely selected. One item at most; its
// types are the MIME formats Qt reports, without X's own targets.
class X11Pasteboard final : public Pasteboard, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    enum class Selection { Clipboard, Primary };

    // Needs a QGuiApplication on the xcb platform. `connection` must outlive
    // the pasteboard.
    explicit X11Pasteboard(x11::X11Connection& connection, QObject* parent = nullptr);
    X11Pasteboard(x11::X11Connection& connection, Selection selection, QObject* parent = nullptr);
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    QList<QStringList> itemTypes() const override;
    std::optional<QByteArray> data(qsizetype item, const QString& type) const override;
    std::optional<QString> string() const override;
    // Another client's contents come as its own targets, each fetched once
    // straight from the server (Qt would fetch a large image once per format
    // it derives, waiting up to its timeout for each); the text targets are
    // fetched once, as "text/plain". Written back, every target gives the
    // same bytes as before.
    QList<PasteboardItem> readAllItems() const override;
    // Another client's contents come straight from the server: TARGETS, the
    // marker types `withhold` asks for and one text target, all within
    // historyReadBound, the owner compared before and after.
    PasteboardTextReading readText(const Withhold& withhold) const override;
    bool announcesChanges() const override { return m_hasXFixes; }
    void clearContents() override;
    bool writeItems(const QList<PasteboardItem>& items) override;
    bool setString(const QString& text) override;
    qint64 servedRequestCount(quint64 window) const override;
    bool isOwnedByClientOf(quint64 window) const override;

    // The longest a watcher's read of another client's contents may hold the
    // main thread.
    static constexpr std::chrono::milliseconds historyReadBound { 500 };

    // X's targets that describe the selection rather than hold its contents.
    static bool isMetaTarget(const QString& format);

private:
    void bump();
    // Hands new contents to Qt; false when the server did not give it the
    // selection.
    bool publish(const std::function<QMimeData*()>& makeContents);
    bool ownedByQt(x11::XWindow owner) const;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    QClipboard* m_clipboard;
    QClipboard::Mode m_mode;
    // Our own connection (not Qt's), to check the selection owner behind Qt's back.
    x11::X11Connection& m_connection;
    x11::XAtom m_selectionAtom = 0;
    // Qt's connection's resource ids: the selection's owner window is Qt's
    // exactly when its id lies in this range. Every client's range has the
    // same mask.
    unsigned long m_qtResourceBase = 0;
    unsigned long m_qtResourceMask = 0;
    qint64 m_changeCount = 0;
    qint64 m_servedRequests = 0;
    // By client: the bits of a resource id above the mask.
    QHash<quint64, qint64> m_servedByClient;
    // Made on first use: a connection of its own.
    mutable std::unique_ptr<x11::X11SelectionReader> m_reader;
    // The watcher's reader, with the shorter bound.
    mutable std::unique_ptr<x11::X11SelectionReader> m_textReader;
    bool m_hasXFixes = false;
};

}  // namespace mendo
