#include "hotkeys/HotkeyRecorderField.h"

#include "hotkeys/HotkeyFormatter.h"
#include "hotkeys/HotkeyService.h"
#include "hotkeys/ParsedHotkey.h"
#include "ui/MendoTheme.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

namespace mendo {

QPointer<HotkeyRecorderField> HotkeyRecorderField::s_recording;

namespace {

constexpr int horizontalMargin = 10;
constexpr int verticalMargin = 7;
constexpr qreal cornerRadius = 8;
constexpr int fontPixelSize = 12;

}  // namespace

HotkeyRecorderField::HotkeyRecorderField(
    HotkeyRegistrar& keys, HotkeyService* hotkeys, const QString& hotkey, int width, QWidget* parent)
    : QAbstractButton(parent)
    , m_keys(keys)
    , m_hotkeys(hotkeys)
    , m_hotkey(hotkey)
    , m_width(width)
{
    setToolTip(toolTipText());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(labelFont());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, &HotkeyRecorderField::beginRecording);
    refreshLabel();
}

HotkeyRecorderField::~HotkeyRecorderField()
{
    stopRecording();
}

QString HotkeyRecorderField::recordingText()
{
    return QStringLiteral("Press shortcut...");
}

QString HotkeyRecorderField::toolTipText()
{
    return QStringLiteral("Click, then press a shortcut. Escape cancels. Delete clears.");
}

void HotkeyRecorderField::setHotkey(const QString& hotkey)
{
    m_hotkey = hotkey;
    refreshLabel();
}

void HotkeyRecorderField::beginRecording()
{
    if (!m_recording) {
        m_recording = true;
        refreshLabel();
        Q_EMIT recordingChanged(true);
    }
    if (m_filtering)
        return;
    m_filtering = true;
    qApp->installEventFilter(this);
    // Left recording while the user works elsewhere, the hotkeys would stay
    // suspended with nobody to press the keys that end it.
    m_focusWatch = connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        const QWidget* top = window();
        if (!focused || !top || focused != top->windowHandle())
            stopRecording();
    });
    if (m_hotkeys)
        m_hotkeys->suspend();
    // A second field left recording would take the next chord typed anywhere
    // in the application; suspended first, the hotkeys are not grabbed anew
    // in between.
    if (s_recording && s_recording != this)
        s_recording->stopRecording();
    s_recording = this;
}

void HotkeyRecorderField::handle(const HotkeyKeyPress& press)
{
    if (press.key == Qt::Key_Escape) {
        stopRecording();
        return;
    }
    if (press.key == Qt::Key_Backspace || press.key == Qt::Key_Delete) {
        store(ParsedHotkey::notAssigned);
        stopRecording();
        return;
    }
    if (const auto captured = HotkeyFormatter::capture(press, m_keys)) {
        store(*captured);
        stopRecording();
    }
}

void HotkeyRecorderField::stopRecording()
{
    if (m_recording) {
        m_recording = false;
        refreshLabel();
        Q_EMIT recordingChanged(false);
    }
    if (!m_filtering)
        return;
    m_filtering = false;
    if (qApp)
        qApp->removeEventFilter(this);
    disconnect(m_focusWatch);
    if (s_recording == this)
        s_recording = nullptr;
    if (m_hotkeys)
        m_hotkeys->resume();
}

void HotkeyRecorderField::store(const QString& hotkey)
{
    m_hotkey = hotkey;
    refreshLabel();
    Q_EMIT hotkeyEdited(hotkey);
}

void HotkeyRecorderField::refreshLabel()
{
    // The button's text is what screen readers announce; painting uses it too.
    // A stored text that reads as no shortcut is shown as it is stored, so
    // the user sees what is there; it is never rewritten by being shown.
    const bool readable = ParsedHotkey::isNotAssigned(m_hotkey) || m_hotkey.trimmed().isEmpty()
        || ParsedHotkey::parse(m_hotkey).has_value();
    setText(m_recording ? recordingText() : readable ? HotkeyFormatter::display(m_hotkey) : m_hotkey);
    update();
}

QFont HotkeyRecorderField::labelFont() const
{
    QFont f = font();
    f.setPixelSize(fontPixelSize);
    f.setWeight(QFont::DemiBold);
    return f;
}

QSize HotkeyRecorderField::sizeHint() const
{
    const QFontMetrics metrics(labelFont());
    return { m_width + 2 * horizontalMargin, metrics.height() + 2 * verticalMargin };
}

void HotkeyRecorderField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    // The faint fill of a secondary control: the text colour at a tenth,
    // halved.
    const QColor fill = m_recording ? theme::withOpacity(colours.color(QPalette::Highlight), 0.28)
                                    : theme::withOpacity(colours.color(QPalette::WindowText), 0.1 * 0.5);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, fill);
    if (m_focusFromKeyboard && !m_recording) {
        painter.setPen(QPen(theme::withOpacity(colours.color(QPalette::Highlight), 0.8), 1.5));
        painter.drawPath(shape);
    }

    const QRect textArea = rect().adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
    painter.setFont(labelFont());
    painter.setPen(colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QString shown = QFontMetrics(labelFont()).elidedText(text(), Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

// Reached by Tab, the field shows where the focus is; given the focus by the
// window's activation or a click, it looks as it does unfocused.
void HotkeyRecorderField::focusInEvent(QFocusEvent* event)
{
    m_focusFromKeyboard = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

void HotkeyRecorderField::focusOutEvent(QFocusEvent* event)
{
    m_focusFromKeyboard = false;
    QAbstractButton::focusOutEvent(event);
}

void HotkeyRecorderField::hideEvent(QHideEvent* event)
{
    stopRecording();
    QAbstractButton::hideEvent(event);
}

bool HotkeyRecorderField::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_recording)
        return QAbstractButton::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted, no shortcut of the application fires on the chord.
        event->accept();
        return true;
    case QEvent::KeyPress:
        handle(HotkeyKeyPress::from(*static_cast<QKeyEvent*>(event)));
        return true;
    default:
        return QAbstractButton::eventFilter(watched, event);
    }
}

}  // namespace mendo
