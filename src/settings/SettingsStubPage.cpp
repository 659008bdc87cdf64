#include "settings/SettingsStubPage.h"

#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"

#include <QLabel>
#include <QLayout>

namespace mendo {

QWidget* makeStubSettingsPage(const MainSettingsEnvironment& environment, SettingsPage page)
{
    QWidget* view = settingsPage();
    auto* texts = new SettingsTexts(environment.appState, view);
    auto* block = new SettingsBlock;
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("stubTitle"));
    texts->text(label, title(page));
    block->addRow(label);
    view->layout()->addWidget(block);
    return view;
}

}  // namespace mendo
