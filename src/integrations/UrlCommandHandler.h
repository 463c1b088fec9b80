#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "integrations/SharedManagers.h"

namespace larkspur {

inline const QString kUrlScheme = QStringLiteral("larkspurhollow");

// The parts of a URL that the commands read, taken as written (no case folding).
struct ParsedUrl {
    QString scheme;
    std::optional<QString> host;
    std::optional<QString> query;
};

std::optional<ParsedUrl> parseUrl(const QString& text);

// Query items with escapes decoded; "+" stays a plus; a later item replaces an earlier one; an
// item without "=" removes the name.
QHash<QString, QString> parseQueryParams(const QString& url);

// The "duration" parameter: a finite, non-negative decimal number, else nothing.
std::optional<double> parseDuration(const QString& text);

// Runs the commands of the larkspurhollow:// scheme. Every failure is silent.
class UrlCommandHandler {
public:
    explicit UrlCommandHandler(const SharedManagers& shared) : shared_(shared) {}

    void handleURL(const QString& url) const;
    void handleURLs(const QStringList& urls) const;

private:
    void start(const QHash<QString, QString>& params) const;
    void pause() const;
    void resume() const;
    void reset() const;
    void stop() const;
    void toggle() const;

    const SharedManagers& shared_;
};

}  // namespace larkspur
