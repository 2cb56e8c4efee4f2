/*
 * options_test.cpp - checker option slots: typed access, defaults found by
 * the file search, per-file options and the checker command-line text.
 */
#include "test_util.h"

using namespace kvxtest;

namespace {

class Options : public KvxTest {
 protected:
  void SetUp() override {
    KvxTest::SetUp();
    ASSERT_EQ(lang_load_file(source_util(".kavexo.lang").c_str()), 1) << msgs.all();
  }
};

TEST_F(Options, TranslationOfTheSlots) {
  KvxApplication *a = application_new("C");
  EXPECT_STREQ(application_get_dialect(a), "GNU");
  EXPECT_STREQ(application_translate_kvx_options(a), "");
  application_set_ignore(a, "my.ign");
  application_set_macro_file(a, "my.mac");
  application_set_expand_macro(a, 0);
  application_set_request_file(a, "req"); /* C has 4 keys: slot 4 unused */
  application_set_header(a, 1);
  EXPECT_STREQ(application_translate_kvx_options(a), "-ign my.ign -mac my.mac -mode=noexp ");
  EXPECT_EQ(application_get_expand_macro(a), 0);
  application_set_expand_macro(a, 1);
  EXPECT_EQ(application_get_expand_macro(a), 1);
  EXPECT_STREQ(application_get_dial_option(a), "-dial gnu");

  char *buf = nullptr;
  size_t size = 0;
  FILE *f = open_memstream(&buf, &size);
  application_write_kvx_options(f, a);
  fclose(f);
  EXPECT_STREQ(buf, "-ign my.ign -mac my.mac  -dial gnu ");
  free(buf);

  application_set_language(a, "C++"); /* unknown to the table: same dialects */
  application_set_request_file(a, "req");
  EXPECT_STREQ(application_translate_kvx_options(a), "-ign my.ign -mac my.mac -request req -header ");
  application_free(a);
}

TEST_F(Options, DialectSlotSelectsCommandAndUnknownDialectHasNone) {
  KvxApplication *a = application_new("C");
  application_set_dialect(a, "k&r 78");
  EXPECT_STREQ(application_get_dial_option(a), "-dial kr78");
  application_set_dialect(a, "msc0900"); /* the short form names it too */
  EXPECT_STREQ(application_get_dial_option(a), "-dial msc0900");
  application_set_dialect(a, "Nonesuch");
  EXPECT_STREQ(application_get_dial_option(a), "");
  EXPECT_STREQ(application_get_ignore(a), "");
  application_free(a);
}

TEST_F(Options, DefaultIgnoreAndMacroFilesAreSearched) {
  TempDir home;
  home.write(".kvx_cc_gnu.ign", "");
  EnvVar h("HOME", home.path().c_str());
  EnvVar i("KVX_CC_IGN", nullptr);
  std::string mac = home.write("chosen.mac", "");
  EnvVar m("KVX_CC_MAC", mac.c_str());
  KvxApplication *a = application_new("C");
  EXPECT_EQ(std::string(application_get_ignore(a)), home.path() + "/.kvx_cc_gnu.ign");
  EXPECT_EQ(std::string(application_get_macro_file(a)), mac);
  application_set_ignore(a, "own.ign");
  EXPECT_STREQ(application_get_ignore(a), "own.ign");
  application_free(a);
}

TEST_F(Options, FileOptionsFollowTheApplicationUntilTheirOwnAreUsed) {
  KvxApplication *a = application_new("C");
  KvxSource *s = application_add_file(a, "/s/a.c");
  application_set_macro_file(a, "app.mac");
  source_set_macro_file(s, "file.mac");
  source_set_dialect(s, "ANSI C");
  EXPECT_STREQ(source_get_macro_file(s), "app.mac");
  EXPECT_STREQ(source_get_dial_option(s), "-dial gnu");
  source_set_use_default_kvx_options(s, 0);
  EXPECT_STREQ(source_get_macro_file(s), "file.mac");
  EXPECT_STREQ(source_get_dial_option(s), "-dial ansi");
  source_add_kvx_option(s, "-mode=noexp", "no");
  EXPECT_EQ(source_get_expand_macro(s), 0);
  source_add_kvx_option(s, "-colour", "blue"); /* not a key: slot after the last */
  EXPECT_STREQ(source_get_kvx_options(s, 4), "blue");
  EXPECT_EQ(source_get_header(s), 0);
  EXPECT_STREQ(source_get_request_file(s), "blue");
  application_free(a);
}

TEST_F(Options, KeyTable) {
  KvxApplication *a = application_new("C");
  EXPECT_EQ(kvx_option_key_count(), 4);
  EXPECT_STREQ(kvx_option_key(0), "-dial");
  EXPECT_STREQ(kvx_option_key(3), "-mac");
  EXPECT_EQ(kvx_option_key(4), nullptr);
  EXPECT_EQ(kvx_option_slot("-header"), 5);
  EXPECT_EQ(kvx_option_slot("-nope"), -1);
  application_free(a);
}

}  // namespace
