#pragma once

#include <functional>

#include "files/savewindow.h"

// `saveform2`: saves the page before it is emptied, replaced or closed, and
// then carries out the command that asked for the save.
class SaveForm2 : public SaveWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::SaveForm2;

    explicit SaveForm2(WindowRegistry &registry) : SaveWindow(registry, Id) {}

    // What follows a successful save; the latest command to ask wins.
    void setNextStep(std::function<void()> step) { m_nextStep = std::move(step); }

protected:
    void saved() override;

private:
    std::function<void()> m_nextStep;
};
