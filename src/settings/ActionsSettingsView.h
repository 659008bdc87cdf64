#pragma once

#include "model/QuickAction.h"
#include "ui/OutlinedBox.h"

#include <QList>
#include <QTextEdit>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace mendo {

class ActionTitleLabel;
class MendoAppState;
class SettingsTexts;
struct MainSettingsEnvironment;

// The sample text of the Actions page: plain text that grows with its lines
// (at least `minimumHeight`) instead of scrolling inside, so the page scrolls.
class SampleTextEditor : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int minimumHeight = 92;

    explicit SampleTextEditor(QWidget* parent = nullptr);

    // Shows `text` unless it shows it already, so typing keeps the caret and
    // the undo history; a different text replaces the whole one as one step
    // the user can undo.
    void showText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();
    void keepCaretInView();
};

// One action of the test bench: its icon, its title and "Run".
class ActionRunRow : public OutlinedBox {
    Q_OBJECT
public:
    static constexpr double fillOpacityValue = 0.055;

    ActionRunRow(MendoAppState& state, QWidget* parent = nullptr);

    const QuickAction& action() const { return m_action; }
    QString title() const;
    QString symbolName() const { return m_symbol; }
    QPushButton* runButton() const { return m_run; }
    using OutlinedBox::fillOpacity;

    void showAction(const QuickAction& action, const QString& title);

protected:
    void changeEvent(QEvent* event) override;

private:
    void paintIcon();
    void nameRunButton();

    MendoAppState& m_state;
    QuickAction m_action;
    QString m_symbol;
    QLabel* m_icon;
    ActionTitleLabel* m_title;
    QPushButton* m_run;
};

// The Actions page: a test bench for the actions. The user types a sample
// text, picks the translation's target language and runs a rewrite or the
// translation on the sample; the result replaces the sample and shows below
// as the latest output. Nothing leaves the window: no selection is read, no
// key is sent, the clipboard stays as it was.
class ActionsSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit ActionsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    SampleTextEditor* sampleEditor() const { return m_editor; }
    QComboBox* languagePicker() const { return m_languages; }
    QList<ActionRunRow*> actionRows() const { return m_rows; }
    QWidget* latestOutputBlock() const { return m_outputBlock; }
    QLabel* latestOutputText() const { return m_output; }
    QLabel* sampleHeading() const { return m_sampleHeading; }
    QLabel* languageLabel() const { return m_languageLabel; }
    QLabel* outputHeading() const { return m_outputHeading; }

    // The actions the bench offers: every quick action but the assistant, the
    // clipboard window and the layout fix, which work on no sample.
    static bool runsOnSample(const QuickAction& action);

private:
    void showSample();
    void showLanguage();
    void showRows();
    void showOutput();

    MendoAppState& m_state;
    SettingsTexts* m_texts;
    QLabel* m_sampleHeading;
    SampleTextEditor* m_editor;
    QLabel* m_languageLabel;
    QComboBox* m_languages;
    QWidget* m_rowsHost;
    QList<ActionRunRow*> m_rows;
    QWidget* m_outputBlock;
    QLabel* m_outputHeading;
    QLabel* m_output;
};

// The Actions page of the settings window.
QWidget* makeActionsSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
