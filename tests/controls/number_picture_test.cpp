// The picture rendering of the number field, on its own.
#include "controls/number_picture.h"

#include <QTest>

#include <limits>

using nimbrel::RenderPicture;

class NumberPictureTest : public QObject {
    Q_OBJECT
private slots:
    void Renders_data();
    void Renders();
    void UsesTheGivenSeparators();
    void RoundsOnTheDecimalDigits();
};

void NumberPictureTest::Renders_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("text");

    const QString standard = "####,###,##0.00";
    QTest::newRow("grouped, rounded") << 1234567.891 << standard << "1,234,567.89";
    QTest::newRow("negative") << -5.0 << standard << "-5.00";
    QTest::newRow("half away from zero on decimal digits") << 0.125 << standard << "0.13";
    QTest::newRow("negative half away from zero") << -0.125 << standard << "-0.13";
    QTest::newRow("zero") << 0.0 << standard << "0.00";
    QTest::newRow("negative zero has no sign") << -0.0 << standard << "0.00";
    QTest::newRow("negative rounding to zero has no sign") << -0.001 << standard << "0.00";
    QTest::newRow("carry into a new digit") << 999999.999 << standard << "1,000,000.00";
    QTest::newRow("whole number") << 3.0 << "####"
                                  << "3";
    QTest::newRow("rounded to whole") << 2.5 << "####"
                                      << "3";
    QTest::newRow("rounded down to whole") << 3.49 << "####"
                                           << "3";
    QTest::newRow("zero under # is empty") << 0.0 << "####"
                                           << "";
    QTest::newRow("below a half under # is empty") << 0.4 << "####"
                                                   << "";
    QTest::newRow("extra integer digits printed") << 12345.0 << "####"
                                                  << "12345";
    QTest::newRow("no grouping without comma") << 1234567.0 << "#####"
                                               << "1234567";
    QTest::newRow("comma anywhere groups") << 1234567.0 << "#####,"
                                           << "1,234,567";
    QTest::newRow("zero places pad") << 7.0 << "000"
                                     << "007";
    QTest::newRow("optional fraction digits") << 1.5 << "0.0#"
                                              << "1.5";
    QTest::newRow("optional fraction digit used") << 1.25 << "0.0#"
                                                  << "1.25";
    QTest::newRow("no places after point") << 5.4 << "0."
                                           << "5";
    QTest::newRow("only the first point counts") << 1.25 << "0.0.0"
                                                 << "1.25";
    QTest::newRow("first section only") << -3.0 << "0.0;(0.0)"
                                        << "-3.0";
    QTest::newRow("large grouped") << 1e20 << standard << "100,000,000,000,000,000,000.00";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << standard << "INF";
}

void NumberPictureTest::Renders() {
    QFETCH(double, value);
    QFETCH(QString, picture);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(RenderPicture(value, picture.toStdString(), '.', ',')), text);
}

void NumberPictureTest::UsesTheGivenSeparators() {
    QCOMPARE(RenderPicture(1234.5L, "#,##0.00", ',', '.'), std::string("1.234,50"));
    QCOMPARE(RenderPicture(1234.5L, "#,##0.00"), std::string("1,234.50"));
}

// 1.005 is a little below its decimal in binary; the 18 decimal digits of the extended
// type round it as written.
void NumberPictureTest::RoundsOnTheDecimalDigits() {
    QCOMPARE(RenderPicture(1.005L, "0.00", '.', ','), std::string("1.01"));
    QCOMPARE(RenderPicture(-2.675L, "0.00", '.', ','), std::string("-2.68"));
}

QTEST_GUILESS_MAIN(NumberPictureTest)
#include "number_picture_test.moc"
