#include <gtest/gtest.h>

#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "model/SessionStore.h"

TEST(PylonModel, DefaultsWithoutSession)
{
    MemoryRegStore store;
    PylonConfig m(&store);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(m.Prices[i].Name, "Nazwa " + std::to_string(i + 1));
        for (uint8_t d : m.Prices[i].Price) EXPECT_EQ(d, 0);
        EXPECT_EQ(m.Prices[i].Conf.DecimalPoint, 2);
        EXPECT_EQ(m.Prices[i].Conf.PriceOff + m.Prices[i].Conf.PriceDash + m.Prices[i].Conf.PriceBlinking +
                      m.Prices[i].Conf.ZerosOff,
                  0);
    }
    EXPECT_EQ(m.Conf, (BrightnessSettings{100, 100, 80, 22}));
    EXPECT_EQ(m.FontConf, (FontSettings{3, 0}));
    EXPECT_FALSE(m.UseGamma);
    EXPECT_FALSE(m.DOMS);
    EXPECT_FALSE(m.UseCOM);
    EXPECT_TRUE(m.NetSettings.empty());
    EXPECT_TRUE(m.ComName.empty());
    EXPECT_EQ(m.ComSpeed, 0);
    // Loading found nothing, so nothing was created yet.
    EXPECT_FALSE(store.KeyExists(SessionStore::SessionKey));
}

TEST(PylonModel, CopySharesNothingAndEveryReleaseWritesTheSession)
{
    MemoryRegStore store;
    PylonConfig m(&store);
    m.NetSettings.push_back({"P1", "10.0.0.1", 2101, true});
    {
        PylonConfig copy(m);
        copy.Prices[0].Name = "Pb95";
        copy.NetSettings[0].IP = "10.0.0.2";
        copy.Prices[3].Price[5] = 7;
        EXPECT_EQ(m.Prices[0].Name, "Nazwa 1");
        EXPECT_EQ(m.NetSettings[0].IP, "10.0.0.1");
        EXPECT_EQ(m.Prices[3].Price[5], 0);
    }
    // The released copy wrote what it held.
    PylonConfig reread(&store);
    EXPECT_EQ(reread.Prices[0].Name, "Pb95");
    EXPECT_EQ(reread.Prices[3].Price[5], 7);
    ASSERT_EQ(reread.NetSettings.size(), 1u);
    EXPECT_EQ(reread.NetSettings[0].IP, "10.0.0.2");
}

TEST(PylonModel, DetachedScratchWritesNothing)
{
    MemoryRegStore store;
    {
        PylonConfig scratch(&store);
        scratch.DetachSession();
        scratch.Prices[0].Name = "x";
    }
    EXPECT_FALSE(store.KeyExists(SessionStore::SessionKey));
}
