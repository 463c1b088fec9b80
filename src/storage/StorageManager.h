#pragma once

#include <QJsonValue>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "storage/FileWriter.h"
#include "storage/JsonCodec.h"

namespace larkspur {

// Encoding of one stored type; specialised beside each record.
template <class T>
struct JsonCodecFor;

// Saves and loads whole JSON files in the per-user data folder. Failures are printed, never
// thrown: callers carry on with what they hold in memory.
class StorageManager {
public:
    // Immediate writes return once the file is on disk; background writes return at once and
    // reach the disk in order on a writer thread, while loads still see them.
    enum class Writes { Immediate, Background };

    // An empty directory means the user's data folder, "$XDG_DATA_HOME/Larkspurhollow".
    explicit StorageManager(QString directory = {}, Writes writes = Writes::Immediate);
    ~StorageManager();
    StorageManager(StorageManager&&) noexcept;
    StorageManager& operator=(StorageManager&&) noexcept;

    // The folder, computed and created (with its parents) on first use.
    QString directory() const;
    // "$XDG_DATA_HOME/Larkspurhollow", neither created nor prepared: for readers that write
    // nothing.
    static QString defaultDirectory();
    QString pathFor(const QString& fileName) const;

    // False when an immediate write failed; background failures are only reported.
    bool saveJson(const QJsonValue& value, const QString& fileName) const;
    // For an owner that encodes its file itself (a very long list kept as text).
    bool saveBytes(QByteArray bytes, const QString& fileName) const;
    // The content is made on the writer's thread with background writes, at once otherwise.
    bool saveContent(FileWriter::Content content, const QString& fileName) const;
    // Waits until every background write has reached the disk.
    void flush() const;
    // Nothing when the file is missing (silently) or unreadable (reported, and a copy of it kept).
    std::optional<QJsonValue> loadJson(
        const QString& fileName, const std::function<void(const QJsonValue&)>& validate) const;

    template <class T>
    bool save(const T& value, const QString& fileName) const {
        return saveJson(JsonCodecFor<T>::encode(value), fileName);
    }

    template <class T>
    std::optional<T> load(const QString& fileName) const {
        std::optional<T> result;
        const auto json =
            loadJson(fileName, [&](const QJsonValue& v) { result = JsonCodecFor<T>::decode(v); });
        if (!json) return std::nullopt;
        return result;
    }

private:
    QString keepUnreadableCopy(const QString& path) const;

    mutable QString directory_;
    mutable bool prepared_ = false;
    std::unique_ptr<FileWriter> writer_;
};

// Codecs of the plain JSON types the files use.
template <>
struct JsonCodecFor<QString> {
    static QJsonValue encode(const QString& v) { return v; }
    static QString decode(const QJsonValue& v) {
        return json::toString(v, QStringLiteral("value"));
    }
};

template <>
struct JsonCodecFor<qint64> {
    static QJsonValue encode(qint64 v) { return double(v); }
    static qint64 decode(const QJsonValue& v) {
        return json::toInteger(v, QStringLiteral("value"));
    }
};

template <class T>
struct JsonCodecFor<std::optional<T>> {
    static QJsonValue encode(const std::optional<T>& v) {
        return v ? JsonCodecFor<T>::encode(*v) : QJsonValue(QJsonValue::Null);
    }
    static std::optional<T> decode(const QJsonValue& v) {
        if (v.isNull()) return std::nullopt;
        return JsonCodecFor<T>::decode(v);
    }
};

template <class T>
struct JsonCodecFor<QList<T>> {
    static QJsonValue encode(const QList<T>& list) {
        QJsonArray array;
        for (const T& item : list) array.append(JsonCodecFor<T>::encode(item));
        return array;
    }
    static QList<T> decode(const QJsonValue& v) {
        return json::decodeArray(v, QStringLiteral("list"),
                                 [](const QJsonValue& e) { return JsonCodecFor<T>::decode(e); });
    }
};

}  // namespace larkspur
