#include "http/script_engine.h"

#include <string>
#include <utility>
#include <vector>

#include <duktape.h>

#include "platform/code_page.h"

// The engine asks this while a call runs (see duk_config_overrides.h); the
// heap's user data is the engine's deadline, or null for a heap made without
// one. Once the deadline has passed it keeps answering yes until the call has
// unwound, as the engine requires.
extern "C" duk_bool_t duktape_engine_timed_out(void* udata) {
  const auto* deadline = static_cast<const std::chrono::steady_clock::time_point*>(udata);
  return deadline != nullptr && std::chrono::steady_clock::now() >= *deadline;
}

namespace http {

// What one call runs, its texts already in the interpreter's UTF-8.
struct ScriptCall {
  enum class Kind { kExecute, kEval, kRun };
  Kind kind;
  std::string source;  // the code, the expression or the function's name
  std::vector<std::string> arguments;
};

namespace {

constexpr std::string_view kNotStarted = "the script engine could not be started";

// The functions below run inside the interpreter's protected calls, where an
// error unwinds by a long jump: they hold nothing that needs destroying.

duk_ret_t ConvertToString(duk_context* heap, void*) {
  duk_to_string(heap, -1);
  return 1;
}

// Replaces the value on top of the stack by its text: "" for null and
// undefined and for a value whose conversion fails.
void ReplaceByText(duk_context* heap) {
  if (duk_is_null_or_undefined(heap, -1)) {
    duk_pop(heap);
    duk_push_string(heap, "");
  } else if (duk_safe_call(heap, ConvertToString, nullptr, 1, 1) != DUK_EXEC_SUCCESS) {
    duk_pop(heap);
    duk_push_string(heap, "");
  }
}

void CallGlobalFunction(duk_context* heap, const ScriptCall& call) {
  duk_get_global_lstring(heap, call.source.data(), call.source.size());
  if (!duk_is_callable(heap, -1)) {
    (void)duk_error(heap, DUK_ERR_TYPE_ERROR, "%s is not a function", call.source.c_str());
  }
  for (const std::string& argument : call.arguments) {
    duk_push_lstring(heap, argument.data(), argument.size());
  }
  duk_call(heap, static_cast<duk_idx_t>(call.arguments.size()));
}

// Leaves the call's value as text on the stack, or throws its error.
duk_ret_t PerformCall(duk_context* heap, void* udata) {
  const ScriptCall& call = *static_cast<const ScriptCall*>(udata);
  switch (call.kind) {
    case ScriptCall::Kind::kExecute:
      duk_compile_lstring(heap, 0, call.source.data(), call.source.size());
      duk_call(heap, 0);
      // The completion value is of no interest: converting it could run code.
      duk_pop(heap);
      duk_push_string(heap, "");
      return 1;
    case ScriptCall::Kind::kEval:
      duk_eval_lstring(heap, call.source.data(), call.source.size());
      break;
    case ScriptCall::Kind::kRun:
      CallGlobalFunction(heap, call);
      break;
  }
  ReplaceByText(heap);
  return 1;
}

// Bytes of the sequence that `lead` starts; 0 when it cannot start one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return lead < 0xF8 ? 4 : 0;
}

// The engine keeps strings as UTF-8 of 16-bit code units, so a surrogate
// pair is two 3-byte sequences, while a character beyond U+FFFF that came
// from source text is one 4-byte sequence. Both become UTF-16; a broken
// sequence becomes U+FFFD.
std::u16string Utf16OfEngineString(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char lead = bytes[at];
    const int length = SequenceLength(lead);
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    int taken = 1;
    while (taken < length && at + taken < bytes.size() &&
           (static_cast<unsigned char>(bytes[at + taken]) & 0xC0) == 0x80) {
      code = (code << 6) | (bytes[at + taken] & 0x3F);
      ++taken;
    }
    at += taken;
    if (length == 0 || taken < length || code > 0x10FFFF) {
      units.push_back(u'\uFFFD');
    } else if (code > 0xFFFF) {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
  }
  return units;
}

// The text of the value on top of the stack, whatever it is.
text::Text TextOfTop(duk_context* heap) {
  duk_size_t length = 0;
  const char* bytes = duk_safe_to_lstring(heap, -1, &length);
  return platform::Utf16ToCp936(Utf16OfEngineString(std::string_view(bytes, length)));
}

std::vector<std::string> Utf8Texts(std::span<const std::string_view> texts) {
  std::vector<std::string> utf8;
  utf8.reserve(texts.size());
  for (std::string_view text : texts) utf8.push_back(platform::Cp936ToUtf8(text));
  return utf8;
}

}  // namespace

ScriptEngine::ScriptEngine() { StartHeap(); }

ScriptEngine::~ScriptEngine() { StopHeap(); }

void ScriptEngine::StartHeap() {
  heap_ = duk_create_heap(nullptr, nullptr, nullptr, &deadline_, nullptr);
}

void ScriptEngine::StopHeap() {
  if (heap_ != nullptr) duk_destroy_heap(heap_);
  heap_ = nullptr;
}

bool ScriptEngine::Fail(text::Text description) {
  last_error_ = std::move(description);
  return false;
}

bool ScriptEngine::Perform(const ScriptCall& call, text::Text* result) {
  if (heap_ == nullptr) return Fail(text::Text(kNotStarted));
  deadline_ = timeout_ < 0 ? Clock::time_point::max()
                           : Clock::now() + std::chrono::milliseconds(timeout_);
  const bool ok = duk_safe_call(heap_, PerformCall, const_cast<ScriptCall*>(&call), 0, 1) ==
                  DUK_EXEC_SUCCESS;
  // Still under the deadline: an error object's own toString may loop too.
  text::Text text = TextOfTop(heap_);
  duk_pop(heap_);
  deadline_ = Clock::time_point::max();
  if (!ok) return Fail(std::move(text));
  if (result != nullptr) *result = std::move(text);
  return Succeed();
}

bool ScriptEngine::Execute(std::string_view code) {
  return Perform({ScriptCall::Kind::kExecute, platform::Cp936ToUtf8(code), {}}, nullptr);
}

text::Text ScriptEngine::Eval(std::string_view expression) {
  text::Text result;
  Perform({ScriptCall::Kind::kEval, platform::Cp936ToUtf8(expression), {}}, &result);
  return result;
}

text::Text ScriptEngine::Run(std::string_view name, std::span<const std::string_view> arguments) {
  text::Text result;
  Perform({ScriptCall::Kind::kRun, platform::Cp936ToUtf8(name), Utf8Texts(arguments)}, &result);
  return result;
}

void ScriptEngine::Reset() {
  StopHeap();
  StartHeap();
  state_ = kStateInitialised;
  if (heap_ == nullptr) {
    Fail(text::Text(kNotStarted));
  } else {
    Succeed();
  }
}

bool ScriptEngine::SetLanguage(std::string_view language) {
  if (text::LowerCase(language) != "jscript") {
    return Fail(text::Join(
        {"the script language \"", language, "\" is not available; only JScript runs"}));
  }
  return Succeed();
}

void ScriptEngine::SetTimeout(int milliseconds) {
  timeout_ = milliseconds;
  Succeed();
}

bool ScriptEngine::SetState(int state) {
  if (state != kStateInitialised && state != kStateConnected) {
    return Fail("the state must be 0 (initialised) or 1 (connected)");
  }
  state_ = state;
  return Succeed();
}

void ScriptEngine::SetAllowUI(bool allow) {
  allow_ui_ = allow;
  Succeed();
}

void ScriptEngine::SetSiteWindow(std::intptr_t window) {
  site_window_ = window;
  Succeed();
}

}  // namespace http
