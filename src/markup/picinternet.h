#pragma once

#include "ui/window.h"

class QLineEdit;

// `picinternet`: takes the address of a picture on the web and writes a
// picture tag with it.
class PicInternet : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::PicInternet;

    explicit PicInternet(WindowRegistry &registry);

private:
    void done();

    QLineEdit *m_url;
};
