#pragma once

#include "markup/menuholder.h"

// Holds the bullet menu of the toolbar button `addbullet`.
class Form2 : public MenuHolder
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Form2;

    explicit Form2(WindowRegistry &registry);
};
