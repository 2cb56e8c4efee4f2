/* rule_fixtures_test.cpp - runs every rule of the standard library on its
 * fixture sources and compares the reported lines with the lines marked in
 * the sources.
 *
 * A rule rules/<group>/<name>.rule (groups other than demo and tools) has
 * fixtures: the .c files of tests/rules/fixtures/<name>/.  A line that the rule must
 * report carries the marker "expect: <KEY>" (KEY from the rule's .KEY
 * line) once per violation expected there.  Each fixture is checked in a
 * run of its own; a missed line, a line reported without its marker, a
 * line reported more often than marked, a report about another file and a
 * run that fails are all failures.  A fixture x.c with a file x.params
 * beside it runs with the parameter values that file sets; with a file
 * x.options, its compile line carries those options instead of
 * "-nocccp -dial ansi" ("$DIR" stands for the fixture's directory, so
 * that the line may name further sources, analysed before x.c). */
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../run_program.h"

namespace fs = std::filesystem;
using kvxtest::read_file;

namespace {

struct RuleCase {
  std::string group, name;
  fs::path file;  // the rule file of the source tree
};

/* Names the case in gtest's messages. */
void PrintTo(const RuleCase &c, std::ostream *os) { *os << c.group << "/" << c.name; }

fs::path source_dir() {
  const char *s = getenv("KVX_SOURCE_DIR");
  return s ? fs::path(s) : fs::path(KVX_RULES_SOURCE_DIR);
}

fs::path build_dir() {
  const char *b = getenv("KVX_BUILD_DIR");
  return b ? fs::path(b) : fs::read_symlink("/proc/self/exe").parent_path().parent_path();
}

std::vector<RuleCase> library_rules() {
  std::vector<RuleCase> rules;
  fs::path top = source_dir() / "rules";
  std::error_code ec;
  for (auto &g : fs::directory_iterator(top, ec)) {
    if (!g.is_directory()) continue;
    std::string group = g.path().filename().string();
    if (group == "demo" || group == "tools") continue;
    for (auto &f : fs::directory_iterator(g.path())) {
      if (f.path().extension() != ".rule") continue;
      rules.push_back({group, f.path().stem().string(), f.path()});
    }
  }
  std::sort(rules.begin(), rules.end(),
            [](const RuleCase &a, const RuleCase &b) { return a.name < b.name; });
  return rules;
}

/* The word after ".KEY" in a rule file, or "" without one. */
std::string rule_key(const fs::path &rule) {
  std::istringstream in(read_file(rule));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(".CODE", 0) == 0) break;
    if (line.rfind(".KEY", 0) == 0) {
      std::istringstream words(line.substr(4));
      std::string key;
      words >> key;
      return key;
    }
  }
  return "";
}

/* Line number -> number of "expect: KEY" markers on that line. */
std::map<unsigned, int> expected_lines(const fs::path &source, const std::string &key) {
  std::map<unsigned, int> lines;
  std::istringstream in(read_file(source));
  std::string line, marker = "expect: " + key;
  for (unsigned n = 1; std::getline(in, line); n++) {
    for (size_t at = line.find(marker); at != std::string::npos;
         at = line.find(marker, at + marker.size())) {
      size_t end = at + marker.size();
      bool word_ends = end == line.size() || !(isalnum((unsigned char)line[end]) || line[end] == '_');
      if (word_ends) lines[n]++;
    }
  }
  return lines;
}

struct Reported {
  std::map<unsigned, int> lines;
  std::vector<std::string> strays;  // records about other files or other rules
};

/* Reads the three-line records of a report file: F<path>(<line>), R<rule>, M<text>. */
Reported read_report(const std::string &text, const std::string &source, const std::string &key) {
  Reported r;
  std::istringstream in(text);
  std::string line, where;
  while (std::getline(in, line)) {
    if (line.rfind("F", 0) == 0) {
      where = line.substr(1);
    } else if (line.rfind("R", 0) == 0) {
      std::string rule = line.substr(1);
      size_t open = where.rfind('(');
      std::string path = open == std::string::npos ? where : where.substr(0, open);
      unsigned n = open == std::string::npos ? 0 : (unsigned)std::stoul(where.substr(open + 1));
      if (rule != key || path != source || n == 0)
        r.strays.push_back("F" + where + " R" + rule);
      else
        r.lines[n]++;
    }
  }
  return r;
}

class RuleFixtures : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleFixtures, ReportsExactlyTheMarkedLines) {
  const RuleCase &rc = GetParam();
  std::string key = rule_key(rc.file);
  ASSERT_FALSE(key.empty()) << rc.file << " has no .KEY";
  fs::path shipped = build_dir() / "rules" / rc.group / (rc.name + ".rule");
  ASSERT_TRUE(fs::exists(shipped)) << shipped << " not in the build tree";

  fs::path fixtures = source_dir() / "tests" / "rules" / "fixtures" / rc.name;
  std::vector<fs::path> sources;
  std::error_code ec;
  for (auto &f : fs::directory_iterator(fixtures, ec))
    if (f.path().extension() == ".c") sources.push_back(f.path());
  std::sort(sources.begin(), sources.end());
  ASSERT_FALSE(sources.empty()) << "no fixtures in " << fixtures;

  int marked_total = 0;
  for (const fs::path &src : sources) {
    SCOPED_TRACE(src.string());
    kvxtest::Scratch scratch;
    fs::path options_file = fs::path(src).replace_extension(".options");
    std::string options = "-nocccp -dial ansi";
    if (fs::exists(options_file)) {
      options = read_file(options_file);
      while (!options.empty() && isspace((unsigned char)options.back())) options.pop_back();
      for (size_t at; (at = options.find("$DIR")) != std::string::npos;)
        options.replace(at, 4, fixtures.string());
    }
    scratch.write("compile.lst", options + " \"" + src.string() + "\"\n");
    /* A fixture x.c may come with x.params: a parameter file as a check
     * run writes it (a rule file whose code sets the parameter globals),
     * run just before the rule. */
    fs::path params = fs::path(src).replace_extension(".params");
    std::string list;
    if (fs::exists(params)) list = "\"" + params.string() + "\"\n";
    scratch.write("rules.lst", list + "\"" + shipped.string() + "\"\n");
    kvxtest::Result res = kvxtest::run(
        kvxtest::built_program("kvx_zkck_cc"),
        {"kvx_zkck_cc", (scratch / "compile.lst").string(), (scratch / "rules.lst").string(),
         (scratch / "report.txt").string()},
        scratch.dir);
    ASSERT_EQ(res.status, 0) << res.out << res.err;
    EXPECT_EQ(res.err.find("Error"), std::string::npos) << res.err;

    std::map<unsigned, int> want = expected_lines(src, key);
    Reported got = read_report(read_file(scratch / "report.txt"), src.string(), key);
    for (auto &s : got.strays) ADD_FAILURE() << "unexpected record " << s;
    for (auto &[line, n] : want) {
      marked_total += n;
      int seen = got.lines.count(line) ? got.lines[line] : 0;
      EXPECT_EQ(seen, n) << src.filename().string() << ":" << line << ": " << key
                         << (seen < n ? " missed" : " reported too often");
    }
    for (auto &[line, n] : got.lines)
      if (!want.count(line))
        ADD_FAILURE() << src.filename().string() << ":" << line << ": " << key << " reported "
                      << n << " time(s) without a marker (false positive)";
  }
  /* A fixture set must show the rule firing at least once. */
  EXPECT_GT(marked_total, 0) << "no line of " << fixtures << " is marked for " << key;
}

std::string case_name(const ::testing::TestParamInfo<RuleCase> &info) {
  std::string n = info.param.group + "_" + info.param.name;
  for (char &c : n)
    if (!isalnum((unsigned char)c)) c = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Library, RuleFixtures, ::testing::ValuesIn(library_rules()), case_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RuleFixtures);

}  // namespace
