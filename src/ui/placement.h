#pragma once

#include <QPoint>
#include <QRect>

// Where a window goes so as not to hide what the user is looking at in
// another window: the match a search has found, say.
namespace Placement {

// The top-left corner for a window whose frame is `frame` that keeps off
// `spot`: below the frame `owner` of the window it belongs to, else beside
// it, else above it; failing all those, below, above or beside `spot` itself.
// Always wholly within `area`, the screen's available part. Unchanged when
// `frame` does not cover `spot`, or when no place clear of it fits.
QPoint clearOf(const QRect &frame, const QRect &spot, const QRect &owner, const QRect &area);

// The top-left corner nearest `frame`'s that keeps it within `area`, as far
// as it fits.
QPoint within(const QRect &frame, const QRect &area);

} // namespace Placement
