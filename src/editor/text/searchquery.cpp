#include "editor/text/searchquery.h"

#include <QCoreApplication>

SearchQuery::SearchQuery(const QString &pattern, Options options)
    : m_pattern(pattern), m_options(options)
{
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (!options.regularExpression) {
        m_matcher = QStringMatcher(pattern, cs);
        return;
    }
    // Lines are the page's lines; \w, \b and classes know every script.
    QRegularExpression::PatternOptions patternOptions =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        patternOptions |= QRegularExpression::CaseInsensitiveOption;
    m_expression = QRegularExpression(pattern, patternOptions);
    m_expression.optimize();
    m_notEmptyAtStart =
        QRegularExpression(QStringLiteral("(*NOTEMPTY_ATSTART)") + pattern, patternOptions);
    m_notEmptyAtStart.optimize();
}

QString SearchQuery::error() const
{
    if (!m_options.regularExpression || m_expression.isValid())
        return {};
    return QCoreApplication::translate("SearchQuery", "%1 at position %2")
        .arg(m_expression.errorString())
        .arg(m_expression.patternErrorOffset() + 1);
}

QString SearchQuery::replacementFor(const QString &replacement,
                                    const QRegularExpressionMatch &match) const
{
    if (!m_options.regularExpression || !replacement.contains(QLatin1Char('\\')))
        return replacement;
    QString result;
    result.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c != QLatin1Char('\\') || i + 1 == replacement.size()) {
            result.append(c);
            continue;
        }
        const QChar next = replacement.at(++i);
        if (next.isDigit() && next.unicode() < 128)
            result.append(match.captured(next.unicode() - '0'));
        else if (next == QLatin1Char('n'))
            result.append(QLatin1Char('\n'));
        else if (next == QLatin1Char('t'))
            result.append(QLatin1Char('\t'));
        else if (next == QLatin1Char('\\'))
            result.append(next);
        else
            result.append(c).append(next); // not an escape: kept as typed
    }
    return result;
}
