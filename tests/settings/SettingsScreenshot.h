#pragma once

// Screenshots of the settings pages for the display tests: one page of the
// window, 900 x 640, in a language and a scheme, saved under the artifacts as
// settings-<name>-<en|ru>-<light|dark>.png. Light is the desktop's own scheme
// under the System appearance; dark is Noir Glass.

#include "settings/SettingsRig.h"
#include "support/X11TestApps.h"

#include <QImage>
#include <QSet>
#include <QTest>
#include <initializer_list>
#include <utility>

namespace mendo::testing {

struct SettingsShot {
    QString file;
    QImage image;

    // How many colours the picture holds: a blank or one-tone shot has few.
    int colours() const
    {
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2)
                seen.insert(image.pixel(x, y));
        }
        return int(seen.size());
    }
};

inline const QSize settingsShotSize { 900, 640 };

// The rows of a screenshot test: each page under its file name, in both
// languages and both schemes, as the columns "page", "name", "language" and
// "dark".
inline void addSettingsShotRows(std::initializer_list<std::pair<SettingsPage, const char*>> pages)
{
    QTest::addColumn<SettingsPage>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<bool>("dark");
    for (const auto& [page, name] : pages) {
        for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
            for (const bool dark : { false, true }) {
                const QByteArray row
                    = QByteArray(name) + (language == UiLanguage::ru ? " ru" : " en") + (dark ? " dark" : " light");
                QTest::newRow(row.constData()) << page << QString::fromLatin1(name) << language << dark;
            }
        }
    }
}

// Shows `page` in `rig`'s window (made when needed), with `prepare` run once
// the page is shown, and saves the shot. The picture is null when it failed.
inline SettingsShot shootSettingsPage(SettingsRig& rig, SettingsPage page, const QString& name, UiLanguage language,
    bool dark, const std::function<void()>& prepare = {})
{
    rig.state->editSettings([&](MendoSettings& s) {
        s.uiLanguage = language;
        s.appearanceMode = dark ? AppearanceMode::liquidNoir : AppearanceMode::system;
    });
    rig.state->setSelectedSettingsPage(page);
    MainSettingsView& view = rig.makeView(settingsShotSize);
    view.resize(settingsShotSize);
    if (!view.isVisible()) {
        view.move(40, 40);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            return {};
    }
    if (prepare)
        prepare();
    QTest::qWait(250);
    SettingsShot shot;
    shot.file = QStringLiteral("settings-%1-%2-%3.png")
                    .arg(name, language == UiLanguage::ru ? QStringLiteral("ru") : QStringLiteral("en"),
                        dark ? QStringLiteral("dark") : QStringLiteral("light"));
    const QRect area(view.mapToGlobal(QPoint(0, 0)), view.size());
    shot.image = saveScreenArea(area, shot.file);
    return shot;
}

}  // namespace mendo::testing
