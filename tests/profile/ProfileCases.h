#pragma once
// The profile cases in cases.txt: parsed and run the same way against the real profile
// functions (tools/profilecases.exe under Wine) and against the simulated ones (the native
// test), so that the two outputs can be compared line by line.
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace profilecases {

using Field = std::optional<std::string>;  // nullopt: a null pointer

struct Command {
  std::string verb;
  std::vector<Field> fields;
};

struct Case {
  std::string name;
  std::vector<Command> commands;
};

// What a case needs of the profile functions, over one file per case.
class Profile {
 public:
  virtual ~Profile() = default;
  // Starts case number index with this file text, or with no file.
  virtual void Begin(std::size_t index, const Field& fileText) = 0;
  virtual std::string Read(const Field& section, const Field& key, const Field& defaultValue,
                           int size) = 0;
  virtual bool Write(const Field& section, const Field& key, const Field& value) = 0;
  virtual std::vector<std::string> SectionNames() = 0;
  virtual std::vector<std::string> KeyNames(const std::string& section) = 0;
};

inline std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'r')
      out += '\r';
    else if (c == 'n')
      out += '\n';
    else if (c == 't')
      out += '\t';
    else if (c == 'x' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else
      out += c;
  }
  return out;
}

inline std::string Escape(const std::string& s) {
  std::string out;
  for (const char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    } else
      out += c;
  }
  return out;
}

inline std::vector<Case> Parse(const std::string& text) {
  std::vector<Case> cases;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', from);
      parts.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    if (parts[0].rfind("case ", 0) == 0) {
      cases.push_back({parts[0].substr(5), {}});
      continue;
    }
    if (cases.empty()) continue;
    Command command{parts[0], {}};
    for (std::size_t i = 1; i < parts.size(); ++i)
      command.fields.push_back(parts[i] == "\\0" ? Field() : Field(Unescape(parts[i])));
    cases.back().commands.push_back(std::move(command));
  }
  return cases;
}

inline Field At(const Command& c, std::size_t i) {
  return i < c.fields.size() ? c.fields[i] : Field(std::string());
}

// Runs every case and returns one line per result, in the same form on every side.
inline std::string Run(const std::vector<Case>& cases, Profile& profile) {
  std::string out;
  for (std::size_t n = 0; n < cases.size(); ++n) {
    const Case& c = cases[n];
    Field fileText;
    for (const Command& command : c.commands)
      if (command.verb == "file") fileText = At(command, 0);
    profile.Begin(n, fileText);
    out += "case " + c.name + "\n";
    for (const Command& command : c.commands) {
      if (command.verb == "read") {
        const int size = std::stoi(At(command, 3).value_or("0"));
        out += "read " +
               Escape(profile.Read(At(command, 0), At(command, 1), At(command, 2), size)) + "\n";
      } else if (command.verb == "write") {
        out += std::string("write ") +
               (profile.Write(At(command, 0), At(command, 1), At(command, 2)) ? "ok" : "refused") +
               "\n";
      } else if (command.verb == "dump") {
        for (const std::string& section : profile.SectionNames()) {
          out += "dump [" + Escape(section) + "]\n";
          for (const std::string& key : profile.KeyNames(section))
            out += "dump " + Escape(key) + "=" +
                   Escape(profile.Read(Field(section), Field(key), Field(std::string()), 4096)) +
                   "\n";
        }
      }
    }
  }
  return out;
}

}  // namespace profilecases
