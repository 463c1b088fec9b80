#include "focus/SessionExport.h"

#include <cmath>

#include "focus/SessionListJson.h"
#include "platform/Clock.h"
#include "storage/DataFile.h"
#include "storage/StorageManager.h"

namespace larkspur::sessionexport {

namespace {

// Far beyond any real date, and well inside what QDateTime handles.
constexpr double kLimitSeconds = 1e13;
// Durations are shown to the millisecond; beyond this they have no fraction worth rounding.
constexpr double kRoundedUpTo = 1e12;

std::optional<QDate> parseDay(const QString& text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return std::nullopt;
    for (const int at : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[at] < u'0' || text[at] > u'9') return std::nullopt;
    const QDate day(text.left(4).toInt(), text.mid(5, 2).toInt(), text.mid(8, 2).toInt());
    return day.isValid() ? std::optional(day) : std::nullopt;
}

// Whole seconds, rounded down, so a time never falls into a later day than its record's.
QString isoTime(double reading) {
    if (!std::isfinite(reading) || std::abs(reading) > kLimitSeconds) return {};
    const QDateTime t = dateTimeAt(reading);
    const QDate d = t.date();
    if (!t.isValid() || d.year() < 1 || d.year() > 9999) return {};
    const QTime time = t.time();
    const int offset = t.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1-%2-%3T%4:%5:%6%7%8:%9")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(two(d.month()), two(d.day()), two(time.hour()), two(time.minute()), two(time.second()),
             offset < 0 ? QStringLiteral("-") : QStringLiteral("+"), two(minutes / 60),
             two(minutes % 60));
}

QByteArray number(double seconds) {
    if (std::isfinite(seconds) && std::abs(seconds) < kRoundedUpTo)
        seconds = std::round(seconds * 1000) / 1000;
    return json::serialize(seconds);
}

struct Row {
    QString id, type, task, startedAt, endedAt;
    QByteArray duration;
    bool hasTask, completed;
};

Row rowOf(const FocusSession& s) {
    return {json::uuidToString(s.id),
            toRawValue(s.type),
            s.taskLabel.value_or(QString()),
            isoTime(s.startedAt),
            s.endedAt ? isoTime(*s.endedAt) : QString(),
            number(s.focusDuration),
            s.taskLabel.has_value(),
            s.completed};
}

void appendCsvField(QByteArray& out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n')) {
        out.append(bytes);
        return;
    }
    out.append('"');
    out.append(QByteArray(bytes).replace('"', "\"\""));
    out.append('"');
}

QByteArray csv(const QList<FocusSession>& sessions) {
    QByteArray out("id,type,task,started_at,ended_at,duration_seconds,completed\r\n");
    for (const FocusSession& s : sessions) {
        const Row r = rowOf(s);
        for (const QString* text : {&r.id, &r.type, &r.task, &r.startedAt, &r.endedAt}) {
            appendCsvField(out, *text);
            out.append(',');
        }
        out.append(r.duration);
        out.append(r.completed ? ",true\r\n" : ",false\r\n");
    }
    return out;
}

// A time no calendar can place has no text.
QByteArray jsonTime(const QString& text) {
    return text.isEmpty() ? QByteArrayLiteral("null") : json::serialize(text);
}

QByteArray jsonArray(const QList<FocusSession>& sessions) {
    if (sessions.isEmpty()) return "[]\n";
    QByteArray out("[\n");
    for (const FocusSession& s : sessions) {
        const Row r = rowOf(s);
        if (out.size() > 2) out.append(",\n");
        out.append("{\"id\":" + json::serialize(r.id) + ",\"type\":" + json::serialize(r.type) +
                   ",\"task\":" + (r.hasTask ? json::serialize(r.task) : "null") +
                   ",\"started_at\":" + jsonTime(r.startedAt) +
                   ",\"ended_at\":" + jsonTime(r.endedAt) + ",\"duration_seconds\":" + r.duration +
                   ",\"completed\":" + (r.completed ? "true" : "false") + "}");
    }
    out.append("\n]\n");
    return out;
}

}  // namespace

std::optional<Request> parseArguments(const QStringList& arguments, QString* error) {
    Request request;
    bool formatGiven = false;
    auto fail = [error](const QString& text) {
        *error = text;
        return std::optional<Request>();
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const qsizetype equals = argument.startsWith(u"--") ? argument.indexOf(u'=') : -1;
        const QString name = equals > 0 ? argument.left(equals) : argument;
        if (name != u"--export-sessions" && name != u"--from" && name != u"--to")
            return fail(QStringLiteral("unexpected argument %1").arg(argument));
        if (equals < 0 && i + 1 == arguments.size())
            return fail(QStringLiteral("%1 needs a value").arg(name));
        const QString value = equals > 0 ? argument.mid(equals + 1) : arguments[++i];
        if (name == u"--export-sessions") {
            if (std::exchange(formatGiven, true)) return fail(QStringLiteral("%1 twice").arg(name));
            if (value != u"csv" && value != u"json")
                return fail(
                    QStringLiteral("unknown export format \"%1\" (csv or json)").arg(value));
            request.format = value == u"csv" ? Format::Csv : Format::Json;
        } else {
            std::optional<QDate>& day = name == u"--from" ? request.from : request.to;
            if (day) return fail(QStringLiteral("%1 twice").arg(name));
            day = parseDay(value);
            if (!day)
                return fail(
                    QStringLiteral("%1 takes a date as YYYY-MM-DD, not \"%2\"").arg(name, value));
        }
    }
    if (!formatGiven) return fail(QStringLiteral("--export-sessions needs csv or json"));
    if (request.from && request.to && *request.from > *request.to)
        return fail(QStringLiteral("--from is later than --to"));
    return request;
}

QList<FocusSession> select(const QList<FocusSession>& sessions, const Request& request) {
    // A day without a midnight (a change of clocks at 00:00) starts at its first hour.
    const double from = request.from ? clockReadingOf(request.from->startOfDay()) : -qInf();
    const double until = request.to ? clockReadingOf(request.to->addDays(1).startOfDay()) : qInf();
    QList<FocusSession> chosen;
    for (const FocusSession& s : sessions)
        if (s.startedAt >= from && s.startedAt < until) chosen.append(s);
    return chosen;
}

QByteArray render(const QList<FocusSession>& sessions, Format format) {
    return format == Format::Csv ? csv(sessions) : jsonArray(sessions);
}

std::optional<QList<FocusSession>> readHistory(const QString& path, QString* error) {
    // The program's own reader of data files, which never blocks on a pipe or reads a device.
    const DataFileRead file = readDataFile(path);
    if (file.outcome == DataFileRead::Outcome::Missing) return QList<FocusSession>();
    if (file.outcome != DataFileRead::Outcome::Read) {
        *error = QStringLiteral("could not read \"%1\": %2").arg(path, file.reason);
        return std::nullopt;
    }
    const QByteArray& bytes = file.bytes;
    if (auto sessions = sessionlist::decode(bytes)) return sessions;
    try {
        return JsonCodecFor<QList<FocusSession>>::decode(json::parseFile(bytes));
    } catch (const json::JsonError& e) {
        *error =
            QStringLiteral("\"%1\" is not readable: %2").arg(path, QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

}  // namespace larkspur::sessionexport
