#pragma once
// A model of GetPrivateProfileStringA and WritePrivateProfileStringA over files held in
// memory: bare names live in one Windows directory, sections and keys match without regard
// to case, reads drop one pair of enclosing quotes, and writes change one line, leaving every
// other section, key, comment and blank line as it was. Held against the system's own
// functions by the cases in tests/profile.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cvl::sim {

class SimProfile {
 public:
  static constexpr const char* kWindowsDirectory = "C:\\WINDOWS";

  // The full path a profile file name resolves to.
  static std::string Resolve(const std::string& fileName);

  std::string Get(const std::string& section, const std::string& key,
                  const std::string& defaultValue, int size, const std::string& fileName) const;
  // An empty optional value deletes the key (and an empty key the whole section), as a null
  // pointer does on Windows. False when the file is read-only.
  bool Write(const std::string& section, const std::optional<std::string>& key,
             const std::optional<std::string>& value, const std::string& fileName);

  // The listings a null section or a null key gives: section names in file order, and the
  // keys of the first section of that name.
  std::vector<std::string> SectionNames(const std::string& fileName) const;
  std::vector<std::string> KeyNames(const std::string& section, const std::string& fileName) const;

  // Direct access for tests.
  std::optional<std::string> FileText(const std::string& fileName) const;
  void SetFileText(const std::string& fileName, const std::string& text);
  void RemoveFile(const std::string& fileName);
  void SetReadOnly(const std::string& fileName, bool readOnly);

 private:
  struct File {
    std::string text;
    std::vector<std::string> lines;  // the text split, kept with it: reading splits nothing
    bool readOnly = false;
  };
  static std::string PathKey(const std::string& fileName);
  std::map<std::string, File> files_;  // by lower-case full path
};

}  // namespace cvl::sim
