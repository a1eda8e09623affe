#include "ui/namedcombobox.h"

#include "ui/accessibility.h"

NamedComboBox::NamedComboBox(const QString &accessibleName, QWidget *parent) : QComboBox(parent)
{
    Accessibility::install();
    setAccessibleName(accessibleName);
}
