#pragma once

#include "ui/window.h"

class FileOpenDialog;
class PathBox;

// `piccomp`: takes the path of a picture on this computer, typed or chosen
// with "Browse", and writes a picture tag with it.
class PicComp : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::PicComp;

    explicit PicComp(WindowRegistry &registry);

private:
    void browse();
    void done();

    FileOpenDialog *m_dialog;
    PathBox *m_path;
};
