#pragma once

#include "base/UiLanguage.h"
#include "model/QuickAction.h"
#include "model/SettingsValueTypes.h"
#include "ui/GlassSurface.h"

#include <QList>
#include <QPointer>
#include <optional>

class QLabel;
class QVBoxLayout;

namespace mendo {

class MendoAppState;
class QuickPanelController;

// The sizes of the quick panel's rows for one menu size, in
// device-independent pixels.
struct QuickRowMetrics {
    int spacing = 0;
    int horizontalPadding = 0;
    int verticalPadding = 0;
    int fontSize = 0;
    int languageMenuTrailingPadding = 0;

    static QuickRowMetrics of(MenuScale scale);
    friend bool operator==(const QuickRowMetrics&, const QuickRowMetrics&) = default;
};

// The content of the quick panel: a header with the close button and
// "MendoAI", then one row per quick action of the application state, in its
// order. A row click puts the panel away and starts the action; the
// "translate" row also offers the target language. Follows the application
// state's actions and settings as they are published. Main thread.
class QuickActionPanel : public MendoFloatingSurface {
    Q_OBJECT
public:
    static constexpr int cornerRadius = 22;
    static constexpr int languageMenuMaxWidth = 120;

    QuickActionPanel(MendoAppState& appState, QuickPanelController& quickPanel, QWidget* parent = nullptr);

    // The id of the row under the pointer.
    const std::optional<QString>& hoveredActionID() const { return m_hoveredActionID; }
    void setHoveredActionID(std::optional<QString> id);

    QuickRowMetrics metrics() const { return m_metrics; }
    // The rows as shown, in order.
    QList<QAbstractButton*> rows() const;
    // The row of an action, none when it has no row.
    QAbstractButton* row(const QString& actionId) const;
    // The translate row's language button; none without that row.
    QAbstractButton* languageButton() const;

    // What a row click does: the panel goes first, then the action starts.
    void performRowAction(const QuickAction& action);
    // A language picked from the translate row's menu: saved as the target
    // language (even when it already is), then the selection is translated.
    void chooseLanguage(const QString& language, const QuickAction& action);

    // What a press on the panel's background lands on: it drags the panel.
    QWidget* dragBackdrop() const { return m_backdrop; }
    QWidget* rowsBackground() const { return m_rowsHost; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildRows();
    void follow();

    QPointer<MendoAppState> m_appState;
    QuickPanelController& m_quickPanel;
    std::optional<QString> m_hoveredActionID;
    QuickRowMetrics m_metrics;
    QLabel* m_bolt = nullptr;
    QWidget* m_backdrop = nullptr;
    QWidget* m_rowsHost = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QList<QAbstractButton*> m_rows;
    // What the rows were built for.
    QList<QuickAction> m_builtActions;
    UiLanguage m_builtLanguage = UiLanguage::en;
    QString m_builtTargetLanguage;
};

}  // namespace mendo
