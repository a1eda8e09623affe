#include "ui/placement.h"

#include <QList>

#include <algorithm>

namespace Placement {

QPoint clearOf(const QRect &frame, const QRect &spot, const QRect &owner, const QRect &area)
{
    if (spot.isEmpty() || !frame.intersects(spot))
        return frame.topLeft();
    const int width = frame.width();
    const int height = frame.height();
    // Where the window stands now along the side it is moved to, kept on the screen.
    const QPoint kept = within(frame, area);
    const int x = kept.x();
    const int y = kept.y();
    // Beside the spot itself, a row's height is left around it to read the match in.
    const int gap = spot.height();
    const QList<QPoint> places{
        {x, owner.bottom() + 1},     {owner.right() + 1, y},         {owner.left() - width, y},
        {x, owner.top() - height},   {x, spot.bottom() + 1 + gap},   {x, spot.top() - gap - height},
        {spot.right() + 1 + gap, y}, {spot.left() - gap - width, y},
    };
    for (const QPoint &place : places) {
        const QRect moved(place, frame.size());
        if (area.contains(moved) && !moved.intersects(spot))
            return place;
    }
    return frame.topLeft();
}

QPoint within(const QRect &frame, const QRect &area)
{
    return {
        std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)),
        std::clamp(frame.y(), area.top(),
                   std::max(area.top(), area.bottom() - frame.height() + 1))};
}

} // namespace Placement
