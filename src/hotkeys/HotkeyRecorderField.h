#pragma once

#include "hotkeys/HotkeyKeyPress.h"

#include <QAbstractButton>
#include <QPointer>

namespace mendo {

class HotkeyRegistrar;
class HotkeyService;

// The control that edits one shortcut: it shows the stored hotkey text in
// symbols; clicked, it records the next chord pressed and hands it on through
// `hotkeyEdited` in the hotkey text format. Escape cancels, BackSpace or
// Delete clear ("Not assigned"); a key without modifier or without a name is
// ignored and recording goes on.
//
// While recording, the field filters every key press of the application (Tab
// included, so the focus stays) and MendoAI's own hotkeys are let go so that
// their chords can be recorded too. Recording ends when the field is hidden or
// its window loses the focus, so the hotkeys are never left suspended.
class HotkeyRecorderField : public QAbstractButton {
    Q_OBJECT
public:
    // `keys` names the pressed keys; `hotkeys` may be null (nothing to
    // suspend). `width` is the width of the shown text.
    HotkeyRecorderField(
        HotkeyRegistrar& keys, HotkeyService* hotkeys, const QString& hotkey, int width, QWidget* parent = nullptr);
    ~HotkeyRecorderField() override;

    QString hotkey() const { return m_hotkey; }
    // The stored text changed elsewhere; emits nothing.
    void setHotkey(const QString& hotkey);

    bool isRecording() const { return m_recording; }
    void beginRecording();
    void handle(const HotkeyKeyPress& press);
    void stopRecording();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static QString recordingText();
    static QString toolTipText();

Q_SIGNALS:
    // The user recorded or cleared the shortcut: the text to store.
    void hotkeyEdited(const QString& hotkey);
    void recordingChanged(bool recording);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void store(const QString& hotkey);
    void refreshLabel();
    QFont labelFont() const;

    HotkeyRegistrar& m_keys;
    QPointer<HotkeyService> m_hotkeys;
    QString m_hotkey;
    int m_width;
    bool m_recording = false;
    bool m_filtering = false;
    bool m_focusFromKeyboard = false;
    QMetaObject::Connection m_focusWatch;
    static QPointer<HotkeyRecorderField> s_recording;
};

}  // namespace mendo
