#pragma once

#include "ui/window.h"

// `AboutHTML`: the product's name, a line about it and the maker's web address.
class AboutHtml : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::AboutHtml;

    explicit AboutHtml(WindowRegistry &registry);
};
