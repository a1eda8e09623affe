#pragma once

#include <QFont>
#include <QString>

// Fonts of the stored layouts. A family the machine lacks falls back through
// Qt's font matching to one of the same kind.
namespace Fonts {

// "Lucida Console": a monospace console font.
QFont console(qreal pointSize);

// "Arial", "MS Sans Serif" and the like: sans-serif fonts.
QFont sans(const QString &family, qreal pointSize);

} // namespace Fonts
