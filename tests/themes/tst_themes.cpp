#include <QSignalSpy>
#include <QTest>
#include <limits>

#include "support/TempStorage.h"
#include "themes/Color.h"
#include "themes/ThemeManager.h"

using namespace larkspur;
using namespace larkspur::test;
using Themes = QList<Theme>;

namespace {

Theme custom(const char* name) {
    return {QUuid::createUuid(), name,      ThemeKind::Custom, "#101010",
            "#336699",           "#EFEFEF", "#0A0B0C"};
}

struct Fixture {
    TempStorage files;
    std::unique_ptr<ThemeManager> manager;
    std::unique_ptr<QSignalSpy> current;  // currentThemeChanged
    std::unique_ptr<QSignalSpy> customs;  // customThemesChanged

    void launch() {
        manager = std::make_unique<ThemeManager>(files.storage);
        current = std::make_unique<QSignalSpy>(manager.get(), &ThemeManager::currentThemeChanged);
        customs = std::make_unique<QSignalSpy>(manager.get(), &ThemeManager::customThemesChanged);
    }
    // The current theme, the custom ones, the signals so far, and the files written since last
    // asked: "current" and "custom" when they hold what the manager holds.
    QString state() const {
        QStringList names;
        for (const Theme& t : manager->customThemes()) names << t.name;
        QString out = QStringLiteral("%1 | %2 | %3 %4")
                          .arg(manager->currentTheme().name, names.join(' '))
                          .arg(current->count())
                          .arg(customs->count());
        if (auto stored = files.storage.load<Theme>("current-theme.json"))
            out += stored == manager->currentTheme() ? " current" : " stale";
        if (auto stored = files.storage.load<Themes>("custom-themes.json"))
            out += stored == manager->customThemes() ? " custom" : " stale";
        QFile::remove(files.path(kCurrentThemeFile));
        QFile::remove(files.path(kCustomThemesFile));
        return out;
    }
};

}  // namespace

class TestThemes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fromHex_data();
    void fromHex();
    void toHex();
    void builtIns();
    void editing();
};

void TestThemes::fromHex_data() {
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("rgb");
    // Short forms are numbers, not CSS shorthands; only the low 24 bits make the colour.
    const char* rows[][2] = {
        {"", "000000"},          {"###", "000000"},        {"#F26A1F", "F26A1F"},
        {"F26A1F", "F26A1F"},    {"##F26A1F##", "F26A1F"}, {"#09afAF", "09AFAF"},
        {"#FFF", "000FFF"},      {"#12345", "012345"},     {"#FF8C42FF", "8C42FF"},
        {"#GGGGGG", "000000"},   {"#12GG56", "000012"},    {"F2#6A1F", "0000F2"},
        {"0xF26A1F", "F26A1F"},  {"0X00ff00", "00FF00"},   {"0xA", "00000A"},
        {"#0xF26A1F", "F26A1F"}, {"0x", "000000"},         {"0xZZ", "000000"},
        {"0x0x12", "000000"},    {"-FFFFFF", "000000"},    {" #F26A1F", "000000"},
        {"#F2 6A1F", "0000F2"}};
    // White space, other digits and letters; leading zeros; saturation past 64 bits.
    const char* more[][2] = {{"\t\r\n \u00A0\u3000F26A1F", "F26A1F"},
                             {"\u200BF26A1F", "000000"},
                             {"\u0663\uFF26", "000000"},
                             {"00000000000000000F26A1F", "F26A1F"},
                             {"#FFFFFFFFFFFFFFF0", "FFFFF0"},
                             {"10123456789ABCDEF", "FFFFFF"},
                             {"1111111111111000000", "FFFFFF"}};
    for (const auto& [hex, rgb] : rows)
        QTest::newRow(hex) << QString::fromUtf8(hex) << "#" + QString(rgb);
    for (const auto& [hex, rgb] : more)
        QTest::newRow(hex) << QString::fromUtf8(hex) << "#" + QString(rgb);
}

void TestThemes::fromHex() {
    QFETCH(QString, hex);
    QTEST(Color::fromHex(hex).toHex(), "rgb");
}

void TestThemes::toHex() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Truncated, clamped, opacity dropped; NaN anywhere gives black.
    const Color colors[] = {{0.5, 0.999, 1 / 255.0 - 1e-9, 0.25},
                            {1.5, -0.2, inf, 1},
                            {nan, 0.5, 0.5, 1},
                            {0.5, 0.5, nan, 1}};
    QStringList hex;
    for (const Color& c : colors) hex << c.toHex();
    QCOMPARE(hex, (QStringList{"#7FFE00", "#FF00FF", "#000000", "#000000"}));
    for (int k = 0; k < 256; ++k) {
        const QString text = QString::asprintf("#%02X%02X%02X", k, 255 - k, k ^ 0x5A);
        QCOMPARE(Color::fromHex(text.toLower()).toHex(), text);
        QCOMPARE(Color::fromQColor(Color::fromHex(text).toQColor()).toHex(), text);
    }
    QCOMPARE(Color::fromQColor(QColor()), Color{});
}

void TestThemes::builtIns() {
    QStringList texts;
    for (const Theme& t : Theme::builtIn())
        texts << QStringList{t.idText(),  t.name,    t.kindText(), t.backgroundHex,
                             t.accentHex, t.textHex, t.progressHex}
                     .join(' ');
    QCOMPARE(texts,
             (QStringList{
                 "1201B33E-1782-562D-99EF-B406C4229008 Light light #FFFFFF #F26A1F #3A2010 #F26A1F",
                 "0CC0E7F7-DCD4-5548-BA56-36CA7E43478A Dark dark #1C1C1E #FF8C42 #F0E0D0 #FF8C42",
                 "B2B3356E-2248-5FD6-8F57-A173CDAB304A High Contrast highContrast #000000 #FFAA00 "
                 "#FFFFFF #FFAA00"}));
    QVERIFY(!themeKindFromRaw("") && !themeKindFromRaw("Light"));
}

void TestThemes::editing() {
    Fixture f;
    f.launch();
    QCOMPARE(f.state(), "Light |  | 0 0");  // nothing is written at the start
    // Setting only changes what views draw with; applying also writes, even the same again.
    QVERIFY(f.manager->setProperty("currentTheme", QVariant::fromValue(Theme::highContrast())));
    f.manager->setCurrentTheme(Theme::highContrast());
    QCOMPARE(f.state(), "High Contrast |  | 1 0");
    f.manager->apply(Theme::dark());
    QCOMPARE(f.state(), "Dark |  | 2 0 current");
    f.manager->apply(Theme::dark());
    QCOMPARE(f.state(), "Dark |  | 2 0 current");
    Theme b =
        f.manager->makeCustomTheme("B", QColor(0xFF, 0xF5, 0xEB), QColor(0xF2, 0x6A, 0x1F, 0x40),
                                   QColor(0x3A, 0x20, 0x10), QColor());
    QCOMPARE(QStringList({b.backgroundHex, b.accentHex, b.textHex, b.progressHex}),
             (QStringList{"#FFF5EB", "#F26A1F", "#3A2010", "#000000"}));
    QVERIFY(b.kind == ThemeKind::Custom && !b.id.isNull());
    const Theme a = custom("A");
    Theme nil = custom("Nil");
    nil.id = QUuid();  // text that is no id must not match this one
    for (const Theme& t : {nil, a, b})
        QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "saveCustomTheme",
                                          Q_ARG(larkspur::Theme, t)));
    QCOMPARE(f.state(), "Dark | Nil A B | 2 3 custom");
    f.manager->apply(b);
    b.name = "B2";
    b.accentHex = "#654321";
    f.manager->saveCustomTheme(b);  // replaced in place; being current, redrawn and written
    QCOMPARE(f.state(), "B2 | Nil A B2 | 4 4 current custom");
    QCOMPARE(f.manager->accentColor(), QColor(0x65, 0x43, 0x21));
    f.manager->deleteCustomTheme(a.id);
    QCOMPARE(f.state(), "B2 | Nil B2 | 4 5 custom");
    // Ids matching nothing are ignored, and the list written all the same.
    for (const QString& id : {a.idText(), QStringLiteral("light")}) {
        QVERIFY(
            QMetaObject::invokeMethod(f.manager.get(), "deleteCustomTheme", Q_ARG(QString, id)));
        QCOMPARE(f.state(), "B2 | Nil B2 | 4 5 custom");
    }
    f.manager->saveCustomTheme(b);
    f.launch();
    QCOMPARE(f.state(), "B2 | Nil B2 | 0 0 current custom");
    QCOMPARE(f.manager->property("customThemes").toList().size(), 2);
    QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "deleteCustomTheme",
                                      Q_ARG(QString, b.idText().toLower())));
    QCOMPARE(f.state(), "Light | Nil | 1 1 current custom");
}

QTEST_GUILESS_MAIN(TestThemes)
#include "tst_themes.moc"
