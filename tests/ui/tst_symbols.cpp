#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QTest>

#include "ui/Symbols.h"

using namespace larkspur;

// Every symbol the views name must be a glyph the icon font really has; a missing one would show
// as an empty box or nothing at all.
class TestSymbols : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyNameHasAGlyphInTheFont_data();
    void everyNameHasAGlyphInTheFont();
    void unknownNamesGiveNothing_data();
    void unknownNamesGiveNothing();

private:
    QRawFont font_;
};

void TestSymbols::initTestCase() {
    QVERIFY2(Symbols::loadFont(), qPrintable(Symbols::fontPath()));
    QVERIFY(Symbols::loadFont());  // a second call is harmless
    QFont font(Symbols::fontFamily());
    font.setPixelSize(24);
    font_ = QRawFont::fromFont(font);
    QVERIFY(font_.isValid());
    QCOMPARE(font_.familyName(), Symbols::fontFamily());
}

void TestSymbols::everyNameHasAGlyphInTheFont_data() {
    QTest::addColumn<QString>("name");
    const QStringList names = Symbols::names();
    QVERIFY(names.size() >= 20);
    for (const QString& name : names) QTest::newRow(qPrintable(name)) << name;
}

void TestSymbols::everyNameHasAGlyphInTheFont() {
    QFETCH(QString, name);
    const QString glyph = Symbols::glyph(name);
    QCOMPARE(glyph.size(), 1);
    QVERIFY2(font_.supportsCharacter(glyph.at(0)),
             qPrintable(QStringLiteral("U+%1").arg(glyph.at(0).unicode(), 4, 16)));
    const QList<quint32> indexes = font_.glyphIndexesForString(glyph);
    QCOMPARE(indexes.size(), 1);
    QVERIFY(!font_.pathForGlyph(indexes.first()).isEmpty());
}

void TestSymbols::unknownNamesGiveNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("unknown") << QStringLiteral("no.such.symbol");
    QTest::newRow("other case") << QStringLiteral("Timer");
    QTest::newRow("prefix") << QStringLiteral("play");
}

void TestSymbols::unknownNamesGiveNothing() {
    QFETCH(QString, name);
    QVERIFY(Symbols::glyph(name).isEmpty());
}

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
