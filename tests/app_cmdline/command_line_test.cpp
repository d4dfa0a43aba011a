#include <gtest/gtest.h>

#include "game/app/command_line.h"

namespace {

typedef std::pair<std::string, std::string> Pair;

TEST(CommandLineTest, ProgramPathIsAWordAndKeepsItsBackslashes) {
    const CommandLine line("\"C:\\Program Files\\Morvale\\game.exe\" -log level=a.slev");
    EXPECT_EQ(line.getWords(), std::vector<std::string>{"C:\\Program Files\\Morvale\\game.exe"});
    EXPECT_TRUE(line.hasFlag("log"));
    EXPECT_EQ(line.value("level"), "a.slev");
}

TEST(CommandLineTest, PairNamesMayCarryADashOrSlash) {
    const CommandLine line("/game -level=x /fps=1 tga=yes");
    EXPECT_EQ(line.getPairs(), (std::vector<Pair>{{"level", "x"}, {"fps", "1"}, {"tga", "yes"}}));
    EXPECT_TRUE(line.hasValue("fps"));
    EXPECT_FALSE(line.hasFlag("fps"));
    EXPECT_EQ(line.getWords(), std::vector<std::string>{});
    EXPECT_EQ(line.getFlags(), std::vector<std::string>{"game"});
}

TEST(CommandLineTest, AFlagIsNotAValue) {
    const CommandLine line("game -level");
    EXPECT_TRUE(line.hasFlag("level"));
    EXPECT_FALSE(line.hasValue("level"));
    EXPECT_EQ(line.value("level"), "");
}

TEST(CommandLineTest, TheFirstPairWins) {
    const CommandLine line("game level=a level=b");
    EXPECT_EQ(line.value("level"), "a");
}

TEST(CommandLineTest, QuotedTokenWithABlankIsOnePair) {
    const CommandLine line("game \"a b=c\"");
    EXPECT_EQ(line.getPairs(), (std::vector<Pair>{{"a b", "c"}}));
}

TEST(CommandLineTest, EmptyPiecesAroundEqualsAreDropped) {
    const CommandLine line("=x a=b= a= -a=");
    EXPECT_EQ(line.getWords(), (std::vector<std::string>{"x", "a"}));
    EXPECT_EQ(line.getPairs(), (std::vector<Pair>{{"a", "b"}}));
    EXPECT_EQ(line.getFlags(), (std::vector<std::string>{"a"}));
}

TEST(CommandLineTest, ExtraPiecesAreIgnored) {
    const CommandLine line("a=b=c");
    EXPECT_EQ(line.getPairs(), (std::vector<Pair>{{"a", "b"}}));
}

TEST(CommandLineTest, DoubleBlanksLoneMarksAndOpenQuotesAreHarmless) {
    const CommandLine line("game  -  / \"-fps");
    EXPECT_EQ(line.getWords(), std::vector<std::string>{"game"});
    EXPECT_EQ(line.getFlags(), (std::vector<std::string>{"", "", "fps"}));
    EXPECT_TRUE(line.hasFlag("fps"));
}

TEST(CommandLineTest, OptionsAreCaseSensitive) {
    const CommandLine line("game -FPS Level=x");
    EXPECT_TRUE(line.hasFlag("FPS"));
    EXPECT_FALSE(line.hasFlag("fps"));
    EXPECT_FALSE(line.hasValue("level"));
}

TEST(CommandLineTest, EmptyCommandLine) {
    const CommandLine line("");
    EXPECT_TRUE(line.getWords().empty());
    EXPECT_TRUE(line.getFlags().empty());
    EXPECT_TRUE(line.getPairs().empty());
}

}  // namespace
