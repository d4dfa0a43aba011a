// The start-up options as the entry point reads them from the command line.
#include <gtest/gtest.h>

#include "game/app/game_options.h"

namespace {

GameOptions optionsOf(const std::string& line) {
    return gameOptionsFrom(CommandLine("\"/games/morvale/bin/morvale\" " + line));
}

TEST(GameOptionsTest, DefaultsWithoutOptions) {
    const GameOptions options = optionsOf("");
    EXPECT_TRUE(options.level.empty());
    EXPECT_FALSE(options.mouse || options.tga || options.fps || options.camera);
    EXPECT_EQ(options.effect, "/effect unspecified");
}

TEST(GameOptionsTest, TheLevelIsAFileInLevels) {
    EXPECT_EQ(optionsOf("level=x").level, L"levels/x");
    EXPECT_EQ(optionsOf("-level=town.slev").level, L"levels/town.slev");
    EXPECT_EQ(optionsOf("level=a level=b").level, L"levels/a") << "the first pair counts";
    EXPECT_TRUE(optionsOf("-level").level.empty()) << "a flag has no value";
}

TEST(GameOptionsTest, SwitchesAsFlagsOrPairs) {
    const GameOptions flags = optionsOf("-mouse /tga -fps -camera");
    EXPECT_TRUE(flags.mouse && flags.tga && flags.fps && flags.camera);
    const GameOptions pairs = optionsOf("mouse=1 tga=0 fps=yes camera=1");
    EXPECT_TRUE(pairs.mouse && pairs.tga && pairs.fps && pairs.camera) << "any value gives it";
    const GameOptions upper = optionsOf("-FPS -Mouse");
    EXPECT_FALSE(upper.fps || upper.mouse) << "options are case-sensitive";
    const GameOptions words = optionsOf("fps mouse");
    EXPECT_FALSE(words.fps || words.mouse) << "a bare word is neither flag nor pair";
}

TEST(GameOptionsTest, TheEffectNameIsCarried) {
    EXPECT_EQ(optionsOf("effect=smoke").effect, "smoke");
    EXPECT_EQ(optionsOf("-effect").effect, "/effect unspecified");
}

}  // namespace
