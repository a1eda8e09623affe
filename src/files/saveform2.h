#pragma once

#include "files/savewindow.h"

// `saveform2`: saves the page before "New" starts an empty one.
class SaveForm2 : public SaveWindow
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("saveform2"); }

    explicit SaveForm2(WindowRegistry &registry) : SaveWindow(registry, windowName()) {}

protected:
    void saved() override;
};
