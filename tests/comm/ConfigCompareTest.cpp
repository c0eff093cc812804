// The read-back comparison: which fields count, what the pylon may report in
// their place, and how each difference reads in the log.
#include <functional>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/ConfigCompare.h"

namespace {

TEST(ConfigCompare, ComparesWhatTravelsBothWaysAndWordsEachDifference)
{
    LoadEnglishMessages();
    using Change = std::function<void(PylonConfig & sent, PylonConfig & held)>;
    struct Case {
        const char* what;
        Change change;  // on the model as sent and on what the pylon reports of it
        Lines expected;
    };
    const Case cases[] = {
        {"the same", [](PylonConfig&, PylonConfig&) {}, {}},
        {"a digit",
         [](PylonConfig&, PylonConfig& h) { h.Prices[2].Price[4] = 5; },
         {"Line 3: sent 6.49, pylon holds 6.59"}},
        {"the point",
         [](PylonConfig&, PylonConfig& h) { h.Prices[2].Conf.DecimalPoint = 1; },
         {"Line 3: sent 6.49, pylon holds 64.9"}},
        {"flag values the words do not tell apart",
         [](PylonConfig& s, PylonConfig& h) { s.Prices[2].Conf.PriceBlinking = 1, h.Prices[2].Conf.PriceBlinking = 2; },
         {"Line 3: sent 6.49, blinking [2 1 0 0 0], pylon holds 6.49, blinking [2 2 0 0 0]"}},
        {"blanks for the zeros ZerosOff blanks",
         [](PylonConfig& s, PylonConfig& h) {
             s.Prices[2].Conf.ZerosOff = h.Prices[2].Conf.ZerosOff = 1, h.Prices[2].Price = {240, 240, 240, 6, 4, 9};
         },
         {}},
        {"a blank where zeros are lit",
         [](PylonConfig&, PylonConfig& h) { h.Prices[2].Price[0] = 240; },
         {"Line 3: sent 6.49, pylon holds [240]006.49"}},
        {"a blank for the units digit",
         [](PylonConfig& s, PylonConfig& h) {
             s.Prices[2].Price = {0, 0, 0, 0, 4, 9}, h.Prices[2].Price = {240, 240, 240, 240, 4, 9};
             s.Prices[2].Conf.ZerosOff = h.Prices[2].Conf.ZerosOff = 1;
         },
         {"Line 3: sent 0.49, leading zeros off, pylon holds [240].49, leading zeros off"}},
        {"a blank for a zero after the first digit",
         [](PylonConfig& s, PylonConfig& h) {
             s.Prices[2].Price = {1, 0, 0, 6, 4, 9}, h.Prices[2].Price = {1, 240, 0, 6, 4, 9};
             s.Prices[2].Conf.ZerosOff = h.Prices[2].Conf.ZerosOff = 1;
         },
         {"Line 3: sent 1006.49, leading zeros off, pylon holds 1[240]06.49, leading zeros off"}},
        {"gamma off goes out as 0 whatever Gamma holds",
         [](PylonConfig& s, PylonConfig& h) { s.UseGamma = false, s.Conf.Gamma = 31, h.Conf.Gamma = 0; },
         {}},
        {"gamma on with 0 goes out as gamma off",
         [](PylonConfig& s, PylonConfig& h) { s.Conf.Gamma = h.Conf.Gamma = 0; },
         {}},
        {"gamma lost", [](PylonConfig&, PylonConfig& h) { h.Conf.Gamma = 0; }, {"Gamma: sent 2.0, pylon holds 0"}},
        {"lines, then brightness and fonts in block order",
         [](PylonConfig&, PylonConfig& h) {
             h.FontConf.UpperIndex = 0, h.Conf.Left = 9, h.Prices[6].Conf.PriceOff = 0;
         },
         {"Line 7: sent 890123, dashes, off, leading zeros off, pylon holds 890123, dashes, leading zeros off",
          "Left side brightness: sent 52%, pylon holds 9%", "Upper index: sent 1, pylon holds 0"}},
        {"what never travels",
         [](PylonConfig&, PylonConfig& h) { h.Prices[1].Name = "Diesel", h.DOMS = true, h.NetSettings.push_back({}); },
         {}},
    };
    for (const Case& c : cases) {
        PylonConfig sent;
        FillDistinct(sent, 2);
        sent.Prices[2].Price = {0, 0, 0, 6, 4, 9};
        sent.Prices[2].Conf = LineSettings{};
        PylonConfig held(sent);
        c.change(sent, held);
        Lines described;
        for (const ConfigDifference& d : ConfigCompare::Compare(sent, held)) described << ConfigCompare::Describe(d);
        EXPECT_EQ(described, c.expected) << c.what;
    }
}

}  // namespace
