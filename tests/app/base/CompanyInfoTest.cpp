#include "app/base/CompanyInfo.h"

#include <gtest/gtest.h>

namespace {

CompanyInfo sampleShop()
{
    CompanyInfo shop;
    shop.Assign({QStringLiteral("Quick Press"), QStringLiteral("12 Mill Road"), QStringLiteral("Dayton"),
                 QStringLiteral("OH"), QStringLiteral("45402"), QStringLiteral("937-555-0100"),
                 QStringLiteral("937-555-0101")});
    return shop;
}

} // namespace

TEST(CompanyInfo, EveryLayout)
{
    const CompanyInfo shop = sampleShop();
    EXPECT_EQ(shop.FormatAddress(1), QStringLiteral("Quick Press\n12 Mill Road\nDayton OH 45402"));
    EXPECT_EQ(shop.FormatAddress(2), QStringLiteral("\n\n12 Mill Road\nDayton OH 45402"));
    EXPECT_EQ(shop.FormatAddress(3),
              QStringLiteral("Quick Press \u00B7 12 Mill Road \u00B7 Dayton OH 45402 \u00B7 937-555-0100"));
    EXPECT_EQ(shop.FormatAddress(4), QStringLiteral("Quick Press\n12 Mill Road\nDayton OH 45402\n\n"
                                                    "Phone 937-555-0100\nFax 937-555-0101"));
    EXPECT_EQ(shop.FormatAddress(5), QStringLiteral("12 Mill Road"));
    EXPECT_EQ(shop.FormatAddress(6), QStringLiteral("Dayton OH 45402"));
    for (int layout : {0, 7, -3, 100})
        EXPECT_EQ(shop.FormatAddress(layout), QStringLiteral("Quick Press")) << layout;

    QString out = QStringLiteral("replaced");
    shop.FormatAddress(out, 5);
    EXPECT_EQ(out, QStringLiteral("12 Mill Road"));
}

TEST(CompanyInfo, EmptyFieldsAndTextsAsTyped)
{
    CompanyInfo shop = sampleShop();
    shop.m_strState.clear();
    EXPECT_EQ(shop.FormatAddress(6), QStringLiteral("Dayton  45402"));
    // The one-line form (document footers) leaves out what is missing.
    shop.m_strPhone.clear();
    EXPECT_EQ(shop.FormatAddress(3), QStringLiteral("Quick Press \u00B7 12 Mill Road \u00B7 Dayton 45402"));
    shop.m_strAddress.clear();
    EXPECT_EQ(shop.FormatAddress(3), QStringLiteral("Quick Press \u00B7 Dayton 45402"));

    // A shop customer without a buyer contact: phone and fax read Null.
    shop.Assign({QStringLiteral("100% Print"), QStringLiteral("%2 Main"), QStringLiteral("%1"), QString(),
                 QString(), platform::Value(), platform::Value()});
    EXPECT_EQ(shop.FormatAddress(4), QStringLiteral("100% Print\n%2 Main\n%1  \n\nPhone \nFax "));

    shop.Assign({});
    EXPECT_EQ(shop.FormatAddress(3), QString());
}
