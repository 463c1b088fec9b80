#include <QTest>
#include <cmath>
#include <limits>

#include "themes/Color.h"

using namespace larkspur;

namespace {
int byteOf(double component) {
    return int(std::lround(component * 255.0));
}
}  // namespace

class TestColor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fromHex_data();
    void fromHex();
    void scanNumber_data();
    void scanNumber();
    void toHex_data();
    void toHex();
    void everyByteRoundTrips();
    void lowerCaseEqualsUpperCase();
    void qColorConversions_data();
    void qColorConversions();
};

void TestColor::fromHex_data() {
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    QTest::newRow("empty") << "" << 0 << 0 << 0;
    QTest::newRow("only #") << "#" << 0 << 0 << 0;
    QTest::newRow("only ###") << "###" << 0 << 0 << 0;
    QTest::newRow("six digits") << "#F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("no #") << "F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("two leading #") << "##F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("trailing #") << "F26A1F##" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("white upper") << "FFFFFF" << 255 << 255 << 255;
    QTest::newRow("white lower") << "#ffffff" << 255 << 255 << 255;
    QTest::newRow("mixed case") << "#fF8c42" << 0xFF << 0x8C << 0x42;
    QTest::newRow("black") << "#000000" << 0 << 0 << 0;
    // Short forms are numbers, not CSS shorthands.
    QTest::newRow("three digits") << "#FFF" << 0 << 0x0F << 0xFF;
    QTest::newRow("one digit") << "#F" << 0 << 0 << 0x0F;
    QTest::newRow("two digits") << "#7f" << 0 << 0 << 0x7F;
    QTest::newRow("four digits") << "#ABCD" << 0 << 0xAB << 0xCD;
    QTest::newRow("five digits") << "#12345" << 0x01 << 0x23 << 0x45;
    QTest::newRow("seven digits") << "#1234567" << 0x23 << 0x45 << 0x67;
    QTest::newRow("eight digits") << "#FF8C42FF" << 0x8C << 0x42 << 0xFF;
    QTest::newRow("sixteen digits") << "0123456789ABCDEF" << 0xAB << 0xCD << 0xEF;
    QTest::newRow("no hex digit") << "#GGGGGG" << 0 << 0 << 0;
    QTest::newRow("letter outside a-f") << "zebra" << 0 << 0 << 0;
    QTest::newRow("stops at first non-digit") << "#12GG56" << 0 << 0 << 0x12;
    QTest::newRow("# inside is kept") << "F2#6A1F" << 0 << 0 << 0xF2;
    QTest::newRow("0x prefix") << "0xF26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("0X prefix") << "0X00ff00" << 0 << 0xFF << 0;
    QTest::newRow("# then 0x") << "#0xF26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("bare 0x") << "0x" << 0 << 0 << 0;
    QTest::newRow("0x then non-digit") << "0xZZ" << 0 << 0 << 0;
    QTest::newRow("second 0x stops") << "0x0x12" << 0 << 0 << 0;
    QTest::newRow("minus sign") << "-FFFFFF" << 0 << 0 << 0;
    QTest::newRow("plus sign") << "+FFFFFF" << 0 << 0 << 0;
    QTest::newRow("leading spaces") << "   F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("leading tab and newline") << "\t\r\nF26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("leading no-break space") << "\u00A0F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("leading ideographic space") << "\u3000F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("space before #") << " #F26A1F" << 0 << 0 << 0;
    QTest::newRow("trailing space") << "#F26A1F  " << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("space inside") << "#F2 6A1F" << 0 << 0 << 0xF2;
    QTest::newRow("zero-width space is no space") << "\u200BF26A1F" << 0 << 0 << 0;
    QTest::newRow("arabic-indic digits") << "\u0663\u0663\u0663\u0663\u0663\u0663" << 0 << 0 << 0;
    QTest::newRow("fullwidth letters") << "\uFF26\uFF26\uFF26\uFF26\uFF26\uFF26" << 0 << 0 << 0;
    QTest::newRow("unicode digit stops") << "12\u06634" << 0 << 0 << 0x12;
    QTest::newRow("emoji first") << "\U0001F345FFFFFF" << 0 << 0 << 0;
    QTest::newRow("many leading zeros") << QString(200, u'0') + "F26A1F" << 0xF2 << 0x6A << 0x1F;
    QTest::newRow("seventeen digits saturate") << "10123456789ABCDEF" << 255 << 255 << 255;
    QTest::newRow("very long saturates") << QString(10000, u'F') << 255 << 255 << 255;
    QTest::newRow("long, low bits zero") << QString(40, u'1') + "000000" << 255 << 255 << 255;
    QTest::newRow("many #") << QString(500, u'#') + "abcdef" + QString(500, u'#') << 0xAB << 0xCD
                            << 0xEF;
}

void TestColor::fromHex() {
    QFETCH(QString, hex);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const Color c = Color::fromHex(hex);
    QCOMPARE(c.red, red / 255.0);
    QCOMPARE(c.green, green / 255.0);
    QCOMPARE(c.blue, blue / 255.0);
    QCOMPARE(c.opacity, 1.0);
}

void TestColor::scanNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint64>("value");
    constexpr quint64 kAll = std::numeric_limits<quint64>::max();
    QTest::newRow("empty") << "" << quint64(0);
    QTest::newRow("max exact") << "FFFFFFFFFFFFFFFF" << kAll;
    QTest::newRow("one past max") << "10000000000000000" << kAll;
    QTest::newRow("sixteen digits") << "123456789abcdef0" << quint64(0x123456789ABCDEF0);
    QTest::newRow("leading zeros") << "0000000000000000000001" << quint64(1);
    QTest::newRow("prefix and spaces") << "  0x1f" << quint64(0x1F);
}

void TestColor::scanNumber() {
    QFETCH(QString, text);
    QFETCH(quint64, value);
    QCOMPARE(scanHexNumber(text), value);
}

void TestColor::toHex_data() {
    QTest::addColumn<double>("red");
    QTest::addColumn<double>("green");
    QTest::addColumn<double>("blue");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<QString>("hex");
    const double nan = std::numeric_limits<double>::quiet_NaN();

    QTest::newRow("black") << 0.0 << 0.0 << 0.0 << 1.0 << "#000000";
    QTest::newRow("white") << 1.0 << 1.0 << 1.0 << 1.0 << "#FFFFFF";
    QTest::newRow("accent") << 242 / 255.0 << 106 / 255.0 << 31 / 255.0 << 1.0 << "#F26A1F";
    QTest::newRow("upper-case digits")
        << 171 / 255.0 << 205 / 255.0 << 239 / 255.0 << 1.0 << "#ABCDEF";
    QTest::newRow("half truncates down") << 0.5 << 0.5 << 0.5 << 1.0 << "#7F7F7F";
    QTest::newRow("almost one truncates") << 0.999 << 0.998 << 0.9999 << 1.0 << "#FEFEFE";
    QTest::newRow("just under a step")
        << 0.0 << (1 / 255.0 - 1e-9) << 1 / 255.0 << 1.0 << "#000001";
    QTest::newRow("opacity dropped") << 1.0 << 0.0 << 0.0 << 0.25 << "#FF0000";
    QTest::newRow("above one clamps") << 1.5 << 0.0 << 2.0 << 1.0 << "#FF00FF";
    QTest::newRow("below zero clamps") << -0.2 << 0.5 << -7.0 << 1.0 << "#007F00";
    QTest::newRow("nan is not convertible") << nan << 0.5 << 0.5 << 1.0 << "#000000";
    QTest::newRow("infinity clamps")
        << std::numeric_limits<double>::infinity() << 0.0 << 0.0 << 1.0 << "#FF0000";
}

void TestColor::toHex() {
    QFETCH(double, red);
    QFETCH(double, green);
    QFETCH(double, blue);
    QFETCH(double, opacity);
    QFETCH(QString, hex);
    QCOMPARE((Color{red, green, blue, opacity}.toHex()), hex);
}

void TestColor::everyByteRoundTrips() {
    for (int k = 0; k < 256; ++k) {
        const QString hex = QStringLiteral("#%1%2%3")
                                .arg(k, 2, 16, QLatin1Char('0'))
                                .arg(255 - k, 2, 16, QLatin1Char('0'))
                                .arg(k ^ 0x5A, 2, 16, QLatin1Char('0'))
                                .toUpper();
        const Color c = Color::fromHex(hex);
        QCOMPARE(c.toHex(), hex);
        QCOMPARE(Color::fromHex(c.toHex()), c);
        QCOMPARE(Color::fromQColor(c.toQColor()).toHex(), hex);
    }
}

void TestColor::lowerCaseEqualsUpperCase() {
    const Color lower = Color::fromHex(u"#ff8c42");
    QCOMPARE(lower, Color::fromHex(u"#FF8C42"));
    QCOMPARE(lower.toHex(), QStringLiteral("#FF8C42"));
}

void TestColor::qColorConversions_data() {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("hex");
    QTest::newRow("rgb") << QColor(0xF2, 0x6A, 0x1F) << "#F26A1F";
    QTest::newRow("alpha dropped") << QColor(0x12, 0x34, 0x56, 0x10) << "#123456";
    QTest::newRow("hsv converted") << QColor::fromHsv(0, 255, 255) << "#FF0000";
    QTest::newRow("invalid is black") << QColor() << "#000000";
}

void TestColor::qColorConversions() {
    QFETCH(QColor, color);
    QFETCH(QString, hex);
    const Color c = Color::fromQColor(color);
    QCOMPARE(c.toHex(), hex);
    if (color.isValid()) {
        QCOMPARE(byteOf(c.opacity), color.alpha());
        const QColor back = Color::fromHex(hex).toQColor();
        QCOMPARE(back.rgb() & 0xFFFFFF, color.toRgb().rgb() & 0xFFFFFF);
        QCOMPARE(back.alpha(), 255);
    }
}

QTEST_GUILESS_MAIN(TestColor)
#include "tst_color.moc"
