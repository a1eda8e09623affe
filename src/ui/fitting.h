#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace Fitting {

// `font`, made smaller where needed for `text`, laid out with the Qt::AlignmentFlag
// and Qt::TextFlag `flags`, to fit inside `box`. The stored layouts were sized for
// narrow fonts that a machine may lack; a substitute must not cut a text off.
QFont shrunkToFit(QFont font, const QString &text, const QSize &box, int flags);

} // namespace Fitting
