#pragma once

#include "app/window.h"

// `ipreview`, "Internet Picture Preview": a picture box for a web picture.
// The program never goes online, so no command opens this window; it exists
// so that the set of windows, and closing them all, stays complete.
class IPreview : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("ipreview"); }

    explicit IPreview(WindowRegistry &registry);
};
