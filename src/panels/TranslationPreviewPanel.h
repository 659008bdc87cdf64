#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace mendo {

class MacCloseButton;
class MendoFloatingSurface;
class SelectablePreviewTextView;
class TranslationPreviewPanelController;

// The content of the translation preview panel: a header (title, busy
// indicator, original toggle, text-size controls, language list), the
// original beside the translation, an error line and the buttons "From
// Clipboard", "Copy" and "Insert". It shows the controller's state and calls
// its operations; it keeps no state of its own.
class TranslationPreviewPanel : public QWidget {
    Q_OBJECT
public:
    // The panes area must be this wide for the original to show beside the
    // translation.
    static constexpr int sourcePaneMinimumWidth = 620;
    static constexpr int padding = 16;
    static constexpr int headerHeight = 52;
    static constexpr int pickerWidth = 150;

    // Lays itself into `surface`'s content, which then owns it.
    TranslationPreviewPanel(TranslationPreviewPanelController& controller, MendoFloatingSurface* surface);

    // Shows the controller's current state.
    void refresh();

    // The parts, for the display tests.
    QWidget* header() const { return m_header; }
    QWidget* panes() const { return m_panes; }
    QWidget* sourcePane() const { return m_sourcePane; }
    QWidget* translationPane() const { return m_translationPane; }
    SelectablePreviewTextView* sourceView() const { return m_sourceView; }
    SelectablePreviewTextView* translationView() const { return m_translationView; }
    QLabel* translationTitle() const { return m_translationTitle; }
    QWidget* spinner() const { return m_spinner; }
    QToolButton* sourceToggle() const { return m_sourceToggle; }
    QToolButton* decreaseButton() const { return m_decrease; }
    QToolButton* increaseButton() const { return m_increase; }
    QLabel* sampleLetter() const { return m_sample; }
    QComboBox* picker() const { return m_picker; }
    QLabel* errorLine() const { return m_errorLine; }
    QPushButton* fromClipboardButton() const { return m_fromClipboard; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* insertButton() const { return m_insert; }
    MacCloseButton* closeButton() const { return m_closeButton; }

    // Whether the original is shown at this panes width.
    static bool showsSource(int panesWidth, bool sourceVisible)
    {
        return sourceVisible && panesWidth >= sourcePaneMinimumWidth;
    }

private:
    class Panes;
    class Spinner;

    QWidget* makeHeader();
    QWidget* makeFontControls();
    QWidget* makePane(QLabel*& title, SelectablePreviewTextView*& view);
    void updatePaneLayout();
    void applyTexts();

    TranslationPreviewPanelController& m_controller;
    MendoFloatingSurface* m_surface;
    QWidget* m_header = nullptr;
    QLabel* m_titleIcon = nullptr;
    QLabel* m_title = nullptr;
    QWidget* m_spinner = nullptr;
    QToolButton* m_sourceToggle = nullptr;
    QWidget* m_fontControls = nullptr;
    QToolButton* m_decrease = nullptr;
    QLabel* m_sample = nullptr;
    QToolButton* m_increase = nullptr;
    QComboBox* m_picker = nullptr;
    QWidget* m_panes = nullptr;
    QWidget* m_sourcePane = nullptr;
    QLabel* m_sourceTitle = nullptr;
    SelectablePreviewTextView* m_sourceView = nullptr;
    QWidget* m_translationPane = nullptr;
    QLabel* m_translationTitle = nullptr;
    SelectablePreviewTextView* m_translationView = nullptr;
    QLabel* m_errorLine = nullptr;
    QPushButton* m_fromClipboard = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_insert = nullptr;
    MacCloseButton* m_closeButton = nullptr;
    // What applyTexts() last drew for: language, theme, text colour, toggle.
    QString m_appliedKey;
};

}  // namespace mendo
