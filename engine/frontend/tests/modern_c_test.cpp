/*
 * modern_c_test.cpp - the language of C99, C11 and GNU C: what each
 * dialect accepts, what the old dialects still refuse, and the lexer's
 * newer constants.
 */
#include <gtest/gtest.h>

#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::run_text;
using test::RunResult;

void expect_clean(const char *src, const char *dialect) {
  RunResult r = run_text(src, dialect);
  EXPECT_EQ(r.errors, 0) << dialect << ":\n" << r.messages;
  EXPECT_EQ(r.warnings, 0) << dialect << ":\n" << r.messages;
}

int errors_of(const char *src, const char *dialect) { return run_text(src, dialect).errors; }

/* Constructs that cannot change the meaning of an old program are taken by
 * every dialect. */
TEST(EveryDialect, DeclarationsForInitDesignatorsAndCompoundLiterals) {
  const char *src = R"(
    typedef struct { int x, y; } point;
    struct box { point lo, hi; int tag[4]; };
    enum e { A, B, };
    int sum(int n) {
      int s = 0;
      s++;
      int t = 2;
      for (int i = 0, j = 1; i < n; i++) s += i * j + t;
      for (point p = { 0, 0 }; p.x < 3; p.x++) ;
      struct box b = { .lo = { .x = 1 }, .hi.y = 2, .tag[2] = 5, .tag = { [1] = 3, [3] = 4 } };
      int a[10] = { [2] = 1, [4] = 2, 7 };
      point q = (point){ 1, 2 };
      int *r = (int []){ 1, 2, 3, };
      return s + b.tag[2] + a[2] + q.x + r[0] + ((point){ .y = 9 }).y;
    }
  )";
  for (const char *d : {"ansi", "kr78", "sun", "hp_ansi", "msc0900", "msc15", "iar", "gnu", "c99", "c11"}) {
    SCOPED_TRACE(d);
    RunResult r = run_text(src, d);
    /* the traditional dialects have no const; nothing here needs it */
    EXPECT_EQ(r.errors, 0) << d << ":\n" << r.messages;
  }
}

TEST(EveryDialect, ForDeclarationScopesItsNames) {
  /* T is an ordinary name inside the loop only */
  expect_clean("typedef int T;\nvoid f(void) { for (int T = 0; T < 2; T++) ; T x = 1; (void)x; }\n", "ansi");
  /* an unfinished for declaration recovers as the expression form does,
   * and its scope closes: what follows parses */
  RunResult r = run_text("void f(void) { for (int i = ; i < 2; i++) ; }\nint g;\n", "ansi");
  RunResult old = run_text("void f(void) { int i; for (i = ; i < 2; i++) ; }\nint g;\n", "ansi");
  EXPECT_EQ(r.result.syntax_errors, old.result.syntax_errors) << r.messages;
  EXPECT_EQ(run_text("void f(void) { for (int i = ; ; ) ; }\ntypedef int T;\nT g;\n", "ansi").errors, 1);
}

TEST(OldDialects, KeepTheirKeywordsAndMessages) {
  /* the newer keywords are ordinary names there */
  expect_clean("int restrict, inline, _Bool, typeof2; int _Static_assert(int);\n", "ansi");
  EXPECT_EQ(errors_of("_Bool b;\n", "ansi"), 1);
  EXPECT_EQ(errors_of("long long x; _Bool b;\n", "msc0900"), 1);
  EXPECT_EQ(errors_of("__attribute__((unused)) int x;\n", "ansi"), 1);
  /* a hexadecimal floating constant is still a malformed number */
  RunResult r = run_text("double d = 0x1p3;\n", "ansi");
  EXPECT_NE(r.messages.find("nondigits in number"), std::string::npos) << r.messages;
  /* GCC's own forms and those of C99 stay syntax errors at the token that
   * begins them, in the old dialects and (for GCC's) in the standard ones */
  const struct {
    const char *src, *before;
  } forms[] = {
      {"int f(int x) { switch (x) { case 1 ... 3: return 1; } return 0; }\n", "`...'"},
      {"int f(int x) { return x ?: 1; }\n", "`:'"},
      {"int f(void) { void *p = &&l; l: return 0; }\n", "`&&'"},
      {"int f(void *p) { goto *p; }\n", "`*'"},
      {"int f(void) { return ({ 1; }); }\n", "`{'"},
      {"int a[4] = { [0 ... 2] = 1 };\n", "`...'"},
      {"int a[4] = { [1] 2 };\n", "`2'"},
      {"extern int v asm(\"w\");\n", "`asm'"},
      {"struct s { int a;; };\n", "`;'"},
  };
  for (const char *d : {"ansi", "c99", "c11"})
    for (const auto &f : forms) {
      RunResult fr = run_text(f.src, d);
      EXPECT_EQ(fr.result.syntax_errors, 1) << d << ": " << f.src << fr.messages;
      EXPECT_NE(fr.messages.find(std::string("syntax error before ") + f.before), std::string::npos)
          << d << ": " << f.src << fr.messages;
    }
  RunResult q = run_text("void g(int a[static 3]);\nvoid h(int v[*]);\n", "ansi");
  EXPECT_EQ(q.result.syntax_errors, 2) << q.messages;
  EXPECT_NE(q.messages.find("syntax error before `static'"), std::string::npos) << q.messages;
  EXPECT_NE(q.messages.find("syntax error before `]'"), std::string::npos) << q.messages;
  /* GNU keeps the words it always had */
  expect_clean("__inline__ static int f(__const__ int x) { __typeof__(x) y = x; return __alignof__(y); }\n", "gnu");
}

TEST(StandardDialects, C99AndC11KeywordSets) {
  const char *c99 = R"(
    static inline int add(int *restrict a, const int *restrict b) { return *a + *b; }
    _Bool flag;
    long long big = 1LL;
    unsigned long long ubig = 18446744073709551615ULL;
    double _Complex z;
    float f = 0x1.8p3f;
    void g(int n, int a[static 3], int m[const], int v[*]);
    int vla(int n) { int a[n]; return sizeof a; }
  )";
  expect_clean(c99, "c99");
  expect_clean(c99, "C11");
  expect_clean(c99, "gnu");
  const char *c11 = R"(
    _Static_assert(sizeof(int) == 4, "int");
    struct s { _Alignas(16) int x; _Static_assert(1, "in a struct"); union { int a; float b; }; };
    _Alignas(double) char buf[8];
    _Atomic int counter;
    _Atomic(long) total;
    _Thread_local int tls;
    _Noreturn void die(void);
    int align = _Alignof(struct s);
    int k = _Generic(1.0, int: 1, double: 2, default: 3);
  )";
  expect_clean(c11, "c11");
  expect_clean(c11, "gnu");
  /* C99 has none of them; neither standard dialect has GNU's words */
  EXPECT_GT(errors_of("_Static_assert(1, \"x\");\n", "c99"), 0);
  EXPECT_GT(errors_of("__attribute__((unused)) int x;\n", "c11"), 0);
  expect_clean("int typeof = 1, asm_ = 2;\n", "c99");
}

TEST(Gnu, AttributesAsmAndExtensions) {
  const char *src = R"(
    __extension__ typedef long long i64;
    typedef int v4si __attribute__ ((vector_size (16)));
    extern int printf(const char *, ...) __attribute__((format(printf, 1, 2))) __attribute__((__nothrow__));
    extern int renamed(int) __asm__("" "real_name") __attribute__((__leaf__));
    int __attribute__((aligned(sizeof(long)))) aligned_var __asm("av") = 3;
    struct __attribute__((packed)) pk { char c; int i __attribute__((aligned(4))); } __attribute__((unused));
    static void cleanup(int *p) __attribute__((unused));
    __thread int per_thread;
    __int128 wide; unsigned __int128 uwide; __uint128_t u2;
    _Float128 q; __float128 q2; _Float32 f32; _Float64x f64x;
    __builtin_va_list ap;
    __asm__(".symver old,new@V1");
    int f(int x __attribute__((unused)), ...) {
      int r;
      __asm__ __volatile__("rdtsc" : "=a"(r) : "r"(x), [in] "m"(x) : "memory", "cc");
      asm goto("jmp %l0" : : : : out);
      asm inline("nop");
      __label__ skip;
      __auto_type y = x + 1;
      __typeof__(y) z = __extension__ ({ int t = y; t * 2; });
      switch (x) { case 1 ... 3: r = 1; break; case 'a' ... 'z': __attribute__((fallthrough)); default: r = 0; }
      void *where = &&out;
      goto *where;
    skip:
    out:
      r = x ?: z;
      r += __builtin_offsetof(struct pk, i) + __builtin_types_compatible_p(int, long);
      r += __builtin_va_arg(ap, int) + (int)__real__ (1.0i) + (int)__imag__ (2.0if);
      return r;
    }
    struct flex { int n; int data[]; };
    struct zero { int n; int data[0]; };
    struct empty { };
  )";
  expect_clean(src, "gnu");
  expect_clean(src, "GNU_D950");
}

TEST(Gnu, NumbersAndCharacterPrefixes) {
  expect_clean("double a = 0x1p-3, b = 0xA.8P+2L, c = 1.5f128, d = 2.0q;\n"
               "_Complex double e = 3i, f = 1.0if;\n"
               "int g = L'z';\n", "gnu");
  RunResult r = run_text("double a = 0x1.8;\n", "gnu");
  EXPECT_NE(r.messages.find("invalid floating constant"), std::string::npos) << r.messages;
  r = run_text("double a = 1.5fx;\n", "gnu");
  EXPECT_NE(r.messages.find("nondigits in number"), std::string::npos) << r.messages;
}

TEST(Gnu, AttributeAtEndOfInputIsNoCrash) {
  RunResult r = run_text("int x __attribute__((", "gnu");
  EXPECT_EQ(r.result.status, 0);
  EXPECT_GT(r.errors, 0);
}

TEST(Initializers, CastsToTypedefNamesInsideInitializers) {
  const char *src = "typedef unsigned char u8; typedef long i64;\n"
                    "void f(void *p, int n) { u8 b = *(u8 *)p, c = 2; i64 m = n * (i64)b, T = 1;"
                    " int u8x = (int)(u8)c; (void)m; (void)T; (void)u8x; }\n";
  expect_clean(src, "ansi");
  expect_clean(src, "gnu");
}

}  // namespace
}  // namespace kvx::fe
