#pragma once

#include "app/window.h"

class QComboBox;
class QLineEdit;

// `mform`: puts scrolling text with a chosen direction where the caret stands.
class MForm : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("mform"); }

    explicit MForm(WindowRegistry &registry);

private:
    void insertMarquee();

    QLineEdit *m_text;
    QComboBox *m_direction;
};
