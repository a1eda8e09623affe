#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Fonts of the stored layouts. A face the machine lacks is shown in DejaVu
// Sans Mono or DejaVu Sans, the same on every machine; family() keeps the name.
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
