#pragma once

#include "ui/window.h"

// `AboutKorvaneTech`: the maker's name within its web address, and a word about it.
class AboutKorvaneTech : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::AboutKorvaneTech;

    explicit AboutKorvaneTech(WindowRegistry &registry);
};
