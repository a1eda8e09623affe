#include "editor/text/pagesearch.h"

#include "editor/text/textmodel.h"

// Placeholder while the engine is written; replaced before it lands.
class PageSearch::Private
{
};

PageSearch::PageSearch(TextModel &model, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>()), m_model(model)
{
}

PageSearch::~PageSearch() = default;

void PageSearch::setSettings(const Settings &settings)
{
    m_settings = settings;
}

void PageSearch::findNext() {}
void PageSearch::findPrevious() {}
void PageSearch::replace() {}
void PageSearch::replaceAll() {}
void PageSearch::cancel() {}
bool PageSearch::isBusy() const
{
    return false;
}
void PageSearch::hideMarks()
{
    m_marksShown = false;
    emit marksChanged();
}
TextSearch::Match PageSearch::current() const
{
    return {};
}
std::vector<TextSearch::Match> PageSearch::matchesIn(int, int) const
{
    return {};
}
