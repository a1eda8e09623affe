#pragma once

#include "files/savewindow.h"

// `saveform`: saves the page, which stays in the editor.
class SaveForm : public SaveWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::SaveForm;

    explicit SaveForm(WindowRegistry &registry) : SaveWindow(registry, Id) {}
};
