#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include "support/StdoutCapture.h"
#include "support/TempStorage.h"
#include "themes/ThemeManager.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
Theme custom(const char* name, const char* accent) {
    Theme t;
    t.id = QUuid::createUuid();
    t.name = QLatin1String(name);
    t.kind = ThemeKind::Custom;
    t.backgroundHex = QStringLiteral("#101010");
    t.accentHex = QLatin1String(accent);
    t.textHex = QStringLiteral("#EFEFEF");
    t.progressHex = QLatin1String(accent);
    return t;
}

struct Fixture {
    TempStorage files;
    std::unique_ptr<ThemeManager> manager;

    void launch() { manager = std::make_unique<ThemeManager>(files.storage); }
    bool exists(const QString& name) const { return QFile::exists(files.path(name)); }
    std::optional<Theme> storedCurrent() const {
        return files.storage.load<Theme>(kCurrentThemeFile);
    }
    std::optional<QList<Theme>> storedCustom() const {
        return files.storage.load<QList<Theme>>(kCustomThemesFile);
    }
    QStringList keptCopies(const QString& name) const {
        return QDir(files.storage.directory()).entryList({name + ".unreadable-*"}, QDir::Files);
    }
};

QStringList names(const QList<Theme>& themes) {
    QStringList out;
    for (const Theme& t : themes) out << t.name;
    return out;
}
}  // namespace

class TestThemeManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noFilesGivesLightAndWritesNothing();
    void loadsBothFilesAsStored();
    void unreadableCurrentTheme_data();
    void unreadableCurrentTheme();
    void oneBadCustomThemeDropsTheList();
    void applySetsAndWrites();
    void settingCurrentThemeDoesNotWrite();
    void saveAppendsOrReplacesInPlace();
    void savingCurrentCustomThemeRedrawsAndWrites();
    void savingOtherThemeLeavesCurrentAlone();
    void deleteCurrentFallsBackToLight();
    void deleteOtherKeepsCurrent();
    void deleteUnknownIdStillWritesList();
    void deleteByText_data();
    void deleteByText();
    void builtInCurrentSurvivesRestart();
    void currentCustomMissingFromListStaysCurrent();
    void qmlFacingProperties();
    void makeCustomThemeAndColourHelpers();
};

void TestThemeManager::noFilesGivesLightAndWritesNothing() {
    Fixture f;
    StdoutCapture out;
    f.launch();
    QCOMPARE(f.manager->currentTheme(), Theme::light());
    QCOMPARE(f.manager->currentTheme().backgroundHex, QStringLiteral("#FFFFFF"));
    QCOMPARE(f.manager->currentTheme().accentHex, QStringLiteral("#F26A1F"));
    QCOMPARE(f.manager->currentTheme().textHex, QStringLiteral("#3A2010"));
    QCOMPARE(f.manager->currentTheme().progressHex, QStringLiteral("#F26A1F"));
    QVERIFY(f.manager->customThemes().isEmpty());
    QCOMPARE(f.manager->builtInThemes(), Theme::builtIn());
    QVERIFY(!f.exists(kCurrentThemeFile));
    QVERIFY(!f.exists(kCustomThemesFile));
    QCOMPARE(out.text(), QString());
}

void TestThemeManager::loadsBothFilesAsStored() {
    Fixture f;
    Theme current = Theme::dark();
    current.id = QUuid::createUuid();  // a built-in written by some other build
    current.accentHex = QStringLiteral("#abcdef");
    f.files.storage.save(current, kCurrentThemeFile);
    const QList<Theme> list{custom("One", "#111111"), custom("Two", "#222222")};
    f.files.storage.save(list, kCustomThemesFile);
    f.launch();
    QCOMPARE(f.manager->currentTheme(), current);
    QCOMPARE(f.manager->accentColor(), QColor(0xAB, 0xCD, 0xEF));
    QCOMPARE(f.manager->customThemes(), list);
}

void TestThemeManager::unreadableCurrentTheme_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = json::serialize(JsonCodecFor<Theme>::encode(custom("X", "#123456")));
    QByteArray badKind = good;
    badKind.replace("\"custom\"", "\"sepia\"");
    QTest::newRow("kind outside the table") << badKind;
    QByteArray missing = good;
    missing.replace("\"textHex\"", "\"text\"");
    QTest::newRow("missing key") << missing;
    QByteArray wrongType = good;
    wrongType.replace("\"#123456\"", "123456");
    QTest::newRow("number for a hex text") << wrongType;
    QTest::newRow("array of themes") << "[" + good + "]";
    QTest::newRow("not json") << QByteArray("light");
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("empty") << QByteArray();
}

void TestThemeManager::unreadableCurrentTheme() {
    QFETCH(QByteArray, content);
    Fixture f;
    f.files.write(kCurrentThemeFile, content);
    StdoutCapture out;
    f.launch();
    QCOMPARE(f.manager->currentTheme(), Theme::light());
    const QStringList lines = out.text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith("StorageManager load error: "), qPrintable(lines.first()));
    QCOMPARE(f.files.read(kCurrentThemeFile), content);
    QCOMPARE(f.keptCopies(kCurrentThemeFile).size(), 1);
}

void TestThemeManager::oneBadCustomThemeDropsTheList() {
    Fixture f;
    QJsonArray array{JsonCodecFor<Theme>::encode(custom("Good", "#111111"))};
    QJsonObject bad = JsonCodecFor<Theme>::encode(custom("Bad", "#222222")).toObject();
    bad.insert("kind", "Custom");
    array.append(bad);
    const QByteArray content = QJsonDocument(array).toJson();
    f.files.write(kCustomThemesFile, content);
    StdoutCapture out;
    f.launch();
    QVERIFY(f.manager->customThemes().isEmpty());
    QVERIFY(out.text().startsWith("StorageManager load error: "));
    QCOMPARE(f.files.read(kCustomThemesFile), content);
    QCOMPARE(f.keptCopies(kCustomThemesFile).size(), 1);
}

void TestThemeManager::applySetsAndWrites() {
    Fixture f;
    f.launch();
    QSignalSpy changed(f.manager.get(), &ThemeManager::currentThemeChanged);
    f.manager->apply(Theme::dark());
    QCOMPARE(f.manager->currentTheme(), Theme::dark());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.storedCurrent(), std::optional<Theme>(Theme::dark()));
    QVERIFY(!f.exists(kCustomThemesFile));
    // Applying the same theme again still writes a full copy.
    QFile::remove(f.files.path(kCurrentThemeFile));
    f.manager->apply(Theme::dark());
    QCOMPARE(f.storedCurrent(), std::optional<Theme>(Theme::dark()));
    QCOMPARE(changed.size(), 1);
}

void TestThemeManager::settingCurrentThemeDoesNotWrite() {
    Fixture f;
    f.launch();
    QSignalSpy changed(f.manager.get(), &ThemeManager::currentThemeChanged);
    QVERIFY(f.manager->setProperty("currentTheme", QVariant::fromValue(Theme::highContrast())));
    QCOMPARE(f.manager->currentTheme(), Theme::highContrast());
    QCOMPARE(changed.size(), 1);
    QVERIFY(!f.exists(kCurrentThemeFile));
}

void TestThemeManager::saveAppendsOrReplacesInPlace() {
    Fixture f;
    f.launch();
    QSignalSpy changed(f.manager.get(), &ThemeManager::customThemesChanged);
    const Theme a = custom("A", "#AA0000");
    const Theme b = custom("B", "#BB0000");
    const Theme c = custom("C", "#CC0000");
    f.manager->saveCustomTheme(a);
    f.manager->saveCustomTheme(b);
    f.manager->saveCustomTheme(c);
    Theme editedB = b;
    editedB.name = QStringLiteral("B2");
    editedB.accentHex = QStringLiteral("#0000BB");
    f.manager->saveCustomTheme(editedB);
    QCOMPARE(names(f.manager->customThemes()), (QStringList{"A", "B2", "C"}));
    QCOMPARE(f.manager->customThemes().at(1), editedB);
    QCOMPARE(f.storedCustom(), std::optional<QList<Theme>>(f.manager->customThemes()));
    QCOMPARE(changed.size(), 4);
}

void TestThemeManager::savingCurrentCustomThemeRedrawsAndWrites() {
    Fixture f;
    f.launch();
    const Theme mine = custom("Mine", "#123456");
    f.manager->saveCustomTheme(mine);
    f.manager->apply(mine);
    QSignalSpy changed(f.manager.get(), &ThemeManager::currentThemeChanged);
    Theme edited = mine;
    edited.accentHex = QStringLiteral("#654321");
    edited.name = QStringLiteral("Mine, warmer");
    f.manager->saveCustomTheme(edited);
    QCOMPARE(f.manager->currentTheme(), edited);
    QCOMPARE(f.manager->accentColor(), QColor(0x65, 0x43, 0x21));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.storedCurrent(), std::optional<Theme>(edited));
    f.launch();
    QCOMPARE(f.manager->currentTheme(), edited);
}

void TestThemeManager::savingOtherThemeLeavesCurrentAlone() {
    Fixture f;
    f.launch();
    f.manager->apply(Theme::dark());
    QFile::remove(f.files.path(kCurrentThemeFile));
    QSignalSpy changed(f.manager.get(), &ThemeManager::currentThemeChanged);
    f.manager->saveCustomTheme(custom("Other", "#00FF00"));
    QCOMPARE(f.manager->currentTheme(), Theme::dark());
    QCOMPARE(changed.size(), 0);
    QVERIFY(!f.exists(kCurrentThemeFile));
}

void TestThemeManager::deleteCurrentFallsBackToLight() {
    Fixture f;
    f.launch();
    const Theme a = custom("A", "#AA0000");
    const Theme b = custom("B", "#BB0000");
    f.manager->saveCustomTheme(a);
    f.manager->saveCustomTheme(b);
    f.manager->apply(b);
    QSignalSpy changed(f.manager.get(), &ThemeManager::currentThemeChanged);
    f.manager->deleteCustomTheme(b.id);
    QCOMPARE(f.manager->currentTheme(), Theme::light());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.storedCurrent(), std::optional<Theme>(Theme::light()));
    QCOMPARE(f.storedCustom(), std::optional<QList<Theme>>(QList<Theme>{a}));
}

void TestThemeManager::deleteOtherKeepsCurrent() {
    Fixture f;
    f.launch();
    const Theme a = custom("A", "#AA0000");
    const Theme b = custom("B", "#BB0000");
    const Theme c = custom("C", "#CC0000");
    for (const Theme& t : {a, b, c}) f.manager->saveCustomTheme(t);
    f.manager->apply(c);
    const QByteArray currentBytes = f.files.read(kCurrentThemeFile);
    f.manager->deleteCustomTheme(b.id);
    QCOMPARE(f.manager->currentTheme(), c);
    QCOMPARE(names(f.manager->customThemes()), (QStringList{"A", "C"}));
    QCOMPARE(f.files.read(kCurrentThemeFile), currentBytes);
}

void TestThemeManager::deleteUnknownIdStillWritesList() {
    Fixture f;
    f.launch();
    f.manager->saveCustomTheme(custom("A", "#AA0000"));
    const QList<Theme> before = f.manager->customThemes();
    QFile::remove(f.files.path(kCustomThemesFile));
    QSignalSpy changed(f.manager.get(), &ThemeManager::customThemesChanged);
    f.manager->deleteCustomTheme(QUuid::createUuid());
    QCOMPARE(f.manager->customThemes(), before);
    QCOMPARE(f.storedCustom(), std::optional<QList<Theme>>(before));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(f.manager->currentTheme(), Theme::light());
}

void TestThemeManager::deleteByText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("removes");
    QTest::newRow("upper case") << "4A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9" << true;
    QTest::newRow("lower case") << "4a1b2c3d-4e5f-4061-8273-94a5b6c7d8e9" << true;
    QTest::newRow("braces") << "{4A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}" << false;
    QTest::newRow("garbage") << "light" << false;
    QTest::newRow("empty") << "" << false;
}

void TestThemeManager::deleteByText() {
    QFETCH(QString, text);
    QFETCH(bool, removes);
    Fixture f;
    f.launch();
    Theme nil = custom("Nil", "#000001");
    nil.id = QUuid();  // text that is no id must not match this one
    Theme target = custom("Target", "#000002");
    target.id = QUuid::fromString(u"4A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
    f.manager->saveCustomTheme(nil);
    f.manager->saveCustomTheme(target);
    QFile::remove(f.files.path(kCustomThemesFile));
    QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "deleteCustomTheme", Q_ARG(QString, text)));
    QCOMPARE(names(f.manager->customThemes()),
             removes ? QStringList{"Nil"} : (QStringList{"Nil", "Target"}));
    QVERIFY(f.exists(kCustomThemesFile));
}

void TestThemeManager::builtInCurrentSurvivesRestart() {
    Fixture f;
    f.launch();
    f.manager->apply(Theme::highContrast());
    f.launch();
    QCOMPARE(f.manager->currentTheme(), Theme::highContrast());
    QCOMPARE(f.manager->currentTheme().id, f.manager->builtInThemes().at(2).id);
}

void TestThemeManager::currentCustomMissingFromListStaysCurrent() {
    Fixture f;
    const Theme orphan = custom("Orphan", "#777777");
    f.files.storage.save(orphan, kCurrentThemeFile);
    f.files.storage.save(QList<Theme>{custom("Listed", "#888888")}, kCustomThemesFile);
    f.launch();
    QCOMPARE(f.manager->currentTheme(), orphan);
    QCOMPARE(names(f.manager->customThemes()), QStringList{"Listed"});
}

void TestThemeManager::qmlFacingProperties() {
    Fixture f;
    f.launch();
    const Theme mine = custom("Mine", "#336699");
    QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "saveCustomTheme",
                                      Q_ARG(larkspur::Theme, mine)));
    QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "apply", Q_ARG(larkspur::Theme, mine)));
    QCOMPARE(f.manager->property("currentTheme").value<Theme>(), mine);
    QCOMPARE(f.manager->property("accentColor").value<QColor>(), QColor(0x33, 0x66, 0x99));
    QCOMPARE(f.manager->property("backgroundColor").value<QColor>(), QColor(0x10, 0x10, 0x10));
    QCOMPARE(f.manager->property("textColor").value<QColor>(), QColor(0xEF, 0xEF, 0xEF));
    QCOMPARE(f.manager->property("progressColor").value<QColor>(), QColor(0x33, 0x66, 0x99));
    const QVariantList customs = f.manager->property("customThemes").toList();
    QCOMPARE(customs.size(), 1);
    QCOMPARE(customs.first().value<Theme>(), mine);
    const QVariantList builtIns = f.manager->property("builtInThemes").toList();
    QCOMPARE(builtIns.size(), 3);
    QCOMPARE(builtIns.at(1).value<Theme>(), Theme::dark());
}

void TestThemeManager::makeCustomThemeAndColourHelpers() {
    Fixture f;
    f.launch();
    const Theme t = f.manager->makeCustomTheme(QStringLiteral("My Theme"), QColor(0xFF, 0xF5, 0xEB),
                                               QColor(0xF2, 0x6A, 0x1F, 0x40),
                                               QColor(0x3A, 0x20, 0x10), QColor());
    QCOMPARE(t.kind, ThemeKind::Custom);
    QVERIFY(!t.id.isNull());
    QCOMPARE(t.name, QStringLiteral("My Theme"));
    QCOMPARE(t.backgroundHex, QStringLiteral("#FFF5EB"));
    QCOMPARE(t.accentHex, QStringLiteral("#F26A1F"));
    QCOMPARE(t.textHex, QStringLiteral("#3A2010"));
    QCOMPARE(t.progressHex, QStringLiteral("#000000"));
    QVERIFY(f.manager->makeCustomTheme("x", {}, {}, {}, {}).id != t.id);
    QCOMPARE(f.manager->colorFromHex(QStringLiteral("#FFF")), QColor(0, 0x0F, 0xFF));
    QCOMPARE(f.manager->hexFromColor(QColor(0xAB, 0xCD, 0xEF)), QStringLiteral("#ABCDEF"));
    QVERIFY(!f.exists(kCustomThemesFile));
}

QTEST_GUILESS_MAIN(TestThemeManager)
#include "tst_thememanager.moc"
