#include "http/script_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace http {
namespace {

TEST(ScriptHostTest, EvalGivesValuesAsText) {
  ScriptHost host;
  ASSERT_TRUE(host.ExecuteStatement("var greeting = '\xD6\xD0\xCE\xC4'; var n = 41;"));
  struct Case {
    const char* expression;
    const char* text;
  } cases[] = {
      {"n + 1", "42"},
      {"n / 2", "20.5"},
      {"n > 1", "true"},
      {"greeting + '!'", "\xD6\xD0\xCE\xC4!"},  // code page 936 both ways
      {"'\\u00C5'", "?"},                       // not in code page 936
      {"'\\uD83D\\uDE00'", "?"},                // one for the whole pair
      {"'a\\uD800b'", "a?b"},
      {"[1, 'a']", "1,a"},
      {"null", ""},
      {"undefined", ""},
      {"({toString: function () { throw 1; }})", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host.Eval(c.expression), c.text) << c.expression;
    EXPECT_EQ(host.LastError(), "") << c.expression;
  }
}

TEST(ScriptHostTest, ScriptErrorsReachLastError) {
  struct Case {
    const char* code;
    const char* error;
  } cases[] = {
      {"var x = 1;\nvar = 2;", "SyntaxError: invalid variable declaration (line 2)"},
      {"throw new Error('boom');", "Error: boom"},
      {"throw 'plain text';", "plain text"},
      {"undefinedFunction();", "ReferenceError: identifier 'undefinedFunction' undefined"},
  };
  for (const Case& c : cases) {
    ScriptHost host;
    EXPECT_FALSE(host.ExecuteStatement(c.code)) << c.code;
    EXPECT_EQ(host.LastError(), c.error) << c.code;
    EXPECT_EQ(host.Eval("1 + 1"), "2");
    EXPECT_EQ(host.LastError(), "") << "a successful call clears the error";
  }
}

TEST(ScriptHostTest, FailedEvalRunAndAddCodeGiveEmptyTextAndTheError) {
  ScriptHost host;
  EXPECT_EQ(host.Eval("(function () { throw new TypeError('bad'); })()"), "");
  EXPECT_EQ(host.LastError(), "TypeError: bad");
  EXPECT_EQ(host.Run("missing", "a"), "");
  EXPECT_EQ(host.LastError(), "TypeError: missing is not a function");
  host.AddCode("function f( {");
  EXPECT_NE(host.LastError().find("SyntaxError"), std::string::npos) << host.LastError();
}

TEST(ScriptHostTest, RunPassesTheLeadingArgumentsGivenWithoutAGap) {
  ScriptHost host;
  host.AddCode(
      "function show() {\r\n"
      "  return arguments.length + ':' + Array.prototype.join.call(arguments, ',');\r\n"
      "}\r\n");
  ASSERT_EQ(host.LastError(), "");
  EXPECT_EQ(host.Run("show"), "0:");
  EXPECT_EQ(host.Run("show", "a"), "1:a");
  EXPECT_EQ(host.Run("show", "", "b"), "2:,b");
  EXPECT_EQ(host.Run("show", "a", std::nullopt, "c"), "1:a");
  EXPECT_EQ(host.Run("show", std::nullopt, "b"), "0:");
  EXPECT_EQ(host.Run("show", "1", "2", "3", "4", "5", "6"), "6:1,2,3,4,5,6");
  EXPECT_EQ(host.Run("show", "\xD6\xD0"), "1:\xD6\xD0");
}

TEST(ScriptHostTest, CopiesShareOneEngine) {
  ScriptHost first;
  ScriptHost second = first;
  EXPECT_EQ(first.ComObject(), second.ComObject());
  EXPECT_NE(first.ComObject(), ScriptHost().ComObject());

  first.AddCode("var shared = 'seen';");
  EXPECT_EQ(second.Eval("shared"), "seen");
  second.ExecuteStatement("throw 'from the copy';");
  EXPECT_EQ(first.LastError(), "from the copy");
  second.Timeout(250);
  EXPECT_EQ(first.ComObject()->Timeout(), 250);

  second.Reset();
  EXPECT_EQ(first.Eval("typeof shared"), "undefined");
}

TEST(ScriptHostTest, OnlyJScriptRuns) {
  ScriptHost host;
  host.AddCode("var kept = 1;");
  EXPECT_EQ(host.Language(), "JScript");
  EXPECT_EQ(host.LastError(), "");

  EXPECT_EQ(host.Language(ScriptHost::kLanguageVbs), "JScript");
  EXPECT_NE(host.LastError(), "");
  EXPECT_EQ(host.Eval("kept"), "1") << "the refused language changed nothing";

  EXPECT_EQ(host.Language(7), "JScript");
}

TEST(ScriptHostTest, TimeoutStopsARunawayScriptAndTheEngineGoesOn) {
  ScriptHost host;
  EXPECT_EQ(host.Timeout(), -1) << "an omitted value means no limit";
  EXPECT_EQ(host.Timeout(100), 100);
  host.AddCode("var before = 'kept';");
  const char* runaways[] = {
      "while (true) {}",
      "try { for (;;) {} } catch (e) {} var after = 1;",
      "throw {toString: function () { for (;;) {} }};",  // the error's text loops
  };
  for (const char* runaway : runaways) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(host.ExecuteStatement(runaway)) << runaway;
    EXPECT_EQ(host.LastError(), "RangeError: execution timeout") << runaway;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << runaway;
  }
  EXPECT_EQ(host.Eval("before + typeof after"), "keptundefined");
  EXPECT_EQ(host.LastError(), "");
}

TEST(ScriptHostTest, PropertiesAreWrittenOnlyWhenGiven) {
  ScriptHost host;
  EXPECT_EQ(host.State(), ScriptEngine::kStateInitialised);
  EXPECT_EQ(host.State(ScriptEngine::kStateConnected), ScriptEngine::kStateConnected);
  EXPECT_EQ(host.State(5), ScriptEngine::kStateConnected);
  EXPECT_NE(host.LastError(), "") << "a state that does not exist is refused";
  EXPECT_EQ(host.State(), ScriptEngine::kStateConnected);

  EXPECT_TRUE(host.AllowUI());
  EXPECT_FALSE(host.AllowUI(false));
  EXPECT_FALSE(host.AllowUI());
  EXPECT_EQ(host.SitehWnd(), 0);
  EXPECT_EQ(host.SitehWnd(0x1234), 0x1234);
  EXPECT_EQ(host.SitehWnd(), 0x1234);

  host.Reset();
  EXPECT_EQ(host.State(), ScriptEngine::kStateInitialised);
  EXPECT_FALSE(host.AllowUI()) << "Reset keeps the other properties";
}

}  // namespace
}  // namespace http
