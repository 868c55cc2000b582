// The script engine that a ScriptHost drives: one JScript interpreter with the
// properties of a script control (language, timeout, state, UI permission,
// site window) and a description of the error of its last call.
//
// Code runs at global scope, so what one call declares, later calls see, until
// Reset() discards it all. Only JScript runs; asking for another language is
// refused. A call that runs longer than Timeout() milliseconds is stopped
// with the error "RangeError: execution timeout", which the script cannot
// catch; the engine stays usable afterwards.
//
// Texts go in and come out as code page 936; the interpreter works in
// Unicode, and a character that code page 936 cannot hold comes out as '?'.
//
// Contract:
//  - Failures are never thrown. A failed call returns false or "" and leaves
//    its description in LastError(): the script's own error text (for example
//    "SyntaxError: ... (line 2)", "Error: boom", or a thrown string as it is).
//    Every call that runs code, resets or writes a property sets LastError()
//    anew, to "" when it succeeds; reading a property leaves it alone.
//  - An engine belongs to one thread at a time; it is not safe to call it
//    from two threads at once. Separate engines are independent.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/text/text.h"

struct duk_hthread;

namespace http {

struct ScriptCall;  // what one call runs; see script_engine.cpp

class ScriptEngine {
 public:
  static constexpr int kNoTimeout = -1;
  static constexpr int kDefaultTimeout = 10000;
  static constexpr int kStateInitialised = 0;
  static constexpr int kStateConnected = 1;

  // A fresh interpreter: JScript, a timeout of kDefaultTimeout, state
  // kStateInitialised, UI allowed, no site window.
  ScriptEngine();
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // Runs code (statements, declarations) at global scope; false on failure.
  bool Execute(std::string_view code);
  // The value of an expression as text. null and undefined, and a value whose
  // conversion to text fails, give "".
  text::Text Eval(std::string_view expression);
  // Calls the global function `name` with the texts as its arguments; its
  // value as text, as Eval gives it.
  text::Text Run(std::string_view name, std::span<const std::string_view> arguments);
  // Discards all code and global state and returns to kStateInitialised; the
  // other properties stay.
  void Reset();

  const text::Text& Language() const { return language_; }
  bool SetLanguage(std::string_view language);
  // Milliseconds a call may run; any negative value means no limit.
  int Timeout() const { return timeout_; }
  void SetTimeout(int milliseconds);
  int State() const { return state_; }
  // Only kStateInitialised and kStateConnected are accepted.
  bool SetState(int state);
  bool AllowUI() const { return allow_ui_; }
  void SetAllowUI(bool allow);
  std::intptr_t SiteWindow() const { return site_window_; }
  void SetSiteWindow(std::intptr_t window);

  const text::Text& LastError() const { return last_error_; }

 private:
  using Clock = std::chrono::steady_clock;

  void StartHeap();
  void StopHeap();
  bool Perform(const ScriptCall& call, text::Text* result);
  bool Succeed() {
    last_error_.clear();
    return true;
  }
  bool Fail(text::Text description);

  duk_hthread* heap_ = nullptr;
  // When the running call must stop; the engine's timeout check reads it.
  Clock::time_point deadline_ = Clock::time_point::max();
  text::Text language_ = "JScript";
  int timeout_ = kDefaultTimeout;
  int state_ = kStateInitialised;
  bool allow_ui_ = true;
  std::intptr_t site_window_ = 0;
  text::Text last_error_;
};

}  // namespace http
