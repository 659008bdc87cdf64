#pragma once

#include "base/SerialTurns.h"

namespace mendo {

// Serialises borrows of the pasteboard: a borrow that starts while another is
// under way waits until that one has given the pasteboard back. Two
// interleaved borrows would each save the other's temporary contents as "the
// user's clipboard" and restore that, losing the real one.
class PasteboardBorrows : public SerialTurns {
public:
    using Borrow = Turn;
};

}  // namespace mendo
