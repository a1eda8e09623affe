#pragma once

#include <QLabel>

// A one-line status that a screen reader hears when it changes, without the
// focus going to it: assistive technology sees a status bar whose text is
// replaced, as a live region's is.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    enum class Announce { Yes, No };
    // Shows `status`, whole in the tooltip should it not fit. A progress
    // figure that changes every frame is shown without being announced, so
    // that it does not drown the result.
    void setStatus(const QString &status, Announce announce = Announce::Yes);
};
