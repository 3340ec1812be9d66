#include "telemetry/PublishSettings.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <fstream>

namespace kb::telemetry {

namespace {

constexpr std::size_t kMaxPrefix = 200;
constexpr std::size_t kMaxClientId = 64;

bool parsePort(const std::string& text, int& port) {
  int n = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || p != end || n < 1 || n > 65535) return false;
  port = n;
  return true;
}

bool printable(const std::string& s) {
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

bool parsePublishUrl(const std::string& url, PublishSettings& settings, std::string& error) {
  const auto fail = [&](const std::string& why) {
    // The URL is not repeated: it may hold a password that is to show nowhere.
    error = "--publish: " + why;
    return false;
  };
  PublishSettings s = settings;
  std::string rest;
  if (url.rfind("mqtt://", 0) == 0) {
    s.tls = false;
    rest = url.substr(7);
  } else if (url.rfind("mqtts://", 0) == 0) {
    s.tls = true;
    rest = url.substr(8);
  } else {
    return fail("the URL must start with mqtt:// or mqtts://");
  }
  const std::size_t slash = rest.find('/');
  if (slash == std::string::npos) return fail("the URL needs a topic prefix: HOST[:PORT]/PREFIX");
  std::string authority = rest.substr(0, slash);
  s.prefix = rest.substr(slash + 1);

  const std::size_t at = authority.rfind('@');
  s.user.clear();
  if (at != std::string::npos) {
    s.user = authority.substr(0, at);
    authority.erase(0, at + 1);
    if (s.user.find(':') != std::string::npos) {
      return fail(
          "a password never goes on the command line; give it in a file with "
          "--publish-password-file FILE");
    }
    if (s.user.empty()) return fail("the user name before '@' is empty");
  }

  std::string port;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string::npos) return fail("an IPv6 address needs its closing ']'");
    s.host = authority.substr(1, close - 1);
    const std::string after = authority.substr(close + 1);
    if (!after.empty() && after.front() != ':') return fail("unexpected text after ']'");
    if (!after.empty()) port = after.substr(1);
    if (after == ":") return fail("the port after ':' is empty");
  } else {
    const std::size_t colon = authority.find(':');
    s.host = authority.substr(0, colon);
    if (colon != std::string::npos) {
      port = authority.substr(colon + 1);
      if (port.empty()) return fail("the port after ':' is empty");
    }
  }
  if (s.host.empty()) return fail("the broker's host is missing");
  s.port = s.tls ? kTlsPort : kPlainPort;
  if (!port.empty() && !parsePort(port, s.port)) return fail("the port must be 1 to 65535");
  // The rest (CA file, password file) comes from elsewhere and is checked with it.
  PublishSettings probe = s;
  probe.tls = false;
  probe.caFile.clear();
  probe.passwordFile.clear();
  std::string why;
  if (!checkSettings(probe, why)) return fail(why);
  settings = s;
  return true;
}

std::string publishUrl(const PublishSettings& s) {
  std::string url = s.tls ? "mqtts://" : "mqtt://";
  if (!s.user.empty()) url += s.user + "@";
  url += s.host.find(':') != std::string::npos ? "[" + s.host + "]" : s.host;
  url += ":" + std::to_string(s.port) + "/" + s.prefix;
  return url;
}

bool checkSettings(const PublishSettings& s, std::string& error) {
  if (s.host.empty()) {
    error = "the broker's host is missing";
  } else if (!printable(s.host) || s.host.find_first_of(" /@") != std::string::npos) {
    error = "the host '" + s.host + "' is not a host name or address";
  } else if (s.port < 1 || s.port > 65535) {
    error = "the port must be 1 to 65535";
  } else if (s.prefix.empty()) {
    error = "the topic prefix is empty";
  } else if (s.prefix.size() > kMaxPrefix) {
    error = "the topic prefix is longer than " + std::to_string(kMaxPrefix) + " characters";
  } else if (!printable(s.prefix) || s.prefix.find_first_of("+#") != std::string::npos) {
    error = "the topic prefix may not hold '+', '#' or control characters";
  } else if (s.prefix.front() == '/' || s.prefix.back() == '/' ||
             s.prefix.find("//") != std::string::npos || s.prefix.front() == '$') {
    error = "the topic prefix may not start with '$' or '/', end with '/' or hold '//'";
  } else if (!printable(s.user)) {
    error = "the user name holds control characters";
  } else if (s.clientId.size() > kMaxClientId || !printable(s.clientId)) {
    error =
        "the client id must be at most " + std::to_string(kMaxClientId) + " printable characters";
  } else if (!s.passwordFile.empty() && s.user.empty()) {
    error = "a password file needs a user name";
  } else if (s.tls && s.caFile.empty()) {
    error = "TLS needs a CA file to check the broker's certificate against";
  } else if (s.keepAlive < kMinKeepAlive || s.keepAlive > kMaxKeepAlive) {
    error = "the keep-alive must be " + std::to_string(kMinKeepAlive) + " to " +
            std::to_string(kMaxKeepAlive) + " seconds";
  } else {
    return true;
  }
  return false;
}

bool readPasswordFile(const std::string& path, std::string& password, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) {
    error = "cannot read the password file '" + path + "'";
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  password = std::move(line);
  return true;
}

std::string defaultClientId() {
  std::array<char, 65> host{};
  if (gethostname(host.data(), host.size() - 1) != 0) host[0] = '\0';
  std::string name = host.data();
  for (char& ch : name) {
    if (static_cast<unsigned char>(ch) < 0x21 || static_cast<unsigned char>(ch) > 0x7E) ch = '_';
  }
  if (name.empty()) name = "host";
  return ("kb4471-" + name).substr(0, 48) + "-" + std::to_string(getpid());
}

}  // namespace kb::telemetry
