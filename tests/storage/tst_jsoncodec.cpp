#include <QTest>

#include "storage/JsonCodec.h"
#include "storage/StorageManager.h"

using namespace larkspur;

class TestJsonCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scalarsRoundTrip_data();
    void scalarsRoundTrip();
    void integers_data();
    void integers();
    void uuids_data();
    void uuids();
    void floats_data();
    void floats();
};

void TestJsonCodec::scalarsRoundTrip_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("null") << QByteArray("null");
    QTest::newRow("string") << QByteArray(R"("a \"quoted\" 🍵")");
    QTest::newRow("integer") << QByteArray("120");
    QTest::newRow("date") << QByteArray("786000000.1234567");
    QTest::newRow("array") << QByteArray(R"([1,"a",null])");
    QTest::newRow("object") << QByteArray(R"({"a":1})");
}

void TestJsonCodec::scalarsRoundTrip() {
    QFETCH(QByteArray, text);
    QCOMPARE(json::serialize(json::parse(text)), text);
}

void TestJsonCodec::integers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("value");
    QTest::newRow("plain") << QByteArray("120") << true << qint64(120);
    QTest::newRow("negative") << QByteArray("-3") << true << qint64(-3);
    QTest::newRow("exponent integral") << QByteArray("1e3") << true << qint64(1000);
    QTest::newRow("fraction") << QByteArray("30.5") << false << qint64(0);
    QTest::newRow("string") << QByteArray(R"("30")") << false << qint64(0);
    QTest::newRow("bool") << QByteArray("true") << false << qint64(0);
    QTest::newRow("too large") << QByteArray("1e30") << false << qint64(0);
    QTest::newRow("null") << QByteArray("null") << false << qint64(0);
}

void TestJsonCodec::integers() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(qint64, value);
    if (!ok) {
        QVERIFY_THROWS_EXCEPTION(json::JsonError, JsonCodecFor<qint64>::decode(json::parse(text)));
        return;
    }
    QCOMPARE(JsonCodecFor<qint64>::decode(json::parse(text)), value);
}

void TestJsonCodec::uuids_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("upper") << "6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E" << true;
    QTest::newRow("lower") << "6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e" << true;
    QTest::newRow("nil") << "00000000-0000-0000-0000-000000000000" << true;
    QTest::newRow("braces") << "{6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E}" << false;
    QTest::newRow("no hyphens") << "6F1C2A3B4D5E4F608172839A4B5C6D7E" << false;
    QTest::newRow("short") << "6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7" << false;
    QTest::newRow("not hex") << "6F1C2A3B-4D5E-4F60-8172-839A4B5C6DZZ" << false;
    QTest::newRow("empty") << "" << false;
}

void TestJsonCodec::uuids() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    if (!ok) {
        QVERIFY_THROWS_EXCEPTION(json::JsonError, json::parseUuid(text, "id"));
        return;
    }
    QCOMPARE(json::uuidToString(json::parseUuid(text, "id")), text.toUpper());
}

void TestJsonCodec::floats_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("0.8") << 0.8f << QByteArray("0.8");
    QTest::newRow("0.64") << 0.64f << QByteArray("0.64");
    QTest::newRow("1e-7") << 1e-7f << QByteArray("1e-07");
    QTest::newRow("nan written as 0") << std::numeric_limits<float>::quiet_NaN() << QByteArray("0");
}

void TestJsonCodec::floats() {
    QFETCH(float, value);
    QFETCH(QByteArray, text);
    QCOMPARE(json::serialize(json::floatToJson(value)), text);
}

QTEST_GUILESS_MAIN(TestJsonCodec)
#include "tst_jsoncodec.moc"
