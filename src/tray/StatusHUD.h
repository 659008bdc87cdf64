#pragma once

#include "model/ActionStatus.h"
#include "model/SettingsValueTypes.h"
#include "ui/FittedLine.h"
#include "ui/GlassSurface.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QLabel;

namespace mendo {

// The symbol, its colour and the text the status display shows for a status.
// The colours are the desktop's in the variant of the palette's scheme.
struct StatusLook {
    QString symbol;
    QColor color;
    QString text;

    static StatusLook of(const ActionStatus& status, const QPalette& palette);
};

// The status text fitted into the display: one line, shrunk down to the
// minimum scale; a text that would still be cut (a failure's message) takes
// a second line, at the largest scale at which it fits, before its end is
// cut with an ellipsis.
struct StatusText {
    qreal scale = 1.0;
    QStringList lines;

    static StatusText fit(const QString& text, const QFont& font, int width, qreal minimumScale, int maxLines);
};

// The content of the status display: the status's symbol and text on the
// theme's floating surface (corner radius 16).
class StatusHUD : public MendoFloatingSurface {
    Q_OBJECT
public:
    static constexpr int symbolSize = 18;
    static constexpr int textSize = 14;
    static constexpr qreal textMinimumScale = 0.82;

    StatusHUD(const ActionStatus& status, AppearanceMode mode, SurfaceMode surfaceMode, QWidget* parent = nullptr);

    // Shows another status in the same widgets: a view made for every status
    // would announce new accessible objects each time, which every
    // accessibility client (MendoAI's own included) keeps until the
    // application ends.
    void setStatus(const ActionStatus& status);
    const ActionStatus& status() const { return m_status; }
    const StatusLook& look() const { return m_look; }
    // The text as drawn now (after the last layout).
    StatusText shownText() const;

private:
    ActionStatus m_status;
    StatusLook m_look;
    class Line;
    QLabel* m_symbol = nullptr;
    Line* m_line = nullptr;
};

}  // namespace mendo
