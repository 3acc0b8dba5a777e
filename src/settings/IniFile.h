#pragma once
// Key-by-key access to a settings file through the platform's profile functions. Each write
// reaches the file at once; a refused write raises SettingsWriteError, unless the file has a
// location that can move it elsewhere.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Desktop.h"
#include "settings/SettingsLocation.h"

namespace cvl {

class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& fileName)
      : std::runtime_error("Unable to write to " + fileName) {}
};

// A signed decimal integer, or hexadecimal behind "$" (or "0x"/"0X" in a value of more than
// two characters); surrounding blanks are allowed. Nothing for any other text or a value out
// of the 32-bit range (hexadecimal may use all 32 bits).
std::optional<std::int32_t> ParseProfileInteger(const std::string& text);

// Lists behind a count key are read to at most this many entries, so that a stray large count
// in a hand-edited file cannot keep the program reading keys for hours.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// The fuzzer reaches the bound with a few bytes and spends its time on the file's text rather
// than on ten thousand empty keys per list; the shipped bound is held by the native tests.
inline constexpr std::int32_t kMaxListEntries = 100;
#else
inline constexpr std::int32_t kMaxListEntries = 10000;
#endif

class IniFile {
 public:
  // Values are read through a buffer of this many bytes.
  static constexpr int kReadBuffer = 2048;

  IniFile(Desktop& desktop, std::string fileName)
      : desktop_(desktop), fileName_(std::move(fileName)) {}
  // The location's current copy; a refused write moves it once to the user's folder and
  // writes there.
  IniFile(Desktop& desktop, SettingsLocation& location)
      : desktop_(desktop), location_(&location), fileName_(location.Current()) {}

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  const std::string& FileName() const { return fileName_; }

 private:
  Desktop& desktop_;
  SettingsLocation* location_ = nullptr;
  std::string fileName_;
};

}  // namespace cvl
