/* The in-process and the external way of preprocessing build the same
 * model: same objects in the same order on the same lines. */
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "frontend/semantic/semantic.h"
#include "preprocessor/writer.h"

namespace kvx {
namespace {

std::string write_file(const std::string &path, const std::string &text) {
  FILE *f = fopen(path.c_str(), "w");
  fputs(text.c_str(), f);
  fclose(f);
  return path;
}

/* Kinds, files and lines of the application's lists, in order. */
std::string signature(Model &m) {
  std::string s;
  const AppRec *a = m.application();
  auto one = [&](const Located *o, char tag) {
    s += tag + std::to_string(o->kind) + ":" + std::to_string(o->file) + ":" + std::to_string(o->line);
    /* What was written, and the names expressions refer to. */
    if (std::string_view sp = m.spelling(o); !sp.empty()) s += "'" + std::string(sp) + "'";
    if (o->family == FAM_EXPR && o->kind == EXPR_SYMBOL) {
      const SymbolRec *y = static_cast<const ExprRec *>(o)->symbol;
      s += "=" + std::string(y && y->name ? m.name_of(y) : "?");
    }
    s += " ";
  };
  auto located = [&](const auto &l, char tag) {
    for (const Located *o : l) one(o, tag);
    s += "\n";
  };
  for (const Link *k = a->files.head; k; k = k->next) {
    const FileRec *f = static_cast<const FileRec *>(k->obj);
    s += std::string("F") + std::to_string(f->number) + " ";
    located(f->comments, 'c');
  }
  for (const Link *k = a->inclusions.head; k; k = k->next) one(static_cast<const Located *>(k->obj), 'n');
  s += "\n";
  located(a->types, 't');
  located(a->instructions, 'i');
  located(a->expressions, 'e');
  located(a->labels, 'l');
  for (const ScopeRec *tu : m.global_scope()->subs)
    for (const SymbolRec *y : tu->symbols) {
      const char *n = m.name_of(y);
      s += std::string(n ? n : "-") + "/" + std::to_string(y->kind) + ":" + std::to_string(y->line) + " ";
    }
  return s;
}

TEST(Ways, InProcessAndExternalBuildTheSameModel) {
  char dir[] = "/tmp/kvx_waysXXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string d = dir;
  std::string hdr = write_file(d + "/w.h", "/* header */\ntypedef int T;\n#define SQ(x) ((x)*(x))\n");
  std::string src = write_file(d + "/w.c",
      "#include \"w.h\"\n/* two\n lines */\nstatic T n = 2;\nint f(int a) {\n  if (a) goto e;\n"
      "  return SQ(a) + n;\n e:\n  return 0;\n}\n#if 0\n/* gone */\n#endif\n");
  std::string pre = d + "/w.i";
  pp::Options opts;
  std::string in_process, external;
  {
    Diagnostics diag(stderr);
    pp::TextWriter w(opts.marker);
    pp::Scanner s(opts, diag, &w);
    w.set_scanner(&s);
    ASSERT_TRUE(s.open_source(src));
    FILE *out = fopen(pre.c_str(), "w");
    ASSERT_TRUE(w.run(s, out));
    fclose(out);
  }
  {
    Diagnostics diag(stderr);
    Model m(diag);
    fe::FrontendContext ctx(diag);
    ASSERT_TRUE(sem::build_source_model(m, ctx, opts, src));
    in_process = signature(m);
    EXPECT_EQ(m.application()->inclusions.count, 1u);
  }
  {
    Diagnostics diag(stderr);
    Model m(diag);
    fe::FrontendContext ctx(diag);
    ASSERT_TRUE(sem::build_preprocessed_model(m, ctx, opts, pre, src));
    external = signature(m);
  }
  EXPECT_NE(in_process.find("SQ/4:3"), std::string::npos) << in_process;
  EXPECT_NE(in_process.find("T/7:2"), std::string::npos) << in_process;
  EXPECT_EQ(in_process, external);
  unlink(hdr.c_str());
  unlink(src.c_str());
  unlink(pre.c_str());
  rmdir(dir);
}

/* The signatures of the models of one source built both ways. */
void both_ways(const std::string &src, std::string *in_process, std::string *external) {
  char name[] = "/tmp/kvx_waysXXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  pp::Options opts;
  FILE *err = tmpfile();
  ASSERT_TRUE(err);
  {
    Diagnostics diag(err);
    pp::TextWriter w(opts.marker);
    pp::Scanner s(opts, diag, &w);
    w.set_scanner(&s);
    ASSERT_TRUE(s.open_source(src));
    FILE *out = fopen(name, "w");
    ASSERT_TRUE(w.run(s, out));
    fclose(out);
  }
  for (int way = 0; way < 2; way++) {
    Diagnostics diag(err);
    Model m(diag);
    fe::FrontendContext ctx(diag);
    ASSERT_TRUE(way == 0 ? sem::build_source_model(m, ctx, opts, src)
                         : sem::build_preprocessed_model(m, ctx, opts, name, src));
    *(way == 0 ? in_process : external) = signature(m);
  }
  fclose(err);
  unlink(name);
}

std::string source_root() {
  const char *env = std::getenv("KVX_SOURCE_DIR");
  return env ? env : KVX_SEMANTIC_SOURCE_ROOT;
}

/* Every C source of the rule fixtures, and one of the constructs whose
 * spellings and member names the model keeps. */
TEST(Ways, EveryFixtureBuildsTheSameModelBothWays) {
  std::vector<std::string> sources;
  std::filesystem::path root = std::filesystem::path(source_root()) / "tests" / "rules" / "fixtures";
  std::error_code ec;
  for (auto &e : std::filesystem::recursive_directory_iterator(root, ec))
    if (e.path().extension() == ".c") sources.push_back(e.path().string());
  EXPECT_GT(sources.size(), 10u) << root;
  char dir[] = "/tmp/kvx_waysXXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string own = write_file(std::string(dir) + "/own.c",
      "#define ONE 1U\nstruct s { int a : 3; signed int b : 1; struct s *next; } v;\n"
      "typedef int F(void);\nF g;\nchar *t = \"a\" \"b\";\n"
      "unsigned long h(struct s *p) {\n  x: y: return p->next->a + ONE + 'c' + sizeof(unsigned long);\n}\n");
  sources.push_back(own);
  for (const std::string &src : sources) {
    std::string a, b;
    both_ways(src, &a, &b);
    EXPECT_FALSE(a.empty()) << src;
    EXPECT_EQ(a, b) << src;
    if (src == own) {
      EXPECT_NE(a.find("'1U'"), std::string::npos) << a;
      EXPECT_NE(a.find("'signed int'"), std::string::npos) << a;
      EXPECT_NE(a.find("'\"a\" \"b\"'"), std::string::npos) << a;
      EXPECT_NE(a.find("=next"), std::string::npos) << a;
    }
  }
  unlink(own.c_str());
  rmdir(dir);
}

}  // namespace
}  // namespace kvx
