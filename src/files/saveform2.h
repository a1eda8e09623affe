#pragma once

#include "files/savewindow.h"

// `saveform2`: saves the page before "New" starts an empty one.
class SaveForm2 : public SaveWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::SaveForm2;

    explicit SaveForm2(WindowRegistry &registry) : SaveWindow(registry, Id) {}

protected:
    void saved() override;
};
