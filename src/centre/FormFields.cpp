#include "centre/FormFields.h"

namespace veradex::centre {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string FormFields::Decode(const std::string& encoded) {
  std::string bytes;
  bytes.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0 && HexValue(encoded[i + 2]) >= 0) {
      bytes += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
      i += 2;
    } else {
      bytes += c;
    }
  }
  return bytes;
}

FormFields FormFields::Parse(const std::string& body) {
  FormFields form;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(start, end - start);
    if (!pair.empty()) {
      const std::size_t equals = pair.find('=');
      form.fields_.emplace_back(Decode(pair.substr(0, equals)),
                                equals == std::string::npos ? std::string() : Decode(pair.substr(equals + 1)));
    }
    start = end + 1;
  }
  return form;
}

std::string FormFields::Get(const std::string& name) const {
  for (const auto& field : fields_) {
    if (field.first == name) return field.second;
  }
  return std::string();
}

bool FormFields::Has(const std::string& name) const {
  for (const auto& field : fields_) {
    if (field.first == name) return true;
  }
  return false;
}

}  // namespace veradex::centre
