#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

class QClipboard;

namespace mendo {

// The X11 CLIPBOARD selection through QClipboard (Qt's connection serves the
// selection requests of other clients while MendoAI owns it). One item at
// most; its types are the MIME formats Qt reports, without X's own targets.
class X11Pasteboard final : public Pasteboard {
    Q_OBJECT
public:
    // Needs a QGuiApplication on the xcb platform.
    explicit X11Pasteboard(QObject* parent = nullptr);

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

    QClipboard* m_clipboard;
    // Our own connection, to check the selection owner behind Qt's back.
    x11::X11Connection m_connection;
    qint64 m_changeCount = 0;
};

}  // namespace mendo
