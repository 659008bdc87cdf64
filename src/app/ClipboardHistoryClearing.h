#pragma once

namespace mendo {

// What the application state asks of the clipboard history: forget every
// entry and store the empty history. The clipboard history implements it; the
// application object connects the two.
class ClipboardHistoryClearing {
public:
    virtual ~ClipboardHistoryClearing() = default;
    virtual void clearHistory() = 0;
};

}  // namespace mendo
