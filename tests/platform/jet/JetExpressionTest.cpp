#include "JetShopFixture.h"

#include "platform/db/DbException.h"

// Each case evaluates one Jet expression over the customer Acme (CusNo 1,
// Tax Yes, Balance 120.5) on a clock fixed at 3/16/2011 14:05 and compares
// the value SQLite returns with the one Jet gives (Null as "<null>").
struct ExpressionCase
{
    const char *expression;
    const char *expected;
};

void PrintTo(const ExpressionCase &c, std::ostream *os)
{
    *os << c.expression;
}

class JetExpression : public JetShopTest, public ::testing::WithParamInterface<ExpressionCase>
{
protected:
    QString evaluate(const QString &expression)
    {
        const QStringList rows = db.rows(QStringLiteral("SELECT %1 FROM Customers WHERE CusNo = 1").arg(expression));
        return rows.isEmpty() ? QStringLiteral("<no row>") : rows.front();
    }
};

TEST_P(JetExpression, GivesJetsValue)
{
    EXPECT_EQ(evaluate(QString::fromUtf8(GetParam().expression)).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Concatenation, JetExpression, ::testing::Values(
    ExpressionCase{"CusNo & '-' & Name", "1-Acme"},
    ExpressionCase{"Null & Null", "<null>"},
    ExpressionCase{"Null & 'x' & Null", "x"},
    ExpressionCase{"12.0 & ''", "12"},
    ExpressionCase{"(0.1 + 0.2) & ''", "0.3"},
    ExpressionCase{"1e20 & ''", "1E+20"},
    ExpressionCase{"0.0001 & '/' & 0.00001", "0.0001/1E-05"},
    ExpressionCase{"Balance & ''", "120.5"},
    ExpressionCase{"CCur(2) & ''", "2"},
    ExpressionCase{"#3/16/2011# & ''", "3/16/2011"},
    ExpressionCase{"#3/16/2011 14:05# & ''", "3/16/2011 2:05:00 PM"},
    ExpressionCase{"#12/30/1899 8:30# & ''", "8:30:00 AM"},
    // Noon and the hour after it are PM; the hour after midnight is 12 AM.
    ExpressionCase{"#3/16/2011 11:59:59# & ''", "3/16/2011 11:59:59 AM"},
    ExpressionCase{"#3/16/2011 12:00# & ''", "3/16/2011 12:00:00 PM"},
    ExpressionCase{"#3/16/2011 12:59:59# & ''", "3/16/2011 12:59:59 PM"},
    ExpressionCase{"#3/16/2011 13:00# & ''", "3/16/2011 1:00:00 PM"},
    ExpressionCase{"#3/16/2011 0:30# & ''", "3/16/2011 12:30:00 AM"},
    ExpressionCase{"Hour(#3/16/2011 12:30 AM#) & ' ' & Hour(#3/16/2011 12:30 PM#) & ' ' & Hour(#3/16/2011 11:30 PM#)",
                   "0 12 23"},
    ExpressionCase{"Tax & ''", "-1"},
    ExpressionCase{"Int((Date() - #1/1/2011#)/30)*30 & ' '", "60 "},
    ExpressionCase{"'a' & 1 + 2", "a3"}));

INSTANTIATE_TEST_SUITE_P(Plus, JetExpression, ::testing::Values(
    ExpressionCase{"'* ' + Null", "<null>"},
    ExpressionCase{"'a' + 'b'", "ab"},
    ExpressionCase{"CStr(5) + 10", "15"},
    ExpressionCase{"'2.5' + 1", "3.5"},
    ExpressionCase{"CusNo + 1.5", "2.5"},
    ExpressionCase{"#3/16/2011# + 1", "40619"},
    ExpressionCase{"#3/16/2011# - #3/1/2011#", "15"},
    ExpressionCase{"Null + 1", "<null>"}));

INSTANTIATE_TEST_SUITE_P(Division, JetExpression, ::testing::Values(
    ExpressionCase{"250 / 100", "2.5"},
    ExpressionCase{"5 / 0", "<null>"},
    ExpressionCase{"7 \\ 2", "3"},
    ExpressionCase{"7.5 \\ 2", "4"},
    ExpressionCase{"6.5 \\ 2", "3"},
    ExpressionCase{"-7 \\ 2", "-3"},
    ExpressionCase{"7 Mod 3", "1"},
    ExpressionCase{"-7 Mod 3", "-1"},
    ExpressionCase{"7 Mod -3", "1"},
    ExpressionCase{"5.5 Mod 4", "2"},
    ExpressionCase{"-7.4 Mod 3", "-1"},
    ExpressionCase{"CusNo Mod 0", "<null>"},
    ExpressionCase{"2 ^ 10", "1024"},
    ExpressionCase{"-2 ^ 2", "-4"},
    ExpressionCase{"2 + 3 * 4 - 6 / 3", "12"},
    ExpressionCase{"10 - 2 - 3", "5"},
    ExpressionCase{"17 \\ 4 Mod 3", "1"}));

INSTANTIATE_TEST_SUITE_P(Rounding, JetExpression, ::testing::Values(
    ExpressionCase{"Int(-2.5)", "-3"},
    ExpressionCase{"Fix(-2.5)", "-2"},
    ExpressionCase{"Int(2.7)", "2"},
    ExpressionCase{"Int(5)", "5"},
    ExpressionCase{"CLng(2.5)", "2"},
    ExpressionCase{"CLng(3.5)", "4"},
    ExpressionCase{"CLng(-2.5)", "-2"},
    ExpressionCase{"CLng(-3.5)", "-4"},
    ExpressionCase{"CInt(0.5)", "0"},
    ExpressionCase{"CInt(1.5)", "2"},
    ExpressionCase{"CByte(254.5)", "254"},
    ExpressionCase{"CLng('12.5')", "12"},
    ExpressionCase{"CLng(Null)", "<null>"},
    ExpressionCase{"CCur(0.03125)", "0.0312"},
    ExpressionCase{"CCur(0.09375)", "0.0938"},
    ExpressionCase{"CCur(250 / 100)", "2.5"},
    ExpressionCase{"CDbl('1.5')", "1.5"},
    ExpressionCase{"CSng(0.1)", "0.100000001490116"},
    ExpressionCase{"CStr(12.0)", "12"},
    ExpressionCase{"CStr(Tax)", "True"},
    ExpressionCase{"CStr(Null)", "<null>"},
    ExpressionCase{"CStr('')", ""}));

INSTANTIATE_TEST_SUITE_P(Conditions, JetExpression, ::testing::Values(
    ExpressionCase{"IIf(Tax, 'Y', 'N')", "Y"},
    ExpressionCase{"IIf(Null, 1, 2)", "2"},
    ExpressionCase{"IIf(0, 1)", "<null>"},
    ExpressionCase{"IIf(CusNo = 1, 'one')", "one"},
    ExpressionCase{"IIF (IIf(CusNo > 0, True, False), 'a', 'b')", "a"},
    ExpressionCase{"Name = 'ACME'", "-1"},
    ExpressionCase{"'abc' < 'ABD'", "-1"},
    ExpressionCase{"'b' > 'A'", "-1"},
    ExpressionCase{"Null = Null", "<null>"},
    ExpressionCase{"CusNo Between 1 And 1", "-1"},
    ExpressionCase{"'B' Between 'a' And 'c'", "-1"},
    ExpressionCase{"CusNo Not Between 2 And 5", "-1"},
    ExpressionCase{"CusNo In (3, 1)", "-1"},
    ExpressionCase{"Name In ('acme')", "-1"},
    ExpressionCase{"Name Not In ('x', 'y')", "-1"},
    ExpressionCase{"Name Is Null", "0"},
    ExpressionCase{"Name Is Not Null", "-1"},
    ExpressionCase{"Not (CusNo = 1)", "0"},
    ExpressionCase{"Not CusNo = 2 And Tax", "-1"},
    ExpressionCase{"CusNo = 2 Or Tax", "-1"},
    ExpressionCase{"True", "-1"},
    ExpressionCase{"-True", "1"},
    ExpressionCase{"(1 = 1) + 1", "0"},
    ExpressionCase{"Tax Xor True", "0"}));

INSTANTIATE_TEST_SUITE_P(Like, JetExpression, ::testing::Values(
    ExpressionCase{"'Letterhead' Like 'let*'", "-1"},
    ExpressionCase{"'abc' Like 'a?c'", "-1"},
    ExpressionCase{"'a1c' Like 'a#c'", "-1"},
    ExpressionCase{"'abc' Like 'a#c'", "0"},
    ExpressionCase{"'0' Like '#' And '9' Like '#'", "-1"},
    ExpressionCase{"'/' Like '#' Or ':' Like '#'", "0"},
    ExpressionCase{"'b' Like '[a-c]'", "-1"},
    ExpressionCase{"'d' Like '[!a-c]'", "-1"},
    ExpressionCase{"'b' Like '[!a-c]'", "0"},
    ExpressionCase{"'12 #3 Main' Like \"*12 [#]3*\"", "-1"},
    ExpressionCase{"'a*c' Like 'a[*]c'", "-1"},
    ExpressionCase{"'abc' Like 'a[*]c'", "0"},
    ExpressionCase{"'a[c' Like 'a[[]c'", "-1"},
    ExpressionCase{"'50%' Like '50%'", "-1"},
    ExpressionCase{"'50x' Like '50%'", "0"},
    ExpressionCase{"'abc' Like 'a_c'", "0"},
    ExpressionCase{"'note {x}' Like '*{*'", "-1"},
    ExpressionCase{"'aXbXc' Like '*b*c'", "-1"},
    ExpressionCase{"'ab' Like '*b*c'", "0"},
    ExpressionCase{"Null Like 'x'", "<null>"},
    ExpressionCase{"'x' Not Like 'y'", "-1"},
    ExpressionCase{"'ÄRGER' Like 'ä*'", "-1"},
    ExpressionCase{"1200 Like '12*'", "-1"}));

INSTANTIATE_TEST_SUITE_P(Text, JetExpression, ::testing::Values(
    ExpressionCase{"InStr('Blue·Ink', '·')", "5"},
    ExpressionCase{"InStr('abc', 'X')", "0"},
    ExpressionCase{"InStr(3, 'abcabc', 'B')", "5"},
    ExpressionCase{"InStr(Null, 'a')", "<null>"},
    ExpressionCase{"Mid('Blue·Ink', 6)", "Ink"},
    ExpressionCase{"Mid('abcdef', 2, 3)", "bcd"},
    ExpressionCase{"Mid('Blue·Ink',1,InStr('Blue·Ink','·')-1)", "Blue"},
    ExpressionCase{"Left('x • y', 3)", "x •"},
    ExpressionCase{"Right('x • y', 3)", "• y"},
    ExpressionCase{"Right('ab', 5)", "ab"},
    ExpressionCase{"Len('x • y')", "5"},
    ExpressionCase{"Len(12.5)", "4"},
    ExpressionCase{"Mid(12345, 2, 2)", "23"},
    ExpressionCase{"\"O'Brien\" & \"\"\"\"", "O'Brien\""},
    ExpressionCase{"'it''s'", "it's"}));

INSTANTIATE_TEST_SUITE_P(Format, JetExpression, ::testing::Values(
    ExpressionCase{"Format(#3/16/2011 14:05#, 'yyyy/mm/dd ddd')", "2011/03/16 Wed"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'yyyy  mm  mmm')", "2011  03  Mar"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'yyyy  mm  mmmm')", "2011  03  March"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'yyyy  mm')", "2011  03"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'yyyy/mm')", "2011/03"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'mm  mmmm')", "03  March"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'mmmm')", "March"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'dd')", "16"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'q')", "1"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'ww')", "12"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'mm/dd/yyyy')", "03/16/2011"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'mm/dd/yy')", "03/16/11"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'mm/dd')", "03/16"},
    ExpressionCase{"Format(#3/16/2011 14:05#, 'Short Time')", "14:05"},
    ExpressionCase{"Format(#3/16/2011 8:05#, 'Short Time')", "08:05"},
    ExpressionCase{"Format(#3/16/2011 14:05# - #3/16/2011 8:00#, 'Short Time')", "06:05"},
    ExpressionCase{"Format(#3/16/2011 14:05:31#, 'h:nn:ss AM/PM')", "2:05:31 PM"},
    ExpressionCase{"Format(#3/16/2011#, 'dddd d mmm')", "Wednesday 16 Mar"},
    ExpressionCase{"Format(Format(#2/15/2011#, 'ww'), '00')", "08"},
    ExpressionCase{"Format(Format(#1/5/2011#, 'ww'), '00')", "02"},
    ExpressionCase{"Format(1234.5, '#,##0.00')", "1,234.50"},
    ExpressionCase{"Format(0.5, '0%')", "50%"},
    ExpressionCase{"Format(7, '00')", "07"},
    ExpressionCase{"Format(-3, '0;(0)')", "(3)"},
    ExpressionCase{"Format(2.5, '0')", "3"},
    ExpressionCase{"Format(12.345, '0.00')", "12.35"},
    ExpressionCase{"Format(5, '#.##')", "5."},
    ExpressionCase{"Format(Null, 'yyyy')", "<null>"},
    ExpressionCase{"Format(12.0)", "12"},
    ExpressionCase{"Format(Tax)", "True"},
    ExpressionCase{"Format('3/16/2011', 'yyyy')", "2011"},
    ExpressionCase{"Format('abc', 'yyyy')", "abc"}));

// Weeks start on Sunday and week 1 holds 1 January, so a year has 53 or 54.
INSTANTIATE_TEST_SUITE_P(WeekNumbers, JetExpression, ::testing::Values(
    ExpressionCase{"Format(#1/1/2011#, 'ww')", "1"},
    ExpressionCase{"Format(#1/2/2011#, 'ww')", "2"},
    ExpressionCase{"Format(#12/31/2011#, 'ww')", "53"},
    ExpressionCase{"Format(#12/31/2000#, 'ww')", "54"},
    ExpressionCase{"Format(#1/1/2012#, 'ww')", "1"},
    ExpressionCase{"Format(#1/7/2012#, 'ww')", "1"},
    ExpressionCase{"Format(#1/8/2012#, 'ww')", "2"},
    ExpressionCase{"Format(#3/16/2011#, 'w')", "4"}));

INSTANTIATE_TEST_SUITE_P(Dates, JetExpression, ::testing::Values(
    ExpressionCase{"Date()", "40618"},
    ExpressionCase{"DateAdd('d', 7, Date())", "40625"},
    ExpressionCase{"DateAdd('m', 1, #1/31/2011#)", "40602"},
    ExpressionCase{"Format(DateAdd('yyyy', 1, #2/29/2012#), 'mm/dd/yyyy')", "02/28/2013"},
    ExpressionCase{"Format(DateAdd('q', -1, #5/31/2011#), 'mm/dd/yyyy')", "02/28/2011"},
    ExpressionCase{"Format(DateAdd('ww', 2, #3/16/2011#), 'mm/dd/yyyy')", "03/30/2011"},
    ExpressionCase{"Format(DateAdd('h', 25, #3/16/2011#), 'mm/dd/yyyy hh:nn')", "03/17/2011 01:00"},
    ExpressionCase{"DateValue(#3/16/2011 14:05#)", "40618"},
    ExpressionCase{"DateValue('3/16/2011 2:05 PM')", "40618"},
    ExpressionCase{"DateValue(Null)", "<null>"},
    ExpressionCase{"Year(#3/16/2011#)", "2011"},
    ExpressionCase{"Year('12/31/1999')", "1999"},
    ExpressionCase{"#2011-03-16#", "40618"},
    ExpressionCase{"#3/16/11#", "40618"},
    ExpressionCase{"Year(#1/1/29#) & '/' & Year(#1/1/30#)", "2029/1930"},
    ExpressionCase{"Format(#3/16/2011 2:05 PM#, 'hh:nn')", "14:05"},
    ExpressionCase{"#12/30/1899#", "0"},
    ExpressionCase{"#12/29/1899 6:00#", "-1.25"},
    ExpressionCase{"Date() - DateValue(#3/1/2011 23:59#)", "15"}));

TEST_F(JetShopTest, TextThatIsNoNumberStopsAnAddition)
{
    const auto t = db.translator().translate(QStringLiteral("SELECT 'x' + CusNo FROM Customers"));
    db.rowsOf(t);
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3464:"))) << db.lastError().toStdString();
    db.rows(QStringLiteral("SELECT CByte(256) FROM Customers"));
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3349:"))) << db.lastError().toStdString();
}

TEST_F(JetShopTest, EveryOperatorIsParenthesisedAndEveryNameQuoted)
{
    // SQLite's || binds tighter than +, Jet's & looser: the tree decides.
    const auto t = db.translator().translate(QStringLiteral("SELECT 1 + 2 & 3 * 4 AS x, [No], Group, When, Desc FROM SalesDepartments"));
    EXPECT_EQ(t.sql, QStringLiteral("SELECT jet_cat(jet_text((1 + 2), 4), jet_text((3 * 4), 4)) AS \"x\", \"SalesDepartments\".\"No\" AS \"No\", "
                                    "\"SalesDepartments\".\"Group\" AS \"Group\", \"SalesDepartments\".\"When\" AS \"When\", "
                                    "\"SalesDepartments\".\"Desc\" AS \"Desc\" FROM \"SalesDepartments\""));
    EXPECT_EQ(db.rowsOf(t).front(), QStringLiteral("312|0|1|40618|front"));
}

TEST_F(JetShopTest, CurrencyBeyondItsRangeIsANumericOverflow)
{
    db.rows(QStringLiteral("SELECT CCur(922337203685477) FROM Customers"));
    EXPECT_TRUE(db.lastError().isEmpty()) << db.lastError().toStdString();
    db.rows(QStringLiteral("SELECT CCur(1E+15) FROM Customers"));
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3349:"))) << db.lastError().toStdString();
    db.rows(QStringLiteral("SELECT CCur(-1E+15) FROM Customers"));
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3349:"))) << db.lastError().toStdString();
}
