#pragma once

#include <string>
#include <utility>
#include <vector>

namespace veradex::centre {

// The fields of a URL-encoded form body ("a=1&b=%C8%AB"), decoded to the
// bytes that were encoded, in the order they came. A '+' is a space; a '%'
// not followed by two hexadecimal digits stays as it is.
class FormFields {
 public:
  static FormFields Parse(const std::string& body);
  static std::string Decode(const std::string& encoded);

  // The value of the first field of that name; empty when there is none.
  std::string Get(const std::string& name) const;
  bool Has(const std::string& name) const;
  const std::vector<std::pair<std::string, std::string>>& All() const { return fields_; }

 private:
  std::vector<std::pair<std::string, std::string>> fields_;
};

}  // namespace veradex::centre
