#include "editor/text/searchquery.h"

SearchQuery::SearchQuery(const QString &pattern, Options options)
    : m_pattern(pattern), m_options(options)
{
}

QString SearchQuery::error() const
{
    return {};
}

QString SearchQuery::replacementFor(const QString &replacement, const QRegularExpressionMatch &) const
{
    return replacement;
}
