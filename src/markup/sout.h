#pragma once

#include "markup/entrywindow.h"

class MultiLineBox;

// `sout`: puts typed text, struck out, where the caret stands.
class Sout : public EntryWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Sout;

    explicit Sout(WindowRegistry &registry);

protected:
    void insert() override;

private:
    MultiLineBox *m_text;
};
