#include "panels/TranslationPreviewPanel.h"

#include "base/BiText.h"
#include "model/MendoPromptLibrary.h"
#include "panels/SelectablePreviewTextView.h"
#include "panels/TranslationPreviewPanelController.h"
#include "ui/SymbolButtonName.h"
#include "ui/GlassSurface.h"
#include "ui/MendoTheme.h"
#include "ui/NativeMaterials.h"
#include "ui/OutlinedBox.h"
#include "ui/SymbolRegistry.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

constexpr int paneCornerRadius = 10;
constexpr int headlinePixels = 14;
constexpr int captionPixels = 11;
constexpr int footnotePixels = 12;
constexpr int symbolPixels = 16;
const QColor errorOrange(0xff, 0x95, 0x00);

QColor primary(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

// The box behind a text pane, the pane inside its edge.
QWidget* paneFrame(QWidget* content, QWidget* parent)
{
    auto* frame = new OutlinedBox(0.014, 0.075, paneCornerRadius, parent);
    auto* box = new QVBoxLayout(frame);
    box->setContentsMargins(1, 1, 1, 1);
    box->addWidget(content);
    frame->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    return frame;
}

QToolButton* textButton(const QString& text, QSize size, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    button->setFixedSize(size);
    button->setFont(theme::sizedFont(button->font(), 14, QFont::DemiBold));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

// Lays the panes out by the width they are given: the original shows only
// where both fit.
class TranslationPreviewPanel::Panes : public QWidget {
public:
    Panes(TranslationPreviewPanel& owner, QWidget* parent)
        : QWidget(parent)
        , m_owner(owner)
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_owner.updatePaneLayout();
    }

private:
    TranslationPreviewPanel& m_owner;
};

// A small spinning progress indicator.
class TranslationPreviewPanel::Spinner : public QWidget {
public:
    explicit Spinner(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(symbolPixels, symbolPixels);
        m_timer.setInterval(80);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 45) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { m_timer.start(); }
    void hideEvent(QHideEvent*) override { m_timer.stop(); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(width() / 2.0, height() / 2.0);
        p.rotate(m_angle);
        const QPixmap spokes = SymbolRegistry::pixmap(
            QStringLiteral("progress.indicator"), symbolPixels, primary(this), devicePixelRatioF());
        p.drawPixmap(QPointF(-symbolPixels / 2.0, -symbolPixels / 2.0), spokes);
    }

private:
    QTimer m_timer;
    int m_angle = 0;
};

TranslationPreviewPanel::TranslationPreviewPanel(
    TranslationPreviewPanelController& controller, MendoFloatingSurface* surface)
    : QWidget(surface->content())
    , m_controller(controller)
    , m_surface(surface)
{
    auto* contentBox = new QVBoxLayout(surface->content());
    contentBox->setContentsMargins(0, 0, 0, 0);
    contentBox->addWidget(this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(12);
    column->addWidget(makeHeader());

    m_panes = new Panes(*this, this);
    auto* paneRow = new QHBoxLayout(m_panes);
    paneRow->setContentsMargins(0, 0, 0, 0);
    paneRow->setSpacing(10);
    m_sourcePane = makePane(m_sourceTitle, m_sourceView);
    m_translationPane = makePane(m_translationTitle, m_translationView);
    paneRow->addWidget(m_sourcePane, 1);
    paneRow->addWidget(m_translationPane, 1);
    column->addWidget(m_panes, 1);

    m_errorLine = new QLabel(this);
    m_errorLine->setFont(theme::sizedFont(font(), footnotePixels, QFont::Normal));
    m_errorLine->setWordWrap(true);
    m_errorLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_errorLine);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_fromClipboard = new QPushButton(this);
    m_copy = new QPushButton(this);
    m_insert = new QPushButton(this);
    for (QPushButton* button : { m_fromClipboard, m_copy, m_insert }) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    TranslationPreviewPanelController* c = &m_controller;
    connect(m_fromClipboard, &QPushButton::clicked, c, &TranslationPreviewPanelController::pasteFromClipboardAndTranslate);
    connect(m_copy, &QPushButton::clicked, c, &TranslationPreviewPanelController::copyResult);
    connect(m_insert, &QPushButton::clicked, c, &TranslationPreviewPanelController::pasteResult);
    m_closeButton = panelCloseButton(this, [c] { c->close(); });

    connect(c, &TranslationPreviewPanelController::changed, this, &TranslationPreviewPanel::refresh);
    refresh();
}

QWidget* TranslationPreviewPanel::makeHeader()
{
    auto* header = new WindowDragHandle(this);
    header->setMinimumHeight(headerHeight);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    // Room for the close button laid over the corner.
    row->addSpacing(18);

    auto* titleGroup = new QHBoxLayout;
    titleGroup->setSpacing(10);
    auto* label = new QHBoxLayout;
    label->setSpacing(6);
    m_titleIcon = new QLabel(header);
    m_titleIcon->setFixedSize(symbolPixels, symbolPixels);
    m_title = new QLabel(header);
    m_title->setFont(theme::sizedFont(font(), headlinePixels, QFont::DemiBold));
    label->addWidget(m_titleIcon);
    label->addWidget(m_title);
    titleGroup->addLayout(label);
    m_spinner = new Spinner(header);
    titleGroup->addWidget(m_spinner);
    titleGroup->addStretch(1);
    row->addLayout(titleGroup, 1);

    m_sourceToggle = new QToolButton(header);
    m_sourceToggle->setAutoRaise(true);
    m_sourceToggle->setIconSize(QSize(symbolPixels, symbolPixels));
    m_sourceToggle->setCursor(Qt::PointingHandCursor);
    connect(m_sourceToggle, &QToolButton::clicked, this,
        [this] { m_controller.setSourceVisible(!m_controller.sourceVisible()); });
    row->addWidget(m_sourceToggle);

    row->addWidget(makeFontControls(), 0, Qt::AlignVCenter);

    m_picker = new QComboBox(header);
    m_picker->setFixedWidth(pickerWidth);
    m_picker->addItems(MendoPromptLibrary::languages());
    m_picker->setMaxVisibleItems(16);
    connect(m_picker, &QComboBox::activated, this,
        [this](int index) { m_controller.setTargetLanguage(m_picker->itemText(index)); });
    row->addWidget(m_picker);

    m_header = header;
    return header;
}

QWidget* TranslationPreviewPanel::makeFontControls()
{
    auto* capsule = new OutlinedBox(0.045, 0.07, -1, this);
    capsule->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(capsule);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(2);
    m_decrease = textButton(QStringLiteral("\u2212"), QSize(23, 22), capsule);
    m_sample = new QLabel(QStringLiteral("T"), capsule);
    m_sample->setFixedSize(25, 22);
    m_sample->setAlignment(Qt::AlignCenter);
    m_increase = textButton(QStringLiteral("+"), QSize(23, 22), capsule);
    row->addWidget(m_decrease);
    row->addWidget(m_sample);
    row->addWidget(m_increase);
    connect(m_decrease, &QToolButton::clicked, this,
        [this] { m_controller.setPreviewFontSize(m_controller.previewFontSize() - 1); });
    connect(m_increase, &QToolButton::clicked, this,
        [this] { m_controller.setPreviewFontSize(m_controller.previewFontSize() + 1); });
    m_fontControls = capsule;
    return capsule;
}

QWidget* TranslationPreviewPanel::makePane(QLabel*& title, SelectablePreviewTextView*& view)
{
    auto* pane = new QWidget(this);
    pane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    title = new QLabel(pane);
    title->setFont(theme::sizedFont(font(), captionPixels, QFont::DemiBold));
    title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    view = new SelectablePreviewTextView;
    column->addWidget(title);
    column->addWidget(paneFrame(view, pane), 1);
    return pane;
}

void TranslationPreviewPanel::updatePaneLayout()
{
    m_sourcePane->setVisible(showsSource(m_panes->width(), m_controller.sourceVisible()));
}

void TranslationPreviewPanel::applyTexts()
{
    const UiLanguage language = m_controller.uiLanguage();
    const QColor text = primary(this);
    m_titleIcon->setPixmap(SymbolRegistry::pixmap(QStringLiteral("translate"), symbolPixels, text, devicePixelRatioF()));
    m_title->setText(pick(language, QStringLiteral("Translation"), QStringLiteral("Перевод")));
    m_fontControls->setToolTip(pick(language, QStringLiteral("Text size"), QStringLiteral("Размер текста")));
    m_decrease->setToolTip(pick(language, QStringLiteral("Decrease text"), QStringLiteral("Уменьшить текст")));
    m_increase->setToolTip(pick(language, QStringLiteral("Increase text"), QStringLiteral("Увеличить текст")));
    m_picker->setAccessibleName(pick(language, QStringLiteral("Language"), QStringLiteral("Язык")));
    m_sourceTitle->setText(pick(language, QStringLiteral("Original"), QStringLiteral("Оригинал")));
    m_fromClipboard->setText(pick(language, QStringLiteral("From Clipboard"), QStringLiteral("Из буфера")));
    m_copy->setText(pick(language, QStringLiteral("Copy"), QStringLiteral("Скопировать")));
    m_insert->setText(pick(language, QStringLiteral("Insert"), QStringLiteral("Вставить перевод")));
    m_fromClipboard->setIcon(SymbolRegistry::icon(QStringLiteral("doc.on.clipboard"), text));
    m_copy->setIcon(SymbolRegistry::icon(QStringLiteral("doc.on.doc"), text));
    m_insert->setIcon(SymbolRegistry::icon(QStringLiteral("arrow.turn.down.left"), text));

    QPalette secondary = m_sourceTitle->palette();
    secondary.setColor(QPalette::WindowText, theme::withOpacity(text, 0.55));
    m_sourceTitle->setPalette(secondary);
    m_translationTitle->setPalette(secondary);
    QPalette orange = m_errorLine->palette();
    orange.setColor(QPalette::WindowText, errorOrange);
    m_errorLine->setPalette(orange);
}

void TranslationPreviewPanel::refresh()
{
    const TranslationPreviewPanelController& c = m_controller;
    const UiLanguage language = c.uiLanguage();
    const PanelLook look = c.look();
    m_surface->setAppearance(look.appearance, look.surfaceMode);
    // Texts, symbols and colours follow the language and the theme; both
    // change rarely, the rest on every keystroke of a translation.
    const bool sourceVisible = c.sourceVisible();
    const QString appliedKey = QStringLiteral("%1 %2 %3 %4")
                                   .arg(int(language))
                                   .arg(int(look.appearance))
                                   .arg(primary(this).name(QColor::HexArgb))
                                   .arg(int(sourceVisible));
    if (m_appliedKey != appliedKey) {
        m_appliedKey = appliedKey;
        applyTexts();
        m_sourceToggle->setIcon(SymbolRegistry::icon(
            sourceVisible ? QStringLiteral("sidebar.left") : QStringLiteral("sidebar.leading"), primary(this)));
        m_sourceToggle->setToolTip(sourceVisible
                ? pick(language, QStringLiteral("Hide original"), QStringLiteral("Скрыть оригинал"))
                : pick(language, QStringLiteral("Show original"), QStringLiteral("Показать оригинал")));
        nameSymbolButtonByToolTip(m_sourceToggle);
    }

    m_spinner->setVisible(c.isRunning());

    const double size = c.previewFontSize();
    m_decrease->setEnabled(size > TranslationPreviewPanelController::minPreviewFontSize);
    m_increase->setEnabled(size < TranslationPreviewPanelController::maxPreviewFontSize);
    const int samplePixels = qRound(std::clamp(size, 12.0, 20.0));
    if (m_sample->font().pixelSize() != samplePixels || !m_sample->font().bold())
        m_sample->setFont(theme::sizedFont(font(), samplePixels, QFont::Bold));

    const int index = m_picker->findText(c.targetLanguage());
    if (m_picker->currentIndex() != index)
        m_picker->setCurrentIndex(index);
    m_picker->setEnabled(!c.isRunning());

    updatePaneLayout();
    m_translationTitle->setText(c.targetLanguage());
    m_sourceView->updateTextView(c.sourceText(), QString(), size);
    m_translationView->updateTextView(c.resultText(),
        pick(language, QStringLiteral("Translation will appear here."), QStringLiteral("Перевод появится здесь.")), size);

    m_errorLine->setText(c.errorText());
    m_errorLine->setVisible(!c.errorText().isEmpty());

    m_fromClipboard->setEnabled(!c.isRunning());
    m_copy->setEnabled(!c.resultText().isEmpty());
    m_insert->setEnabled(!c.resultText().isEmpty());
}

}  // namespace mendo
