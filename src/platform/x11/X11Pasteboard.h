#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <functional>
#include <memory>

class QClipboard;
class QMimeData;

namespace mendo {

namespace x11 {
class X11SelectionReader;
}

// The X11 CLIPBOARD selection through QClipboard (Qt's connection serves the
// selection requests of other clients while MendoAI owns it). One item at
// most; its types are the MIME formats Qt reports, without X's own targets.
class X11Pasteboard final : public Pasteboard {
    Q_OBJECT
public:
    // Needs a QGuiApplication on the xcb platform. `connection` must outlive
    // the pasteboard.
    explicit X11Pasteboard(x11::X11Connection& connection, QObject* parent = nullptr);
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
    void clearContents() override;
    void writeItems(const QList<PasteboardItem>& items) override;
    void setString(const QString& text) override;

    // X's targets that describe the selection rather than hold its contents.
    static bool isMetaTarget(const QString& format);

private:
    void bump();
    // Hands new contents to Qt and makes sure the server took them.
    void publish(const std::function<QMimeData*()>& makeContents);

    QClipboard* m_clipboard;
    // Our own connection (not Qt's), to check the selection owner behind Qt's back.
    x11::X11Connection& m_connection;
    // Qt's connection's resource ids: the clipboard's owner window is Qt's
    // exactly when its id lies in this range.
    unsigned long m_qtResourceBase = 0;
    unsigned long m_qtResourceMask = 0;
    qint64 m_changeCount = 0;
    // Made on first use: a connection of its own.
    mutable std::unique_ptr<x11::X11SelectionReader> m_reader;
};

}  // namespace mendo
