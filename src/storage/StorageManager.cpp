#include "storage/StorageManager.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/Log.h"

namespace larkspur {

StorageManager::StorageManager(QString directory) : directory_(std::move(directory)) {}

QString StorageManager::directory() const {
    if (!prepared_) {
        if (directory_.isEmpty()) {
            directory_ = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Larkspurhollow");
        }
        // A failure here shows up as a save error later; nothing to report now.
        QDir().mkpath(directory_);
        prepared_ = true;
    }
    return directory_;
}

QString StorageManager::pathFor(const QString& fileName) const {
    return directory() + QLatin1Char('/') + fileName;
}

bool StorageManager::saveJson(const QJsonValue& value, const QString& fileName) const {
    const QString path = pathFor(fileName);
    QSaveFile file(path);
    const QByteArray bytes = json::serialize(value);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        logLine(QStringLiteral("StorageManager save error: could not write \"%1\": %2")
                    .arg(path, file.errorString()));
        return false;
    }
    return true;
}

std::optional<QJsonValue> StorageManager::loadJson(
    const QString& fileName, const std::function<void(const QJsonValue&)>& validate) const {
    const QString path = pathFor(fileName);
    if (!QFileInfo::exists(path)) return std::nullopt;
    QString error;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("could not read \"%1\": %2").arg(path, file.errorString());
    } else {
        try {
            const QJsonValue value = json::parse(file.readAll());
            validate(value);
            return value;
        } catch (const json::JsonError& e) {
            error = QStringLiteral("\"%1\" is not readable: %2")
                        .arg(path, QString::fromStdString(e.what()));
        }
    }
    file.close();
    const QString copy = keepUnreadableCopy(path);
    error += copy.isEmpty() ? QStringLiteral("; no copy of it could be kept")
                            : QStringLiteral("; a copy of it was kept as \"%1\"").arg(copy);
    logLine(QStringLiteral("StorageManager load error: ") + error);
    return std::nullopt;
}

QString StorageManager::keepUnreadableCopy(const QString& path) const {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString copy = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = path + QStringLiteral(".unreadable-") + stamp + QStringLiteral("-%1").arg(n);
    if (QFile::copy(path, copy)) return copy;
    return {};
}

}  // namespace larkspur
