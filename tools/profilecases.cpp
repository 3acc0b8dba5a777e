// profilecases.exe: runs the profile cases against the system's own profile functions and
// writes what they gave, for the native test to hold the simulated functions against.
//   profilecases.exe CASES_FILE OUTPUT_FILE
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ProfileCases.h"

namespace {

const char* Ptr(const profilecases::Field& f) {
  return f ? f->c_str() : nullptr;
}

std::vector<std::string> SplitDoubleNull(const std::vector<char>& buffer, DWORD length) {
  std::vector<std::string> names;
  std::string current;
  for (DWORD i = 0; i < length; ++i) {
    if (buffer[i] == '\0') {
      if (current.empty()) break;
      names.push_back(current);
      current.clear();
    } else {
      current += buffer[i];
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

class RealProfile : public profilecases::Profile {
 public:
  void Begin(std::size_t index, const profilecases::Field& fileText) override {
    // A new name per case: the system may cache a file it has read.
    char name[64];
    std::snprintf(name, sizeof name, "case%03u.ini", static_cast<unsigned>(index));
    char full[MAX_PATH];
    GetFullPathNameA(name, MAX_PATH, full, nullptr);
    path_ = full;
    DeleteFileA(path_.c_str());
    if (fileText) {
      FILE* f = std::fopen(path_.c_str(), "wb");
      if (f != nullptr) {
        std::fwrite(fileText->data(), 1, fileText->size(), f);
        std::fclose(f);
      }
    }
  }
  std::string Read(const profilecases::Field& section, const profilecases::Field& key,
                   const profilecases::Field& defaultValue, int size) override {
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 1) + 16, '\x7F');
    const DWORD n =
        GetPrivateProfileStringA(Ptr(section), Ptr(key), Ptr(defaultValue), buffer.data(),
                                 static_cast<DWORD>(size), path_.c_str());
    return std::string(buffer.data(), n);
  }
  bool Write(const profilecases::Field& section, const profilecases::Field& key,
             const profilecases::Field& value) override {
    return WritePrivateProfileStringA(Ptr(section), Ptr(key), Ptr(value), path_.c_str()) != FALSE;
  }
  std::vector<std::string> SectionNames() override {
    std::vector<char> buffer(65536);
    const DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), 65536, path_.c_str());
    return SplitDoubleNull(buffer, n);
  }
  std::vector<std::string> KeyNames(const std::string& section) override {
    std::vector<char> buffer(65536);
    const DWORD n =
        GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), 65536, path_.c_str());
    return SplitDoubleNull(buffer, n);
  }

 private:
  std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: profilecases CASES_FILE OUTPUT_FILE\n");
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) return 1;
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) text.append(chunk, n);
  std::fclose(in);
  RealProfile profile;
  const std::string out = profilecases::Run(profilecases::Parse(text), profile);
  FILE* f = std::fopen(argv[2], "wb");
  if (f == nullptr) return 1;
  std::fwrite(out.data(), 1, out.size(), f);
  std::fclose(f);
  return 0;
}
