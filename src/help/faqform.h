#pragma once

#include "ui/window.h"

class InfoLabel;

// `faqForm`: four questions down the left; the answer to the one clicked last
// stands on the right.
class FaqForm : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::FaqForm;

    explicit FaqForm(WindowRegistry &registry);

private:
    InfoLabel *m_answer;
};
