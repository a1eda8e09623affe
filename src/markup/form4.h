#pragma once

#include "markup/menuholder.h"

// Holds the picture-source menu of the toolbar's picture button.
class Form4 : public MenuHolder
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Form4;

    explicit Form4(WindowRegistry &registry);
};
