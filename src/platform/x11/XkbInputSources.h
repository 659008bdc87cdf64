#pragma once

#include "platform/InputSources.h"

#include <memory>

namespace mendo {

namespace x11 {
class X11Connection;
}

// Input sources on X11: one source per XKB group of the core keyboard's
// keymap, named as the keymap names the group ("English (US)") and
// identified by its layout code with variant ("us", "ru(phonetic)"). Works
// over MendoAI's own X connection, so its requests and events never mix with
// Qt's traffic.
class XkbInputSources final : public InputSources {
    Q_OBJECT
public:
    // Statuses of select() besides 0 and the X protocol's error codes.
    static constexpr int noConnection = -1;

    // `connection` must outlive the sources.
    explicit XkbInputSources(x11::X11Connection& connection, QObject* parent = nullptr);
    ~XkbInputSources() override;

    // False when no X server with the keyboard extension could be reached;
    // then there are no sources and nothing can be selected.
    bool isConnected() const;

    QList<InputSource> sources() const override;
    std::optional<InputSource> current() const override;
    std::optional<KeyLayout> keyLayout(const InputSource& source) const override;
    // XkbLockGroup, confirmed by reading the keyboard state back. Fails with
    // BadValue when the source is no longer in the keymap and BadAccess when
    // the group did not stick.
    int select(const InputSource& source) override;

private:
    struct Private;

    std::unique_ptr<Private> d;
};

}  // namespace mendo
