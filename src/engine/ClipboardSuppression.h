#pragma once

namespace mendo {

// What the pasteboard service needs of the clipboard history: that it does not
// record the service's own pasteboard traffic as entries. The clipboard
// history implements it; the application object connects the two.
class ClipboardSuppression {
public:
    virtual ~ClipboardSuppression() = default;

    // Pasteboard changes seen within the next `seconds` are not recorded. A
    // longer suppression already under way is kept.
    virtual void suppressCapture(double seconds) = 0;
    // Ends the suppression now and takes the pasteboard's present contents as
    // already seen, so what the service restored or wrote is never recorded.
    virtual void finishTransientPasteboardUse() = 0;
};

}  // namespace mendo
