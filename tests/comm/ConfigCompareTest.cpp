// The read-back comparison: which fields count, what the pylon may report in
// their place, and how each difference reads in the log.
#include <functional>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/ConfigCompare.h"

namespace {

// The configuration as the pylon reports it back: the gamma byte as it went
// out, UseGamma read from it; what never travels left as the scratch model has it.
K_PYLON AsReported(const K_PYLON& sent)
{
    K_PYLON held;
    for (int L = 0; L < 7; ++L) {
        held.Prices[L].Price = sent.Prices[L].Price;
        held.Prices[L].Conf = sent.Prices[L].Conf;
    }
    held.Conf = sent.Conf;
    held.Conf.Gamma = sent.UseGamma ? sent.Conf.Gamma : 0;
    held.UseGamma = held.Conf.Gamma != 0;
    held.FontConf = sent.FontConf;
    return held;
}

Lines Described(const K_PYLON& sent, const K_PYLON& held)
{
    Lines out;
    for (const ConfigDifference& d : ConfigCompare::Compare(sent, held)) out << ConfigCompare::Describe(d);
    return out;
}

TEST(ConfigCompare, ComparesWhatTravelsBothWaysAndWordsEachDifference)
{
    LoadEnglishMessages();
    using Change = std::function<void(K_PYLON& sent, K_PYLON& held)>;
    struct Case {
        const char* what;
        Change before;  // on the model before it is sent
        Change after;   // on what the pylon reports
        Lines expected;
    };
    const auto none = [](K_PYLON&, K_PYLON&) {};
    const auto zerosOff = [](K_PYLON& s, K_PYLON&) { s.Prices[2].Conf.ZerosOff = 1; };
    const Case cases[] = {
        {"the same", none, none, {}},
        {"a digit", none, [](K_PYLON&, K_PYLON& h) { h.Prices[2].Price[4] = 5; },
         {"Line 3: sent 6.49, pylon holds 6.59"}},
        {"the point", none, [](K_PYLON&, K_PYLON& h) { h.Prices[2].Conf.DecimalPoint = 1; },
         {"Line 3: sent 6.49, pylon holds 64.9"}},
        {"a flag", none, [](K_PYLON&, K_PYLON& h) { h.Prices[2].Conf.PriceBlinking = 1; },
         {"Line 3: sent 6.49, pylon holds 6.49, blinking"}},
        {"flag values the words do not tell apart",
         [](K_PYLON& s, K_PYLON&) { s.Prices[2].Conf.PriceBlinking = 1; },
         [](K_PYLON&, K_PYLON& h) { h.Prices[2].Conf.PriceBlinking = 2; },
         {"Line 3: sent 6.49, blinking [2 1 0 0 0], pylon holds 6.49, blinking [2 2 0 0 0]"}},
        {"blanks for the zeros ZerosOff blanks", zerosOff,
         [](K_PYLON&, K_PYLON& h) { h.Prices[2].Price[0] = h.Prices[2].Price[1] = h.Prices[2].Price[2] = 240; },
         {}},
        {"a blank where zeros are lit", none, [](K_PYLON&, K_PYLON& h) { h.Prices[2].Price[0] = 240; },
         {"Line 3: sent 6.49, pylon holds [240]006.49"}},
        {"a blank for the units digit",
         [](K_PYLON& s, K_PYLON&) {
             s.Prices[2].Price = {0, 0, 0, 0, 4, 9};
             s.Prices[2].Conf.ZerosOff = 1;
         },
         [](K_PYLON&, K_PYLON& h) { h.Prices[2].Price[3] = 240; },
         {"Line 3: sent 0.49, leading zeros off, pylon holds [240].49, leading zeros off"}},
        {"a blank for a zero after the first digit",
         [](K_PYLON& s, K_PYLON&) {
             s.Prices[2].Price = {1, 0, 0, 6, 4, 9};
             s.Prices[2].Conf.ZerosOff = 1;
         },
         [](K_PYLON&, K_PYLON& h) { h.Prices[2].Price[1] = 240; },
         {"Line 3: sent 1006.49, leading zeros off, pylon holds 1[240]06.49, leading zeros off"}},
        {"gamma off goes out as 0 whatever Gamma holds",
         [](K_PYLON& s, K_PYLON&) {
             s.UseGamma = false;
             s.Conf.Gamma = 31;
         },
         none, {}},
        {"gamma on with 0 goes out as gamma off",
         [](K_PYLON& s, K_PYLON&) {
             s.UseGamma = true;
             s.Conf.Gamma = 0;
         },
         none, {}},
        {"gamma lost", [](K_PYLON& s, K_PYLON&) { s.Conf.Gamma = 22; },
         [](K_PYLON&, K_PYLON& h) {
             h.Conf.Gamma = 0;
             h.UseGamma = false;
         },
         {"Gamma: sent 2.2, pylon holds 0"}},
        {"brightness and fonts, in block order", none,
         [](K_PYLON&, K_PYLON& h) {
             h.FontConf.UpperIndex = 0;
             h.Conf.Sensor = 100;
             h.Conf.Left = 9;
         },
         {"Left side brightness: sent 52%, pylon holds 9%", "Brightness without sensor: sent 72%, pylon holds 100%",
          "Upper index: sent 1, pylon holds 0"}},
        {"lines first, in line order", none,
         [](K_PYLON&, K_PYLON& h) {
             h.FontConf.BasicFont = 9;
             h.Prices[6].Conf.PriceOff = 0;
             h.Prices[0].Price[5] = 0;
         },
         {"Line 1: sent 2345.67, dashes, leading zeros off, pylon holds 2345.60, dashes, leading zeros off",
          "Line 7: sent 890123, dashes, off, leading zeros off, pylon holds 890123, dashes, leading zeros off",
          "Basic font: sent 3, pylon holds 9"}},
        {"what never travels", none,
         [](K_PYLON&, K_PYLON& h) {
             h.Prices[1].Name = "Diesel";
             h.DOMS = true;
             h.UseCOM = true;
             h.NetSettings.push_back({"x", "127.0.0.1", 1, true});
         },
         {}},
    };
    for (const Case& c : cases) {
        K_PYLON sent;
        FillDistinct(sent, 2);
        sent.Prices[2].Price = {0, 0, 0, 6, 4, 9};
        sent.Prices[2].Conf = K_PRICE_CONF{};
        K_PYLON unused;
        c.before(sent, unused);
        K_PYLON held = AsReported(sent);
        c.after(sent, held);
        EXPECT_EQ(Described(sent, held), c.expected) << c.what;
    }
}

TEST(ConfigCompare, LineTextShowsThePriceAsThePylonDoes)
{
    LoadEnglishMessages();
    struct Case {
        std::array<uint8_t, 6> digits;
        K_PRICE_CONF conf;  // blinking, off, point, zeros off, dash
        const char* text;
    } cases[] = {
        {{0, 0, 0, 6, 4, 9}, {0, 0, 2, 0, 0}, "6.49"},
        {{0, 0, 0, 0, 0, 0}, {0, 0, 2, 0, 0}, "0.00"},
        {{1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0}, "123456"},
        {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, "0"},
        {{0, 1, 2, 3, 4, 5}, {0, 0, 5, 0, 0}, "0.12345"},
        {{0, 0, 0, 6, 4, 9}, {0, 0, 7, 0, 0}, "649"},
        {{0, 0, 0, 0, 0, 12}, {0, 0, 2, 0, 0}, "0.0[12]"},
        {{0, 0, 1, 2, 3, 4}, {1, 1, 2, 1, 1}, "12.34, blinking, dashes, off, leading zeros off"},
    };
    for (const Case& c : cases) {
        K_PRICE line;
        line.Price = c.digits;
        line.Conf = c.conf;
        EXPECT_EQ(ConfigCompare::LineText(line), c.text);
    }
}

}  // namespace
