#include "http/mime_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/text/text.h"
#include "http/mime_script.h"
#include "http/script_host.h"

namespace http {
namespace {

struct TableRow {
  std::string map;
  std::string type;
  std::vector<std::string> extensions;
};

std::vector<TableRow> ReadTable() {
  std::ifstream file(MIME_TABLE_PATH);
  std::vector<TableRow> rows;
  for (std::string line; std::getline(file, line);) {
    const text::Pieces fields = text::Split(line, "\t");
    TableRow row{std::string(fields.at(0)), std::string(fields.at(1)), {}};
    if (fields.size() > 2) {
      for (std::string_view extension : text::Split(fields[2], " ")) {
        row.extensions.emplace_back(extension);
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

const std::vector<TableRow>& Table() {
  static const std::vector<TableRow> table = ReadTable();
  return table;
}

// The map as JSON.stringify writes it.
std::string MapAsJson(const std::string& map) {
  std::string json = "{";
  for (const TableRow& row : Table()) {
    if (row.map != map) continue;
    if (json.size() > 1) json += ",";
    json += "\"" + row.type + "\":[";
    for (std::size_t i = 0; i < row.extensions.size(); ++i) {
      json += (i ? ",\"" : "\"") + row.extensions[i] + "\"";
    }
    json += "]";
  }
  return json + "}";
}

bool IsSpecialSubtype(const std::string& type) {
  const std::string subtype = type.substr(type.find('/') + 1);
  return subtype.starts_with("vnd.") || subtype.starts_with("x-") || subtype.starts_with("prs.");
}

text::Text FreshHostLookup(std::string_view name) {
  ScriptHost host;
  host.ExecuteStatement(MimeScript());
  return host.Run("getType", name);
}

TEST(MimeScriptTest, TableHasTheExpectedShape) {
  const auto& table = Table();
  std::size_t extensions = 0, empty = 0;
  std::vector<std::string> all;
  for (const TableRow& row : table) {
    extensions += row.extensions.size();
    empty += row.extensions.empty();
    EXPECT_EQ(row.map == "other", IsSpecialSubtype(row.type)) << row.type;
    for (const std::string& extension : row.extensions) {
      EXPECT_LE(extension.size(), 12u) << extension;
      EXPECT_EQ(extension, text::LowerCase(extension));
      EXPECT_EQ(extension.find('.'), std::string::npos) << extension;
      all.push_back(extension);
    }
  }
  EXPECT_EQ(table.size(), 837u);
  EXPECT_EQ(extensions, 1063u);
  EXPECT_EQ(empty, 17u);
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "extensions are distinct";
}

TEST(MimeScriptTest, TextIsAsciiWithCrLfLines) {
  const std::string_view script = MimeScript();
  EXPECT_TRUE(std::all_of(script.begin(), script.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
  std::size_t line_ends = 0;
  for (std::size_t at = script.find("\r\n"); at != std::string_view::npos;
       at = script.find("\r\n", at + 2)) {
    ++line_ends;
  }
  EXPECT_GT(line_ends, 837u);
  EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), line_ends) << "no lone LF";
  EXPECT_EQ(std::count(script.begin(), script.end(), '\r'), line_ends) << "no lone CR";
  EXPECT_TRUE(script.ends_with("\r\n"));
}

TEST(MimeScriptTest, MapsHoldTheTableInItsOrder) {
  ScriptHost host;
  ASSERT_TRUE(host.ExecuteStatement(MimeScript())) << host.LastError();
  EXPECT_EQ(host.Eval("JSON.stringify(standard)"), MapAsJson("standard"));
  EXPECT_EQ(host.Eval("JSON.stringify(other)"), MapAsJson("other"));
  EXPECT_EQ(host.Eval("Object.keys(_types).length"), "1063");
  const char* const kCounts =
      "(function () {\r\n"
      "  var types = 0, extensions = 0, empty = 0;\r\n"
      "  var maps = [standard, other];\r\n"
      "  for (var m = 0; m < maps.length; m++) {\r\n"
      "    for (var type in maps[m]) {\r\n"
      "      types++;\r\n"
      "      extensions += maps[m][type].length;\r\n"
      "      if (maps[m][type].length == 0) empty++;\r\n"
      "    }\r\n"
      "  }\r\n"
      "  return types + ' ' + extensions + ' ' + empty;\r\n"
      "})()";
  EXPECT_EQ(host.Eval(kCounts), "837 1063 17");
  EXPECT_LT(MimeScript().find("var other"), MimeScript().find("var standard"));
}

TEST(LookupMimeTypeTest, EveryExtensionOfTheTableGivesItsType) {
  for (const TableRow& row : Table()) {
    for (const std::string& extension : row.extensions) {
      EXPECT_EQ(LookupMimeType("file." + extension), row.type) << extension;
    }
  }
}

TEST(LookupMimeTypeTest, NamesAsAFreshHostRunningTheWholeScriptSeesThem) {
  struct Case {
    const char* name;
    const char* type;
  } cases[] = {
      {"photo.JPG", "image/jpeg"},
      {"Photo.Jpeg", "image/jpeg"},
      {"archive.tar.gz", "application/gzip"},
      {"dir/photo.png", "image/png"},
      {"C:\\dir\\photo.png", "image/png"},
      {"a/b\\c.txt", "text/plain"},
      {"jpg", "image/jpeg"},
      {".jpg", "image/jpeg"},
      {"dir/jpg", ""},
      {"dir/.jpg", ""},
      {"name.", ""},
      {"file.unknownext", ""},
      {"README", ""},
      {"", ""},
      {"app.apk", "application/vnd.android.package-archive"},
      {"\xD5\xD5\xC6\xAC.mp3", "audio/mpeg"},  // a GBK name
      {"dir.d/file", ""},
      // Names of what every script object inherits are not in the table.
      {"a.constructor", ""},
      {"__proto__", ""},
      {"x.hasownproperty", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookupMimeType(c.name), c.type) << c.name;
    EXPECT_EQ(FreshHostLookup(c.name), c.type) << c.name;
  }
}

TEST(LookupMimeTypeTest, ThreadsLookUpIndependently) {
  std::vector<std::string> results(4);
  std::vector<std::thread> threads;
  const char* names[] = {"a.png", "b.json", "c.zip", "d.mp4"};
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      for (int n = 0; n < 50; ++n) results[i] = LookupMimeType(names[i]);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(results, (std::vector<std::string>{"image/png", "application/json", "application/zip",
                                                "video/mp4"}));
}

}  // namespace
}  // namespace http
