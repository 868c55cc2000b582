#include "http/script_host.h"

#include <array>

namespace http {

ScriptHost::ScriptHost() : engine_(std::make_shared<ScriptEngine>()) {
  engine_->SetLanguage("JScript");
}

bool ScriptHost::ExecuteStatement(std::string_view statement) {
  engine_->Execute(statement);
  return engine_->LastError().empty();
}

text::Text ScriptHost::Eval(std::string_view expression) { return engine_->Eval(expression); }

void ScriptHost::Reset() { engine_->Reset(); }

text::Text ScriptHost::LastError() const { return engine_->LastError(); }

std::shared_ptr<ScriptEngine> ScriptHost::ComObject() const { return engine_; }

text::Text ScriptHost::Run(std::string_view name, ScriptArgument a1, ScriptArgument a2,
                           ScriptArgument a3, ScriptArgument a4, ScriptArgument a5,
                           ScriptArgument a6) {
  const std::array<ScriptArgument, 6> given = {a1, a2, a3, a4, a5, a6};
  std::array<std::string_view, 6> arguments;
  std::size_t count = 0;
  while (count < given.size() && given[count].has_value()) {
    arguments[count] = *given[count];
    ++count;
  }
  return engine_->Run(name, std::span(arguments.data(), count));
}

text::Text ScriptHost::Language(int selector) {
  if (selector == kLanguageJScript) engine_->SetLanguage("JScript");
  if (selector == kLanguageVbs) engine_->SetLanguage("vbs");
  return engine_->Language();
}

int ScriptHost::Timeout(int milliseconds) {
  engine_->SetTimeout(milliseconds);
  return engine_->Timeout();
}

int ScriptHost::State(std::optional<int> value) {
  if (value) engine_->SetState(*value);
  return engine_->State();
}

bool ScriptHost::AllowUI(std::optional<bool> flag) {
  if (flag) engine_->SetAllowUI(*flag);
  return engine_->AllowUI();
}

std::intptr_t ScriptHost::SitehWnd(std::optional<std::intptr_t> window) {
  if (window) engine_->SetSiteWindow(*window);
  return engine_->SiteWindow();
}

void ScriptHost::AddCode(std::string_view code) { engine_->Execute(code); }

}  // namespace http
