#pragma once

#include "markup/menuholder.h"

// Holds the line menu of the toolbar button `addline`.
class Form3 : public MenuHolder
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Form3;

    explicit Form3(WindowRegistry &registry);
};
