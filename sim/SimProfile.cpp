#include "sim/SimProfile.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace cvl::sim {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
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
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// The section a line opens, if it is a section header.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key of a key line, if it is one. A line without "=" is no key, and a line that starts
// with ";" is one when asked for by name, though key listings leave it out.
std::optional<std::string> KeyName(const std::string& line) {
  if (SectionName(line)) return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

struct SectionRange {
  std::size_t header;
  std::size_t end;  // one past the section's last line
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines,
                                        const std::string& section) {
  const std::string wanted = Lower(Trim(section));
  if (wanted.empty()) return std::nullopt;  // "[]" opens a section no name reaches
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name || Lower(*name) != wanted) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, SectionRange range,
                                   const std::string& key) {
  const std::string wanted = Lower(Trim(key));
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto name = KeyName(lines[i]);
    if (name && Lower(*name) == wanted) return i;
  }
  return std::nullopt;
}

std::string Truncate(std::string value, int size) {
  if (size <= 0) return {};
  if (value.size() >= static_cast<std::size_t>(size))
    value.resize(static_cast<std::size_t>(size) - 1);
  return value;
}

}  // namespace

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
  const auto& lines = file->second.lines;
  const auto range = FindSection(lines, section);
  if (!range) return Truncate(DefaultValue(defaultValue), size);
  const auto at = FindKey(lines, *range, key);
  if (!at) return Truncate(DefaultValue(defaultValue), size);
  const std::string& line = lines[*at];
  return Truncate(Unquote(Trim(line.substr(line.find('=') + 1))), size);
}

bool SimProfile::Write(const std::string& section, const std::optional<std::string>& key,
                       const std::optional<std::string>& value, const std::string& fileName) {
  File& file = files_[PathKey(fileName)];
  if (file.readOnly) return false;
  auto lines = file.lines;
  const auto range = FindSection(lines, section);

  if (!key) {
    if (range)
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                  lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  } else if (!range) {
    if (!value) return true;
    lines.push_back("[" + section + "]");
    lines.push_back(*key + "=" + *value);
  } else if (const auto at = FindKey(lines, *range, *key)) {
    if (value)
      lines[*at] = *KeyName(lines[*at]) + "=" + *value;
    else
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
  } else if (value) {
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), *key + "=" + *value);
  }
  file.text = JoinLines(lines);
  // A written piece with a line break of its own makes more lines than it was written as.
  const auto breaks = [](const std::string& s) { return s.find_first_of("\r\n") != s.npos; };
  if (breaks(section) || (key && breaks(*key)) || (value && breaks(*value)))
    file.lines = SplitLines(file.text);
  else
    file.lines = std::move(lines);
  return true;
}

std::vector<std::string> SimProfile::SectionNames(const std::string& fileName) const {
  std::vector<std::string> names;
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return names;
  for (const std::string& line : file->second.lines)
    if (const auto name = SectionName(line); name && !name->empty()) names.push_back(*name);
  return names;
}

std::vector<std::string> SimProfile::KeyNames(const std::string& section,
                                              const std::string& fileName) const {
  std::vector<std::string> names;
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return names;
  const auto& lines = file->second.lines;
  const auto range = FindSection(lines, section);
  if (!range) return names;
  for (std::size_t i = range->header + 1; i < range->end; ++i)
    if (const auto name = KeyName(lines[i]); name && !name->empty() && name->front() != ';')
      names.push_back(*name);
  return names;
}

std::optional<std::string> SimProfile::FileText(const std::string& fileName) const {
  const auto file = files_.find(PathKey(fileName));
  if (file == files_.end()) return std::nullopt;
  return file->second.text;
}

void SimProfile::SetFileText(const std::string& fileName, const std::string& text) {
  File& file = files_[PathKey(fileName)];
  file.text = text;
  file.lines = SplitLines(text);
}

void SimProfile::RemoveFile(const std::string& fileName) {
  files_.erase(PathKey(fileName));
}

void SimProfile::SetReadOnly(const std::string& fileName, bool readOnly) {
  files_[PathKey(fileName)].readOnly = readOnly;
}

}  // namespace cvl::sim
