#pragma once

#include "panels/AssistantPanelController.h"

#include <QList>
#include <QString>
#include <optional>

namespace mendo {

// One control of the reply bar: whether it can be pressed and its tooltip.
struct AssistantBarItem {
    bool enabled = false;
    QString tooltip;

    bool operator==(const AssistantBarItem&) const = default;
};

// One entry of the reply-style menu.
struct AssistantStyleItem {
    QString id;
    QString name;
    bool checked = false;

    bool operator==(const AssistantStyleItem&) const = default;
};

// Every text, visibility and enabled state of the assistant panel, as a pure
// function of the controller's state: the widgets only copy it.
struct AssistantPanelViewState {
    // Header.
    QString title;
    bool showsReplyStyleMenu = false;  // else the New chat button
    QString replyStyleLabel;
    bool replyStyleMenuEnabled = false;
    QString replyStyleTooltip;
    QList<AssistantStyleItem> replyStyleItems;
    QString newChatTooltip;

    // Error line.
    bool errorVisible = false;
    QString errorText;

    // Transcript.
    bool showsPlaceholder = false;
    QString placeholderText;
    QString youLabel;

    // Composer (chat mode).
    bool showsComposer = false;
    bool contextOn = false;
    QString contextChipSymbol;
    QString contextChipTitle;
    // " chars" after the untrimmed length; none for a blank context.
    std::optional<QString> contextCount;
    bool pasteResultVisible = false;
    QString pasteResultTooltip;
    // The editor shows it by itself while its text, and so the request, is
    // empty.
    QString editorPlaceholder;
    QString sendSymbol;
    bool sendEnabled = false;
    // Drawn in the muted colour rather than the accent.
    bool sendLooksBlank = false;
    QString sendTooltip;

    // Reply bar (reply mode).
    bool showsReplyBar = false;
    AssistantBarItem regenerate;
    AssistantBarItem addEmojis;
    AssistantBarItem languageChip;
    QString languageCode;
    AssistantBarItem translate;
    QString translateLabel;
    AssistantBarItem copy;
    AssistantBarItem paste;
};

AssistantPanelViewState describeAssistantPanel(const AssistantPanelState& state);

// The short code of a language name from the shared language list, as the
// language chip and list show it: "ZH" for both Chinese entries, "TL" for
// Filipino, the ISO 639 code of an English language name (cut to two
// letters), else the name's first two letters, all upper case. The codes of
// the names come from a fixed table, so they never change with the system's
// locale data.
QString languageCode(const QString& name);

}  // namespace mendo
