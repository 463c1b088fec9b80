#include "engine/SoundFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace larkspur::sounds {

const QStringList& customExtensions() {
    static const QStringList extensions{QStringLiteral("mp3"), QStringLiteral("wav"),
                                        QStringLiteral("m4a"), QStringLiteral("aiff")};
    return extensions;
}

bool isSafeName(const QString& name) {
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..")) return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20) return false;
    }
    return true;
}

QString findCustomSound(const QString& folder, const QString& name) {
    if (!isSafeName(name)) return {};
    for (const QString& extension : customExtensions()) {
        const QString path = folder + QLatin1Char('/') + name + QLatin1Char('.') + extension;
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

QUrl builtInSound(const QString& name) {
    if (!isSafeName(name)) return {};
    const QString path = QStringLiteral("/sounds/") + name + QStringLiteral(".aiff");
    if (!QFileInfo(QLatin1Char(':') + path).isFile()) return {};
    QUrl url;
    url.setScheme(QStringLiteral("qrc"));
    url.setPath(path);
    return url;
}

QString findSystemSound(const QStringList& themeFolders, const QString& name) {
    const QString themeName = name == QStringLiteral("Purr") ? QStringLiteral("complete") : name;
    if (!isSafeName(themeName)) return {};
    // The sound theme's extensions, in its order of preference.
    static const QStringList extensions{QStringLiteral("oga"), QStringLiteral("ogg"),
                                        QStringLiteral("wav")};
    for (const QString& folder : themeFolders) {
        for (const QString& extension : extensions) {
            const QString path =
                folder + QLatin1Char('/') + themeName + QLatin1Char('.') + extension;
            if (QFileInfo(path).isFile()) return path;
        }
    }
    return {};
}

QStringList defaultSystemSoundFolders() {
    QStringList folders;
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << data + QStringLiteral("/sounds/freedesktop/stereo");
    return folders;
}

bool copyReplacing(const QString& source, const QString& target, QString* error) {
    const QFileInfo info(source);
    if (!info.isFile()) {
        *error = QStringLiteral("\"%1\" is not a file").arg(source);
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("could not read \"%1\": %2").arg(source, in.errorString());
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("could not write \"%1\": %2").arg(target, out.errorString());
        return false;
    }
    constexpr qint64 kChunk = 1 << 16;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), kChunk);
        if (got < 0) {
            *error = QStringLiteral("could not read \"%1\": %2").arg(source, in.errorString());
            return false;  // the unfinished copy is discarded with `out`
        }
        if (got == 0) break;
        if (out.write(buffer.constData(), got) != got) {
            *error = QStringLiteral("could not write \"%1\": %2").arg(target, out.errorString());
            return false;
        }
    }
    if (!out.commit()) {
        *error = QStringLiteral("could not write \"%1\": %2").arg(target, out.errorString());
        return false;
    }
    return true;
}

}  // namespace larkspur::sounds
