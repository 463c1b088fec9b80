#include "storage/StorageManager.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/Log.h"
#include "storage/DataFile.h"

namespace larkspur {

StorageManager::StorageManager(QString directory, Writes writes)
    : directory_(std::move(directory)),
      writer_(writes == Writes::Background ? std::make_unique<FileWriter>() : nullptr) {}

StorageManager::~StorageManager() = default;
StorageManager::StorageManager(StorageManager&&) noexcept = default;
StorageManager& StorageManager::operator=(StorageManager&&) noexcept = default;

void StorageManager::flush() const {
    if (writer_) writer_->flush();
}

namespace {
// A save that was killed between writing its temporary file and renaming it leaves
// "<name>.json.XXXXXX" beside the file; nothing else would ever remove it.
void removeUnfinishedSaves(const QString& folder) {
    static const QRegularExpression unfinished(QStringLiteral("^.+\\.json\\.[A-Za-z0-9]{6}$"));
    const QStringList leftovers =
        QDir(folder).entryList({QStringLiteral("*.json.??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers)
        if (unfinished.match(name).hasMatch()) QFile::remove(folder + QLatin1Char('/') + name);
}
}  // namespace

QString StorageManager::defaultDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Larkspurhollow");
}

QString StorageManager::directory() const {
    if (!prepared_) {
        if (directory_.isEmpty()) directory_ = defaultDirectory();
        // A failure here shows up as a save error later; nothing to report now.
        QDir().mkpath(directory_);
        removeUnfinishedSaves(directory_);
        prepared_ = true;
    }
    return directory_;
}

QString StorageManager::pathFor(const QString& fileName) const {
    return directory() + QLatin1Char('/') + fileName;
}

bool StorageManager::saveJson(const QJsonValue& value, const QString& fileName) const {
    return saveBytes(json::serialize(value), fileName);
}

bool StorageManager::saveBytes(QByteArray bytes, const QString& fileName) const {
    return saveContent([bytes = std::move(bytes)] { return bytes; }, fileName);
}

bool StorageManager::saveContent(FileWriter::Content content, const QString& fileName) const {
    const QString path = pathFor(fileName);
    if (writer_) {
        writer_->write(path, std::move(content));
        return true;
    }
    const QByteArray bytes = content();
    QString error;
    if (writeFileAtomically(path, bytes, &error)) return true;
    logLine(QStringLiteral("StorageManager save error: ") + error);
    return false;
}

std::optional<QJsonValue> StorageManager::loadJson(
    const QString& fileName, const std::function<void(const QJsonValue&)>& validate) const {
    const QString path = pathFor(fileName);
    if (writer_) {
        // What this process saved last is what a load must see, written yet or not.
        if (const auto bytes = writer_->pending(path)) {
            try {
                const QJsonValue value = json::parse(*bytes);
                validate(value);
                return value;
            } catch (const json::JsonError&) {
                // Cannot happen for bytes we serialised ourselves; read the file instead.
            }
        }
    }
    DataFileRead file = readDataFile(path);
    QString error;
    switch (file.outcome) {
        case DataFileRead::Outcome::Missing:
            return std::nullopt;
        case DataFileRead::Outcome::Refused:
            // Not ours to copy or replace: a pipe or device has no content to keep.
            logLine(
                QStringLiteral("StorageManager load error: \"%1\" was not read: %2; it was left "
                               "as it is")
                    .arg(path, file.reason));
            return std::nullopt;
        case DataFileRead::Outcome::Failed:
            error = QStringLiteral("could not read \"%1\": %2").arg(path, file.reason);
            break;
        case DataFileRead::Outcome::Read:
            try {
                const QJsonValue value = json::parseFile(std::move(file.bytes));
                validate(value);
                return value;
            } catch (const json::JsonError& e) {
                error = QStringLiteral("\"%1\" is not readable: %2")
                            .arg(path, QString::fromStdString(e.what()));
            }
            break;
    }
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
    // Read again the careful way: the path may have been swapped for a pipe meanwhile.
    const DataFileRead file = readDataFile(path);
    if (file.outcome == DataFileRead::Outcome::Read &&
        writeFileAtomically(copy, file.bytes, nullptr))
        return copy;
    return {};
}

}  // namespace larkspur
