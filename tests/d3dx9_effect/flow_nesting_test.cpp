// The nesting of branches and loops is measured on the text before any compiler sees it;
// the count must follow the statements and calls as the compilers read them, or it refuses
// valid code or lets deep code through.
#include <gtest/gtest.h>

#include "platform/d3dx9/effect/flow_nesting.h"

using d3dx9::fx::nestingError;
using d3dx9::fx::NestingLimits;

namespace {

const std::vector<std::string> kFiles = {"main.fx", "common.fxh"};

std::string measure(const std::string& body, NestingLimits limits = {2, 1}) {
    return nestingError("#line 1 \"fx0\"\nfloat4 f(float a) : COLOR0 {\n" + body + "\n}\n", "f",
                        kFiles, limits, "ps_3_0");
}

TEST(FlowNesting, CountsStatementsAsTheCompilerReadsThem) {
    // Within the limits: siblings, else-if chains, loops one after another, a `do` and
    // braces of plain blocks do not add up.
    EXPECT_EQ(measure("if (a) { if (a) a++; } else if (a) { if (a) a--; } else { a = 0; }"), "");
    EXPECT_EQ(measure("for (int i = 0; i < 2; i++) a++; while (a) a--; do { a++; } while (a);"),
              "");
    EXPECT_EQ(measure("{ { { if (a) if (a) a++; } } } if (a) a++; else if (a) a--;"), "");
    EXPECT_EQ(measure("if (a) a++; else a--; if (a) { for (;;) { break; } }"), "");
    EXPECT_EQ(measure("do a++; while (a); if (a) { if (a) a++; }"), "");
    // Words inside comments, strings and conditions are not statements.
    EXPECT_EQ(measure("// if if if\n/* for (;;) for (;;) */ if (a) { a += (a) ? 1 : 2; }"), "");

    // Past them, unbraced or braced, at the line of the deepest statement.
    EXPECT_EQ(measure("if (a)\n if (a)\n  if (a) a++;"),
              "main.fx(4): error: flow control nested 3 deep, ps_3_0 allows 2");
    EXPECT_EQ(measure("for (;;) { while (a) { } }"),
              "main.fx(2): error: loops nested 2 deep, ps_3_0 allows 1");
    EXPECT_EQ(measure("if (a) { } else { do { if (a) a++; } while (a); }"),
              "main.fx(2): error: flow control nested 3 deep, ps_3_0 allows 2");
    EXPECT_NE(measure("switch (a) { case 0: if (a) { if (a) a++; } }"), "");
}

// The compilers inline every call: nesting split over functions adds up, and a function the
// entry never calls (the shader of another profile) does not count.
TEST(FlowNesting, CallsAddTheirCalleesNestingAndOnlyWhatTheEntryReaches) {
    const std::string functions =
        "#line 1 \"fx0\"\n"
        "struct S { float a; };\n"
        "static const float k = sqrt(2.0);\n"
        "float deep(float a);\n"
        "float deep(float a) { if (a) { if (a) { if (a) a++; } } return a; }\n"
        "float two(float a) { if (a) { if (a) a++; } return a; }\n"
        "float one(float a) { if (a) a = two(a); return a; }\n"
        "float flat(float a) { return two(a) + max(a, 1); }\n"
        "#line 1 \"fx1\"\n"
        "float loop(float a) { for (;;) { a = loop(a); } return a; }\n";
    const NestingLimits limits{2, 1};
    EXPECT_EQ(nestingError(functions, "flat", kFiles, limits, "ps_2_0"), "");
    EXPECT_EQ(nestingError(functions, "loop", kFiles, limits, "ps_2_0"), "");
    EXPECT_EQ(nestingError(functions, "one", kFiles, limits, "ps_2_0"),
              "main.fx(6): error: flow control nested 3 deep, ps_2_0 allows 2");
    EXPECT_EQ(nestingError(functions, "deep", kFiles, limits, "ps_2_0"),
              "main.fx(4): error: flow control nested 3 deep, ps_2_0 allows 2");
    EXPECT_EQ(nestingError(functions, "missing", kFiles, limits, "ps_2_0"), "");
}

TEST(FlowNesting, HostileTextEndsWithoutRecursion) {
    std::string deep = "void h() {";
    for (int i = 0; i < 100000; ++i) {
        deep += "if (1) {";
    }
    EXPECT_NE(nestingError(deep, "h", kFiles, {24, 4}, "ps_3_0").find("nested 100000 deep"),
              std::string::npos);
    // A call chain as long as the text allows, each link one level deeper.
    std::string chain;
    for (int i = 0; i < 50000; ++i) {
        chain += "void f" + std::to_string(i) + "() { if (1) f" + std::to_string(i + 1) + "(); }\n";
    }
    EXPECT_NE(nestingError(chain, "f0", kFiles, {24, 4}, "ps_3_0").find("nested 25 deep"),
              std::string::npos);
    // Unbalanced text is the compiler's to report, not a reason to fail here.
    EXPECT_EQ(nestingError("}}} ))) void f( { if (1 { /* ", "f", kFiles, {24, 4}, "ps_3_0"), "");
}

}  // namespace
