#include "services/ResourceFileCache.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>

namespace larkspur {

namespace {
bool holdsBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size()) return false;
    return file.readAll() == bytes;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
}  // namespace

QString defaultSoundCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/sounds");
}

QUrl playableUrl(const QUrl& source, const QString& cacheFolder) {
    if (source.scheme() != QStringLiteral("qrc")) return source;
    // Resources never change while the program runs, so one copy per process is enough.
    static QHash<QString, QString> copied;
    const QString resource = QLatin1Char(':') + source.path();
    const QString key = cacheFolder + QLatin1Char('\n') + resource;
    if (const auto it = copied.constFind(key); it != copied.constEnd() && QFile::exists(*it))
        return QUrl::fromLocalFile(*it);

    QFile in(resource);
    if (cacheFolder.isEmpty() || !in.open(QIODevice::ReadOnly)) return source;
    const QByteArray bytes = in.readAll();
    // Flattened so that resources in different folders cannot overwrite each other's copy.
    QString name = source.path().mid(1);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString target = cacheFolder + QLatin1Char('/') + name;
    if (!holdsBytes(target, bytes) && !(QDir().mkpath(cacheFolder) && writeBytes(target, bytes)))
        return source;
    copied.insert(key, target);
    return QUrl::fromLocalFile(target);
}

}  // namespace larkspur
