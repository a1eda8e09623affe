#pragma once

#include "app/window.h"

class InfoLabel;

// `faqForm`: four questions down the left; the answer to the one clicked last
// stands on the right.
class FaqForm : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("faqForm"); }

    explicit FaqForm(WindowRegistry &registry);

private:
    InfoLabel *m_answer;
};
