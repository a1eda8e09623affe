#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Fonts of the stored layouts. A family the machine lacks falls back through
// Qt's font matching to one of the same kind.
namespace Fonts {

// "Lucida Console": a monospace console font.
QFont console(qreal pointSize);

// "Arial", "MS Sans Serif" and the like: sans-serif fonts.
QFont sans(const QString &family, qreal pointSize);

// The screen fonts, one entry per family name, in the order the system lists them.
QStringList screenFamilies();

// `listed` with the foundry tag that Qt adds to a family several foundries
// supply ("C059 [urw]") taken off, and each name kept once, where it first stands.
QStringList plainFamilies(const QStringList &listed);

} // namespace Fonts
