#include "c_number.h"

#include <cctype>
#include <charconv>

namespace zevra {

bool ParseLeadingReal(std::string_view text, ViReal64& value) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::string_view rest = text.substr(i);
  // from_chars takes no leading '+'.
  bool plus = !rest.empty() && rest.front() == '+';
  if (plus) rest.remove_prefix(1);
  if (rest.empty() || (plus && (rest.front() == '+' || rest.front() == '-'))) return false;
  double v = 0;
  auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v, std::chars_format::general);
  if (ec != std::errc{} || p == rest.data()) return false;
  value = v;
  return true;
}

}  // namespace zevra
