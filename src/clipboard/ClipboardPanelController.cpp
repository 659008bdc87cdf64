#include "clipboard/ClipboardPanelController.h"

namespace mendo {

void ClipboardPanelController::toggle()
{
    m_visible = !m_visible;
}

}  // namespace mendo
