#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

class QComboBox;
class QPushButton;
class QWidget;

// The stored layouts were sized for narrow fonts at a small size. With the
// fonts a machine has, and at the larger sizes desktops use, a caption is
// drawn smaller where needed so that it shows whole; the controls keep their
// rectangles.
namespace Fitting {

// A caption drawn in `control`'s font inside `area`, laid out with the
// Qt::AlignmentFlag and Qt::TextFlag `flags`.
struct Caption
{
    QWidget *control;
    QString text;
    QRect area;
    int flags;
};

// Whether `text` shows whole in `font`: a wrapped text must fit both ways; a
// single line is centred and need only fit across.
bool fits(const QFont &font, const QString &text, const QSize &area, int flags);

// `font`, made smaller where needed for `text` to fit inside `area`.
QFont shrunkToFit(QFont font, const QString &text, const QSize &area, int flags);

// Shrinks the fonts of the captions' controls in one proportion, as little as
// lets every caption fit, so that a group of controls keeps one look.
void shrinkTogether(const QList<Caption> &captions);

// The caption of a plain push button: its text in the button's label area.
Caption buttonCaption(QPushButton *button);

// The text of an editable combo box, which must show whole in its edit field.
Caption editCaption(QComboBox *box);

} // namespace Fitting
