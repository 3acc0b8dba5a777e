// The simulated profile functions against the system's own: the cases in tests/profile run
// through the model must give exactly what they gave under Wine.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "profile/ProfileCases.h"
#include "sim/SimProfile.h"

namespace cvl::sim {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SimulatedProfile : public profilecases::Profile {
 public:
  void Begin(std::size_t index, const profilecases::Field& fileText) override {
    name_ = "case" + std::to_string(index) + ".ini";
    if (fileText) profile_.SetFileText(name_, *fileText);
  }
  std::string Read(const profilecases::Field& section, const profilecases::Field& key,
                   const profilecases::Field& defaultValue, int size) override {
    return profile_.Get(section.value_or(""), key.value_or(""), defaultValue.value_or(""), size,
                        name_);
  }
  bool Write(const profilecases::Field& section, const profilecases::Field& key,
             const profilecases::Field& value) override {
    return profile_.Write(section.value_or(""), key, value, name_);
  }
  std::vector<std::string> SectionNames() override { return profile_.SectionNames(name_); }
  std::vector<std::string> KeyNames(const std::string& section) override {
    return profile_.KeyNames(section, name_);
  }

 private:
  SimProfile profile_;
  std::string name_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SimProfile, GivesWhatTheSystemsFunctionsGaveForEveryCase) {
  const std::string dir = CORVALET_SOURCE_DIR "/tests/profile/";
  const auto cases = profilecases::Parse(ReadFile(dir + "cases.txt"));
  ASSERT_GT(cases.size(), 20u);
  SimulatedProfile model;
  const auto got = Lines(profilecases::Run(cases, model));
  const auto want = Lines(ReadFile(dir + "wine-results.txt"));
  ASSERT_EQ(got.size(), want.size());
  std::string currentCase;
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (want[i].rfind("case ", 0) == 0) currentCase = want[i];
    EXPECT_EQ(got[i], want[i]) << currentCase << ", line " << i + 1;
  }
}

}  // namespace
}  // namespace cvl::sim
