#include "views/BarCodeKeyFeed.h"
#include "views/CBarCode.h"

#include "support/TestEnvironment.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>
#include <QtWidgets/QWidget>

#include <memory>

namespace {

// A window with a note field whose key presses go through a bar-code reader
// first, on a clock the test moves.
class ScanWindow
{
public:
    ScanWindow()
    {
        reader.SetClock([this] { return now; });
        auto *layout = new QVBoxLayout(&window);
        note = new QLineEdit(&window);
        layout->addWidget(note);
        feed = new BarCodeKeyFeed(&window, reader, [this](int command) { scans << command; });
        window.show();
        note->setFocus();
        QApplication::processEvents();
    }

    // Shift and a digit as a US keyboard sends them: the shifted symbol.
    void shifted(char digit)
    {
        static const char symbols[] = ")!@#$%^&*(";
        const char symbol = symbols[digit - '0'];
        QTest::keyClick(note, symbol, Qt::ShiftModifier);
        now += step;
    }
    void digits(const char *text)
    {
        for (const char *c = text; *c; ++c) {
            QTest::keyClick(note, *c);
            now += step;
        }
    }
    // A scan of a whole code: Shift kind, digits, Shift 3.
    void scan(char kind, const char *number)
    {
        shifted(kind);
        digits(number);
        shifted('3');
    }

    QWidget window;
    QLineEdit *note = nullptr;
    CBarCode reader;
    BarCodeKeyFeed *feed = nullptr;
    QList<int> scans;
    std::int64_t now = 1000;
    int step = 0; // milliseconds between keys
};

class BarCodeTest : public TavrelTest
{
};

} // namespace

TEST_F(BarCodeTest, TextsOfEveryKindAndTheCommandCode)
{
    CBarCode code;
    const struct { char kind; const char *text; } cases[] = {
        {'0', "*)55#*"}, {'2', "*@55#*"}, {'4', "*$55#*"}, {'5', "*%55#*"},
        {'6', "*^55#*"}, {'7', "*&55#*"}, {'9', "*(55#*"},
    };
    for (const auto &c : cases) {
        code.m_cObjectKind = c.kind;
        code.m_nObject = 55;
        EXPECT_EQ(code.GetText(true), QLatin1String(c.text));
    }
    code.m_nAction = 31000;
    code.m_cActionKind = '4';
    EXPECT_EQ(code.GetText(false), QStringLiteral("*!31000#*"));
    EXPECT_EQ(CBarCode::SymbolOfKind('3'), QLatin1Char('#'));
    EXPECT_EQ(CBarCode::SymbolOfKind('8'), QLatin1Char('*'));
    EXPECT_EQ(CBarCode::SymbolOfKind('x'), QChar(0));
}

TEST_F(BarCodeTest, AScanOfAJobIsConsumedAndBecomesItsCommand)
{
    ScanWindow w;
    w.scan('6', "1234");
    EXPECT_EQ(w.scans, QList<int>({30598}));
    EXPECT_EQ(w.reader.m_nObject, 1234);
    EXPECT_EQ(w.reader.m_cObjectKind, '6');
    EXPECT_EQ(w.note->text(), QString()); // no key reached the field
}

TEST_F(BarCodeTest, PairsOfObjectsAndActionsFollowTheirOrder)
{
    ScanWindow w;
    w.scan('2', "3");   // weekday 3
    w.scan('6', "55");  // job 55
    EXPECT_EQ(w.reader.m_nAction, 3);
    EXPECT_EQ(w.reader.m_nObject, 55);
    EXPECT_EQ(w.reader.m_nOrder, 2);

    w.reader.Reset();
    w.scan('9', "7");      // customer
    w.scan('1', "31000");  // command
    w.scan('6', "8");      // a second object drops the action
    EXPECT_EQ(w.reader.m_nObject, 8);
    EXPECT_EQ(w.reader.m_nAction, 0);
    EXPECT_EQ(w.reader.m_nOrder, 1);
    EXPECT_EQ(w.scans, QList<int>({30270, 30598, 30420, 31000, 30598}));
}

TEST_F(BarCodeTest, ASecondKindDigitStartsTheCodeAgain)
{
    ScanWindow w;
    // Shift, 7, 1, 2, Shift, 6, 3, Shift, 3: a job code with number 3.
    w.shifted('7');
    w.digits("12");
    w.shifted('6');
    w.digits("3");
    w.shifted('3');
    EXPECT_EQ(w.scans, QList<int>({30598}));
    EXPECT_EQ(w.reader.m_nObject, 3);
    EXPECT_EQ(w.reader.m_cObjectKind, '6');
}

TEST_F(BarCodeTest, ShiftAndALetterPassTheLetterOnAndEscClearsBothSlots)
{
    ScanWindow w;
    w.scan('6', "9");
    QTest::keyClick(w.note, 'A', Qt::ShiftModifier);
    EXPECT_EQ(w.note->text(), QStringLiteral("A"));
    EXPECT_TRUE(w.reader.m_bReading);
    QTest::keyClick(w.note, Qt::Key_Escape);
    EXPECT_EQ(w.reader.m_nObject, 0);
    EXPECT_FALSE(w.reader.m_bReading);
    // Without a Shift before it, Esc is the field's.
    EXPECT_EQ(w.reader.OnScannerKey({Qt::Key_Escape, 0, QString()}), 0);
}

TEST_F(BarCodeTest, TenDigitsAboveTheLargestIdCompleteAsNone)
{
    ScanWindow w;
    w.scan('6', "2147483647");
    EXPECT_EQ(w.reader.m_nObject, 2147483647);
    w.reader.Reset();
    w.scans.clear();
    w.scan('6', "2147483648");
    EXPECT_TRUE(w.scans.isEmpty());
    EXPECT_EQ(w.reader.m_nObject, 0);
    w.scan('7', "99999999999"); // eleven digits keep ten, still too large
    EXPECT_TRUE(w.scans.isEmpty());
}

TEST_F(BarCodeTest, WhatPeopleTypeReachesTheFieldAfterAPause)
{
    ScanWindow w;
    w.step = 200; // a person's pace
    // "#" typed alone: an end key with nothing open passes on.
    w.shifted('3');
    EXPECT_EQ(w.note->text(), QStringLiteral("#"));
    // "@12 ok": the code opened by "@" is dropped at the next slow key and
    // its keys are delivered first, in order.
    w.shifted('2');
    w.digits("12");
    QTest::keyClicks(w.note, QStringLiteral(" ok"));
    EXPECT_EQ(w.note->text(), QStringLiteral("#@12 ok"));
    EXPECT_TRUE(w.scans.isEmpty());
    EXPECT_FALSE(w.reader.HasOpenCode());
}

TEST_F(BarCodeTest, AnOpenCodeLeftAloneIsDeliveredWhenOverdue)
{
    ScanWindow w;
    w.step = 5;
    w.shifted('4');
    w.digits("7");
    EXPECT_EQ(w.note->text(), QString());
    w.now += 51;
    w.feed->flushOverdue();
    EXPECT_EQ(w.note->text(), QStringLiteral("$7"));
    // At scanner speed, a code 50 ms apart per key still completes.
    w.step = 50;
    w.scan('5', "42");
    EXPECT_EQ(w.scans, QList<int>({30390}));
}
