#include "integrations/UrlCommandHandler.h"

#include <QRegularExpression>
#include <QUrl>
#include <cctype>
#include <charconv>
#include <cmath>

#include "engine/TimerManager.h"
#include "engine/TimerText.h"
#include "integrations/WebhookManager.h"

namespace larkspur {

namespace {

bool validEscapes(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') continue;
        if (i + 2 >= text.size() ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1].toLatin1())) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2].toLatin1())))
            return false;
        i += 2;
    }
    return true;
}

QString decode(QStringView text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

}  // namespace

std::optional<ParsedUrl> parseUrl(const QString& text) {
    static const QRegularExpression schemeRe(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const auto match = schemeRe.match(text);
    if (!match.hasMatch()) return std::nullopt;
    ParsedUrl url;
    url.scheme = match.captured(1);
    QStringView rest = QStringView(text).mid(match.capturedLength());
    if (const auto hash = rest.indexOf(u'#'); hash >= 0) rest = rest.left(hash);
    if (const auto q = rest.indexOf(u'?'); q >= 0) {
        url.query = rest.mid(q + 1).toString();
        rest = rest.left(q);
    }
    if (!validEscapes(rest) || (url.query && !validEscapes(*url.query))) return std::nullopt;
    if (rest.startsWith(u"//")) {
        QStringView authority = rest.mid(2);
        if (const auto slash = authority.indexOf(u'/'); slash >= 0)
            authority = authority.left(slash);
        if (const auto at = authority.lastIndexOf(u'@'); at >= 0) authority = authority.mid(at + 1);
        if (const auto colon = authority.lastIndexOf(u':'); colon >= 0)
            authority = authority.left(colon);
        if (!authority.isEmpty()) url.host = decode(authority);
    }
    return url;
}

QHash<QString, QString> parseQueryParams(const QString& url) {
    QHash<QString, QString> params;
    const auto parsed = parseUrl(url);
    if (!parsed || !parsed->query) return params;
    for (QStringView item : QStringView(*parsed->query).split(u'&')) {
        const auto eq = item.indexOf(u'=');
        if (eq < 0) {
            params.remove(decode(item));
            continue;
        }
        params.insert(decode(item.left(eq)), decode(item.mid(eq + 1)));
    }
    return params;
}

std::optional<double> parseDuration(const QString& text) {
    QByteArray bytes = text.toLatin1();
    if (text.isEmpty() || bytes.size() != text.size()) return std::nullopt;
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last) return std::nullopt;
    // "nan", "inf" and overflowing or negative values would make a timer no one can show.
    if (!std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}

void UrlCommandHandler::handleURLs(const QStringList& urls) const {
    std::optional<TimerManager::Batch> batch;
    if (shared_.timerManager) batch.emplace(*shared_.timerManager);
    for (const QString& url : urls) handleURL(url);
}

void UrlCommandHandler::handleURL(const QString& url) const {
    const auto parsed = parseUrl(url);
    if (!parsed || parsed->scheme != kUrlScheme) return;
    if (!shared_.timerManager) return;
    if (!parsed->host) return;
    const QString& command = *parsed->host;
    if (command == QLatin1String("start")) {
        start(parseQueryParams(url));
    } else if (command == QLatin1String("pause")) {
        pause();
    } else if (command == QLatin1String("resume")) {
        resume();
    } else if (command == QLatin1String("reset")) {
        reset();
    } else if (command == QLatin1String("stop")) {
        stop();
    } else if (command == QLatin1String("toggle")) {
        toggle();
    }
}

void UrlCommandHandler::start(const QHash<QString, QString>& params) const {
    const QString name = params.value(QStringLiteral("name"), QStringLiteral("Timer"));
    // Like a malformed escape, a control character no one types makes the command void.
    if (hasForbiddenControl(name)) return;
    const double duration = parseDuration(params.value(QStringLiteral("duration"))).value_or(300.0);
    const TimerMode mode =
        timerModeFromRaw(params.value(QStringLiteral("mode"), QStringLiteral("countdown")))
            .value_or(TimerMode::Countdown);
    std::optional<QString> emoji;
    if (params.contains(QStringLiteral("emoji")))
        emoji = singleGrapheme(params.value(QStringLiteral("emoji")));

    TimerInstance* timer = shared_.timerManager->createTimer(
        NewTimer{.name = boundedName(name), .duration = duration, .mode = mode, .emoji = emoji});
    timer->start();
    if (shared_.webhookManager)
        shared_.webhookManager->fire(QStringLiteral("timer.started"), *timer);
    if (shared_.panel && !shared_.panel->isPanelVisible()) shared_.panel->showPanel();
}

void UrlCommandHandler::pause() const {
    TimerManager& manager = *shared_.timerManager;
    manager.pauseAll();
    for (TimerInstance* timer : manager.timers()) {
        if (timer->state() == TimerState::Paused && shared_.webhookManager)
            shared_.webhookManager->fire(QStringLiteral("timer.paused"), *timer);
    }
}

void UrlCommandHandler::resume() const {
    const QList<TimerInstance*> timers = shared_.timerManager->timers();
    for (TimerInstance* timer : timers)
        if (timer->state() == TimerState::Paused) timer->resume();
}

void UrlCommandHandler::reset() const {
    TimerManager& manager = *shared_.timerManager;
    if (shared_.webhookManager) {
        for (TimerInstance* timer : manager.timers())
            shared_.webhookManager->fire(QStringLiteral("timer.reset"), *timer);
    }
    manager.resetAll();
}

void UrlCommandHandler::stop() const {
    TimerManager& manager = *shared_.timerManager;
    QList<QUuid> ids;
    for (const TimerInstance* timer : manager.timers()) ids.append(timer->id());
    manager.removeTimers(ids);
}

void UrlCommandHandler::toggle() const {
    if (!shared_.panel) return;
    if (shared_.panel->isPanelVisible())
        shared_.panel->hidePanel();
    else
        shared_.panel->showPanel();
}

}  // namespace larkspur
