#include "fakes/MemoryUserDefaults.h"

#include <QTest>
#include <limits>

using namespace mendo;

// The typed reads every store shares.
class TestUserDefaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedReads_data();
    void typedReads();
    void strictTypes();
};

void TestUserDefaults::typedReads_data()
{
    QTest::addColumn<QVariant>("stored");  // invalid: absent
    QTest::addColumn<bool>("boolean");
    QTest::addColumn<qint64>("integer");
    QTest::addColumn<double>("number");
    QTest::addColumn<QVariant>("string");  // invalid: nothing
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("absent") << QVariant() << false << qint64(0) << 0.0 << QVariant();
    QTest::newRow("false") << QVariant(false) << false << qint64(0) << 0.0 << QVariant();
    QTest::newRow("true") << QVariant(true) << true << qint64(1) << 1.0 << QVariant();
    QTest::newRow("integer") << QVariant(qint64(-7)) << true << qint64(-7) << -7.0 << QVariant("-7");
    QTest::newRow("zero") << QVariant(qint64(0)) << false << qint64(0) << 0.0 << QVariant("0");
    QTest::newRow("double") << QVariant(2.75) << true << qint64(2) << 2.75 << QVariant("2.75");
    QTest::newRow("negative double") << QVariant(-2.75) << true << qint64(-2) << -2.75 << QVariant("-2.75");
    QTest::newRow("huge double") << QVariant(1e300) << true << max << 1e300 << QVariant("1e+300");
    QTest::newRow("huge negative") << QVariant(-1e300) << true << min << -1e300 << QVariant("-1e+300");
    QTest::newRow("YES") << QVariant("YES") << true << qint64(0) << 0.0 << QVariant("YES");
    QTest::newRow("true text") << QVariant(" true") << true << qint64(0) << 0.0 << QVariant(" true");
    QTest::newRow("no") << QVariant("no") << false << qint64(0) << 0.0 << QVariant("no");
    QTest::newRow("leading zeros") << QVariant("007") << true << qint64(7) << 7.0 << QVariant("007");
    QTest::newRow("zero text") << QVariant("-000") << false << qint64(0) << 0.0 << QVariant("-000");
    QTest::newRow("number text") << QVariant(" 42.5kg") << true << qint64(42) << 42.5 << QVariant(" 42.5kg");
    QTest::newRow("overflowing text") << QVariant("99999999999999999999") << true << max << 1e20
                                      << QVariant("99999999999999999999");
    QTest::newRow("negative overflow") << QVariant("-99999999999999999999") << true << min << -1e20
                                       << QVariant("-99999999999999999999");
    QTest::newRow("data") << QVariant(QByteArray("1")) << false << qint64(0) << 0.0 << QVariant();
    QTest::newRow("list") << QVariant(QVariantList { 1 }) << false << qint64(0) << 0.0 << QVariant();
}

void TestUserDefaults::typedReads()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, boolean);
    QFETCH(qint64, integer);
    QFETCH(double, number);
    QFETCH(QVariant, string);
    MemoryUserDefaults d;
    if (stored.isValid())
        d.values.insert("k", stored);
    QCOMPARE(d.boolean("k"), boolean);
    QCOMPARE(d.integer("k"), integer);
    QCOMPARE(d.number("k"), number);
    const auto s = d.string("k");
    QCOMPARE(s.has_value(), string.isValid());
    if (s)
        QCOMPARE(*s, string.toString());
}

void TestUserDefaults::strictTypes()
{
    MemoryUserDefaults d;
    d.values.insert("text", "[1]");
    d.values.insert("data", QByteArray("x"));
    QVERIFY(!d.data("text"));
    QVERIFY(!d.list("text"));
    QVERIFY(!d.date("text"));
    QVERIFY(!d.map("data"));
    QCOMPARE(*d.data("data"), QByteArray("x"));
}

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "test_user_defaults.moc"
