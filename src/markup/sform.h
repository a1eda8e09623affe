#pragma once

#include "markup/entrywindow.h"

class MultiLineBox;

// `sform`: puts typed text as a widely letter-spaced heading where the caret stands.
class SForm : public EntryWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::SForm;

    explicit SForm(WindowRegistry &registry);

protected:
    void insert() override;

private:
    MultiLineBox *m_text;
};
