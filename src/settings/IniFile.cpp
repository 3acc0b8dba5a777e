#include "settings/IniFile.h"

#include <cctype>
#include <cstdint>

namespace cvl {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(const std::string& raw) {
  std::string text = raw;
  // "0x" counts as a hexadecimal prefix only in a value of more than two characters.
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.erase(0, 1);
    text[0] = '$';
  }

  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::size_t end = text.size();
  while (end > i && IsBlank(text[end - 1])) --end;

  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < end && text[i] == '$';
  if (hex) ++i;
  if (i >= end) return std::nullopt;

  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t value = 0;
  for (; i < end; ++i) {
    const int digit =
        hex ? HexDigit(text[i])
            : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  // Hexadecimal fills all 32 bits: $FFFFFFFF is -1.
  const auto bits = static_cast<std::uint32_t>(negative ? (~value + 1) : value);
  return static_cast<std::int32_t>(bits);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  return desktop_.GetPrivateProfileStringA(section, key, defaultValue, kReadBuffer, fileName_);
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                                  std::int32_t defaultValue) const {
  return ParseProfileInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (desktop_.WritePrivateProfileStringA(section, key, value, fileName_)) return;
  if (location_ != nullptr && location_->MoveToUserFolder()) {
    fileName_ = location_->Current();
    if (desktop_.WritePrivateProfileStringA(section, key, value, fileName_)) return;
  }
  throw SettingsWriteError(fileName_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace cvl
