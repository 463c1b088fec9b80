#pragma once

#include <QByteArrayView>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>
#include <stdexcept>

// Helpers for the stored JSON forms. Decoding is all or nothing: any helper that meets a value it
// cannot accept throws JsonError, and the caller of the whole decode gets nothing.
namespace larkspur::json {

class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString& message);

// Reads one required or optional key of an object, naming the key in the error.
class ObjectReader {
public:
    ObjectReader(const QJsonValue& value, const char* what);

    bool has(const char* key) const;  // present and not null
    double number(const char* key) const;
    std::optional<double> optionalNumber(const char* key) const;
    qint64 integer(const char* key) const;
    std::optional<qint64> optionalInteger(const char* key) const;
    bool boolean(const char* key) const;
    std::optional<bool> optionalBoolean(const char* key) const;
    QString string(const char* key) const;
    std::optional<QString> optionalString(const char* key) const;
    QUuid uuid(const char* key) const;
    QJsonValue value(const char* key) const;  // required, any type
    QJsonArray array(const char* key) const;

private:
    [[noreturn]] void missing(const char* key) const;
    QJsonObject object_;
    const char* what_;
};

QString typeName(const QJsonValue& value);

double toNumber(const QJsonValue& value, const QString& where);
qint64 toInteger(const QJsonValue& value, const QString& where);
QString toString(const QJsonValue& value, const QString& where);
QJsonArray toArray(const QJsonValue& value, const QString& where);

QString uuidToString(const QUuid& id);  // canonical upper-case, no braces
QUuid parseUuid(const QString& text, const QString& where);
// For ids that arrive from the views: nothing when the text is not a canonical UUID.
std::optional<QUuid> tryParseUuid(const QString& text);

// The shortest decimal that reads back as the same 32-bit float, stored as a double.
double floatToJson(float value);
float jsonToFloat(double value);

// Decodes every element with `decodeOne`, naming the failing element in the error.
template <class F>
auto decodeArray(const QJsonValue& value, const QString& what, F decodeOne) {
    const QJsonArray array = toArray(value, what);
    QList<decltype(decodeOne(array.at(0)))> out;
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        try {
            out.append(decodeOne(array.at(i)));
        } catch (const JsonError& e) {
            fail(QStringLiteral("%1[%2]: %3").arg(what).arg(i).arg(QString::fromUtf8(e.what())));
        }
    }
    return out;
}

// Serialises any JSON value (scalars included) compactly, and parses it back.
QByteArray serialize(const QJsonValue& value);
// A leading byte-order mark is read as a blank.
QJsonValue parse(QByteArray bytes);  // throws JsonError
// Roughly what the tree of a parsed text takes in memory, found without building it: a text of
// many tiny values ("[0,0,0,...]") makes a tree eight times its own size.
qint64 estimatedTreeBytes(QByteArrayView text);
// parse() for a data file's text: one whose tree would take more than its size and 64 MiB (a
// history of 100,000 sessions makes about 50 MiB) is refused before it takes gigabytes.
QJsonValue parseFile(QByteArray bytes);  // throws JsonError

}  // namespace larkspur::json
