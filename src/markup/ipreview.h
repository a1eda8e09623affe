#pragma once

#include "ui/window.h"

// `ipreview`, "Internet Picture Preview": a picture box for a web picture.
// The program never goes online, so no command opens this window; it exists
// so that the set of windows, and closing them all, stays complete.
class IPreview : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::IPreview;

    explicit IPreview(WindowRegistry &registry);
};
