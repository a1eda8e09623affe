#pragma once

#include <QTimer>

#include "ui/statusline.h"

// A short message shown for a few seconds by the caret, as a tooltip is,
// but heard by a screen reader: Qt never announces its own tooltips, while
// this is a status bar whose text changes are sent. It takes no focus.
class CaretNotice : public StatusLine
{
    Q_OBJECT

public:
    explicit CaretNotice(QWidget *owner);

    // Shows `message` with its top left at `globalPoint`, heard again even
    // when it is the one already shown.
    void showAt(QPoint globalPoint, const QString &message);

private:
    QTimer m_hide;
};
