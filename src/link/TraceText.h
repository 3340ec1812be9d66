#pragma once
// Bytes as the protocol trace shows them: printable ASCII as it is; control characters, bytes of
// 0x7F and above, and the backslash as \xHH. Error messages that quote input use the same form.
#include <string>
#include <string_view>

namespace kb::link {

std::string traceText(std::string_view bytes);

}  // namespace kb::link
