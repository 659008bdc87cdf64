#pragma once

#include "platform/UrlOpener.h"

#include <QList>

namespace mendo {

// Records every address it is asked to open; `succeeds` decides the answer.
class FakeUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override
    {
        opened.append(url);
        return succeeds;
    }
    QList<QUrl> opened;
    bool succeeds = true;
};

}  // namespace mendo
