// Reads and writes a generated 20 MB JSON document through the wide-text
// form, and gets and sets strings by path in an object of 100,000 members,
// each beside nlohmann::json doing the same work in the same run. Memory is
// the heap the loaded document holds, and how far peak resident memory rises
// while a fresh process reads the text.
//
// Throughput counts the document's UTF-8 size for both libraries (our reader
// takes the same text as UTF-16). Each timing is the best of several runs,
// the two libraries taking turns.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "platform/code_page.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kDocumentBytes = 20 * 1000 * 1000;
constexpr int kMembers = 100000;
constexpr int kRuns = 7;

double Seconds(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Timings {
  double ours = 1e30;
  double peer = 1e30;
};

// Best times of `runs` calls of each, taken in turns so that both meet the
// same load on the machine.
Timings BestSeconds(int runs, const std::function<void()>& ours, const std::function<void()>& peer) {
  Timings best;
  for (int k = 0; k < runs; ++k) {
    best.ours = std::min(best.ours, Seconds(ours));
    best.peer = std::min(best.peer, Seconds(peer));
  }
  return best;
}

size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

long ResidentKilobytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Peak resident growth, in MB, of a fresh process that reads the document
// with one library (this program run with --peak and the library's name).
double PeakGrowthMb(const char* library) {
  std::string command = "/proc/" + std::to_string(getpid()) + "/exe --peak " + library;
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return -1;
  double growth = -1;
  if (std::fscanf(child, "%lf", &growth) != 1) growth = -1;
  pclose(child);
  return growth;
}

// A realistic reply: records with nested objects and arrays, strings with
// escapes and Chinese text, integers and reals.
class DocumentMaker {
 public:
  std::string Make(size_t bytes) {
    std::string text = R"({"meta":{"source":"生成的测试数据","version":3,"escaped":"tab\there \"quoted\" back\\slash"},"items":[)";
    for (int id = 0; text.size() < bytes; ++id) {
      if (id > 0) text += ',';
      AppendRecord(text, id);
    }
    return text + "]}";
  }

 private:
  std::string Chinese(int count) {
    static const char* const kWords[] = {"北京", "上海", "广州", "深圳", "杭州", "用户", "文本", "处理", "工具", "数据",
                                         "长安街", "中文", "测试", "更新", "版本", "下载"};
    std::string out;
    for (int k = 0; k < count; ++k) out += kWords[random_() % 16];
    return out;
  }
  std::string Real() {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(random_() % 2000000) / 100.0 - 10000.0);
    return buffer;
  }
  std::string Int() { return std::to_string(random_() % 10000000); }

  void AppendRecord(std::string& out, int id) {
    out += R"({"id":)" + std::to_string(id) + R"(,"name":")" + Chinese(2) + R"( \")" + Chinese(1) + R"(\"\n第)" +
           Int() + R"(号","email":"user)" + Int() + R"(@example.com","score":)" + Real() +
           R"(,"ratio":0.000)" + Int() + R"(,"active":)" + (random_() % 2 ? "true" : "false") +
           R"(,"tags":["alpha",")" + Chinese(1) + R"(","beta"],"address":{"city":")" + Chinese(1) +
           R"(","street":")" + Chinese(2) + R"( )" + Int() + R"(号\t东门","zip":")" + Int() +
           R"("},"history":[{"t":)" + Int() + R"(,"v":)" + Real() + R"(},{"t":)" + Int() + R"(,"v":)" + Real() +
           R"(}],"note":null})";
  }

  std::mt19937 random_{20261211};
};

void Report(const char* what, double ours, double peer, const char* unit) {
  std::printf("%-34s ours %10.1f %-6s nlohmann %10.1f %-6s ratio %5.2f\n", what, ours, unit, peer, unit,
              ours / peer);
}

void ReadAndWrite() {
  const std::string utf8 = DocumentMaker().Make(kDocumentBytes);
  const std::u16string wide = platform::Utf8ToUtf16(utf8);
  const double mb = utf8.size() / 1e6;
  std::printf("document: %.1f MB UTF-8, %.1f MB as UTF-16\n", mb, wide.size() * 2 / 1e6);

  // Both libraries must read the same tree, and ours must write it back.
  json::JsonDocument ours;
  ours.Parse(wide);
  nlohmann::json peer = nlohmann::json::parse(utf8);
  if (nlohmann::json::parse(platform::Utf16ToUtf8(ours.ToText(u""))) != peer) {
    std::printf("MISMATCH: our written text does not read back as the peer's tree\n");
    std::exit(1);
  }

  Timings read = BestSeconds(
      kRuns,
      [&] {
        json::JsonDocument document;
        document.Parse(wide);
      },
      [&] { nlohmann::json document = nlohmann::json::parse(utf8); });
  Report("read", mb / read.ours, mb / read.peer, "MB/s");

  size_t written_units = 0, written_bytes = 0;
  Timings write = BestSeconds(
      kRuns, [&] { written_units = ours.ToText(u"").size(); }, [&] { written_bytes = peer.dump().size(); });
  Report("write (compact)", mb / write.ours, mb / write.peer, "MB/s");
  std::printf("  written: ours %zu units, nlohmann %zu bytes\n", written_units, written_bytes);

  // Heap held by one loaded document.
  ours.DropRoot();
  peer = nullptr;
  size_t base = HeapInUse();
  json::JsonDocument held_ours;
  held_ours.Parse(wide);
  size_t heap_ours = HeapInUse() - base;
  held_ours.DropRoot();
  base = HeapInUse();
  nlohmann::json held_peer = nlohmann::json::parse(utf8);
  size_t heap_peer = HeapInUse() - base;
  held_peer = nullptr;
  Report("heap of the loaded document", heap_ours / 1e6, heap_peer / 1e6, "MB");

  Report("peak resident growth while reading", PeakGrowthMb("ours"), PeakGrowthMb("nlohmann"), "MB");
}

void PathAccess() {
  json::JsonDocument ours = json::JsonDocument::NewObject();
  nlohmann::json peer = nlohmann::json::object();
  std::vector<std::u16string> our_paths;
  std::vector<std::string> peer_keys;
  for (int k = 0; k < kMembers; ++k) {
    std::string key = "member" + std::to_string(k * 7919 % kMembers);
    our_paths.push_back(u"data." + platform::Utf8ToUtf16(key));
    peer_keys.push_back(key);
    ours.SetStringAt(our_paths.back(), u"value " + platform::Utf8ToUtf16(key));
    peer["data"][key] = "value " + key;
  }
  size_t total = 0;
  Timings get = BestSeconds(
      kRuns, [&] { for (const std::u16string& path : our_paths) total += ours.GetStringAt(path).size(); },
      [&] {
        for (const std::string& key : peer_keys) total += peer["data"][key].get_ref<const std::string&>().size();
      });
  const std::u16string our_value = u"changed value";
  const std::string peer_value = "changed value";
  Timings set = BestSeconds(
      kRuns, [&] { for (const std::u16string& path : our_paths) ours.SetStringAt(path, our_value); },
      [&] { for (const std::string& key : peer_keys) peer["data"][key] = peer_value; });
  std::printf("path access on an object of %d members (data.<key>):\n", kMembers);
  Report("  GetStringAt", kMembers / get.ours / 1e6, kMembers / get.peer / 1e6, "M/s");
  Report("  SetStringAt", kMembers / set.ours / 1e6, kMembers / set.peer / 1e6, "M/s");
  if (total == 0) std::printf("(nothing read)\n");
}

}  // namespace

// Reads the document once with one library and prints how far the peak
// resident memory rose above what the input text itself takes.
int MeasurePeak(const std::string& library) {
  const std::string utf8 = DocumentMaker().Make(kDocumentBytes);
  std::u16string wide;
  if (library == "ours") wide = platform::Utf8ToUtf16(utf8);
  long before = ResidentKilobytes();
  if (library == "ours") {
    json::JsonDocument document;
    document.Parse(wide);
  } else {
    nlohmann::json document = nlohmann::json::parse(utf8);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.1f\n", (usage.ru_maxrss - before) / 1024.0);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--peak") return MeasurePeak(argv[2]);
  ReadAndWrite();
  PathAccess();
  return 0;
}
