// Canadian sales taxes between two Canadian points, worked by hand: GST 6 %, HST 14 % for the
// Atlantic destinations, QST 7.5 % on the amount with GST within Quebec; amounts rounded to
// cents, halves up.

#include <gtest/gtest.h>

#include "quotechargesfixture.h"

namespace {

class CanadianTaxes : public QuoteChargesTest {
  protected:
    void Between(const std::string& origKey, const std::string& origProvince,
                 const std::string& destKey, const std::string& destProvince) {
        SetOrigin(origKey + "1A1", origKey, origProvince, 1);
        SetDest(destKey + "1A1", destKey, destProvince, 1);
    }
    Single Tax(size_t i) const { return rating.gCanTax[i]; }
};

TEST_F(CanadianTaxes, WithinQuebecQSTIsChargedOnTheAmountWithGST) {
    Between("H2Y", "QC", "G1R", "QC");
    MoneyTotal amount = 100.00f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(0), 6.00f);
    // 106.00 × 7.5 % = 7.95.
    EXPECT_FLOAT_EQ(Tax(1), 7.95f);
    EXPECT_FLOAT_EQ(Tax(3), 0);
}

TEST_F(CanadianTaxes, OntarioToNovaScotiaPaysHSTInsteadOfGST) {
    Between("M3L", "ON", "B3H", "NS");
    // 100.25 × 14 % = 14.035, worked out in double precision (14.0350000598 with the Single
    // rate), so half a cent goes up although the HST takes no nudge: 14.04.
    MoneyTotal amount = 100.25f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(0), 0);
    EXPECT_FLOAT_EQ(Tax(3), 14.04f);
    // 112.75 × 14 % = 15.785: 15.79, where a single-precision product (15.7849998) gave 15.78.
    amount = 112.75f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(3), 15.79f);
    EXPECT_FLOAT_EQ(Tax(1), 0);
}

TEST_F(CanadianTaxes, GSTHalfCentGoesUp) {
    Between("T2P", "AB", "T5J", "AB");
    // 100.25 × 6 % = 6.015: the nudge carries it to 6.02 although the single-precision
    // product lies just below the half.
    MoneyTotal amount = 100.25f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(0), 6.02f);
}

TEST_F(CanadianTaxes, QuebecToOntarioPaysGSTOnly) {
    Between("H2Y", "QC", "M3L", "ON");
    MoneyTotal amount = 250.00f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(0), 15.00f);
    EXPECT_FLOAT_EQ(Tax(1), 0);
    EXPECT_FLOAT_EQ(Tax(3), 0);
}

TEST_F(CanadianTaxes, TheAmountIsRoundedToCentsForTheCallerToo) {
    Between("T2P", "AB", "T5J", "AB");
    MoneyTotal amount = 99.996f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(amount, 100.00f);
    EXPECT_FLOAT_EQ(Tax(0), 6.00f);
}

TEST_F(CanadianTaxes, OtherQuotesHaveNoTaxAndKeepTheirAmount) {
    SetDest("M5V1A1", "M5V", "ON", 1);
    rating.gCanTax = {1, 2, 3, 4, 5, 6};  // left by an earlier quote
    MoneyTotal amount = 100.004f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(amount, 100.004f);
    for (Single t : rating.gCanTax) EXPECT_FLOAT_EQ(t, 0);
}

TEST_F(CanadianTaxes, NoStaleQSTOutsideQuebec) {
    Between("H2Y", "QC", "G1R", "QC");
    MoneyTotal amount = 100.00f;
    CanadaTaxes(amount);
    Between("T2P", "AB", "T5J", "AB");
    amount = 100.00f;
    CanadaTaxes(amount);
    EXPECT_FLOAT_EQ(Tax(0), 6.00f);
    EXPECT_FLOAT_EQ(Tax(1), 0);
}

TEST_F(CanadianTaxes, QuoteWithinQuebecShowsBothTaxesUnderTheLastTotal) {
    SetConfigValue("FSC_fsc", "10");
    Between("H2Y", "QC", "G1R", "QC");
    NetChargeLine(100.00f, 1000);
    DisplayCharges();
    // Fuel 10.00, TOTAL 110.00; GST 6.60; QST 7.5 % of 116.60 = 8.745, up to 8.75.
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Charge(5), "$110.00");
    EXPECT_EQ(Rate(6), "Canadian GST");
    EXPECT_EQ(Charge(6), "$6.60");
    EXPECT_EQ(Rate(7), "Quebec QST");
    EXPECT_EQ(Charge(7), "$8.75");
    EXPECT_EQ(Rate(8), "TOTAL CHARGES IN CN FUNDS");
    EXPECT_EQ(Charge(8), "$125.35");
    EXPECT_EQ(quote.gQuoteLine, 8);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 110.00f);
}

TEST_F(CanadianTaxes, QuoteToNovaScotiaShowsTheMaritimesHST) {
    Between("M3L", "ON", "B3H", "NS");
    Choose("Hazardous materials");
    NetChargeLine(81.00f, 1000);
    DisplayCharges();
    // 81.00 + 19.00 = 100.00; HST 14.00.
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Rate(6), "Maritimes HST");
    EXPECT_EQ(Charge(6), "$14.00");
    EXPECT_EQ(Rate(7), "TOTAL CHARGES IN CN FUNDS");
    EXPECT_EQ(Charge(7), "$114.00");
}

TEST_F(CanadianTaxes, WithinAlbertaATotalOf100Becomes106) {
    Between("T2P", "AB", "T5J", "AB");
    NetChargeLine(100.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Canadian GST");
    EXPECT_EQ(Charge(4), "$6.00");
    EXPECT_EQ(Rate(5), "TOTAL CHARGES IN CN FUNDS");
    EXPECT_EQ(Charge(5), "$106.00");
}

TEST_F(CanadianTaxes, NoTaxLinesAcrossTheBorder) {
    SetDest("M5V1A1", "M5V", "ON", 1);
    NetChargeLine(100.00f, 1000);
    DisplayCharges();
    // The fee and its total only.
    EXPECT_EQ(quote.gQuoteLine, 5);
    EXPECT_EQ(Rate(6), " ");
}

}  // namespace
