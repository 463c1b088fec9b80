#include "storage/JsonCodec.h"

#include <QJsonDocument>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace larkspur::json {

void fail(const QString& message) {
    throw JsonError(message.toStdString());
}

QString typeName(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return QStringLiteral("null");
        case QJsonValue::Bool:
            return QStringLiteral("a boolean");
        case QJsonValue::Double:
            return QStringLiteral("a number");
        case QJsonValue::String:
            return QStringLiteral("a string");
        case QJsonValue::Array:
            return QStringLiteral("an array");
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Undefined:
            break;
    }
    return QStringLiteral("nothing");
}

namespace {
[[noreturn]] void wrongType(const QString& where, const char* expected, const QJsonValue& got) {
    fail(QStringLiteral("%1: expected %2, found %3")
             .arg(where, QLatin1String(expected), typeName(got)));
}
}  // namespace

double toNumber(const QJsonValue& value, const QString& where) {
    if (!value.isDouble()) wrongType(where, "a number", value);
    const double d = value.toDouble();
    if (!std::isfinite(d)) fail(QStringLiteral("%1: number out of range").arg(where));
    return d;
}

qint64 toInteger(const QJsonValue& value, const QString& where) {
    const double d = toNumber(value, where);
    // 2^63 is the first double past the qint64 range.
    if (std::trunc(d) != d || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
        fail(QStringLiteral("%1: expected a whole number, found %2").arg(where).arg(d));
    return qint64(d);
}

QString toString(const QJsonValue& value, const QString& where) {
    if (!value.isString()) wrongType(where, "a string", value);
    return value.toString();
}

QJsonArray toArray(const QJsonValue& value, const QString& where) {
    if (!value.isArray()) wrongType(where, "an array", value);
    return value.toArray();
}

QString uuidToString(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QUuid parseUuid(const QString& text, const QString& where) {
    // Only the canonical 8-4-4-4-12 form, in any letter case.
    const QUuid id = text.size() == 36 ? QUuid::fromString(text) : QUuid();
    if (id.isNull() && text != QStringLiteral("00000000-0000-0000-0000-000000000000"))
        fail(QStringLiteral("%1: \"%2\" is not a UUID").arg(where, text));
    return id;
}

std::optional<QUuid> tryParseUuid(const QString& text) {
    try {
        return parseUuid(text, QStringLiteral("id"));
    } catch (const JsonError&) {
        return std::nullopt;
    }
}

double floatToJson(float value) {
    if (!std::isfinite(value)) return 0.0;
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double out = 0;
    std::from_chars(buffer, result.ptr, out);
    return out;
}

float jsonToFloat(double value) {
    // Beyond the float range the cast gives infinity (or is undefined): keep the nearest float.
    constexpr double kMax = std::numeric_limits<float>::max();
    return std::isfinite(value) ? float(std::clamp(value, -kMax, kMax)) : float(value);
}

QByteArray serialize(const QJsonValue& value) {
    if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    // QJsonDocument holds only containers: wrap the scalar and cut the brackets off again.
    QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

QJsonValue parse(QByteArray bytes) {
    // Editors may begin a file with a byte-order mark, which JSON does not allow; blanks in its
    // place keep every offset of an error message true.
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.replace(0, 3, "   ");
    QJsonParseError error{};
    // The first character decides, found without copying what may be megabytes.
    qsizetype first = 0;
    while (first < bytes.size() && QByteArrayView(" \t\n\r").contains(bytes.at(first))) ++first;
    const bool container =
        first < bytes.size() && (bytes.at(first) == '[' || bytes.at(first) == '{');
    const QJsonDocument doc =
        QJsonDocument::fromJson(container ? bytes : "[" + bytes + "]", &error);
    if (error.error != QJsonParseError::NoError) {
        qint64 offset = container ? error.offset : std::max(0, error.offset - 1);
        fail(QStringLiteral("invalid JSON at offset %1: %2").arg(offset).arg(error.errorString()));
    }
    if (container) return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    const QJsonArray array = doc.array();
    if (array.size() != 1) fail(QStringLiteral("invalid JSON: more than one value"));
    return array.first();
}

qint64 estimatedTreeBytes(QByteArrayView text) {
    // Every value and key takes an element of 16 bytes, every string a length field besides its
    // characters, and every array or object blocks of its own; separators and quotes outside
    // strings count them closely enough.
    constexpr qint64 kElement = 16;
    constexpr qint64 kString = 8;
    constexpr qint64 kContainer = 128;
    qint64 elements = 1;
    qint64 strings = 0;
    qint64 containers = 0;
    qint64 characters = 0;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            ++characters;
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                ++strings;
                break;
            case ',':
            case ':':
                ++elements;
                break;
            case '[':
            case '{':
                ++containers;
                break;
            default:
                break;
        }
    }
    return elements * kElement + strings * kString + characters + containers * kContainer;
}

ObjectReader::ObjectReader(const QJsonValue& value, const char* what) : what_(what) {
    if (!value.isObject()) wrongType(QLatin1String(what), "an object", value);
    object_ = value.toObject();
}

bool ObjectReader::has(const char* key) const {
    const QJsonValue v = object_.value(QLatin1String(key));
    return !v.isUndefined() && !v.isNull();
}

void ObjectReader::missing(const char* key) const {
    fail(QStringLiteral("%1: required key \"%2\" is missing")
             .arg(QLatin1String(what_), QLatin1String(key)));
}

namespace {
QString where(const char* what, const char* key) {
    return QStringLiteral("%1.%2").arg(QLatin1String(what), QLatin1String(key));
}
}  // namespace

QJsonValue ObjectReader::value(const char* key) const {
    if (!has(key)) missing(key);
    return object_.value(QLatin1String(key));
}

double ObjectReader::number(const char* key) const {
    return toNumber(value(key), where(what_, key));
}

std::optional<double> ObjectReader::optionalNumber(const char* key) const {
    if (!has(key)) return std::nullopt;
    return number(key);
}

qint64 ObjectReader::integer(const char* key) const {
    return toInteger(value(key), where(what_, key));
}

std::optional<qint64> ObjectReader::optionalInteger(const char* key) const {
    if (!has(key)) return std::nullopt;
    return integer(key);
}

bool ObjectReader::boolean(const char* key) const {
    const QJsonValue v = value(key);
    if (!v.isBool()) wrongType(where(what_, key), "a boolean", v);
    return v.toBool();
}

std::optional<bool> ObjectReader::optionalBoolean(const char* key) const {
    if (!has(key)) return std::nullopt;
    return boolean(key);
}

QString ObjectReader::string(const char* key) const {
    return toString(value(key), where(what_, key));
}

std::optional<QString> ObjectReader::optionalString(const char* key) const {
    if (!has(key)) return std::nullopt;
    return string(key);
}

QUuid ObjectReader::uuid(const char* key) const {
    return parseUuid(string(key), where(what_, key));
}

QJsonArray ObjectReader::array(const char* key) const {
    return toArray(value(key), where(what_, key));
}

QJsonValue parseFile(QByteArray bytes) {
    constexpr qint64 kTreeAllowance = qint64(64) * 1024 * 1024;
    const qint64 tree = estimatedTreeBytes(bytes);
    if (tree > qint64(bytes.size()) + kTreeAllowance)
        fail(QStringLiteral("it holds too many values to read (%1 MiB in memory)").arg(tree >> 20));
    return parse(std::move(bytes));
}

}  // namespace larkspur::json
