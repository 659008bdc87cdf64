#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QHash>
#include <functional>

class QMimeData;

namespace mendo {

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
    void clearContents() override;
    bool writeItems(const QList<PasteboardItem>& items) override;
    bool setString(const QString& text) override;
    qint64 servedRequestCount(quint64 window) const override;
    bool isOwnedByClientOf(quint64 window) const override;

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
};

}  // namespace mendo
