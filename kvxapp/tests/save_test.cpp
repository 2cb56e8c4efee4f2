/*
 * save_test.cpp - saving description files: naming of unnamed
 * applications, the file written, and failures that must leave the
 * previous file as it was.
 */
#include "test_util.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace kvxtest;

namespace {

class Save : public KvxTest {};

std::vector<std::string> entries(const std::string &dir) {
  std::vector<std::string> out;
  DIR *d = opendir(dir.c_str());
  while (dirent *e = readdir(d))
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.push_back(e->d_name);
  closedir(d);
  return out;
}

TEST_F(Save, WritesTheDescriptionAndNamesUnnamedApplications) {
  TempDir dir;
  KvxApplication *a = application_new("C");
  application_set_name(a, "unnamed4");
  std::string path = dir.file("my.proj.app");
  EXPECT_EQ(application_save(a, path.c_str()), 1) << msgs.all();
  EXPECT_EQ(take(application_get_name(a)), "my.proj");
  EXPECT_EQ(read_file(path), desc_text(a));
  EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"my.proj.app"})); /* no temporary left */
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u); /* not the private mode of a temporary file */

  application_set_name(a, "kept");
  EXPECT_EQ(application_save(a, dir.file(".hidden").c_str()), 1);
  EXPECT_EQ(take(application_get_name(a)), "kept");
  application_free(a);

  KvxApplication *b = application_new("C");
  EXPECT_EQ(application_save(b, dir.file(".dotted").c_str()), 1);
  EXPECT_EQ(take(application_get_name(b)), ".dotted"); /* a leading dot is no extension */
  application_free(b);
}

TEST_F(Save, SaveExpandsTheNameAndKeepsModeOfOldFile) {
  TempDir dir;
  EnvVar v("KVXT_DIR", dir.path().c_str());
  std::string path = dir.write("x.app", "old");
  chmod(path.c_str(), 0640);
  KvxApplication *a = application_new("C");
  application_set_name(a, "x");
  EXPECT_EQ(application_save(a, "$KVXT_DIR/x.app"), 1);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(read_file(path), desc_text(a));
  application_free(a);
}

TEST_F(Save, FailureToOpenReportsAndReturnsZero) {
  TempDir dir;
  KvxApplication *a = application_new("C");
  EXPECT_EQ(application_save(a, dir.file("no/such/dir/a.app").c_str()), 0);
  EXPECT_TRUE(msgs.contains("a.app: Error:  No such file or directory")) << msgs.all();
  EXPECT_EQ(application_save(a, dir.path().c_str()), 0);
  EXPECT_TRUE(msgs.contains("is a directory.")) << msgs.all();
  EXPECT_EQ(application_save(a, "$KVXT_NOT_SET_ANYWHERE/a.app"), 0);
  EXPECT_EQ(application_save(a, ""), 0);
  EXPECT_EQ(take(application_get_name(a)), "unnamed"); /* nothing saved, not renamed */
  application_free(a);
}

/* A write that fails part-way: the process may write no more than a few
 * bytes to any file (as on a full disc), so the temporary file cannot be
 * completed.  Runs in a child process, whose limits do not touch the
 * tests. */
TEST_F(Save, FailedWriteLeavesThePreviousFileIntact) {
  TempDir dir;
  const std::string previous = "previous description, to be kept\n";
  std::string path = dir.write("keep.app", previous);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {64, 64};
    setrlimit(RLIMIT_FSIZE, &rl);
    report_set_hook(nullptr, nullptr);
    KvxApplication *a = application_new("C");
    application_add_file(a, "/src/a.c");
    int r = application_save(a, path.c_str());
    _exit(r == 0 && report_get_error_count() == 1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "save did not report the failed write";
  EXPECT_EQ(read_file(path), previous);
  EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"keep.app"})); /* temporary removed */
}

TEST_F(Save, SymbolicLinkStaysALink) {
  TempDir dir;
  std::string real = dir.write("real.app", "old");
  std::string link = dir.file("link.app");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  KvxApplication *a = application_new("C");
  application_set_name(a, "l");
  EXPECT_EQ(application_save(a, link.c_str()), 1);
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(read_file(real), desc_text(a));
  application_free(a);
}

}  // namespace
