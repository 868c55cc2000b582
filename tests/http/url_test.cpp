#include "http/url.h"

#include <gtest/gtest.h>

namespace http {
namespace {

TEST(SchemeDefault, PrefixesOnlyWhatLacksAScheme) {
  struct Case {
    const char* url;
    const char* opened;
  } cases[] = {
      {"host/p", "http://host/p"},
      {"HTTP://Host/P", "HTTP://Host/P"},
      {"hTTpS://h/x", "hTTpS://h/x"},
      {"http://", "http://http://"},  // shorter than 8 bytes: always prefixed
      {"http://a", "http://a"},
      {"ftp://host/", "http://ftp://host/"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithSchemeDefault(c.url), c.opened) << c.url;
}

TEST(SplitUrl, SchemeHostPortPath) {
  struct Case {
    const char* url;
    const char* scheme;
    const char* host;
    int port;
    const char* path;
  } cases[] = {
      {"https://example.com:8443/a/b", "https://", "example.com", 8443, "/a/b"},
      {"http://example.com", "http://", "example.com", 80, "/"},
      {"https://example.com/x?q=1", "https://", "example.com", 443, "/x?q=1"},
      {"example.com/p", "http://", "example.com", 80, "/p"},
      {"example.com:81", "http://", "example.com", 81, "/"},
      {"HTTPS://Example.COM:10/", "https://", "Example.COM", 80, "/"},  // 10 or less is 80
      {"https://example.com:0/", "https://", "example.com", 80, "/"},
      {"https://example.com:abc/", "https://", "example.com", 80, "/"},
      {"http://example.com:8080x/", "http://", "example.com", 8080, "/"},
      {"http://example.com/a:b", "http://", "example.com", 80, "/a:b"},
      // A short host keeps its port: the colon of the scheme is not taken.
      {"http://a:81/x", "http://", "a", 81, "/x"},
      {"https://ab/", "https://", "ab", 443, "/"},
  };
  for (const Case& c : cases) {
    UrlParts parts;
    ASSERT_TRUE(SplitUrl(c.url, parts)) << c.url;
    EXPECT_EQ(parts.scheme, c.scheme) << c.url;
    EXPECT_EQ(parts.host, c.host) << c.url;
    EXPECT_EQ(parts.port, c.port) << c.url;
    EXPECT_EQ(parts.path, c.path) << c.url;
  }
}

TEST(SplitUrl, EmptyUrlLeavesThePartsAlone) {
  UrlParts parts{"https://", "kept", 1, "/kept"};
  EXPECT_FALSE(SplitUrl("", parts));
  EXPECT_EQ(parts.host, "kept");
  EXPECT_EQ(parts.port, 1);
}

TEST(ResolveLocation, RootRelativeRelativeAndAbsolute) {
  struct Case {
    const char* location;
    const char* current;
    const char* resolved;
  } cases[] = {
      {"/next", "https://example.com/dir/page", "https://example.com:443/next"},
      {"/next", "http://example.com:8080/dir/page", "http://example.com:8080/next"},
      {"next", "http://example.com/dir/page", "http://example.com/dir/next"},
      {"next", "http://example.com", "http://next"},  // the last "/" is the scheme's
      {"next", "example", "example/next"},
      {"HTTPS://Other.COM/Path", "http://example.com/", "HTTPS://Other.COM/Path"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveLocation(c.location, c.current), c.resolved) << c.location;
}

}  // namespace
}  // namespace http
