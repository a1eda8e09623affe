#pragma once

#include <QList>
#include <QUrl>

#include "editor/view/textview.h"

// The source box `htmlsource`: the page's text, wrapped at the box's width,
// with a vertical scroll bar always shown. Tab moves on to the next control,
// as in every box of the program, and Shift+Enter is a plain line break.
class SourceBox : public TextView
{
    Q_OBJECT

public:
    explicit SourceBox(TextModel &model, QWidget *parent = nullptr);

signals:
    // Files dropped or pasted at `position`: their addresses, never pasted
    // as text.
    void filesDropped(const QList<QUrl> &files, int position);

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
};
