#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "focus/FocusSession.h"
#include "focus/FocusTesting.h"
#include "focus/SessionListJson.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {

const QByteArray kRecord = R"({"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","startedAt":1.5,)"
                           R"("focusDuration":1500,"type":"focus","completed":true})";

QByteArray withRecord(const char* from, const char* to) {
    return "[" + QByteArray(kRecord).replace(from, to) + "]";
}

// What the storage manager's general reader makes of a file's bytes.
std::optional<QList<FocusSession>> generalRead(const QByteArray& text) {
    try {
        return JsonCodecFor<QList<FocusSession>>::decode(json::parse(text));
    } catch (const json::JsonError&) {
        return std::nullopt;
    }
}

QStringList sortedKeys(const QJsonObject& o) {
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

FocusSession labelled(FocusSession s, const QString& label) {
    s.taskLabel = label;
    return s;
}

}  // namespace

class TestFocusSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sessionTypes_data();
    void sessionTypes();
    void unknownTypeTexts();
    void configDefaultsAndRoundTrip();
    void configRejects_data();
    void configRejects();
    void keySets_data();
    void keySets();
    void nullOptionalsReadAsAbsent();
    void writersReadBackExactly_data();
    void writersReadBackExactly();
    void listReaderAgreesWithGeneralReader_data();
    void listReaderAgreesWithGeneralReader();
};

void TestFocusSession::sessionTypes_data() {
    QTest::addColumn<SessionType>("type");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("color");
    QTest::newRow("focus") << SessionType::Focus << 0 << "focus"
                           << "Focus"
                           << "#F26A1F";
    QTest::newRow("short") << SessionType::ShortBreak << 1 << "shortBreak"
                           << "Short Break"
                           << "#4CAF50";
    QTest::newRow("long") << SessionType::LongBreak << 2 << "longBreak"
                          << "Long Break"
                          << "#2196F3";
}

void TestFocusSession::sessionTypes() {
    QFETCH(SessionType, type);
    QFETCH(int, position);
    QFETCH(QString, raw);
    QFETCH(QString, name);
    QFETCH(QString, color);
    QCOMPARE(kAllSessionTypes.at(std::size_t(position)), type);
    QCOMPARE(toRawValue(type), raw);
    QCOMPARE(sessionTypeFromRaw(raw), std::optional(type));
    QCOMPARE(displayName(type), name);
    QCOMPARE(colorHex(type), color);
    QCOMPARE(JsonCodecFor<SessionType>::decode(raw), type);
}

void TestFocusSession::unknownTypeTexts() {
    for (const char* text : {"Focus", "short_break", "longbreak", "", "focus "})
        QVERIFY2(!sessionTypeFromRaw(QString::fromLatin1(text)), text);
}

void TestFocusSession::configDefaultsAndRoundTrip() {
    const FocusConfig defaults;
    const QJsonObject o = JsonCodecFor<FocusConfig>::encode(defaults).toObject();
    QCOMPARE(o, QJsonDocument::fromJson(R"({"focusDuration":1500,"shortBreakDuration":300,
        "longBreakDuration":900,"sessionsBeforeLongBreak":4,"autoStartBreaks":true,
        "autoStartFocus":false})")
                    .object());
    const FocusConfig changed{3000, 180.5, 600, 2, false, true};
    QCOMPARE(JsonCodecFor<FocusConfig>::decode(JsonCodecFor<FocusConfig>::encode(changed)),
             changed);
}

void TestFocusSession::configRejects_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");  // undefined: the key is left out
    for (const char* key : {"focusDuration", "shortBreakDuration", "longBreakDuration",
                            "sessionsBeforeLongBreak", "autoStartBreaks", "autoStartFocus"}) {
        QTest::addRow("missing %s", key) << key << QJsonValue(QJsonValue::Undefined);
        QTest::addRow("null %s", key) << key << QJsonValue(QJsonValue::Null);
    }
    QTest::newRow("fractional count") << "sessionsBeforeLongBreak" << QJsonValue(4.5);
    QTest::newRow("text duration") << "focusDuration" << QJsonValue("1500");
    QTest::newRow("number flag") << "autoStartBreaks" << QJsonValue(1);
}

void TestFocusSession::configRejects() {
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QJsonObject o = JsonCodecFor<FocusConfig>::encode(FocusConfig{}).toObject();
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    QVERIFY_THROWS_EXCEPTION(json::JsonError, JsonCodecFor<FocusConfig>::decode(o));
}

void TestFocusSession::keySets_data() {
    QTest::addColumn<FocusSession>("session");
    QTest::addColumn<QStringList>("keys");
    const QStringList required{"completed", "focusDuration", "id", "startedAt", "type"};
    FocusSession bare = record(10, 60);
    bare.endedAt.reset();
    QTest::newRow("no optionals") << bare << required;
    QTest::newRow("with both") << labelled(record(10, 60), "Read")
                               << QStringList{"completed", "endedAt",   "focusDuration", "id",
                                              "startedAt", "taskLabel", "type"};
    QTest::newRow("empty label is kept")
        << labelled(bare, "")
        << QStringList{"completed", "focusDuration", "id", "startedAt", "taskLabel", "type"};
}

void TestFocusSession::keySets() {
    QFETCH(FocusSession, session);
    QFETCH(QStringList, keys);
    QCOMPARE(sortedKeys(JsonCodecFor<FocusSession>::encode(session).toObject()), keys);
    QByteArray fast;
    sessionlist::appendRecord(fast, session);
    QCOMPARE(sortedKeys(QJsonDocument::fromJson(fast).object()), keys);
    QVERIFY(fast.startsWith("{\"id\":\"" + session.idString().toLatin1() + "\""));
}

void TestFocusSession::nullOptionalsReadAsAbsent() {
    const QByteArray text = withRecord("\"startedAt\"",
                                       "\"taskLabel\":null,\"endedAt\":null,"
                                       "\"startedAt\"");
    for (const auto& read : {generalRead(text), sessionlist::decode(text)}) {
        QVERIFY(read && read->size() == 1);
        QVERIFY(!read->first().taskLabel.has_value());
        QVERIFY(!read->first().endedAt.has_value());
        QCOMPARE(read->first().type, SessionType::Focus);
    }
}

void TestFocusSession::writersReadBackExactly_data() {
    QTest::addColumn<FocusSession>("session");
    QTest::newRow("sub-second dates") << record(733456789.123456789, 1499.95);
    QTest::newRow("tiny and huge") << record(1e-7, 1e300, false, SessionType::LongBreak);
    QTest::newRow("negative") << record(-86400.25, -5, true, SessionType::ShortBreak);
    QTest::newRow("label escapes")
        << labelled(record(1, 2), "Café \"draft\" \\ \n\t\x01\x1f コード 😀 /");
    QTest::newRow("nil id") << [] {
        FocusSession s = record(1, 2);
        s.id = QUuid();
        return s;
    }();
}

void TestFocusSession::writersReadBackExactly() {
    QFETCH(FocusSession, session);
    const QList<FocusSession> list{session, record(5, 6)};
    const QByteArray fast = sessionlist::encode(list);
    const QByteArray general = json::serialize(JsonCodecFor<QList<FocusSession>>::encode(list));
    // Each writer's text reads back the same through either reader.
    for (const QByteArray& text : {fast, general}) {
        QCOMPARE(generalRead(text), std::optional(list));
        QCOMPARE(sessionlist::decode(text), std::optional(list));
    }
    QByteArray appended = sessionlist::encode({session});
    sessionlist::appendToArray(appended, list.at(1));
    QCOMPARE(appended, fast);
}

void TestFocusSession::listReaderAgreesWithGeneralReader_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("quick");     // the list reader takes it itself
    QTest::addColumn<bool>("readable");  // the general reader takes it

    const QByteArray two = "[" + kRecord + "," + QByteArray(kRecord).replace("6F1C", "AAAA") + "]";
    QTest::newRow("two records") << two << true << true;
    QTest::newRow("empty") << QByteArray("[]") << true << true;
    QTest::newRow("spaced empty") << QByteArray(" [ \n ] \r\n") << true << true;
    QByteArray spaced = two;
    spaced.replace(",", " ,\n\t").replace(":", " : ").replace("{", "{ ");
    QTest::newRow("whitespace") << spaced << true << true;
    QTest::newRow("other key order")
        << QByteArray(R"([{"type":"longBreak","completed":false,"focusDuration":0.5,)"
                      R"("startedAt":-3,"id":"6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e"}])")
        << true << true;
    QTest::newRow("unknown keys") << withRecord("\"type\"", R"("x":{"a":[1,{"b":null}],"c":"\n"},)"
                                                            R"("y":-2.5e-3,"type")")
                                  << true << true;
    QTest::newRow("escaped label") << withRecord("\"type\"", R"("taskLabel":"a\"b\\c\/\n\u00e9)"
                                                             R"(\ud83d\ude00","type")")
                                   << true << true;
    QTest::newRow("utf-8 label") << withRecord("\"type\"", "\"taskLabel\":\"Caf\xc3\xa9\",\"type\"")
                                 << true << true;
    QTest::newRow("integral minus zero") << withRecord(":1.5", ":-0") << true << true;
    QTest::newRow("exponent") << withRecord(":1500", ":1.5E3") << true << true;
    QTest::newRow("nil id") << withRecord("6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E",
                                          "00000000-0000-0000-0000-000000000000")
                            << true << true;

    // Forms the list reader leaves to the general reader.
    QTest::newRow("duplicate key")
        << withRecord("\"type\"", "\"completed\":false,\"type\"") << false << true;
    QTest::newRow("raw control") << withRecord("\"type\"", "\"taskLabel\":\"a\x01\",\"type\"")
                                 << false << true;
    QTest::newRow("bare point") << withRecord(":1.5", ":1.") << false << true;
    QTest::newRow("lone surrogate")
        << withRecord("\"type\"", R"("taskLabel":"\ud800","type")") << false << true;
    QTest::newRow("escaped key") << withRecord("\"type\"", "\"\\u0074ype\"") << false << true;

    // Refused by both.
    for (const char* key : {"id", "startedAt", "focusDuration", "type", "completed"}) {
        const QByteArray quoted = "\"" + QByteArray(key) + "\"";
        QTest::addRow("missing %s", key) << withRecord(quoted, "\"other\"") << false << false;
    }
    QTest::newRow("null started") << withRecord(":1.5", ":null") << false << false;
    QTest::newRow("unknown type") << withRecord("\"focus\"", "\"nap\"") << false << false;
    QTest::newRow("text flag") << withRecord(":true", ":\"true\"") << false << false;
    QTest::newRow("number label") << withRecord("\"type\"", "\"taskLabel\":5,\"type\"") << false
                                  << false;
    QTest::newRow("text end") << withRecord("\"type\"", "\"endedAt\":\"x\",\"type\"") << false
                              << false;
    QTest::newRow("braced id") << withRecord("\"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E\"",
                                             "\"{6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E}\"")
                               << false << false;
    QTest::newRow("short id") << withRecord("7E\"", "7\"") << false << false;
    QTest::newRow("out of range") << withRecord(":1.5", ":1e400") << false << false;
    QTest::newRow("trailing comma") << "[" + kRecord + ",]" << false << false;
    QTest::newRow("garbage after") << "[" + kRecord + "] x" << false << false;
    QTest::newRow("truncated") << "[" + kRecord.left(60) << false << false;
    QTest::newRow("object") << kRecord << false << false;
    QTest::newRow("invalid utf-8")
        << withRecord("\"type\"", "\"taskLabel\":\"\xc0\xaf\",\"type\"") << false << false;
}

void TestFocusSession::listReaderAgreesWithGeneralReader() {
    QFETCH(QByteArray, text);
    QFETCH(bool, quick);
    QFETCH(bool, readable);
    const auto fast = sessionlist::decode(text);
    const auto general = generalRead(text);
    QCOMPARE(fast.has_value(), quick);
    QCOMPARE(general.has_value(), readable);
    if (fast) QCOMPARE(*fast, *general);
}

QTEST_GUILESS_MAIN(TestFocusSession)
#include "tst_focussession.moc"
