#include "engine/TimerText.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace larkspur {

namespace {

// Longer than any emoji sequence there is; a longer cluster is a pile of combining marks.
constexpr qsizetype kMaxClusterLength = 32;

bool isForbidden(QChar c) {
    const char16_t u = c.unicode();
    if (u == u'\t' || u == u'\n' || u == u'\r') return false;
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// The last grapheme boundary at or before `limit`, judged with a little of what follows.
qsizetype lastBoundaryWithin(const QString& text, qsizetype limit) {
    const QString window = text.left(limit + kMaxClusterLength);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    qsizetype best = 0;
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at <= limit;
         at = finder.toNextBoundary())
        best = at;
    if (best > 0) return best;
    // One cluster longer than the limit: cut it, but never inside a surrogate pair.
    return limit > 0 && window.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}

}  // namespace

bool hasForbiddenControl(QStringView text) {
    return std::any_of(text.begin(), text.end(), isForbidden);
}

QString boundedName(const QString& name) {
    QString kept = name;
    if (hasForbiddenControl(kept)) kept.removeIf(isForbidden);
    if (kept.size() <= kMaxNameLength) return kept;
    return kept.left(lastBoundaryWithin(kept, kMaxNameLength));
}

QString singleGrapheme(const QString& text) {
    QString window = text.left(kMaxClusterLength * 2);
    window.removeIf([](QChar c) { return c.unicode() < 0x20 || isForbidden(c); });
    if (window.isEmpty()) return window;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    const qsizetype end = finder.toNextBoundary();
    return window.left(
        end > 0 && end <= kMaxClusterLength ? end : lastBoundaryWithin(window, kMaxClusterLength));
}

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    // A tab too: a menu reads what follows one as a shortcut.
    text.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
    return text;
}

}  // namespace larkspur
