#pragma once

#include "app/window.h"

// `AboutKorvaneTech`: the maker's name within its web address, and a word about it.
class AboutKorvaneTech : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("AboutKorvaneTech"); }

    explicit AboutKorvaneTech(WindowRegistry &registry);
};
