#include <QJsonArray>
#include <QJsonObject>
#include <QMetaProperty>
#include <QSet>
#include <QTest>

#include "presets/Preset.h"

using namespace larkspur;

namespace {
const QString kId = QStringLiteral("6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E");

QJsonObject minimalObject() {
    return QJsonObject{{"id", kId}, {"name", "Tea"}, {"duration", 180}, {"sortOrder", 2}};
}

QStringList sortedKeys(const QJsonObject& o) {
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

Preset bare() {
    Preset p;
    p.id = QUuid::fromString(kId);
    p.name = QStringLiteral("Tea");
    p.duration = 180;
    p.sortOrder = 2;
    return p;
}
}  // namespace

class TestPreset : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaults_data();
    void defaults();
    void defaultsAreMadeOnce();
    void keySets_data();
    void keySets();
    void writesUpperCaseIdAndNestedSound();
    void optionalsMissingOrNullReadAsAbsent_data();
    void optionalsMissingOrNullReadAsAbsent();
    void roundTrip();
    void rejects_data();
    void rejects();
    void gadgetReadsAndEditsCopy();
};

void TestPreset::defaults_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("emoji");
    QTest::newRow("Quick 5") << 0 << "Quick 5" << 300.0 << QStringLiteral("\u26A1");
    QTest::newRow("Focus 10") << 1 << "Focus 10" << 600.0 << QStringLiteral("\U0001F3AF");
    QTest::newRow("Break 15") << 2 << "Break 15" << 900.0 << QStringLiteral("\u2615");
    QTest::newRow("Pomodoro") << 3 << "Pomodoro" << 1500.0 << QStringLiteral("\U0001F345");
    QTest::newRow("Deep Work") << 4 << "Deep Work" << 3600.0 << QStringLiteral("\U0001F9E0");
}

void TestPreset::defaults() {
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(double, duration);
    QFETCH(QString, emoji);
    QCOMPARE(Preset::defaults().size(), 5);
    const Preset& p = Preset::defaults().at(index);
    QCOMPARE(p.name, name);
    QCOMPARE(p.duration, duration);
    QCOMPARE(p.emoji, std::optional<QString>(emoji));
    QCOMPARE(p.sortOrder, qint64(index));
    QVERIFY(!p.color);
    QVERIFY(!p.soundConfig);
    QVERIFY(!p.id.isNull());
}

void TestPreset::defaultsAreMadeOnce() {
    QSet<QUuid> ids;
    for (const Preset& p : Preset::defaults()) ids.insert(p.id);
    QCOMPARE(ids.size(), 5);
    QCOMPARE(&Preset::defaults(), &Preset::defaults());
    QCOMPARE(Preset::defaults().first().id, Preset::defaults().first().id);
}

void TestPreset::keySets_data() {
    QTest::addColumn<Preset>("preset");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("no optionals") << bare() << QStringList{"duration", "id", "name", "sortOrder"};
    Preset withEmoji = bare();
    withEmoji.emoji = QStringLiteral("🍵");
    QTest::newRow("emoji") << withEmoji
                           << QStringList{"duration", "emoji", "id", "name", "sortOrder"};
    Preset withColor = bare();
    withColor.color = QStringLiteral("#FF0000");
    QTest::newRow("colour") << withColor
                            << QStringList{"color", "duration", "id", "name", "sortOrder"};
    Preset emptyTexts = bare();
    emptyTexts.emoji = QString();
    emptyTexts.color = QString();
    QTest::newRow("present but empty")
        << emptyTexts << QStringList{"color", "duration", "emoji", "id", "name", "sortOrder"};
    Preset full = withEmoji;
    full.color = QStringLiteral("#00FF00");
    full.soundConfig = SoundConfig{};
    QTest::newRow("all seven") << full << QStringList{"color", "duration",  "emoji",      "id",
                                                      "name",  "sortOrder", "soundConfig"};
}

void TestPreset::keySets() {
    QFETCH(Preset, preset);
    QFETCH(QStringList, keys);
    QCOMPARE(sortedKeys(JsonCodecFor<Preset>::encode(preset).toObject()), keys);
}

void TestPreset::writesUpperCaseIdAndNestedSound() {
    Preset p = bare();
    p.id = QUuid::fromString(kId.toLower());
    p.soundConfig = SoundConfig{QStringLiteral("gong"), 0.3f, AlertMode::Repeated, 10};
    p.sortOrder = -4;
    const QJsonObject o = JsonCodecFor<Preset>::encode(p).toObject();
    QCOMPARE(o.value("id").toString(), kId);
    QCOMPARE(o.value("sortOrder").toDouble(), -4.0);
    const QJsonObject sound = o.value("soundConfig").toObject();
    QCOMPARE(sound.value("soundName").toString(), QStringLiteral("gong"));
    QCOMPARE(sound.value("volume").toDouble(), 0.3);
    QCOMPARE(sound.value("alertMode").toString(), QStringLiteral("repeated"));
    QCOMPARE(sound.value("preWarningSeconds").toDouble(), 10.0);
}

void TestPreset::optionalsMissingOrNullReadAsAbsent_data() {
    QTest::addColumn<QJsonObject>("object");
    QTest::newRow("missing") << minimalObject();
    QJsonObject nulls = minimalObject();
    for (const char* key : {"emoji", "color", "soundConfig"}) nulls.insert(key, QJsonValue::Null);
    QTest::newRow("null") << nulls;
    QJsonObject extra = minimalObject();
    extra.insert("future", true);
    QTest::newRow("unknown key ignored") << extra;
}

void TestPreset::optionalsMissingOrNullReadAsAbsent() {
    QFETCH(QJsonObject, object);
    QCOMPARE(JsonCodecFor<Preset>::decode(object), bare());
}

void TestPreset::roundTrip() {
    Preset p = bare();
    p.emoji = QStringLiteral("\U0001F9E0");
    p.color = QStringLiteral("#abc");
    p.duration = 1234.5;
    p.soundConfig = SoundConfig{QStringLiteral("bell"), 0.8f, AlertMode::LoopUntilDismissed, {}};
    const QByteArray bytes = json::serialize(JsonCodecFor<Preset>::encode(p));
    QCOMPARE(JsonCodecFor<Preset>::decode(json::parse(bytes)), p);
}

void TestPreset::rejects_data() {
    QTest::addColumn<QJsonValue>("value");
    for (const char* key : {"id", "name", "duration", "sortOrder"}) {
        QJsonObject missing = minimalObject();
        missing.remove(key);
        QTest::addRow("missing %s", key) << QJsonValue(missing);
        QJsonObject null = minimalObject();
        null.insert(key, QJsonValue::Null);
        QTest::addRow("null %s", key) << QJsonValue(null);
    }
    const auto with = [](const char* key, const QJsonValue& v) {
        QJsonObject o = minimalObject();
        o.insert(key, v);
        return QJsonValue(o);
    };
    QTest::newRow("fractional sortOrder") << with("sortOrder", 1.5);
    QTest::newRow("huge sortOrder") << with("sortOrder", 1e19);
    QTest::newRow("text sortOrder") << with("sortOrder", "1");
    QTest::newRow("text duration") << with("duration", "180");
    QTest::newRow("number name") << with("name", 5);
    QTest::newRow("bad id") << with("id", "tea");
    QTest::newRow("number emoji") << with("emoji", 1);
    QTest::newRow("bool color") << with("color", true);
    QTest::newRow("sound not object") << with("soundConfig", "chime");
    QTest::newRow("sound bad alert")
        << with("soundConfig",
                QJsonObject{{"soundName", "chime"}, {"volume", 0.8}, {"alertMode", "forever"}});
    QTest::newRow("not an object") << QJsonValue(QJsonArray{minimalObject()});
}

void TestPreset::rejects() {
    QFETCH(QJsonValue, value);
    QVERIFY_THROWS_EXCEPTION(json::JsonError, JsonCodecFor<Preset>::decode(value));
}

void TestPreset::gadgetReadsAndEditsCopy() {
    const QMetaObject& meta = Preset::staticMetaObject;
    const auto prop = [&](const char* name) { return meta.property(meta.indexOfProperty(name)); };
    Preset p = bare();
    QCOMPARE(prop("id").readOnGadget(&p).toString(), kId);
    QCOMPARE(prop("emoji").readOnGadget(&p).toString(), QString());
    QCOMPARE(prop("hasSoundConfig").readOnGadget(&p).toBool(), false);
    QVERIFY(prop("emoji").writeOnGadget(&p, QStringLiteral("🍵")));
    QCOMPARE(p.emoji, std::optional<QString>(QStringLiteral("🍵")));
    QVERIFY(prop("emoji").writeOnGadget(&p, QString()));
    QVERIFY(!p.emoji);
    QVERIFY(prop("color").writeOnGadget(&p, QStringLiteral("#FF0000")));
    QCOMPARE(p.color, std::optional<QString>(QStringLiteral("#FF0000")));
    QVERIFY(prop("duration").writeOnGadget(&p, 90.0));
    QVERIFY(prop("name").writeOnGadget(&p, QStringLiteral("Short")));
    QCOMPARE(p.duration, 90.0);
    QCOMPARE(p.name, QStringLiteral("Short"));
}

QTEST_GUILESS_MAIN(TestPreset)
#include "tst_preset.moc"
