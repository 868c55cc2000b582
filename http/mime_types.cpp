#include "http/mime_types.h"

#include "http/mime_script.h"
#include "http/script_host.h"

namespace http {

namespace {

ScriptHost HostWithMimeScript() {
  ScriptHost host;
  host.ExecuteStatement(MimeScript());
  return host;
}

}  // namespace

// A fresh host that runs the whole script for every lookup spends its time
// compiling the script, starting the engine, building the 1063-entry table and
// tearing it all down again: milliseconds even with the script compiled ahead
// to bytecode, against microseconds for the call itself. getType reads nothing
// but its argument and the table, and this host runs nothing else, so one
// prepared host per thread gives every lookup the answer a fresh host would.
text::Text LookupMimeType(std::string_view name) {
  thread_local ScriptHost host = HostWithMimeScript();
  return host.Run("getType", name);
}

}  // namespace http
