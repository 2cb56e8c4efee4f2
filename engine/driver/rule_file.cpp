/*
 * rule_file.cpp - the header sections and the code of a rule file.
 */
#include "driver/rule_file.h"

#include "driver/line_reader.h"
#include "driver/words.h"

namespace kvx {

bool read_rule_file(FILE *f, RuleText &rule) {
  rule = RuleText{};
  LineReader reader;
  std::string_view line;
  bool in_code = false;
  while (reader.read(f, line)) {
    if (in_code) {
      rule.code.append(line);
      continue;
    }
    if (line.substr(0, 5) == ".CODE") {
      in_code = true;
    } else if (line.substr(0, 4) == ".KEY") {
      std::string_view w = first_word(line.substr(4));
      rule.key.assign(w);
      rule.has_key = !w.empty();
    }
  }
  return !ferror(f);
}

}  // namespace kvx
