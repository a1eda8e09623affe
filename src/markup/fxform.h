#pragma once

#include "markup/entrywindow.h"

class MultiLineBox;
class QKeyEvent;
class QLineEdit;

// `fxform`: puts text in a one-cell table whose style applies a glow, shadow or
// drop-shadow filter. The effect is chosen by the menu entry that opens the window.
class FxForm : public EntryWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::FxForm;

    explicit FxForm(WindowRegistry &registry);

    // "Glow", "Shadow" or "Dropshadow"; what was typed stays.
    void setEffect(const QString &effect);

protected:
    void insert() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether the strength box takes this key press: "/" and the digits only.
    static bool strengthAccepts(const QKeyEvent &event);

    QLineEdit *m_effect;
    QLineEdit *m_color;
    QLineEdit *m_strength;
    MultiLineBox *m_text;
};
