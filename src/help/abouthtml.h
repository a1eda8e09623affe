#pragma once

#include "app/window.h"

// `AboutHTML`: the product's name, a line about it and the maker's web address.
class AboutHtml : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("AboutHTML"); }

    explicit AboutHtml(WindowRegistry &registry);
};
