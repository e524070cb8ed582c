#include "JetShopFixture.h"

#include "platform/db/DbException.h"

// The expression service's functions with the results their documentation
// gives, evaluated over the customer Acme (CusNo 1, Balance 120.5) on a clock
// fixed at 3/16/2011 14:05. Dates are shown through CStr (m/d/yyyy
// h:nn:ss AM/PM). A translation error reads "error nnnn: text", an error
// while the row is read "JET nnnn: text".
struct FunctionCase
{
    const char *expression;
    const char *expected;
};

void PrintTo(const FunctionCase &c, std::ostream *os)
{
    *os << c.expression;
}

class JetFunction : public JetShopTest, public ::testing::WithParamInterface<FunctionCase>
{
protected:
    // Readings as another program may have stored them: 1 and 2 are past
    // the largest number (SQLite keeps 9e999 as infinity), 3 is 1.5.
    void SetUp() override
    {
        JetShopTest::SetUp();
        db.addTable(QStringLiteral("Readings"),
                    {{"ReadingNo", platform::FieldType::Long}, {"Reading", platform::FieldType::Double}},
                    {QStringLiteral("ReadingNo")});
        db.exec(QStringLiteral("INSERT INTO Readings VALUES (1, 9e999), (2, -9e999), (3, 1.5)"));
    }
    QString evaluate(const QString &expression)
    {
        try {
            const platform::jet::Translation t =
                db.translator().translate(QStringLiteral("SELECT %1 FROM Customers WHERE CusNo = 1").arg(expression));
            const QStringList rows = db.rowsOf(t);
            if (rows.isEmpty())
                return db.lastError().isEmpty() ? QStringLiteral("<no row>") : db.lastError();
            return rows.front();
        } catch (const platform::DbException &e) {
            return QStringLiteral("error %1: %2").arg(e.number()).arg(e.description());
        }
    }
};

TEST_P(JetFunction, GivesTheDocumentedResult)
{
    EXPECT_EQ(evaluate(QString::fromUtf8(GetParam().expression)).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Numbers, JetFunction, ::testing::Values(
    FunctionCase{"Abs(-50.3)", "50.3"},
    FunctionCase{"Abs(-5)", "5"},
    FunctionCase{"Abs(Null)", "<null>"},
    FunctionCase{"Sgn(-3)", "-1"},
    FunctionCase{"Sgn(0)", "0"},
    FunctionCase{"Sgn(2.5)", "1"},
    FunctionCase{"Sgn(Null)", "<null>"},
    FunctionCase{"Round(0.12345, 4)", "0.1234"},
    FunctionCase{"Round(2.5)", "2"},
    FunctionCase{"Round(3.5)", "4"},
    FunctionCase{"Round(-2.5)", "-2"},
    FunctionCase{"Round(2.675, 2)", "2.68"},
    FunctionCase{"Round(1.005, 2)", "1"},
    FunctionCase{"Round(-1.2345, 3)", "-1.234"},
    FunctionCase{"Round(Balance, 0)", "120"},
    FunctionCase{"Round(7)", "7"},
    // Arithmetic past the largest number stops the statement, as Jet does,
    // instead of going on as infinity.
    FunctionCase{"1e308 * 10", "JET 3349: Numeric field overflow."},
    FunctionCase{"-1e308 * 10", "JET 3349: Numeric field overflow."},
    FunctionCase{"1e308 * 10 * 0", "JET 3349: Numeric field overflow."},
    FunctionCase{"1e308 + 1e308", "JET 3349: Numeric field overflow."},
    FunctionCase{"1e308 + 1e308 - 1e308", "JET 3349: Numeric field overflow."},
    FunctionCase{"1e308 / 0.1", "JET 3349: Numeric field overflow."},
    FunctionCase{"1.7976e308 * 1 & ''", "1.7976E+308"},
    FunctionCase{"(1e308 - 1e308) * 10", "0"},
    FunctionCase{"(SELECT Sum(1e308) FROM Customers)", "JET 3349: Numeric field overflow."},
    FunctionCase{"(SELECT Avg(1e307) FROM Customers) & ''", "1E+307"},
    FunctionCase{"2 ^ 1023 & ''", "8.98846567431158E+307"},
    FunctionCase{"2 ^ 1024", "JET 3349: Numeric field overflow."},
    FunctionCase{"(-8) ^ (1 / 3)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"0 ^ -1", "<null>"},
    FunctionCase{"Round(Null, 2)", "<null>"},
    FunctionCase{"Round(1.5, Null)", "<null>"},
    FunctionCase{"Round(12.345, -1)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Sqr(4)", "2"},
    FunctionCase{"Sqr(0)", "0"},
    FunctionCase{"Sqr(-1)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Exp(0)", "1"},
    FunctionCase{"Log(1)", "0"},
    FunctionCase{"Log(0)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Sin(0) & '/' & Cos(0) & '/' & Tan(0)", "0/1/0"},
    FunctionCase{"Atn(1) * 4", "3.14159265358979"},
    FunctionCase{"Int(-8.4) & '/' & Fix(-8.4)", "-9/-8"},
    FunctionCase{"Rnd(-1)", "0.2240070104599"},
    FunctionCase{"Rnd(Null)", "<null>"}));

INSTANTIATE_TEST_SUITE_P(Conversions, JetFunction, ::testing::Values(
    FunctionCase{"CBool(5)", "-1"},
    FunctionCase{"CBool(0)", "0"},
    FunctionCase{"CBool('True')", "-1"},
    FunctionCase{"CBool('0')", "0"},
    FunctionCase{"CBool(Null)", "<null>"},
    FunctionCase{"CBool('abc')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"CStr(CDate('February 12, 1969'))", "2/12/1969"},
    FunctionCase{"CStr(CDate('Feb 12 1969 4:35 PM'))", "2/12/1969 4:35:00 PM"},
    FunctionCase{"CStr(CDate('12-Feb-69'))", "2/12/1969"},
    FunctionCase{"CStr(CVDate(36526))", "1/1/2000"},
    FunctionCase{"CStr(CDate(#12/31/1899#))", "12/31/1899"},
    FunctionCase{"CDate('nonsense')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"CStr(CVar(5) + 1)", "6"},
    FunctionCase{"Val('  1615 198th Street N.E.')", "1615198"},
    FunctionCase{"Val('24 and 57')", "24"},
    FunctionCase{"Val('&HFFFF')", "-1"},
    FunctionCase{"Val('&H1A')", "26"},
    FunctionCase{"Val('&O17')", "15"},
    FunctionCase{"Val('1.5e2x')", "150"},
    FunctionCase{"Val('-.5')", "-0.5"},
    FunctionCase{"Val('abc')", "0"},
    FunctionCase{"Val(Null)", "<null>"},
    FunctionCase{"Str(459)", " 459"},
    FunctionCase{"Str(-459.65)", "-459.65"},
    FunctionCase{"Str(459.001)", " 459.001"},
    FunctionCase{"Str(Null)", "<null>"},
    FunctionCase{"Hex(459)", "1CB"},
    FunctionCase{"Hex(-1)", "FFFF"},
    FunctionCase{"Hex(-32769)", "FFFF7FFF"},
    FunctionCase{"Hex(5.5)", "6"},
    FunctionCase{"Hex(Null)", "<null>"},
    FunctionCase{"Hex(5000000000)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Oct(459)", "713"},
    FunctionCase{"Oct(-1)", "177777"},
    FunctionCase{"Asc('A') & '/' & Asc('a') & '/' & Asc('Apple')", "65/97/65"},
    FunctionCase{"Asc('€') & '/' & AscW('€')", "128/8364"},
    FunctionCase{"Asc('')", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Chr(65) & Chr(128) & ChrW(8364)", "A€€"},
    FunctionCase{"Chr(300)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Chr(Null)", "<null>"}));

INSTANTIATE_TEST_SUITE_P(Text, JetFunction, ::testing::Values(
    FunctionCase{"LCase('Hello World 1234')", "hello world 1234"},
    FunctionCase{"UCase('Hello World 1234')", "HELLO WORLD 1234"},
    FunctionCase{"UCase(Trim('  acme  '))", "ACME"},
    FunctionCase{"UCase(Null)", "<null>"},
    FunctionCase{"'[' & LTrim('  <-Trim->  ') & ']'", "[<-Trim->  ]"},
    FunctionCase{"'[' & RTrim('  <-Trim->  ') & ']'", "[  <-Trim->]"},
    FunctionCase{"'[' & Trim('  <-Trim->  ') & ']'", "[<-Trim->]"},
    FunctionCase{"Space(3) & 'x'", "   x"},
    FunctionCase{"Space(-1)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"String(5, '*') & String(5, 42) & String(3, 'ABC')", "**********AAA"},
    FunctionCase{"Replace('alphabet', 'bet', 'hydrogen')", "alphahydrogen"},
    FunctionCase{"Replace('XXpXXPXXp', 'p', 'Y')", "XXYXXYXXY"},
    FunctionCase{"Replace('XXpXXPXXp', 'p', 'Y', 3, -1, 0)", "YXXPXXY"},
    FunctionCase{"Replace('abc', 'b', 'x', 2)", "xc"},
    FunctionCase{"Replace('aaa', 'a', 'b', 1, 2)", "bba"},
    FunctionCase{"Replace(Null, 'a', 'b')", "<null>"},
    FunctionCase{"StrComp('ABCD', 'abcd', 1)", "0"},
    FunctionCase{"StrComp('ABCD', 'abcd', 0)", "-1"},
    FunctionCase{"StrComp('abcd', 'ABCD', 0)", "1"},
    FunctionCase{"StrComp('ABCD', 'abcd')", "0"},
    FunctionCase{"StrComp('a', 'b')", "-1"},
    FunctionCase{"StrComp(Null, 'a')", "<null>"},
    FunctionCase{"StrConv('hello wORLD', 3)", "Hello World"},
    FunctionCase{"StrConv('abc', 1) & StrConv('DEF', 2)", "ABCdef"},
    FunctionCase{"StrConv('one' & Chr(9) & 'two' & Chr(10) & 'three', 3)", "One\tTwo\nThree"},
    FunctionCase{"StrConv('abc', 64)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"StrReverse('abc·d')", "d·cba"},
    FunctionCase{"InStr(4, 'XXpXXpXXPXXP', 'P')", "6"},
    FunctionCase{"InStr(3, 'XXpXX', 'p')", "3"}, // a match right at the start
    FunctionCase{"InStr(3, 'XXpXX', 'p', 0)", "3"},
    FunctionCase{"InStr(1, 'XXpXXpXXPXXP', 'P', 0)", "9"},
    FunctionCase{"InStr('XXpXXpXXPXXP', 'W')", "0"},
    FunctionCase{"InStr(1, Null, 'a', 0)", "<null>"},
    FunctionCase{"InStrRev('XXpXXpXXPXXP', 'P')", "12"},
    FunctionCase{"InStrRev('XXpXXpXXPXXP', 'p', -1, 0)", "6"},
    FunctionCase{"InStrRev('XXpXXpXXPXXP', 'P', 10, 0)", "9"},
    FunctionCase{"InStrRev('abc', 'x')", "0"},
    // A match of several letters must end at or before the start position.
    FunctionCase{"InStrRev('abcabc', 'bc', 5)", "2"},
    FunctionCase{"InStrRev('abcabc', 'bc', 6)", "5"},
    FunctionCase{"InStrRev('abcabc', 'abc', 3)", "1"},
    FunctionCase{"InStrRev('abcabc', 'abc', 2)", "0"},
    FunctionCase{"InStrRev('abc', 'b', 0)", "JET 0005: Invalid procedure call or argument."},
    // Trim takes spaces only: tabs and line ends stay.
    FunctionCase{"Len(Trim(' ' & Chr(9) & 'a' & Chr(10) & ' '))", "3"},
    FunctionCase{"Len(LTrim(Chr(9) & ' a'))", "3"},
    FunctionCase{"Len(RTrim('a ' & Chr(13) & Chr(10)))", "4"},
    FunctionCase{"Len(Name & 'xy')", "6"}));

INSTANTIATE_TEST_SUITE_P(Dates, JetFunction, ::testing::Values(
    FunctionCase{"CStr(Now())", "3/16/2011 2:05:00 PM"},
    FunctionCase{"CStr(Time())", "2:05:00 PM"},
    FunctionCase{"Day(#2/12/1969#) & '/' & Month(#2/12/1969#) & '/' & Year(#2/12/1969#)", "12/2/1969"},
    FunctionCase{"Hour(#4:35:17 PM#) & ':' & Minute(#4:35:17 PM#) & ':' & Second(#4:35:17 PM#)", "16:35:17"},
    FunctionCase{"Month('February 12, 1969')", "2"},
    FunctionCase{"Month(Null)", "<null>"},
    FunctionCase{"Month('abc')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"Weekday(#2/12/1969#)", "4"},
    FunctionCase{"Weekday(#2/12/1969#, 2)", "3"},
    FunctionCase{"Weekday(#2/12/1969#, 0)", "4"},
    FunctionCase{"Weekday(#12/30/1899#)", "7"},
    FunctionCase{"Weekday(#1/1/100#)", "6"},
    FunctionCase{"Weekday(#12/31/9999#)", "6"},
    FunctionCase{"Weekday(#2/12/1969#, 8)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"WeekdayName(1)", "Sunday"},
    FunctionCase{"WeekdayName(1, True)", "Sun"},
    FunctionCase{"WeekdayName(1, False, 2)", "Monday"},
    FunctionCase{"WeekdayName(8)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"MonthName(2) & '/' & MonthName(12, True)", "February/Dec"},
    FunctionCase{"MonthName(13)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DatePart('q', #3/16/2011#)", "1"},
    FunctionCase{"DatePart('y', #12/31/2011#)", "365"},
    FunctionCase{"DatePart('yyyy', #12/31/9999#)", "9999"},
    FunctionCase{"DatePart('m', #1/1/100#)", "1"},
    FunctionCase{"DatePart('w', #2/12/1969#)", "4"},
    FunctionCase{"DatePart('w', #2/12/1969#, 4)", "1"},
    FunctionCase{"DatePart('ww', #1/1/2011#)", "1"},
    FunctionCase{"DatePart('ww', #1/1/2011#, 2, 2)", "52"},
    FunctionCase{"DatePart('ww', #1/3/2011#, 2, 2)", "1"},
    FunctionCase{"DatePart('ww', #1/1/2011#, 1, 3)", "52"},
    FunctionCase{"DatePart('h', #3/16/2011 14:05#) & DatePart('n', #3/16/2011 14:05#)", "145"},
    FunctionCase{"DatePart('x', #3/16/2011#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DatePart('d', Null)", "<null>"},
    FunctionCase{"CStr(DateAdd('m', 1, #1/31/1995#))", "2/28/1995"},
    FunctionCase{"CStr(DateAdd('yyyy', 1, #2/29/2012#))", "2/28/2013"},
    FunctionCase{"CStr(DateAdd('q', -1, #5/31/2011#))", "2/28/2011"},
    FunctionCase{"CStr(DateAdd('w', 3, #3/16/2011#))", "3/19/2011"},
    FunctionCase{"CStr(DateAdd('n', 90, #3/16/2011 23:00#))", "3/17/2011 12:30:00 AM"},
    FunctionCase{"CStr(DateAdd('ww', -1, #1/8/100#))", "1/1/0100"},
    FunctionCase{"DateAdd('d', -1, #1/1/100#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('yyyy', 1, #12/31/9999#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('x', 1, Date())", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('d', Null, Date())", "<null>"},
    // The dates run from 1/1/100 (day -657434) to 12/31/9999 (day 2958465);
    // a day beyond either end is one error in every date function, and a
    // count that would leave them is DateAdd's invalid argument.
    FunctionCase{"Year(2958465) & '/' & Year(-657434)", "9999/100"},
    FunctionCase{"Year(2958466)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Year(-657435)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Year(3000000)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Year(-700000)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Month('3000000')", "JET 3349: Numeric field overflow."},
    FunctionCase{"DateValue(2147483647)", "JET 3349: Numeric field overflow."},
    FunctionCase{"Weekday(-1E308)", "JET 3349: Numeric field overflow."},
    FunctionCase{"DatePart('yyyy', 2958466)", "JET 3349: Numeric field overflow."},
    FunctionCase{"DateDiff('d', 0, 3000000)", "JET 3349: Numeric field overflow."},
    FunctionCase{"DateAdd('d', 1, 2958466)", "JET 3349: Numeric field overflow."},
    FunctionCase{"CStr(DateAdd('yyyy', -9899, #12/31/9999#))", "12/31/0100"},
    FunctionCase{"DateAdd('yyyy', -9900, #12/31/9999#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('yyyy', -1E308, #12/31/9999#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('m', 1E18, #1/1/2000#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('d', 1E308, #1/1/2000#)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateAdd('d', 1, 2958465)", "JET 0005: Invalid procedure call or argument."},
    // Arithmetic on dates stays within them too.
    FunctionCase{"#12/31/9999# + 1", "JET 3349: Numeric field overflow."},
    FunctionCase{"CStr(#12/31/9999# + 0.5)", "12/31/9999 12:00:00 PM"},
    FunctionCase{"CStr(Date() + 2917847)", "12/31/9999"},
    FunctionCase{"Date() + 2917848", "JET 3349: Numeric field overflow."},
    FunctionCase{"#1/1/100# - 1", "JET 3349: Numeric field overflow."},
    FunctionCase{"CStr(#1/1/100# - 0)", "1/1/0100"},
    FunctionCase{"1 + #12/31/9999#", "JET 3349: Numeric field overflow."},
    FunctionCase{"(#12/31/9999# + 1) - #1/1/2000#", "JET 3349: Numeric field overflow."},
    // Every step of a date chain, not only its end.
    FunctionCase{"#12/31/9999# + 1 - 1", "JET 3349: Numeric field overflow."},
    FunctionCase{"CStr(#12/30/9999# + 1 - 1)", "12/30/9999"},
    FunctionCase{"#1/1/100# - 1 + 1", "JET 3349: Numeric field overflow."},
    FunctionCase{"CStr(#1/2/100# - 1 + 1 - 1)", "1/1/0100"},
    FunctionCase{"Date() - #1/1/100#", "698052"},
    FunctionCase{"DateDiff('d', #1/1/2011#, #3/16/2011#)", "74"},
    FunctionCase{"DateDiff('d', #3/16/2011#, #3/1/2011#)", "-15"},
    FunctionCase{"DateDiff('d', #1/1/2000 23:00#, #1/2/2000 01:00#)", "1"},
    FunctionCase{"DateDiff('yyyy', #12/31/2010#, #1/1/2011#)", "1"},
    FunctionCase{"DateDiff('q', #12/31/2010#, #1/1/2011#)", "1"},
    FunctionCase{"DateDiff('m', #1/31/2011#, #2/1/2011#)", "1"},
    FunctionCase{"DateDiff('w', #3/1/2011#, #3/16/2011#)", "2"},
    FunctionCase{"DateDiff('w', #3/16/2011#, #3/1/2011#)", "-2"},
    FunctionCase{"DateDiff('ww', #3/1/2011#, #3/16/2011#)", "2"},
    FunctionCase{"DateDiff('ww', #3/6/2011#, #3/13/2011#)", "1"},
    FunctionCase{"DateDiff('ww', #3/6/2011#, #3/13/2011#, 2)", "1"},
    FunctionCase{"DateDiff('ww', #3/7/2011#, #3/13/2011#, 2)", "0"},
    FunctionCase{"DateDiff('h', #3/16/2011 10:59#, #3/16/2011 11:00#)", "1"},
    FunctionCase{"DateDiff('n', #3/16/2011 10:59:59#, #3/16/2011 11:00:00#)", "1"},
    FunctionCase{"DateDiff('s', #3/16/2011#, #3/17/2011#)", "86400"},
    FunctionCase{"DateDiff('d', #1/1/100#, #12/31/9999#)", "3615899"},
    FunctionCase{"DateDiff('d', Null, Date())", "<null>"},
    FunctionCase{"DateDiff('x', Date(), Date())", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"CStr(DateSerial(1993, 1, 35))", "2/4/1993"},
    FunctionCase{"CStr(DateSerial(1993, 3, 0))", "2/28/1993"},
    FunctionCase{"CStr(DateSerial(1990 - 10, 8 - 2, 1 - 1))", "5/31/1980"},
    FunctionCase{"CStr(DateSerial(99, 1, 1)) & ' ' & CStr(DateSerial(29, 1, 1))", "1/1/1999 1/1/2029"},
    FunctionCase{"CStr(DateSerial(2011, 13, 1)) & ' ' & CStr(DateSerial(2011, 0, 1))", "1/1/2012 12/1/2010"},
    FunctionCase{"CStr(DateSerial(2011, -13, 1))", "11/1/2009"},
    FunctionCase{"CStr(DateSerial(100, 1, 1)) & ' ' & CStr(DateSerial(9999, 12, 31))", "1/1/0100 12/31/9999"},
    FunctionCase{"CStr(DateSerial(1899, 12, 31))", "12/31/1899"},
    FunctionCase{"DateSerial(10000, 1, 1)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"DateSerial(2011, Null, 1)", "<null>"},
    FunctionCase{"CStr(TimeSerial(16, 35, 17))", "4:35:17 PM"},
    FunctionCase{"CStr(TimeSerial(12 - 6, -15, 0))", "5:45:00 AM"},
    FunctionCase{"CStr(TimeSerial(25, 0, 0))", "12/31/1899 1:00:00 AM"},
    FunctionCase{"CStr(DateValue('February 12, 1969'))", "2/12/1969"},
    FunctionCase{"CStr(DateValue('12 February 1969'))", "2/12/1969"},
    FunctionCase{"CStr(DateValue('Wednesday, March 16, 2011'))", "3/16/2011"},
    FunctionCase{"CStr(DateValue('2/12/1969 4:35 PM'))", "2/12/1969"},
    FunctionCase{"CStr(TimeValue('4:35:17 PM'))", "4:35:17 PM"},
    FunctionCase{"CStr(TimeValue(#2/12/1969 16:35#))", "4:35:00 PM"},
    FunctionCase{"IsDate('February 12, 1969') & IsDate('Hello') & IsDate(#1/1/2000#)", "-10-1"},
    FunctionCase{"IsDate(Null) & IsDate(5) & IsDate('13/45/2011')", "000"},
    FunctionCase{"CStr(#12/31/1899#) & ' ' & CStr(#1/1/100#) & ' ' & CStr(#12/31/9999#)", "12/31/1899 1/1/0100 12/31/9999"}));

INSTANTIATE_TEST_SUITE_P(Logic, JetFunction, ::testing::Values(
    FunctionCase{"Switch(CusNo = 2, 'two', CusNo = 1, 'one')", "one"},
    FunctionCase{"Switch(False, 1)", "<null>"},
    FunctionCase{"Switch(Null, 1, True, 2)", "2"},
    FunctionCase{"Switch(1)", "error 3075: Wrong number of arguments used with function in query expression 'Switch(1)'."},
    FunctionCase{"Choose(2, 'a', 'b', 'c')", "b"},
    FunctionCase{"Choose(4, 'a', 'b')", "<null>"},
    FunctionCase{"Choose(0, 'a', 'b')", "<null>"},
    FunctionCase{"Choose(1.5, 'a', 'b')", "b"},
    FunctionCase{"Choose(Null, 'a')", "<null>"},
    FunctionCase{"IsNull(Null) & IsNull(Name) & IsNull(Balance + Null)", "-10-1"},
    FunctionCase{"IsNumeric('12.5') & IsNumeric('abc') & IsNumeric(Balance) & IsNumeric(Null)", "-10-10"},
    FunctionCase{"IsNumeric(#1/1/2000#) & IsNumeric('&H10')", "0-1"},
    FunctionCase{"IsEmpty(Null) & IsEmpty(Name)", "00"},
    FunctionCase{"IIf(IsNull(Null), 'none', 'some')", "none"},
    FunctionCase{"Nz(Name, '')", "error 3085: Undefined function 'Nz' in expression."},
    FunctionCase{"DLookup('Name', 'Customers')", "error 3085: Undefined function 'DLookup' in expression."}));

INSTANTIATE_TEST_SUITE_P(Format, JetFunction, ::testing::Values(
    FunctionCase{"Format(5459.4, '##,##0.00')", "5,459.40"},
    FunctionCase{"Format(334.9, '###0.00')", "334.90"},
    FunctionCase{"Format(5, '0.00%')", "500.00%"},
    FunctionCase{"Format(1234567890, '##0,,')", "1235"},
    FunctionCase{"Format(1234567, '#,##0,')", "1,235"},
    FunctionCase{"Format(1234.5, 'Scientific')", "1.23E+03"},
    FunctionCase{"Format(0.000123, '0.00E-00')", "1.23E-04"},
    FunctionCase{"Format(1234.5, '0.00E-00')", "1.23E03"},
    FunctionCase{"Format(99999, '0.0E+0')", "1.0E+5"},
    FunctionCase{"Format(-5, '0;(0)')", "(5)"},
    FunctionCase{"Format(0, '0;(0);\\Z\\e\\r\\o')", "Zero"},
    FunctionCase{"Format(Null, '0;(0);\"Zero\";\"Nothing\"')", "Nothing"},
    FunctionCase{"Format(Null, '0.00')", "<null>"},
    FunctionCase{"Format(3, '0 \"items\"')", "3 items"},
    FunctionCase{"Format(-0.001, '0.00')", "0.00"},
    FunctionCase{"Format('HELLO', '<')", "hello"},
    FunctionCase{"Format('This is it', '>')", "THIS IS IT"},
    FunctionCase{"'[' & Format('abc', '@@@@@') & ']'", "[  abc]"},
    FunctionCase{"'[' & Format('abc', '!@@@@@') & ']'", "[abc  ]"},
    FunctionCase{"'[' & Format('abc', '&&&&&') & ']'", "[abc]"},
    FunctionCase{"Format('5551234', '@@@-@@@@')", "555-1234"},
    FunctionCase{"Format('', '@;\"empty\"')", "empty"},
    FunctionCase{"Format(1234.5, 'Currency')", "$1,234.50"},
    FunctionCase{"Format(-1234.5, 'Currency')", "($1,234.50)"},
    FunctionCase{"Format(1234.5, 'Fixed') & ' ' & Format(1234.5, 'Standard')", "1234.50 1,234.50"},
    FunctionCase{"Format(0.125, 'Percent') & ' ' & Format(1234.5, 'General Number')", "12.50% 1234.5"},
    FunctionCase{"Format(0, 'Yes/No') & Format(5, 'True/False') & Format(-1, 'On/Off')", "NoTrueOn"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'Long Date')", "Wednesday, March 16, 2011"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'Medium Date')", "16-Mar-11"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'Short Date')", "3/16/2011"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'Long Time')", "2:05:00 PM"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'Medium Time')", "02:05 PM"},
    FunctionCase{"Format(#3/16/2011 8:05#, 'Short Time')", "08:05"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'General Date')", "3/16/2011 2:05:00 PM"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'h:nn AM/PM') & ' ' & Format(#3/16/2011 14:05#, 'h:nn am/pm')", "2:05 PM 2:05 pm"},
    FunctionCase{"Format(#3/16/2011 9:05#, 'h A/P') & ' ' & Format(#3/16/2011 21:05#, 'h a/p')", "9 A 9 p"},
    FunctionCase{"Format(#3/16/2011#, 'dddd, mmm d yyyy')", "Wednesday, Mar 16 2011"},
    FunctionCase{"Format(#3/16/2011#, '\"Day \"d') & ' ' & Format(#3/16/2011#, '\\d\\a\\y d')", "Day 16 day 16"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'c')", "3/16/2011 2:05:00 PM"},
    FunctionCase{"Format(#3/16/2011 14:05#, 'ddddd') & ' ' & Format(#3/16/2011 14:05#, 'ttttt')", "3/16/2011 2:05:00 PM"},
    FunctionCase{"Format(#3/16/2011#, 'dddddd')", "Wednesday, March 16, 2011"},
    FunctionCase{"Format(#1/1/100#, 'yyyy-mm-dd') & ' ' & Format(#12/31/9999#, 'yyyy-mm-dd')", "0100-01-01 9999-12-31"},
    FunctionCase{"Format(Balance, 'Currency')", "$120.50"},
    // Only the digits a number holds, then zeros: the shortest digits that
    // read back as the same double, a Currency value's four decimals.
    FunctionCase{"Format(2, '0.0000000000000000')", "2.0000000000000000"},
    FunctionCase{"Format(1E16, '#,##0.00')", "10,000,000,000,000,000.00"},
    FunctionCase{"Format(0.1 + 0.2, '0.00000000000000000000')", "0.30000000000000004000"},
    FunctionCase{"Format(1.1, '0.00000000000000000%')", "110.00000000000000000%"},
    FunctionCase{"Format(1.23, '0.000000000000000000E+00')", "1.230000000000000000E+00"},
    FunctionCase{"Format(9.9999, '0.00E+00') & ' ' & Format(1.005, '0.00') & ' ' & Format(-2.5, '0')", "1.00E+01 1.01 -3"},
    FunctionCase{"Format(CCur(900000000000.0001), '0.0000')", "900000000000.0001"},
    FunctionCase{"Format(CCur(900000000000.0001), '#,##0.000000')", "900,000,000,000.000100"},
    FunctionCase{"Format(CCur(-123456789.1234), '#,##0.000000')", "-123,456,789.123400"},
    FunctionCase{"Len(Format(1E308, '0.00')) & ' ' & Left(Format(1E308, '0.00'), 3) & Right(Format(1E308, '0.00'), 5)",
                 "312 10000.00"},
    FunctionCase{"Format(1.7976931348623157E308, '0') = '17976931348623157' & String(292, '0')", "-1"},
    FunctionCase{"Format(5E-324, '0.00') & ' ' & Format(5E-324, '0.0E+000')", "0.00 5.0E-324"},
    FunctionCase{"FormatNumber(1234.567)", "1,234.57"},
    FunctionCase{"FormatNumber(-1234.567, 1)", "-1,234.6"},
    FunctionCase{"FormatNumber(0.5, 2, 0)", ".50"},
    FunctionCase{"FormatNumber(-5, 0, -1, -1)", "(5)"},
    FunctionCase{"FormatNumber(1234.5, 2, -1, 0, 0)", "1234.50"},
    FunctionCase{"FormatNumber(Null)", "<null>"},
    FunctionCase{"FormatCurrency(1234.5)", "$1,234.50"},
    FunctionCase{"FormatCurrency(-1234.5)", "($1,234.50)"},
    FunctionCase{"FormatCurrency(-1234.5, 2, -1, 0)", "-$1,234.50"},
    // A negative amount that rounds to zero has no sign; a half cent more
    // rounds to a cent and keeps it.
    FunctionCase{"FormatNumber(-0.004)", "0.00"},
    FunctionCase{"FormatNumber(-0.004, 2, -1, -1)", "0.00"},
    FunctionCase{"FormatNumber(-0.006)", "-0.01"},
    FunctionCase{"FormatCurrency(-0.001)", "$0.00"},
    FunctionCase{"FormatCurrency(-0.001, 2, -1, 0)", "$0.00"},
    FunctionCase{"FormatCurrency(-0.006)", "($0.01)"},
    FunctionCase{"FormatPercent(0.125) & ' ' & FormatPercent(0.5, 0)", "12.50% 50%"},
    FunctionCase{"FormatDateTime(#3/16/2011 14:05#, 1)", "Wednesday, March 16, 2011"},
    FunctionCase{"FormatDateTime(#3/16/2011 14:05#, 3) & ' ' & FormatDateTime(#3/16/2011 14:05#, 4)", "2:05:00 PM 14:05"},
    FunctionCase{"FormatDateTime(#3/16/2011#)", "3/16/2011"},
    FunctionCase{"FormatDateTime(#3/16/2011#, 7)", "JET 0005: Invalid procedure call or argument."},
    FunctionCase{"Format(2958465, 'mm/dd/yyyy')", "12/31/9999"},
    FunctionCase{"Format(2147483647, 'mm/dd/yyyy')", "JET 3349: Numeric field overflow."},
    FunctionCase{"Format(-657435, 'General Date')", "JET 3349: Numeric field overflow."},
    FunctionCase{"Format(2147483647, '0')", "2147483647"},
    // A stored number past the largest has no digits to show: the statement
    // stops, whatever the pattern.
    FunctionCase{"Format((SELECT Reading FROM Readings WHERE ReadingNo = 3), '0.00')", "1.50"},
    FunctionCase{"Format((SELECT Reading FROM Readings WHERE ReadingNo = 1), '0.00')", "JET 3349: Numeric field overflow."},
    FunctionCase{"Format((SELECT Reading FROM Readings WHERE ReadingNo = 2), '#,##0;(#,##0)')",
                 "JET 3349: Numeric field overflow."},
    FunctionCase{"Format((SELECT Reading FROM Readings WHERE ReadingNo = 1))", "JET 3349: Numeric field overflow."}));

INSTANTIATE_TEST_SUITE_P(ArgumentErrors, JetFunction, ::testing::Values(
    FunctionCase{"Left(Name)", "error 3075: Wrong number of arguments used with function in query expression 'Left(Name)'."},
    FunctionCase{"Month()", "error 3075: Wrong number of arguments used with function in query expression 'Month()'."},
    FunctionCase{"DateSerial(2011, 1)",
                 "error 3075: Wrong number of arguments used with function in query expression 'DateSerial(2011, 1)'."},
    FunctionCase{"Now(1)", "error 3075: Wrong number of arguments used with function in query expression 'Now(1)'."},
    FunctionCase{"StDev(1, 2)", "error 3075: Wrong number of arguments used with function in query expression 'StDev(1, 2)'."},
    FunctionCase{"Abs('x')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"Space('many')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"Left(Name, 'x')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"Mid(Name, '2')", "cme"},
    FunctionCase{"CCur(1e16)", "JET 3349: Numeric field overflow."},
    // Text is read exactly: the ends of the range are amounts, a ten-thousandth beyond them is not.
    FunctionCase{"CCur('922337203685477.5807') & ''", "922337203685477.5807"},
    FunctionCase{"CCur('-922337203685477.5808') & ''", "-922337203685477.5808"},
    FunctionCase{"CCur('922337203685477.5808')", "JET 3349: Numeric field overflow."},
    FunctionCase{"CCur('-922337203685477.5809')", "JET 3349: Numeric field overflow."},
    FunctionCase{"CCur('1.2.3')", "JET 3464: Data type mismatch in criteria expression."},
    FunctionCase{"CCur('+12.50') & '/' & CCur('$1,234.50')", "12.5/1234.5"},
    FunctionCase{"CCur(7) * 2 & ''", "14"},
    FunctionCase{"Frobnicate(1)", "error 3085: Undefined function 'Frobnicate' in expression."}));

// The spread aggregates over Items.Out (3, 4, 1, 5), with Nulls ignored.
TEST_F(JetShopTest, SpreadAggregatesOverRowsAndGroups)
{
    EXPECT_EQ(db.rows(QStringLiteral("SELECT StDev(Out), StDevP(Out), Var(Out), VarP(Out) FROM Items")),
              QStringList{QStringLiteral("1.70782512765993|1.4790199457749|2.91666666666667|2.1875")});
    // One row: the sample forms have no value, the population forms 0.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT StDev(Out), VarP(Out) FROM Items WHERE ItemID = 100")),
              QStringList{QStringLiteral("<null>|0")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT JobID, Var(Out) FROM Items GROUP BY JobID ORDER BY JobID")),
              (QStringList{QStringLiteral("10|0.5"), QStringLiteral("11|<null>"), QStringLiteral("12|<null>")}));
}

// Result types the translator gives the new functions.
TEST_F(JetShopTest, LibraryFunctionsTypeTheirColumns)
{
    using platform::FieldType;
    const platform::jet::Translation t = db.translator().translate(QStringLiteral(
        "SELECT Month(DateIn), DateDiff('d', DateIn, DateShipped), Round(Subtotal, 2), Round(JobNo / 3, 1), "
        "Abs(JobType), UCase(Title), DateSerial(2011, 1, 1), Now(), IsDate(Title), StDev(Subtotal), "
        "Switch(JobType = 0, Subtotal, JobType = 3, 0), Choose(1, 'a', 2), CVar(DateIn), Val(Title) FROM Jobs "
        "GROUP BY DateIn, DateShipped, Subtotal, JobNo, JobType, Title"));
    const QList<FieldType> expected = {FieldType::Integer, FieldType::Long, FieldType::Currency, FieldType::Double,
                                       FieldType::Integer, FieldType::Text, FieldType::Date, FieldType::Date,
                                       FieldType::Boolean, FieldType::Double, FieldType::Currency, FieldType::Text,
                                       FieldType::Date, FieldType::Double};
    ASSERT_EQ(t.columns.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(t.columns[i].type, expected[i]) << "column " << i;
}

// DatePart('ww') and DateDiff('ww') for every first day of the week and every
// first-week rule, day by day from 1/1/1990 to 12/31/2030, against a model
// that walks the calendar: on 1 January week 1 begins when the week holding it
// counts as the year's first (rule 1 always, rule 2 when at least four of its
// days lie in the new year, rule 3 when it begins on 1 January); otherwise
// the days up to the next firstDay stay in the old year's last week. Each
// later firstDay begins the next week.
// DateDiff('ww', a, b) counts the firstDay weekdays after a up to b.
TEST_F(JetShopTest, WeekNumbersAndWeekDifferencesFollowTheDocumentedRules)
{
    db.addTable(QStringLiteral("Days"), {{"D", platform::FieldType::Date}});
    const QDate first(1990, 1, 1);
    const QDate last(2030, 12, 31);
    const QDate epoch(1899, 12, 30);
    db.exec(QStringLiteral("WITH RECURSIVE n(d) AS (SELECT %1 UNION ALL SELECT d + 1 FROM n WHERE d < %2) "
                           "INSERT INTO Days SELECT d FROM n")
                .arg(epoch.daysTo(first))
                .arg(epoch.daysTo(last)));
    for (int firstDay = 1; firstDay <= 7; ++firstDay) {
        // Qt numbers Monday 1 ... Sunday 7; the engine Sunday 1 ... Saturday 7.
        auto engineWeekday = [](const QDate &d) { return d.dayOfWeek() % 7 + 1; };
        for (int rule = 1; rule <= 3; ++rule) {
            const QStringList rows = db.rows(
                QStringLiteral("SELECT DatePart('ww', D, %1, %2), DateDiff('ww', #1/1/1990#, D, %1), "
                               "DateDiff('ww', D, #1/1/1990#, %1) FROM Days ORDER BY D")
                    .arg(firstDay)
                    .arg(rule));
            ASSERT_EQ(rows.size(), first.daysTo(last) + 1);
            int week = 0;
            bool started = false;   // week 1 of the current year has begun
            int weekdaysSinceFirst = 0;
            int failures = 0;
            for (QDate d(1988, 12, 1); d <= last && failures < 5; d = d.addDays(1)) {
                bool counted = false;
                if (d.month() == 1 && d.day() == 1) {
                    const int relative = (engineWeekday(d) - firstDay + 7) % 7 + 1;
                    started = rule == 1 || (rule == 2 && 8 - relative >= 4) || (rule == 3 && relative == 1);
                    if (started) {
                        week = 1;
                        counted = true;
                    }
                }
                if (engineWeekday(d) == firstDay) {
                    if (!counted)
                        week = started ? week + 1 : 1;
                    started = true;
                    if (d > first)
                        ++weekdaysSinceFirst;
                }
                if (d < first)
                    continue;
                const QString expected = QStringLiteral("%1|%2|%3").arg(week).arg(weekdaysSinceFirst).arg(-weekdaysSinceFirst);
                const QString &actual = rows[int(first.daysTo(d))];
                if (actual != expected) {
                    ++failures;
                    ADD_FAILURE() << d.toString(Qt::ISODate).toStdString() << " firstday " << firstDay << " rule " << rule
                                  << ": " << actual.toStdString() << " expected " << expected.toStdString();
                }
            }
        }
    }
}
