#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringMatcher>

#include <optional>

// What Find and Replace looks for: a literal, with or without case, or a
// regular expression, and whether a match must be a whole word.
class SearchQuery
{
public:
    struct Options
    {
        bool matchCase = false;
        bool wholeWords = false;
        bool regularExpression = false;
        bool operator==(const Options &o) const
        {
            return matchCase == o.matchCase && wholeWords == o.wholeWords &&
                   regularExpression == o.regularExpression;
        }
    };

    SearchQuery() = default;
    SearchQuery(const QString &pattern, Options options);

    const QString &pattern() const { return m_pattern; }
    Options options() const { return m_options; }
    bool isEmpty() const { return m_pattern.isEmpty(); }
    // Empty when the pattern can be searched; else what is wrong with it and where.
    QString error() const;

    bool isRegular() const { return m_options.regularExpression; }
    const QStringMatcher &matcher() const { return m_matcher; }
    const QRegularExpression &expression() const { return m_expression; }
    // The same expression, matching nothing empty where a match attempt
    // starts: how a search goes on after an empty match.
    const QRegularExpression &notEmptyAtStart() const { return m_notEmptyAtStart; }

    // The text that takes a match's place: `replacement` as it stands for a
    // literal; for an expression \0 to \9 stand for its groups, \n and \t
    // for a line break and a tab, and \\ for a backslash.
    QString replacementFor(const QString &replacement, const QRegularExpressionMatch &match) const;

    bool operator==(const SearchQuery &o) const
    {
        return m_pattern == o.m_pattern && m_options == o.m_options;
    }
    bool operator!=(const SearchQuery &o) const { return !(*this == o); }

private:
    QString m_pattern;
    Options m_options;
    QStringMatcher m_matcher;
    QRegularExpression m_expression;
    QRegularExpression m_notEmptyAtStart;
};
