#include <unistd.h>

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/LoginItem.h"
#include "support/StdoutCapture.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {

const QByteArray kEntry = "[Desktop Entry]\nType=Application\nName=Larkspurhollow\nExec=x\n";

// Every file and folder below `root` with the files' contents, to see what a call touched.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        const bool isFile = it.fileInfo().isFile() && file.open(QIODevice::ReadOnly);
        tree.insert(path.mid(root.size()), isFile ? file.readAll() : QByteArray("<folder>"));
    }
    return tree;
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
    file.close();
    if (executable) file.setPermissions(file.permissions() | QFile::ExeOwner);
    return true;
}

}  // namespace

class TestLoginItem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void entryPath_data();
    void entryPath();
    void registerAndUnregister();
    void status_data();
    void status();
    void registerReplacesHiddenEntry();
    void execValue_data();
    void execValue();
    void registerFailures_data();
    void registerFailures();
    void unregisterFailure();

private:
    QString config() const { return dir_->path() + QStringLiteral("/config"); }
    QString entry() const { return config() + QStringLiteral("/autostart/larkspurhollow.desktop"); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestLoginItem::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("HOME", QFile::encodeName(dir_->path() + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config()));
}

void TestLoginItem::entryPath_data() {
    QTest::addColumn<QString>("configHome");  // "-": unset
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << "/srv/cfg"
                         << "/srv/cfg/autostart/larkspurhollow.desktop";
    QTest::newRow("unset") << "-"
                           << "HOME/.config/autostart/larkspurhollow.desktop";
    QTest::newRow("empty") << ""
                           << "HOME/.config/autostart/larkspurhollow.desktop";
    QTest::newRow("relative is ignored") << "cfg"
                                         << "HOME/.config/autostart/larkspurhollow.desktop";
}

void TestLoginItem::entryPath() {
    QFETCH(QString, configHome);
    QFETCH(QString, expected);
    if (configHome == u"-")
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
    expected.replace(QStringLiteral("HOME"), dir_->path() + QStringLiteral("/home"));
    QCOMPARE(LoginItem::entryPath(), expected);
}

void TestLoginItem::registerAndUnregister() {
    LoginItem item;
    QSignalSpy changed(&item, &LoginItem::statusChanged);
    StdoutCapture out;
    QVERIFY(!item.status());

    QVERIFY(item.registerItem());
    QVERIFY(item.status());
    QCOMPARE(changed.count(), 1);
    // The config folder did not exist: it is made, and only the entry is written.
    QCOMPARE(
        snapshot(dir_->path()).keys(),
        (QStringList{"/config", "/config/autostart", "/config/autostart/larkspurhollow.desktop"}));
    QFile file(entry());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    const QString program = QCoreApplication::applicationFilePath();
    QVERIFY(QFileInfo(program).isAbsolute());
    QVERIFY(lines.contains(QStringLiteral("Exec=") + *LoginItem::execValue(program)));
    QVERIFY(!lines.filter(QStringLiteral("Hidden")).size());

    QVERIFY(item.registerItem());  // again: still one entry, no change to announce
    QCOMPARE(changed.count(), 1);

    QVERIFY(item.unregisterItem());
    QVERIFY(!item.status());
    QVERIFY(!QFileInfo::exists(entry()));
    QCOMPARE(changed.count(), 2);
    QVERIFY(item.unregisterItem());  // nothing registered is no failure
    QVERIFY(item.update(true));
    QVERIFY(item.status());
    QVERIFY(item.update(false));
    QVERIFY(!item.status());
    QCOMPARE(changed.count(), 4);
    QCOMPARE(out.text(), QString());
    QCOMPARE(item.lastError(), QString());
}

void TestLoginItem::status_data() {
    QTest::addColumn<QByteArray>("content");  // "<folder>": a folder in the entry's place
    QTest::addColumn<bool>("expected");
    QTest::newRow("plain") << kEntry << true;
    QTest::newRow("hidden") << kEntry + "Hidden=true\n" << false;
    QTest::newRow("hidden, spaces") << kEntry + "Hidden = true\n" << false;
    QTest::newRow("hidden, no newline") << kEntry + "Hidden=true" << false;
    QTest::newRow("hidden, CRLF") << QByteArray(kEntry + "Hidden=true\r\n") << false;
    QTest::newRow("not hidden") << kEntry + "Hidden=false\n" << true;
    QTest::newRow("last one counts") << kEntry + "Hidden=true\nHidden=false\n" << true;
    QTest::newRow("commented out") << kEntry + "#Hidden=true\n" << true;
    QTest::newRow("other group") << kEntry + "[Desktop Action x]\nHidden=true\n" << true;
    QTest::newRow("other key") << kEntry + "NotHidden=true\n" << true;
    QTest::newRow("folder") << QByteArray("<folder>") << false;
}

void TestLoginItem::status() {
    QFETCH(QByteArray, content);
    QFETCH(bool, expected);
    if (content == "<folder>")
        QVERIFY(QDir().mkpath(entry()));
    else
        QVERIFY(writeFile(entry(), content));
    QCOMPARE(LoginItem().status(), expected);
}

void TestLoginItem::registerReplacesHiddenEntry() {
    QVERIFY(writeFile(entry(), kEntry + "Hidden=true\n"));
    LoginItem item;
    QSignalSpy changed(&item, &LoginItem::statusChanged);
    QVERIFY(item.registerItem());
    QVERIFY(item.status());
    QCOMPARE(changed.count(), 1);
    // Unregistering removes a hidden entry too: the user's choice is now ours to keep.
    QVERIFY(writeFile(entry(), kEntry + "Hidden=true\n"));
    QVERIFY(item.unregisterItem());
    QVERIFY(!QFileInfo::exists(entry()));
}

void TestLoginItem::execValue_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("expected");  // "-": cannot be written
    QTest::newRow("plain") << "/usr/bin/larkspurhollow"
                           << "/usr/bin/larkspurhollow";
    QTest::newRow("space") << "/opt/My Apps/lark"
                           << "\"/opt/My Apps/lark\"";
    QTest::newRow("percent") << "/opt/100%/lark"
                             << "/opt/100%%/lark";
    QTest::newRow("percent, quoted") << "/opt/a b%/lark"
                                     << "\"/opt/a b%%/lark\"";
    QTest::newRow("single quote") << "/home/o'neil/lark"
                                  << "\"/home/o'neil/lark\"";
    QTest::newRow("double quote") << "/x/a\"b/lark"
                                  << "\"/x/a\\\\\"b/lark\"";
    QTest::newRow("dollar and backtick") << "/x/$HOME`id`/lark"
                                         << "\"/x/\\\\$HOME\\\\`id\\\\`/lark\"";
    QTest::newRow("backslash") << "/x/a\\b/lark"
                               << "\"/x/a\\\\\\\\b/lark\"";
    QTest::newRow("semicolon") << "/x/a;rm/lark"
                               << "\"/x/a;rm/lark\"";
    QTest::newRow("tilde") << "/x/~/lark"
                           << "\"/x/~/lark\"";
    QTest::newRow("non-ASCII") << "/x/Ünïcødé/lark"
                               << "/x/Ünïcødé/lark";
    QTest::newRow("newline") << "/x/a\nExec=evil"
                             << "-";
    QTest::newRow("carriage return") << "/x/a\rb"
                                     << "-";
    QTest::newRow("tab") << "/x/a\tb"
                         << "-";
}

void TestLoginItem::execValue() {
    QFETCH(QString, program);
    QFETCH(QString, expected);
    QCOMPARE(LoginItem::execValue(program).value_or(QStringLiteral("-")), expected);
}

void TestLoginItem::registerFailures_data() {
    QTest::addColumn<QString>("setup");
    QTest::newRow("config home is a file") << "config-file";
    QTest::newRow("autostart is a file") << "autostart-file";
    QTest::newRow("entry is a folder") << "entry-folder";
    QTest::newRow("program missing") << "program-missing";
    QTest::newRow("program not executable") << "program-plain";
    QTest::newRow("program path with newline") << "program-newline";
    // Permissions do not stop the superuser.
    if (geteuid() != 0) QTest::newRow("read-only folder") << "read-only";
}

void TestLoginItem::registerFailures() {
    QFETCH(QString, setup);
    const QString bin = dir_->path() + QStringLiteral("/bin/");
    QString program;  // empty: the running test program
    if (setup == u"config-file") {
        QVERIFY(writeFile(config(), "not a folder"));
    } else if (setup == u"autostart-file") {
        QVERIFY(writeFile(config() + QStringLiteral("/autostart"), "not a folder"));
    } else if (setup == u"entry-folder") {
        QVERIFY(QDir().mkpath(entry()));
    } else if (setup == u"program-missing") {
        program = bin + QStringLiteral("gone");
    } else if (setup == u"program-plain") {
        program = bin + QStringLiteral("plain");
        QVERIFY(writeFile(program, "data"));
    } else if (setup == u"program-newline") {
        program = bin + QStringLiteral("lark\nExec=evil");
        QVERIFY(writeFile(program, "#!/bin/sh\n", true));
    } else if (setup == u"read-only") {
        QVERIFY(QDir().mkpath(config() + QStringLiteral("/autostart")));
        QVERIFY(QFile::setPermissions(config() + QStringLiteral("/autostart"),
                                      QFile::ReadOwner | QFile::ExeOwner));
    }
    const auto before = snapshot(dir_->path());

    LoginItem item(program);
    QSignalSpy changed(&item, &LoginItem::statusChanged);
    QSignalSpy errorChanged(&item, &LoginItem::lastErrorChanged);
    StdoutCapture out;
    QVERIFY(!item.registerItem());
    const QString text = out.text();
    QVERIFY(!item.lastError().isEmpty());
    QCOMPARE(text, kLoginItemFailurePrefix + item.lastError().replace(u'\n', u' ') + u'\n');
    QCOMPARE(errorChanged.count(), 1);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!item.status());
    QCOMPARE(snapshot(dir_->path()), before);
}

void TestLoginItem::unregisterFailure() {
    // A folder in the entry's place cannot be removed as a file; what it holds stays.
    QVERIFY(writeFile(entry() + QStringLiteral("/keep.txt"), "mine"));
    const auto before = snapshot(dir_->path());
    LoginItem item;
    StdoutCapture out;
    QVERIFY(!item.unregisterItem());
    QVERIFY(out.text().startsWith(kLoginItemFailurePrefix));
    QCOMPARE(out.text().count(u'\n'), 1);
    QVERIFY(!item.lastError().isEmpty());
    QCOMPARE(snapshot(dir_->path()), before);

    // A success afterwards clears the reported failure.
    QVERIFY(QDir(entry()).removeRecursively());
    QVERIFY(item.unregisterItem());
    QCOMPARE(item.lastError(), QString());
}

QTEST_GUILESS_MAIN(TestLoginItem)
#include "tst_loginitem.moc"
