#include "services/LoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

#include "platform/Log.h"

namespace larkspur {

namespace {

constexpr qint64 kMaxEntrySize = 1 << 20;

QString configHome() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is to be ignored, as the base directory rules say.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Hidden=true in the [Desktop Entry] group means the entry was deleted by the user.
bool isHidden(const QByteArray& text) {
    bool inMainGroup = false;
    bool hidden = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inMainGroup || eq < 0 || line.left(eq).trimmed() != "Hidden") continue;
        hidden = line.mid(eq + 1).trimmed() == "true";
    }
    return hidden;
}

QString entryText(const QString& exec) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Larkspurhollow\n"
               "Comment=Timers, focus sessions and sequences in the system tray\n"
               "Exec=%1\n"
               "Icon=larkspurhollow\n"
               "Terminal=false\n")
        .arg(exec);
}

std::error_code makeFolder(const QString& path) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    return error;
}

}  // namespace

LoginItem::LoginItem(QObject* parent) : LoginItem(QString(), parent) {}

LoginItem::LoginItem(QString programPath, QObject* parent)
    : QObject(parent), programPath_(std::move(programPath)) {}

QString LoginItem::entryPath() {
    return configHome() + QStringLiteral("/autostart/larkspurhollow.desktop");
}

std::optional<QString> LoginItem::execValue(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (const QChar c : program) {
        // An entry has one line per key; a control character cannot be carried safely.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return std::nullopt;
        quote = quote || reserved.contains(c);
    }
    QString argument;
    for (const QChar c : program) {
        if (c == u'%') {
            argument += QStringLiteral("%%");
            continue;
        }
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) argument += u'\\';
        argument += c;
    }
    if (quote) argument = u'"' + argument + u'"';
    // Exec is also a string value, whose own escape rule doubles every backslash.
    return argument.replace(u'\\', QStringLiteral("\\\\"));
}

QString LoginItem::program() const {
    if (!programPath_.isEmpty()) return programPath_;
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

bool LoginItem::status() const {
    QFile file(entryPath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    return !isHidden(file.read(kMaxEntrySize));
}

bool LoginItem::registerItem() {
    const bool before = status();
    const QString path = program();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable())
        return finish(before,
                      QStringLiteral("the program \"%1\" is not an executable file").arg(path));
    const auto exec = execValue(path);
    if (!exec)
        return finish(before, QStringLiteral("the program path holds a control character, which "
                                             "a desktop entry cannot carry"));

    const QString entry = entryPath();
    const QString folder = QFileInfo(entry).path();
    if (const std::error_code error = makeFolder(folder))
        return finish(before, QStringLiteral("cannot create the folder \"%1\": %2")
                                  .arg(folder, QString::fromStdString(error.message())));
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return finish(before,
                      QStringLiteral("cannot write \"%1\": %2").arg(entry, file.errorString()));
    file.write(entryText(*exec).toUtf8());
    if (!file.commit())
        return finish(before,
                      QStringLiteral("cannot write \"%1\": %2").arg(entry, file.errorString()));
    return finish(before, QString());
}

bool LoginItem::unregisterItem() {
    const bool before = status();
    const QString entry = entryPath();
    const QFileInfo info(entry);
    // Nothing registered is what was asked for.
    if (!info.exists() && !info.isSymLink()) return finish(before, QString());
    QFile file(entry);
    if (!file.remove())
        return finish(before,
                      QStringLiteral("cannot remove \"%1\": %2").arg(entry, file.errorString()));
    return finish(before, QString());
}

bool LoginItem::finish(bool statusBefore, const QString& error) {
    if (!error.isEmpty()) logLine(kLoginItemFailurePrefix + error);
    if (lastError_ != error) {
        lastError_ = error;
        Q_EMIT lastErrorChanged();
    }
    if (status() != statusBefore) Q_EMIT statusChanged();
    return error.isEmpty();
}

}  // namespace larkspur
