#include "markup/ipreview.h"

#include <QLabel>

IPreview::IPreview(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("Internet Picture Preview"), Border::ToolWindowNoClose,
             5670, 3885)
{
    // A picture is drawn at its own size from the top-left corner.
    auto *image = add<QLabel>(this, "Image1", 120, 120, 5415, 3495);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
