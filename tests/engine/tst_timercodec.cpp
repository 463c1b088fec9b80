#include <QJsonDocument>
#include <QTest>

#include "engine/TimerSequence.h"
#include "engine/TimerTypes.h"

using namespace larkspur;

namespace {
const QString kId = QStringLiteral("6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E");

QJsonObject parseObject(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

QJsonObject minimalTimer() {
    return QJsonObject{{QStringLiteral("id"), kId},
                       {QStringLiteral("name"), QStringLiteral("Tea")},
                       {QStringLiteral("mode"), QStringLiteral("countdown")},
                       {QStringLiteral("totalDuration"), 180}};
}
}  // namespace

class TestTimerCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesNineKeysWithoutOptionals();
    void writesAllThirteenKeys();
    void volumeIsShortestDecimal_data();
    void volumeIsShortestDecimal();
    void minimalTimerReadsDefaults();
    void lowerCaseUuidReadsAndWritesUpper();
    void roundTrip();
    void rejects_data();
    void rejects();
    void nullOptionalReadsAsAbsent();
    void sequenceRoundTrip();
    void sequenceStepWithoutSound();
};

void TestTimerCodec::writesNineKeysWithoutOptionals() {
    TimerData d;
    d.id = QUuid::fromString(kId);
    d.name = QStringLiteral("Tea");
    const QJsonObject o = TimerDataCodec::encode(d).toObject();
    QStringList keys = o.keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"createdAt", "elapsedTime", "id", "mode", "name", "preWarningFired",
                                "soundConfig", "state", "totalDuration"}));
    QCOMPARE(o.value("soundConfig").toObject().keys().size(), 3);
}

void TestTimerCodec::writesAllThirteenKeys() {
    TimerData d;
    d.id = QUuid::fromString(kId);
    d.emoji = QStringLiteral("🍵");
    d.color = QStringLiteral("#FF0000");
    d.endDate = 12.5;
    d.recurringConfig = RecurringConfig{3600, std::nullopt, 0};
    d.soundConfig.preWarningSeconds = 30;
    const QJsonObject o = TimerDataCodec::encode(d).toObject();
    QCOMPARE(o.size(), 13);
    QCOMPARE(o.value("recurringConfig").toObject().keys(),
             (QStringList{"interval", "runsCompleted"}));
    QCOMPARE(o.value("soundConfig").toObject().value("preWarningSeconds").toDouble(), 30.0);
}

void TestTimerCodec::volumeIsShortestDecimal_data() {
    QTest::addColumn<float>("volume");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("0.8") << 0.8f << QByteArray("\"volume\":0.8");
    QTest::newRow("0.1") << 0.1f << QByteArray("\"volume\":0.1");
    QTest::newRow("1") << 1.0f << QByteArray("\"volume\":1");
    QTest::newRow("0") << 0.0f << QByteArray("\"volume\":0");
    QTest::newRow("0.33") << 0.33f << QByteArray("\"volume\":0.33");
}

void TestTimerCodec::volumeIsShortestDecimal() {
    QFETCH(float, volume);
    QFETCH(QByteArray, text);
    SoundConfig c;
    c.volume = volume;
    const QByteArray bytes = json::serialize(JsonCodecFor<SoundConfig>::encode(c));
    QVERIFY2(bytes.contains(text), bytes.constData());
    QCOMPARE(JsonCodecFor<SoundConfig>::decode(json::parse(bytes)).volume, volume);
}

void TestTimerCodec::minimalTimerReadsDefaults() {
    const TimerData d = TimerDataCodec::decode(minimalTimer(), 4242.5);
    QCOMPARE(d.state, TimerState::Idle);
    QCOMPARE(d.elapsedTime, 0.0);
    QCOMPARE(d.soundConfig, SoundConfig{});
    QCOMPARE(d.soundConfig.soundName, QStringLiteral("chime"));
    QCOMPARE(d.soundConfig.volume, 0.8f);
    QCOMPARE(d.createdAt, 4242.5);
    QVERIFY(!d.emoji && !d.color && !d.endDate && !d.recurringConfig);
    QVERIFY(!d.preWarningFired);
}

void TestTimerCodec::lowerCaseUuidReadsAndWritesUpper() {
    QJsonObject o = minimalTimer();
    o.insert("id", kId.toLower());
    const TimerData d = TimerDataCodec::decode(o, 0);
    QCOMPARE(TimerDataCodec::encode(d).toObject().value("id").toString(), kId);
}

void TestTimerCodec::roundTrip() {
    TimerData d;
    d.id = QUuid::createUuid();
    d.name = QStringLiteral("Deep Work");
    d.mode = TimerMode::EndTime;
    d.state = TimerState::Paused;
    d.totalDuration = 1500.25;
    d.elapsedTime = 123.456789012345;
    d.soundConfig = SoundConfig{QStringLiteral("gong"), 0.35f, AlertMode::LoopUntilDismissed, 90};
    d.emoji = QStringLiteral("🧠");
    d.color = QStringLiteral("blue");
    d.createdAt = 786'000'000.123456789;  // full double precision, finer than milliseconds
    d.endDate = 786'001'500.987654321;
    d.preWarningFired = true;
    d.recurringConfig = RecurringConfig{86400, 5, 2};
    const QJsonValue encoded = json::parse(json::serialize(TimerDataCodec::encode(d)));
    QCOMPARE(TimerDataCodec::decode(encoded, 0), d);
}

void TestTimerCodec::rejects_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");  // Undefined: remove the key
    QTest::newRow("no id") << "id" << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("no name") << "name" << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("no mode") << "mode" << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("no duration") << "totalDuration" << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("mode case") << "mode" << QJsonValue("Countdown");
    QTest::newRow("unknown state") << "state" << QJsonValue("stopped");
    QTest::newRow("id not uuid") << "id" << QJsonValue("tea");
    QTest::newRow("id braces") << "id" << QJsonValue("{" + kId + "}");
    QTest::newRow("duration as text") << "totalDuration" << QJsonValue("180");
    QTest::newRow("name as number") << "name" << QJsonValue(5);
    QTest::newRow("flag as number") << "preWarningFired" << QJsonValue(1);
    QTest::newRow("emoji as number") << "emoji" << QJsonValue(1);
    QTest::newRow("sound not object") << "soundConfig" << QJsonValue("chime");
    QTest::newRow("alert unknown")
        << "soundConfig"
        << QJsonValue(parseObject(R"({"soundName":"x","volume":1,"alertMode":"twice"})"));
    QTest::newRow("warning fractional")
        << "soundConfig"
        << QJsonValue(parseObject(
               R"({"soundName":"x","volume":1,"alertMode":"oneShot","preWarningSeconds":30.5})"));
    QTest::newRow("volume missing")
        << "soundConfig" << QJsonValue(parseObject(R"({"soundName":"x","alertMode":"oneShot"})"));
    QTest::newRow("runs fractional")
        << "recurringConfig" << QJsonValue(parseObject(R"({"interval":60,"runsCompleted":0.5})"));
    QTest::newRow("runs missing") << "recurringConfig"
                                  << QJsonValue(parseObject(R"({"interval":60})"));
}

void TestTimerCodec::rejects() {
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QJsonObject o = minimalTimer();
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    QVERIFY_THROWS_EXCEPTION(json::JsonError, TimerDataCodec::decode(o, 0));
}

void TestTimerCodec::nullOptionalReadsAsAbsent() {
    QJsonObject o = minimalTimer();
    o.insert("emoji", QJsonValue::Null);
    o.insert("endDate", QJsonValue::Null);
    o.insert("state", QJsonValue::Null);
    const TimerData d = TimerDataCodec::decode(o, 0);
    QVERIFY(!d.emoji && !d.endDate);
    QCOMPARE(d.state, TimerState::Idle);
}

void TestTimerCodec::sequenceRoundTrip() {
    TimerSequence s{QUuid::createUuid(), QStringLiteral("Morning"), {}, 1};
    s.steps.append({QUuid::createUuid(), QStringLiteral("Stretch"), 60, std::nullopt});
    s.steps.append({QUuid::createUuid(), QStringLiteral("Read"), 120,
                    SoundConfig{QStringLiteral("bell"), 0.5f, AlertMode::Repeated, std::nullopt}});
    const QJsonValue v = json::parse(json::serialize(JsonCodecFor<TimerSequence>::encode(s)));
    QCOMPARE(v.toObject().keys().size(), 4);
    QCOMPARE(JsonCodecFor<TimerSequence>::decode(v), s);
}

void TestTimerCodec::sequenceStepWithoutSound() {
    const SequenceStep step{QUuid::createUuid(), QStringLiteral("Read"), 1, std::nullopt};
    QStringList keys = JsonCodecFor<SequenceStep>::encode(step).toObject().keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"duration", "id", "name"}));
    QVERIFY_THROWS_EXCEPTION(
        json::JsonError,
        JsonCodecFor<TimerSequence>::decode(
            parseObject(R"({"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","name":"x","steps":[]})")));
}

QTEST_GUILESS_MAIN(TestTimerCodec)
#include "tst_timercodec.moc"
