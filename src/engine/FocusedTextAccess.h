#pragma once

#include <QString>
#include <optional>

namespace mendo {

// The focused text element of the remembered application, as the
// accessibility layer reads it.
struct FocusedText {
    // The element's selected text; present (possibly empty) when the element
    // reports one.
    std::optional<QString> selectedText;
    // The element's whole value, when it can be read as text.
    std::optional<QString> value;
};

// The accessibility operations the pasteboard service falls back on. The
// accessibility text reader implements it; the application object connects
// the two.
class FocusedTextAccess {
public:
    virtual ~FocusedTextAccess() = default;

    // The focused element of the remembered application; both fields absent
    // when there is no such application or element.
    virtual FocusedText focusedText() = 0;
    // Replaces the selected text of that element with `text`; false when there
    // is no element, it lies in web content, its selection is read-only or
    // the write was refused.
    virtual bool replaceSelectedText(const QString& text) = 0;

    // The selected text of the focused element of the first running
    // application with the remembered id; empty when there is none.
    virtual QString selectedText() { return {}; }
    // The selected text of the focused element of the remembered process, the
    // element replaceSelectedText() writes to; empty when there is none or it
    // lies in web content.
    virtual QString selectedTextForLayout() { return {}; }
    // Whether the application selectedText() reads from reports a focused
    // element now; a toolkit that thinks it lost the focus reports none.
    virtual bool reportsFocusedElement() { return true; }
};

}  // namespace mendo
