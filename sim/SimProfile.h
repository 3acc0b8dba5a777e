#pragma once
// A model of GetPrivateProfileStringA and WritePrivateProfileStringA over files held in
// memory: bare names live in one Windows directory, sections and keys match without regard
// to case, reads drop one pair of enclosing quotes, and writes change one line, leaving every
// other section, key, comment and blank line as it was. Held against the system's own
// functions by the cases in tests/profile.
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
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
    // The lines are the file; its text is joined from them only when asked for, since
    // writes come many to a save and the text is read once.
    std::vector<std::string> lines;
    mutable std::optional<std::string> text;
    bool readOnly = false;
    // Where each section (the first of its name) and each of its keys (the first of its name)
    // are, by lower-case name. Made on the first lookup and kept through the writes whose
    // effect on it is plain (a value replaced, a key or section added at the file's end);
    // any other write drops it.
    struct Section {
      std::size_t header = 0;
      std::size_t end = 0;  // one past the section's last line
      std::unordered_map<std::string, std::size_t> keys;
    };
    mutable std::optional<std::unordered_map<std::string, Section>> index;
  };
  static const File::Section* FindIndexed(const File& file, const std::string& section);
  static std::string PathKey(const std::string& fileName);
  std::map<std::string, File> files_;  // by lower-case full path
};

}  // namespace cvl::sim
