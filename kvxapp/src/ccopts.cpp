/*
 * ccopts.cpp - compiler options of applications and files: adding words,
 * testing and removing them, and reducing the files' options to what they
 * add to the options most of them share.
 *
 * Options are blank-separated words; a word matches only a whole word
 * ("-O" is not found in "-O2").
 */
#include "internal.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace kvxapp;

static bool is_blank(char c) { return c == ' ' || c == '\t'; }

/* Position of word as a whole word of text, or npos. */
static size_t find_word(const std::string &text, const std::string &word) {
  if (word.empty()) return std::string::npos;
  size_t pos = 0;
  while ((pos = text.find(word, pos)) != std::string::npos) {
    bool start = pos == 0 || is_blank(text[pos - 1]);
    size_t end = pos + word.size();
    bool stop = end == text.size() || is_blank(text[end]);
    if (start && stop) return pos;
    pos++;
  }
  return std::string::npos;
}

static bool has_word(const char *text, const std::string &word) {
  return text && find_word(text, word) != std::string::npos;
}

static std::vector<std::string> words_of(const char *text) {
  std::vector<std::string> w;
  for_each_word(text, [&](const std::string &s) { w.push_back(s); });
  return w;
}

extern "C" {

void application_add_cc_option(KvxApplication *a, const char *word) {
  if (!a || !word || !*word) return;
  if (has_word(a->cc_options, word)) return;
  std::string s = str(a->cc_options);
  if (!s.empty() && !is_blank(s.back())) s += ' ';
  s.append(word).append(" ");
  set_str(&a->cc_options, s.c_str());
}

void application_add_cc_options(KvxApplication *a, const char *text) {
  for_each_word(text, [&](const std::string &w) { application_add_cc_option(a, w.c_str()); });
}

void application_add_link_option(KvxApplication *a, const char *word) {
  if (!a || !word || !*word) return;
  std::string s = str(a->link_options);
  if (!s.empty()) s += ' ';
  s += word;
  set_str(&a->link_options, s.c_str());
}

void application_add_link_options(KvxApplication *a, const char *text) {
  for_each_word(text, [&](const std::string &w) { application_add_link_option(a, w.c_str()); });
}

void application_manage_cc_options(KvxApplication *a) {
  if (!a) return;
  int n = list_nb_items(a->files);
  if (n == 0) return; /* nothing to compare with: the options stay */
  std::string common;
  std::vector<std::string> seen;
  for (const std::string &w : words_of(a->cc_options)) {
    bool dup = false;
    for (auto &s : seen) dup = dup || s == w;
    if (dup) continue;
    seen.push_back(w);
    int count = 0;
    for (int i = 1; i <= n; i++) {
      KvxSource *s = (KvxSource *)list_get_ieme(a->files, i);
      if (has_word(s->cc_options, w)) count++;
    }
    if (count * 100 / n >= 51) {
      if (!common.empty()) common += ' ';
      common += w;
    }
  }
  set_str(&a->cc_options, common.c_str());
  for (int i = 1; i <= n; i++)
    source_compute_cc_options((KvxSource *)list_get_ieme(a->files, i), common.c_str());
}

void source_set_use_default_cc_options(KvxSource *s, int use) {
  if (s) s->use_default_cc_options = use != 0;
}
int source_get_use_default_cc_options(const KvxSource *s) { return s ? s->use_default_cc_options : 1; }
const char *source_get_cc_options(const KvxSource *s) { return s ? str(s->cc_options) : ""; }
void source_set_cc_options(KvxSource *s, const char *o) {
  if (s) set_str(&s->cc_options, o);
}

int source_present_cc_option(const KvxSource *s, const char *word) {
  return s && word && has_word(s->cc_options, word);
}

void source_remove_cc_option(KvxSource *s, const char *word) {
  if (!s || !s->cc_options || !word || !*word) return;
  std::string text = s->cc_options;
  size_t pos;
  while ((pos = find_word(text, word)) != std::string::npos) {
    size_t end = pos + strlen(word);
    while (end < text.size() && is_blank(text[end])) end++;
    text.erase(pos, end - pos);
  }
  set_str(&s->cc_options, text.c_str());
}

void source_compute_cc_options(KvxSource *s, const char *common) {
  if (!s) return;
  std::vector<std::string> shared = words_of(common);
  for (const std::string &w : shared)
    if (!has_word(s->cc_options, w)) {
      s->use_default_cc_options = 0; /* keeps its full list */
      return;
    }
  s->use_default_cc_options = 1;
  bool all_shared = true;
  for (const std::string &w : words_of(s->cc_options)) all_shared = all_shared && has_word(common, w);
  if (all_shared) {
    set_str(&s->cc_options, nullptr);
    return;
  }
  for (const std::string &w : shared) source_remove_cc_option(s, w.c_str());
}

}  // extern "C"
