#pragma once

#include "ui/window.h"

class QComboBox;
class QLineEdit;

// `mform`: puts scrolling text with a chosen direction where the caret stands.
class MForm : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::MForm;

    explicit MForm(WindowRegistry &registry);

private:
    void insertMarquee();

    QLineEdit *m_text;
    QComboBox *m_direction;
};
