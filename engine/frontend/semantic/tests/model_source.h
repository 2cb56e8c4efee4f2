/* model_source.h - the fixture of the model-building tests: analyses small
 * sources written to temporary files into one model, and reads the
 * records back as vectors. */
#ifndef KVX_SEMANTIC_TESTS_MODEL_SOURCE_H
#define KVX_SEMANTIC_TESTS_MODEL_SOURCE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontend/semantic/semantic.h"

namespace kvx::test {

class ModelSource : public ::testing::Test {
 protected:
  ModelSource() : err_(tmpfile()), diag_(err_), model_(diag_), ctx_(diag_) {}
  ~ModelSource() override {
    for (auto &p : paths_) unlink(p.c_str());
    fclose(err_);
  }
  /* Analyses the text as one more source of the model; with clean_ set,
   * the source must analyse without errors. */
  void analyse(const std::string &text) {
    char name[] = "/tmp/kvx_semXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);
    paths_.push_back(name);
    ASSERT_TRUE(sem::build_source_model(model_, ctx_, opts_, name));
    if (clean_) {
      EXPECT_EQ(diag_.error_count(), 0) << messages();
    }
  }
  /* What the analysis wrote on its message stream so far. */
  std::string messages() {
    fflush(err_);
    rewind(err_);
    std::string s;
    char buf[512];
    while (fgets(buf, sizeof buf, err_)) s += buf;
    return s;
  }
  template <class T>
  static std::vector<T *> all(const List &l, int kind = 0) {
    std::vector<T *> v;
    for (const Link *k = l.head; k; k = k->next)
      if (!kind || k->obj->kind == kind) v.push_back(static_cast<T *>(k->obj));
    return v;
  }
  template <class T, class Tag>
  static std::vector<T *> all(const Chain<T, Tag> &c, int kind = 0) {
    std::vector<T *> v;
    for (T *o : c)
      if (!kind || o->kind == kind) v.push_back(o);
    return v;
  }
  /* A symbol of the scope itself, or of the scope and every scope below. */
  SymbolRec *sym(ScopeRec *sc, const char *name, int kind = 0) {
    for (SymbolRec *s : all<SymbolRec>(sc->symbols))
      if (s->name && std::string(model_.name_of(s)) == name && (!kind || s->kind == kind)) return s;
    return nullptr;
  }
  SymbolRec *find(ScopeRec *sc, const char *name, int kind) {
    if (SymbolRec *s = sym(sc, name, kind)) return s;
    for (ScopeRec *sub : all<ScopeRec>(sc->subs))
      if (SymbolRec *s = find(sub, name, kind)) return s;
    return nullptr;
  }
  std::vector<ScopeRec *> tus() { return all<ScopeRec>(model_.global_scope()->subs, SCOPE_TRANSLATION_UNIT); }
  std::vector<InstrRec *> instrs(int kind) { return all<InstrRec>(model_.application()->instructions, kind); }
  std::vector<TypeRec *> types(int kind) { return all<TypeRec>(model_.application()->types, kind); }

  bool clean_ = false;
  FILE *err_;
  Diagnostics diag_;
  Model model_;
  fe::FrontendContext ctx_;
  pp::Options opts_;
  std::vector<std::string> paths_;
};

}  // namespace kvx::test

#endif
