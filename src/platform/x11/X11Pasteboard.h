#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <functional>

class QClipboard;
class QMimeData;

namespace mendo {

// The X11 CLIPBOARD selection through QClipboard (Qt's connection serves the
// selection requests of other clients while MendoAI owns it). One item at
// most; its types are the MIME formats Qt reports, without X's own targets.
class X11Pasteboard final : public Pasteboard {
    Q_OBJECT
public:
    // Needs a QGuiApplication on the xcb platform. `connection` must outlive
    // the pasteboard.
    explicit X11Pasteboard(x11::X11Connection& connection, QObject* parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    QList<QStringList> itemTypes() const override;
    std::optional<QByteArray> data(qsizetype item, const QString& type) const override;
    std::optional<QString> string() const override;
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
};

}  // namespace mendo
