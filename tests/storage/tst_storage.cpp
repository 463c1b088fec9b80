#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTest>

#include "storage/FileWriter.h"
#include "storage/StorageManager.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"
#include "support/TextRows.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
const QString kList = QStringLiteral("custom-sounds.json");

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// What `action` printed. Checks come after, or their failure messages would be captured too.
template <class Action>
QString printedBy(Action&& action) {
    StdoutCapture out;
    action();
    return out.text();
}

// What a codec helper (`how`) makes of `input`, as text, or why it refuses it.
QString decode(const QString& how, const QString& input) {
    const QByteArray bytes = input.toUtf8();
    auto optional = [](const auto& v) { return v ? QVariant(*v).toString() : QString("none"); };
    try {
        if (how == "json") return json::serialize(json::parse(bytes));
        if (how == "integer")
            return QString::number(
                json::toInteger(input == "inf" ? qInf() : json::parse(bytes), "n"));
        if (how == "float") return json::serialize(json::floatToJson(input.toFloat()));
        if (how == "stored float") return QString::number(json::jsonToFloat(input.toDouble()));
        if (how == "uuid" && json::tryParseUuid(input) != json::parseUuid(input, "id")) return "?";
        if (how == "uuid") return json::uuidToString(json::parseUuid(input, "id"));
        const json::ObjectReader r(
            json::parse("{\"n\":1.5,\"i\":3,\"b\":true,\"s\":\"x\",\"z\":null,"
                        "\"a\":[1,2],\"u\":\"6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e\"}"),
            "thing");
        const char* key = bytes.constData();
        if (how == "has") return QVariant(r.has(key)).toString();
        if (how == "number") return QString::number(r.number(key));
        if (how == "optionalNumber") return optional(r.optionalNumber(key));
        if (how == "integerKey") return QString::number(r.integer(key));
        if (how == "optionalInteger") return optional(r.optionalInteger(key));
        if (how == "boolean") return QVariant(r.boolean(key)).toString();
        if (how == "optionalBoolean") return optional(r.optionalBoolean(key));
        if (how == "string") return r.string(key);
        if (how == "optionalString") return optional(r.optionalString(key));
        if (how == "uuidKey") return json::uuidToString(r.uuid(key));
        if (how == "array") return QString::number(r.array(key).size());
        if (how == "value") return json::typeName(r.value(key));
        return json::typeName(json::ObjectReader(r.value(key), "x").value("n"));
    } catch (const json::JsonError& e) {
        return "refused: " + QString::fromUtf8(e.what());
    }
}
}  // namespace

class TestStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void values_data() {
        // helper | input | result, or the start of a refusal. A byte-order mark that an editor
        // put first is read as a blank, and only there.
        addTextRows(
            {"json | null | null",
             "json | \"a \\\"q\\\" 🍵\" | \"a \\\"q\\\" 🍵\"",
             "json | 120 | 120",
             "json | -0.5 | -0.5",
             "json | 786000000.1234567 | 786000000.1234567",
             "json | [1,\"a\",null,true] | [1,\"a\",null,true]",
             "json | {\"a\":{\"b\":[]}} | {\"a\":{\"b\":[]}}",
             "json |  | refused: invalid JSON: more than one value",
             "json | 1,2 | refused: invalid JSON: more than one value",
             "json | tru | refused: invalid JSON at offset 1: illegal value",
             "json | x | refused: invalid JSON at offset 0: illegal number",
             "json | [1,] | refused: invalid JSON at offset 4: object is missing after a comma",
             "json |  { | refused: invalid JSON at offset 2: unterminated object",
             "json | \xEF\xBB\xBF[\"a\"] | [\"a\"]",
             "json | \xEF\xBB\xBF 120 | 120",
             "json | \xEF\xBB\xBF{ | refused: invalid JSON at offset 4: unterminated object",
             "json | [\xEF\xBB\xBF 1] | refused",
             "json | \xEF\xBB\xBF\xEF\xBB\xBF 1 | refused",
             "integer | 120 | 120",
             "integer | -3 | -3",
             "integer | 1e3 | 1000",
             "integer | -9223372036854775808 | -9223372036854775808",
             "integer | 9223372036854775808 | refused",
             "integer | 30.5 | refused",
             "integer | \"30\" | refused",
             "integer | true | refused",
             "integer | null | refused",
             "integer | inf | refused",
             "float | 0.8 | 0.8",
             "float | 0.64 | 0.64",
             "float | 1e-7 | 1e-07",
             "float | nan | 0",
             "float | inf | 0",
             "stored float | 0.25 | 0.25",
             "stored float | 1e39 | 3.40282e+38",
             "stored float | -1e39 | -3.40282e+38",
             "uuid | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E",
             "uuid | 6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E",
             "uuid | 00000000-0000-0000-0000-000000000000 | 00000000-0000-0000-0000-000000000000",
             "uuid | {6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E} | refused",
             "uuid | 6F1C2A3B4D5E4F608172839A4B5C6D7E | refused",
             "uuid | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7 | refused",
             "uuid | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6DZZ | refused",
             "uuid |  | refused",
             "has | n | true",
             "has | z | false",
             "has | missing | false",
             "number | n | 1.5",
             "number | s | refused",
             "number | z | refused",
             "optionalNumber | n | 1.5",
             "optionalNumber | z | none",
             "optionalNumber | s | refused",
             "integerKey | i | 3",
             "integerKey | n | refused",
             "optionalInteger | missing | none",
             "optionalInteger | i | 3",
             "optionalInteger | n | refused",
             "boolean | b | true",
             "boolean | i | refused",
             "optionalBoolean | z | none",
             "optionalBoolean | b | true",
             "optionalBoolean | s | refused",
             "string | s | x",
             "string | i | refused",
             "optionalString | missing | none",
             "optionalString | s | x",
             "optionalString | b | refused",
             "uuidKey | u | 6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E",
             "uuidKey | s | refused",
             "array | a | 2",
             "array | s | refused",
             "value | a | an array",
             "value | z | refused",
             "value | missing | refused",
             "object | a | refused"});
    }
    void values() {
        const QStringList parts = textRowFields();
        const QString result = decode(parts[0], parts[1]);
        QVERIFY2(parts[2].startsWith("refused") ? result.startsWith(parts[2]) : result == parts[2],
                 qPrintable(result));
    }

    void unreadableFileIsKeptAside_data() {
        QTest::addColumn<QByteArray>("content");
        for (const char* content :
             {"hello", "[\"a\",\"b", "{\"a\":1}", "[\"a\",3]", "\xff\xfe[", ""})
            QTest::addRow("%s", content) << QByteArray(content);
        // Millions of tiny values would make a tree of gigabytes: refused before it is built.
        QTest::addRow("[0,0,...]") << "[" + QByteArray("0,").repeated(5'000'000) + "0]";
    }
    void unreadableFileIsKeptAside() {
        QFETCH(QByteArray, content);
        TempStorage files;
        files.write(kList, content);
        std::optional<QStringList> loaded{QStringList()};
        const QString text = printedBy([&] { loaded = files.storage.load<QList<QString>>(kList); });
        const QStringList copies =
            QDir(files.storage.directory()).entryList({kList + ".unreadable-*"});
        const QString kept =
            QString("a copy of it was kept as \"%1\"").arg(files.path(copies.value(0)));
        QVERIFY2(!loaded && text.startsWith("StorageManager load error: ") &&
                     text.endsWith(kept + '\n') && text.count('\n') == 1,
                 qPrintable(text.left(300)));
        QCOMPARE(copies.size(), 1);
        QVERIFY(readFile(files.path(copies.value(0))) == content && files.read(kList) == content);
    }

    // What is not a regular file of at most 64 MiB is neither read, copied nor replaced.
    void otherThingsAreLeftAlone_data() {
        QTest::addColumn<QString>("make");  // a shell command run in the data folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << "mkdir -p @/inner"
                                << "a folder, not a regular file";
        QTest::newRow("named pipe") << "mkfifo @"
                                    << "a named pipe, not a regular file";
        QTest::newRow("link to a pipe") << "mkfifo p && ln -s p @"
                                        << "a named pipe, not a regular file";
        QTest::newRow("link to /dev/zero") << "ln -s /dev/zero @"
                                           << "a device, not a regular file";
        QTest::newRow("socket")
            << "python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind(\"@\")'"
            << "a socket, not a regular file";
        QTest::newRow("over 64 MiB") << "truncate -s 67108865 @"
                                     << "larger than 64 MiB";
        QTest::newRow("64 MiB, read") << "truncate -s 67108864 @"
                                      << "is not readable: invalid JSON";
    }
    void otherThingsAreLeftAlone() {
        QFETCH(QString, make);
        QFETCH(QString, reason);
        TempStorage files;
        const QString dir = files.storage.directory();
        QProcess::execute("sh", {"-c", "cd '" + dir + "' && " + QString(make).replace("@", kList)});
        const auto before =
            QDir(dir).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        QString text = printedBy([&] { QVERIFY(!files.storage.load<QList<QString>>(kList)); });
        QVERIFY2(text.contains(reason) && text.count('\n') == 1, qPrintable(text));
        if (!reason.startsWith("is not readable"))
            QVERIFY2(text.endsWith("; it was left as it is\n"), qPrintable(text));
        // Saving does not put a file in its place, nor beside the target of a link.
        if (!reason.endsWith("regular file")) return;
        text = printedBy([&] { files.storage.save(QStringList{"x"}, kList); });
        QVERIFY2(text.startsWith("StorageManager save error: "), qPrintable(text));
        QCOMPARE(QDir(dir).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 before);
    }

    void copyTakesTheNextNumber() {
        TempStorage files;
        files.write(kList, "{");
        // Copies already taken for this second and the next two, in case the clock turns.
        QStringList taken;
        for (int s = 0; s < 3; ++s) {
            taken << files.path(kList) + ".unreadable-" +
                         QDateTime::currentDateTimeUtc().addSecs(s).toString(
                             "yyyyMMdd'T'HHmmss'Z'");
            QFile::copy(files.path(kList), taken.last());
        }
        const QString text = printedBy([&] { files.storage.load<QList<QString>>(kList); });
        const QStringList copies =
            QDir(files.storage.directory()).entryList({kList + ".unreadable-*-2"});
        QCOMPARE(copies.size(), 1);
        QVERIFY(taken.contains(files.path(copies[0]).chopped(2)));
        QVERIFY(text.contains(copies[0]));
    }

    void immediateWrites() {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        QCOMPARE(StorageManager().directory(), dir.filePath("data/Larkspurhollow"));
        QVERIFY(QFileInfo(dir.filePath("data/Larkspurhollow")).isDir());
        const StorageManager storage(dir.filePath("a/b")), blocked(dir.filePath("a/b/b.json"));
        QString text = printedBy([&] { QVERIFY(!storage.load<QList<QString>>(kList)); });
        QVERIFY(storage.save(QList<QString>{"x"}, kList) &&
                storage.save(QList<QString>{}, "b.json"));
        QCOMPARE(readFile(dir.filePath("a/b/" + kList)) + readFile(dir.filePath("a/b/b.json")),
                 "[\"x\"][]");
        QCOMPARE(QDir(dir.filePath("a/b")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(storage.load<QList<QString>>(kList), QStringList{"x"});
        // A file where the folder should be fails even for root, who ignores permissions.
        text += printedBy([&] { QVERIFY(!blocked.save(QList<QString>{"y"}, kList)); });
        QVERIFY2(
            text.startsWith("StorageManager save error: could not write") && text.count('\n') == 1,
            qPrintable(text));
        QCOMPARE(readFile(dir.filePath("a/b/b.json")), QByteArray("[]"));
        // A save killed before its rename left its temporary file: the next start removes that,
        // and only that.
        QDir().mkpath(dir.filePath("c"));
        for (const char* name : {"active-timers.json.GBTJoD", "notes.txt.AbC123",
                                 "presets.json.unreadable-20261207T000000Z"})
            QFile(dir.filePath("c/") + name).open(QIODevice::WriteOnly);
        StorageManager(dir.filePath("c")).directory();
        QCOMPARE(QDir(dir.filePath("c")).entryList(QDir::Files),
                 (QStringList{"notes.txt.AbC123", "presets.json.unreadable-20261207T000000Z"}));
    }

    void backgroundWrites() {
        QTemporaryDir dir;
        {
            StorageManager storage(dir.path(), StorageManager::Writes::Background);
            for (int i = 0; i < 200; ++i) {
                const QStringList a{QString::number(i)}, b{"b", QString::number(i)};
                QVERIFY(storage.save(a, "a.json") && storage.save(b, "b.json"));
                // What this process saved last is what it loads, written yet or not.
                QVERIFY(storage.load<QList<QString>>("a.json") == a &&
                        storage.load<QList<QString>>("b.json") == b);
            }
            storage.flush();
            QCOMPARE(readFile(dir.filePath("a.json")), QByteArray("[\"199\"]"));
            for (int i = 0; i < 20; ++i) storage.save(QList<QString>{}, QString("g%1").arg(i));
        }  // flushed at exit
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 22);
        FileWriter writer;
        for (int i = 0; i < 500; ++i) writer.write(dir.filePath("a.json"), QByteArray::number(i));
        writer.flush();
        QVERIFY(!writer.pending(dir.filePath("a.json")));
        QCOMPARE(readFile(dir.filePath("a.json")), QByteArray("499"));
        const QString text = printedBy([&] {
            const StorageManager blocked(dir.filePath("a.json"),
                                         StorageManager::Writes::Background);
            QVERIFY(blocked.save(QList<QString>{"a"}, kList));
            blocked.flush();
        });
        QVERIFY2(
            text.startsWith("StorageManager save error: could not write") && text.count('\n') == 1,
            qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
