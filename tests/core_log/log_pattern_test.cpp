#include "engine/core/log/log_pattern.h"

#include <gtest/gtest.h>

using boost::log::matchLogPattern;

TEST(LogPattern, StarsAndEmptyPatternsMatchEverything) {
    EXPECT_TRUE(matchLogPattern("anything", ""));
    EXPECT_TRUE(matchLogPattern("anything", "*"));
    EXPECT_TRUE(matchLogPattern("anything", "**"));
    EXPECT_TRUE(matchLogPattern("", "***"));
}

TEST(LogPattern, LiteralPatternsAreAnchoredAtBothEnds) {
    EXPECT_TRUE(matchLogPattern("lua", "lua"));
    EXPECT_FALSE(matchLogPattern("lua2", "lua"));
    EXPECT_FALSE(matchLogPattern("xlua", "lua"));
    EXPECT_FALSE(matchLogPattern("Lua", "lua"));
    EXPECT_FALSE(matchLogPattern("", "lua"));
}

TEST(LogPattern, StarsLiftTheAnchorOnTheirSide) {
    EXPECT_TRUE(matchLogPattern("xlua", "*lua"));
    EXPECT_TRUE(matchLogPattern("luax", "lua*"));
    EXPECT_FALSE(matchLogPattern("luax", "*lua"));
    EXPECT_FALSE(matchLogPattern("xlua", "lua*"));
    EXPECT_TRUE(matchLogPattern("xluax", "*lua*"));
}

TEST(LogPattern, PiecesTakeTheirFirstOccurrenceWithoutBacktracking) {
    EXPECT_FALSE(matchLogPattern("abxb", "a*b"));
    EXPECT_TRUE(matchLogPattern("ab", "a*b"));
    EXPECT_TRUE(matchLogPattern("aXbYb", "a*b*"));
    EXPECT_TRUE(matchLogPattern("aXb", "a*b"));
    EXPECT_FALSE(matchLogPattern("ba", "a*b"));
}

TEST(LogPattern, OnlyTheStarIsSpecial) {
    EXPECT_FALSE(matchLogPattern("lua", "lu?"));
    EXPECT_TRUE(matchLogPattern("lu?", "lu?"));
    EXPECT_TRUE(matchLogPattern("a.b", "a.b"));
    EXPECT_FALSE(matchLogPattern("axb", "a.b"));
}
