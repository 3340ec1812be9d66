#pragma once
// Where and how the program publishes to an MQTT broker: the broker's address, the topic prefix,
// the client's identity and credentials, TLS. Read from a URL on the command line or from the
// GUI's settings; checked here once, for both.
#include <string>

namespace kb::telemetry {

inline constexpr int kPlainPort = 1883;
inline constexpr int kTlsPort = 8883;
inline constexpr int kDefaultKeepAlive = 30;  // seconds
inline constexpr int kMinKeepAlive = 5;       // libmosquitto refuses less
inline constexpr int kMaxKeepAlive = 3600;

struct PublishSettings {
  std::string host;
  int port = kPlainPort;
  std::string prefix;        // topics are PREFIX/status, PREFIX/board/1/cell/1, ...
  std::string clientId;      // empty: defaultClientId()
  std::string user;          // empty: no user name
  std::string passwordFile;  // the password is the file's first line; never the password itself
  bool tls = false;
  std::string caFile;  // with TLS: the broker's certificate is checked against it
  int keepAlive = kDefaultKeepAlive;

  bool operator==(const PublishSettings&) const = default;
};

// "mqtt://[USER@]HOST[:PORT]/PREFIX", or "mqtts://..." for TLS (port 8883 unless given). HOST may
// be an IPv6 address in brackets. A password in the URL is refused: it would show in the process
// list. Keeps the other fields of settings. Returns false with a one-line reason.
bool parsePublishUrl(const std::string& url, PublishSettings& settings, std::string& error);

// The URL of settings, without the password file, CA file and client id.
std::string publishUrl(const PublishSettings& settings);

// Every field in range and consistent (TLS needs a CA file, a password file needs a user name,
// the prefix holds no wildcard). Files are not opened here. Returns false with a one-line reason.
bool checkSettings(const PublishSettings& settings, std::string& error);

// Reads the password: the first line of the file, without its line end. Returns false with a
// one-line reason (naming the file, never its contents). Reasons are not escaped: the caller
// shows them as its output needs.
bool readPasswordFile(const std::string& path, std::string& password, std::string& error);

// "kb4471-HOST-PID": unique per running program, so two benches never take each other's session.
std::string defaultClientId();

}  // namespace kb::telemetry
