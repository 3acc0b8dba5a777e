#include "sim/SimProfile.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace cvl::sim {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string_view TrimView(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::string Trim(const std::string& s) {
  return std::string(TrimView(s));
}

// CR LF, a bare LF and a bare CR each end a line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    auto end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// A value read from the file or a default given by the caller loses one pair of enclosing
// quotes, single or double.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

// A default loses its trailing spaces only: leading blanks and tabs stay.
std::string DefaultValue(std::string value) {
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return Unquote(value);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) text.append(line).append("\r\n");
  return text;
}

// The section a line opens, if it is a section header. Views into the line: every read looks
// at every header, and copying each one made the model the slowest part of a fuzzed input.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view t = TrimView(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimView(t.substr(1, close - 1));
}

// The key of a key line, if it is one. A line without "=" is no key, and a line that starts
// with ";" is one when asked for by name, though key listings leave it out.
std::optional<std::string_view> KeyName(std::string_view line) {
  if (SectionName(line)) return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return TrimView(line.substr(0, eq));
}

std::string Truncate(std::string value, int size) {
  if (size <= 0) return {};
  if (value.size() >= static_cast<std::size_t>(size))
    value.resize(static_cast<std::size_t>(size) - 1);
  return value;
}

}  // namespace

const SimProfile::File::Section* SimProfile::FindIndexed(const File& file,
                                                         const std::string& section) {
  if (!file.index) {
    auto& index = file.index.emplace();
    File::Section* current = nullptr;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      if (const auto name = SectionName(file.lines[i])) {
        if (current != nullptr) current->end = i;
        current = nullptr;
        // "[]" opens a section no name reaches; a later section of a name already seen is
        // never found either.
        if (name->empty()) continue;
        const auto [it, added] = index.try_emplace(Lower(std::string(*name)));
        if (added) {
          current = &it->second;
          current->header = i;
        }
      } else if (current != nullptr) {
        if (const auto key = KeyName(file.lines[i]))
          current->keys.try_emplace(Lower(std::string(*key)), i);
      }
    }
    if (current != nullptr) current->end = file.lines.size();
  }
  const auto it = file.index->find(Lower(Trim(section)));
  return it != file.index->end() ? &it->second : nullptr;
}

std::string SimProfile::Resolve(const std::string& fileName) {
  const bool hasDirectory = fileName.find_first_of("\\/:") != std::string::npos;
  return hasDirectory ? fileName : std::string(kWindowsDirectory) + "\\" + fileName;
}

std::string SimProfile::PathKey(const std::string& fileName) {
  return Lower(Resolve(fileName));
}

std::string SimProfile::Get(const std::string& section, const std::string& key,
                            const std::string& defaultValue, int size,
                            const std::string& fileName) const {
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return Truncate(DefaultValue(defaultValue), size);
  const File::Section* found = FindIndexed(file->second, section);
  if (found == nullptr) return Truncate(DefaultValue(defaultValue), size);
  const auto at = found->keys.find(Lower(Trim(key)));
  if (at == found->keys.end()) return Truncate(DefaultValue(defaultValue), size);
  const std::string& line = file->second.lines[at->second];
  return Truncate(Unquote(Trim(line.substr(line.find('=') + 1))), size);
}

bool SimProfile::Write(const std::string& section, const std::optional<std::string>& key,
                       const std::optional<std::string>& value, const std::string& fileName) {
  File& file = files_[PathKey(fileName)];
  if (file.readOnly) return false;
  auto& lines = file.lines;
  File::Section* found = const_cast<File::Section*>(FindIndexed(file, section));
  bool indexKept = false;

  if (!key) {
    if (found != nullptr)
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found->header),
                  lines.begin() + static_cast<std::ptrdiff_t>(found->end));
    indexKept = found == nullptr;
  } else if (found == nullptr) {
    if (!value) return true;
    lines.push_back("[" + section + "]");
    lines.push_back(*key + "=" + *value);
    // A new last section: the index takes it when the lines read back as written.
    const auto name = SectionName(lines[lines.size() - 2]);
    const auto keyName = KeyName(lines.back());
    if (name && !name->empty() && keyName && !file.index->count(Lower(std::string(*name)))) {
      File::Section& added = (*file.index)[Lower(std::string(*name))];
      added.header = lines.size() - 2;
      added.end = lines.size();
      added.keys.try_emplace(Lower(std::string(*keyName)), lines.size() - 1);
      indexKept = true;
    }
  } else if (const auto at = found->keys.find(Lower(Trim(*key))); at != found->keys.end()) {
    if (value) {
      std::string& line = lines[at->second];
      const std::string name(*KeyName(line));
      line = name + "=" + *value;
      const auto keyName = KeyName(line);
      indexKept = keyName && *keyName == name;
    } else {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at->second));
    }
  } else if (value) {
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t insertAt = found->end;
    while (insertAt > found->header + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
    const bool lastSection = found->end == lines.size();
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), *key + "=" + *value);
    // In the file's last section nothing indexed moves: only blank lines follow the new one.
    if (const auto keyName = KeyName(lines[insertAt]); lastSection && keyName) {
      found->end = lines.size();
      found->keys.try_emplace(Lower(std::string(*keyName)), insertAt);
      indexKept = true;
    }
  } else {
    indexKept = true;
  }
  // A written piece with a line break of its own makes more lines than it was written as.
  const auto breaks = [](const std::string& s) { return s.find_first_of("\r\n") != s.npos; };
  if (breaks(section) || (key && breaks(*key)) || (value && breaks(*value))) {
    file.lines = SplitLines(JoinLines(lines));
    indexKept = false;
  }
  if (!indexKept) file.index.reset();
  file.text.reset();  // joined again when asked for
  return true;
}

std::vector<std::string> SimProfile::SectionNames(const std::string& fileName) const {
  std::vector<std::string> names;
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return names;
  for (const std::string& line : file->second.lines)
    if (const auto name = SectionName(line); name && !name->empty()) names.emplace_back(*name);
  return names;
}

std::vector<std::string> SimProfile::KeyNames(const std::string& section,
                                              const std::string& fileName) const {
  std::vector<std::string> names;
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return names;
  const auto& lines = file->second.lines;
  const File::Section* found = FindIndexed(file->second, section);
  if (found == nullptr) return names;
  for (std::size_t i = found->header + 1; i < found->end; ++i)
    if (const auto name = KeyName(lines[i]); name && !name->empty() && name->front() != ';')
      names.emplace_back(*name);
  return names;
}

std::optional<std::string> SimProfile::FileText(const std::string& fileName) const {
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return std::nullopt;
  if (!file->second.text) file->second.text = JoinLines(file->second.lines);
  return *file->second.text;
}

void SimProfile::SetFileText(const std::string& fileName, const std::string& text) {
  File& file = files_[PathKey(fileName)];
  file.text = text;
  file.lines = SplitLines(text);
  file.index.reset();
}

void SimProfile::RemoveFile(const std::string& fileName) {
  files_.erase(PathKey(fileName));
}

void SimProfile::SetReadOnly(const std::string& fileName, bool readOnly) {
  files_[PathKey(fileName)].readOnly = readOnly;
}

}  // namespace cvl::sim
