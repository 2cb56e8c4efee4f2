/*
 * cccp_args.cpp - kvx_cccp's command line.
 */
#include "preprocessor/cccp_args.h"

#include <cctype>
#include <cstring>

namespace kvx::pp {

std::vector<std::string> parse_cccp_args(const std::vector<std::string> &w, Options &opts) {
  std::vector<std::string> files;
  for (size_t i = 0; i < w.size(); i++) {
    const std::string &a = w[i];
    auto value = [&](std::string &dst) {
      if (i + 1 < w.size()) dst = w[++i];
    };
    if (a == "-dial") {
      std::string d;
      value(d);
      for (char &c : d) c = (char)tolower((unsigned char)c);
      opts.backslash_includes = d.compare(0, 3, "msc") == 0;
      opts.gnu = d.compare(0, 3, "gnu") == 0;
      opts.c99 = opts.gnu || d == "c99" || d == "c11";
    } else if (a == "-trigraphs") {
      /* standard preprocessing; GCC's option of that name too, which
       * counts in its place among the others (-std= may follow) */
      opts.standard = true;
      opts.trigraphs = true;
      opts.args.push_back(a);
    } else if (size_t n = gcc_path_option(a); n && n == a.size() && i + 1 < w.size()) {
      opts.args.push_back(a + w[++i]);
    } else if (a == "-traditional") {
      opts.standard = false;
      opts.trigraphs = false;
    } else if (a == "-ddef") {
      value(opts.def_file);
    } else if (a == "-mac") {
      value(opts.mac_file);
    } else if (a == "-mode=exp") {
      opts.expand = true;
    } else if (a == "-mode=noexp") {
      opts.expand = false;
    } else if (a == "-nocppcomment") {
      opts.cpp_comments = false;
    } else if (a.size() >= 2 && (a[0] == '-' || a[0] == '/') && strchr("DUISdusi", a[1])) {
      opts.args.push_back(a);
      /* the letter alone takes the next word; in lower case it is another
       * option, which never takes the word after it (the source, say) */
      if (a.size() == 2 && i + 1 < w.size() && strchr("DUI", a[1])) opts.args.push_back(w[++i]);
    } else if (a.size() >= 2 && a[0] == '-') {
      /* -ansi, -std=, -W... and others: the preprocessor takes what it knows */
      opts.args.push_back(a);
    } else {
      files.push_back(a);
    }
  }
  return files;
}

}  // namespace kvx::pp
