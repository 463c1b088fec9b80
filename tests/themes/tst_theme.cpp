#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QSet>
#include <QTest>

#include "themes/Theme.h"

using namespace larkspur;

namespace {
const QString kId = QStringLiteral("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");

QJsonObject customObject() {
    return QJsonObject{{"id", kId},
                       {"name", "Dusk"},
                       {"kind", "custom"},
                       {"backgroundHex", "#112233"},
                       {"accentHex", "#ff8c42"},
                       {"textHex", "#EEE"},
                       {"progressHex", "#445566"}};
}

QVariant readGadget(const Theme& theme, const char* name) {
    const QMetaObject& meta = Theme::staticMetaObject;
    const int index = meta.indexOfProperty(name);
    return index < 0 ? QVariant() : meta.property(index).readOnGadget(&theme);
}
}  // namespace

class TestTheme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtIns_data();
    void builtIns();
    void builtInListAndIds();
    void kindRawValues_data();
    void kindRawValues();
    void writesExactlySevenKeys();
    void readsAsStoredWithoutNormalising();
    void roundTrip();
    void rejects_data();
    void rejects();
    void gadgetExposesTextsAndColours();
};

void TestTheme::builtIns_data() {
    QTest::addColumn<Theme>("theme");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<QString>("text");
    QTest::newRow("light") << Theme::light() << "Light"
                           << "light"
                           << "#FFFFFF"
                           << "#F26A1F"
                           << "#3A2010";
    QTest::newRow("dark") << Theme::dark() << "Dark"
                          << "dark"
                          << "#1C1C1E"
                          << "#FF8C42"
                          << "#F0E0D0";
    QTest::newRow("high contrast") << Theme::highContrast() << "High Contrast"
                                   << "highContrast"
                                   << "#000000"
                                   << "#FFAA00"
                                   << "#FFFFFF";
}

void TestTheme::builtIns() {
    QFETCH(Theme, theme);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, background);
    QFETCH(QString, accent);
    QFETCH(QString, text);
    QCOMPARE(theme.name, name);
    QCOMPARE(toRawValue(theme.kind), kind);
    QCOMPARE(theme.backgroundHex, background);
    QCOMPARE(theme.accentHex, accent);
    QCOMPARE(theme.textHex, text);
    QCOMPARE(theme.progressHex, accent);
    QVERIFY(!theme.id.isNull());
}

void TestTheme::builtInListAndIds() {
    const QList<Theme>& list = Theme::builtIn();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(0), Theme::light());
    QCOMPARE(list.at(1), Theme::dark());
    QCOMPARE(list.at(2), Theme::highContrast());
    const QSet<QUuid> ids{list.at(0).id, list.at(1).id, list.at(2).id};
    QCOMPARE(ids.size(), 3);
    // Derived from the kind, so the same in every run of the program.
    QCOMPARE(Theme::light().id, QUuid::createUuidV5(QUuid(0x7A1D3C52, 0x9E4B, 0x4F08, 0xB6, 0xC1,
                                                          0x2D, 0x5E, 0x8F, 0x0A, 0x4B, 0x37),
                                                    QStringLiteral("light")));
}

void TestTheme::kindRawValues_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("known");
    QTest::newRow("light") << "light" << true;
    QTest::newRow("dark") << "dark" << true;
    QTest::newRow("highContrast") << "highContrast" << true;
    QTest::newRow("custom") << "custom" << true;
    QTest::newRow("capitalised") << "Light" << false;
    QTest::newRow("snake case") << "high_contrast" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("padded") << " dark" << false;
}

void TestTheme::kindRawValues() {
    QFETCH(QString, raw);
    QFETCH(bool, known);
    const auto kind = themeKindFromRaw(raw);
    QCOMPARE(kind.has_value(), known);
    if (kind) QCOMPARE(toRawValue(*kind), raw);
}

void TestTheme::writesExactlySevenKeys() {
    const QJsonObject o = JsonCodecFor<Theme>::encode(Theme::highContrast()).toObject();
    QStringList keys = o.keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"accentHex", "backgroundHex", "id", "kind", "name", "progressHex",
                                "textHex"}));
    QCOMPARE(o.value("kind").toString(), QStringLiteral("highContrast"));
    QCOMPARE(o.value("id").toString(),
             Theme::highContrast().id.toString(QUuid::WithoutBraces).toUpper());
}

void TestTheme::readsAsStoredWithoutNormalising() {
    const Theme t = JsonCodecFor<Theme>::decode(customObject());
    QCOMPARE(t.id, QUuid::fromString(kId));
    QCOMPARE(t.name, QStringLiteral("Dusk"));
    QCOMPARE(t.kind, ThemeKind::Custom);
    QCOMPARE(t.accentHex, QStringLiteral("#ff8c42"));
    QCOMPARE(t.textHex, QStringLiteral("#EEE"));
}

void TestTheme::roundTrip() {
    for (const Theme& original :
         {Theme::light(), Theme::dark(), JsonCodecFor<Theme>::decode(customObject())}) {
        const QByteArray bytes = json::serialize(JsonCodecFor<Theme>::encode(original));
        QCOMPARE(JsonCodecFor<Theme>::decode(json::parse(bytes)), original);
    }
}

void TestTheme::rejects_data() {
    QTest::addColumn<QJsonValue>("value");
    for (const char* key :
         {"id", "name", "kind", "backgroundHex", "accentHex", "textHex", "progressHex"}) {
        QJsonObject missing = customObject();
        missing.remove(key);
        QTest::addRow("missing %s", key) << QJsonValue(missing);
        QJsonObject null = customObject();
        null.insert(key, QJsonValue::Null);
        QTest::addRow("null %s", key) << QJsonValue(null);
        QJsonObject number = customObject();
        number.insert(key, 7);
        QTest::addRow("number %s", key) << QJsonValue(number);
    }
    for (const char* kind : {"Light", "system", "", "CUSTOM"}) {
        QJsonObject o = customObject();
        o.insert("kind", kind);
        QTest::addRow("kind \"%s\"", kind) << QJsonValue(o);
    }
    QJsonObject badId = customObject();
    badId.insert("id", "not-a-uuid");
    QTest::newRow("bad id") << QJsonValue(badId);
    QTest::newRow("array") << QJsonValue(QJsonArray{customObject()});
    QTest::newRow("string") << QJsonValue("light");
}

void TestTheme::rejects() {
    QFETCH(QJsonValue, value);
    QVERIFY_THROWS_EXCEPTION(json::JsonError, JsonCodecFor<Theme>::decode(value));
}

void TestTheme::gadgetExposesTextsAndColours() {
    const Theme t = JsonCodecFor<Theme>::decode(customObject());
    QCOMPARE(readGadget(t, "id").toString(), kId);
    QCOMPARE(readGadget(t, "kind").toString(), QStringLiteral("custom"));
    QCOMPARE(readGadget(t, "accentHex").toString(), QStringLiteral("#ff8c42"));
    QCOMPARE(readGadget(t, "backgroundColor").value<QColor>(), QColor(0x11, 0x22, 0x33));
    QCOMPARE(readGadget(t, "accentColor").value<QColor>(), QColor(0xFF, 0x8C, 0x42));
    QCOMPARE(readGadget(t, "textColor").value<QColor>(), QColor(0, 0x0E, 0xEE));
    QCOMPARE(readGadget(t, "progressColor").value<QColor>(), QColor(0x44, 0x55, 0x66));
    Theme edited = t;
    const int name = Theme::staticMetaObject.indexOfProperty("name");
    QVERIFY(Theme::staticMetaObject.property(name).writeOnGadget(&edited, QStringLiteral("Dawn")));
    QCOMPARE(edited.name, QStringLiteral("Dawn"));
}

QTEST_GUILESS_MAIN(TestTheme)
#include "tst_theme.moc"
