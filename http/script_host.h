// ScriptHost: the tool's handle on a JScript engine, used to look up media
// types (see mime_types.h).
//
// A host owns a reference to one ScriptEngine. Copies share that engine:
// code added through one copy is seen through every other, and the engine
// lives until the last copy is gone. Operations follow the engine's
// conventions (see script_engine.h): nothing is thrown; a failed call gives
// false or "" and leaves the script's error text in LastError(), which is ""
// after a successful call.
//
// Texts are code page 936. A host and its copies belong to one thread at a
// time; hosts that do not share an engine are independent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "app/text/text.h"
#include "http/script_engine.h"

namespace http {

// An argument of Run; an omitted one ends the argument list.
using ScriptArgument = std::optional<std::string_view>;

class ScriptHost {
 public:
  static constexpr int kLanguageJScript = 0;
  static constexpr int kLanguageVbs = 1;

  // A new engine with its language set to JScript.
  ScriptHost();

  // Runs a statement at global scope; true when LastError() is "" afterwards.
  bool ExecuteStatement(std::string_view statement);
  // The value of an expression as text; null and undefined give "".
  text::Text Eval(std::string_view expression);
  // Discards every piece of code and global state of the shared engine.
  void Reset();
  text::Text LastError() const;
  // A new reference to the shared engine.
  std::shared_ptr<ScriptEngine> ComObject() const;
  // Calls the global function `name` with the arguments given before the
  // first omitted one (Run("f", "a", {}, "c") passes "a" alone); its value as
  // text, null and undefined giving "".
  text::Text Run(std::string_view name, ScriptArgument a1 = {}, ScriptArgument a2 = {},
                 ScriptArgument a3 = {}, ScriptArgument a4 = {}, ScriptArgument a5 = {},
                 ScriptArgument a6 = {});
  // kLanguageJScript selects JScript; kLanguageVbs asks for "vbs", which the
  // engine refuses (LastError() says so, the language stays); any other
  // selector writes nothing. Returns the language in effect.
  text::Text Language(int selector = kLanguageJScript);
  // Sets how many milliseconds a call may run (an omitted value, -1, means
  // no limit) and returns the value in effect.
  int Timeout(int milliseconds = ScriptEngine::kNoTimeout);
  // Each of these writes the property when a value is given and returns it.
  int State(std::optional<int> value = {});
  bool AllowUI(std::optional<bool> flag = {});
  std::intptr_t SitehWnd(std::optional<std::intptr_t> window = {});
  // Adds code (declarations, statements) to the engine's global scope.
  void AddCode(std::string_view code);
  void DoNothing() const {}

 private:
  std::shared_ptr<ScriptEngine> engine_;
};

}  // namespace http
