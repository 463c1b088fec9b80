#include "focus/SessionListJson.h"

#include <QHash>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "focus/StrictJsonScanner.h"

namespace larkspur::sessionlist {

namespace {

void appendNumber(QByteArray& out, double value) {
    // Non-finite values have no JSON form; the general writer also writes null.
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendString(QByteArray& out, const QString& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.append('"');
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\b':
                out.append("\\b");
                break;
            case '\f':
                out.append("\\f");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\r':
                out.append("\\r");
                break;
            case '\t':
                out.append("\\t");
                break;
            default:
                if (byte < 0x20) {
                    const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
                    out.append(escape, sizeof escape);
                } else {
                    out.append(c);
                }
        }
    }
    out.append('"');
}

void appendUuid(QByteArray& out, const QUuid& id) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char text[36];
    int at = 0;
    auto put = [&](quint64 value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            text[at++] = kHex[(value >> shift) & 15];
    };
    put(id.data1, 8);
    text[at++] = '-';
    put(id.data2, 4);
    text[at++] = '-';
    put(id.data3, 4);
    text[at++] = '-';
    put(quint64(id.data4[0]) << 8 | id.data4[1], 4);
    text[at++] = '-';
    for (int i = 2; i < 8; ++i) put(id.data4[i], 2);
    out.append(text, sizeof text);
}

enum Field : unsigned {
    kId = 1,
    kTaskLabel = 2,
    kStartedAt = 4,
    kEndedAt = 8,
    kFocusDuration = 16,
    kType = 32,
    kCompleted = 64,
    kUnknown = 0,
};
constexpr unsigned kRequired = kId | kStartedAt | kFocusDuration | kType | kCompleted;
// {"id":"<36>","startedAt":0,"focusDuration":0,"type":"focus","completed":true}
constexpr qsizetype kShortestRecord = 100;
constexpr qsizetype kMostReserved = qsizetype(1) << 22;

Field fieldOf(QByteArrayView key) {
    // By length first: this runs for every key of every record.
    switch (key.size()) {
        case 2:
            return key == "id" ? kId : kUnknown;
        case 4:
            return key == "type" ? kType : kUnknown;
        case 7:
            return key == "endedAt" ? kEndedAt : kUnknown;
        case 9:
            if (key == "startedAt") return kStartedAt;
            if (key == "completed") return kCompleted;
            return key == "taskLabel" ? kTaskLabel : kUnknown;
        case 13:
            return key == "focusDuration" ? kFocusDuration : kUnknown;
        default:
            return kUnknown;
    }
}

bool readUuid(StrictJsonScanner& in, QUuid* out) {
    QByteArrayView text;
    if (!in.readPlainString(&text) || text.size() != 36) return false;
    // The same test as the general reader: only a canonical form, in any letter case.
    *out = QUuid::fromString(QLatin1StringView(text.data(), text.size()));
    return !out->isNull() || text == "00000000-0000-0000-0000-000000000000";
}

bool readType(StrictJsonScanner& in, SessionType* out) {
    QByteArrayView text;
    if (!in.readPlainString(&text)) return false;
    const auto type = sessionTypeFromRaw(QLatin1StringView(text.data(), text.size()));
    if (!type) return false;
    *out = *type;
    return true;
}

// Labels repeat from record to record; equal ones share one string.
class LabelPool {
public:
    bool read(StrictJsonScanner& in, QString* out) {
        QByteArrayView raw;
        if (!in.readUnescapedString(&raw)) return in.readString(out);
        if (const auto it = pool_.constFind(raw); it != pool_.constEnd()) {
            *out = *it;
        } else {
            *out = QString::fromUtf8(raw);
            if (pool_.size() < kMaxLabels) pool_.insert(raw, *out);
        }
        return true;
    }

private:
    static constexpr qsizetype kMaxLabels = 4096;
    QHash<QByteArrayView, QString> pool_;  // views into the text being read
};

bool readField(StrictJsonScanner& in, Field field, LabelPool& labels, FocusSession* s) {
    switch (field) {
        case kId:
            return readUuid(in, &s->id);
        case kTaskLabel:
            if (in.consumeNull()) return true;
            s->taskLabel.emplace();
            return labels.read(in, &*s->taskLabel);
        case kStartedAt:
            return in.readNumber(&s->startedAt);
        case kEndedAt:
            if (in.consumeNull()) return true;
            s->endedAt.emplace();
            return in.readNumber(&*s->endedAt);
        case kFocusDuration:
            return in.readNumber(&s->focusDuration);
        case kType:
            return readType(in, &s->type);
        case kCompleted:
            return in.readBool(&s->completed);
        case kUnknown:
            break;
    }
    return in.skipValue();
}

bool readRecord(StrictJsonScanner& in, LabelPool& labels, FocusSession* s) {
    if (!in.consume('{')) return false;
    unsigned seen = 0;
    if (!in.consume('}')) {
        do {
            QByteArrayView key;
            if (!in.readPlainString(&key) || !in.consume(':')) return false;
            const Field field = fieldOf(key);
            // The general reader lets the last of two equal keys win; leave that case to it.
            if (seen & field) return false;
            seen |= field;
            if (!readField(in, field, labels, s)) return false;
        } while (in.consume(','));
        if (!in.consume('}')) return false;
    }
    // Null counts as missing for a required key, as with the general reader.
    return (seen & kRequired) == kRequired;
}

}  // namespace

void appendRecord(QByteArray& out, const FocusSession& s) {
    out.append("{\"id\":\"");
    appendUuid(out, s.id);
    out.append('"');
    if (s.taskLabel) {
        out.append(",\"taskLabel\":");
        appendString(out, *s.taskLabel);
    }
    out.append(",\"startedAt\":");
    appendNumber(out, s.startedAt);
    if (s.endedAt) {
        out.append(",\"endedAt\":");
        appendNumber(out, *s.endedAt);
    }
    out.append(",\"focusDuration\":");
    appendNumber(out, s.focusDuration);
    out.append(",\"type\":\"");
    out.append(toRawValue(s.type).toLatin1());
    out.append("\",\"completed\":");
    out.append(s.completed ? "true" : "false");
    out.append('}');
}

QByteArray encode(const QList<FocusSession>& sessions) {
    QByteArray out;
    out.reserve(sessions.size() * 192 + 2);
    out.append('[');
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        if (i > 0) out.append(',');
        appendRecord(out, sessions.at(i));
    }
    out.append(']');
    return out;
}

void appendToArray(QByteArray& array, const FocusSession& session) {
    array.chop(1);
    if (array.size() > 1) array.append(',');
    appendRecord(array, session);
    array.append(']');
}

std::optional<QList<FocusSession>> decode(QByteArrayView bytes) {
    StrictJsonScanner in(bytes);
    if (!in.consume('[')) return std::nullopt;
    QList<FocusSession> sessions;
    // Room for as many records as the text can hold, so the list never moves while it grows;
    // the part that stays unused is never touched.
    sessions.reserve(std::min(bytes.size() / kShortestRecord + 1, kMostReserved));
    LabelPool labels;
    if (!in.consume(']')) {
        do {
            if (!readRecord(in, labels, &sessions.emplace_back())) return std::nullopt;
        } while (in.consume(','));
        if (!in.consume(']')) return std::nullopt;
    }
    if (!in.atEnd()) return std::nullopt;
    return sessions;
}

}  // namespace larkspur::sessionlist
