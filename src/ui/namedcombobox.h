#pragma once

#include <QComboBox>

// A combo box that a screen reader announces by what it is for, like every
// other control, rather than by the text it holds now.
class NamedComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit NamedComboBox(const QString &accessibleName, QWidget *parent = nullptr);
};
