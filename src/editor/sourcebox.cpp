#include "editor/sourcebox.h"

SourceBox::SourceBox(QWidget *parent) : TextView(parent)
{
    setObjectName(QStringLiteral("htmlsource"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}
