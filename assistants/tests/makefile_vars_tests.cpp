/* The variables a makefile defines, as the import assistant offers them. */
#include <gtest/gtest.h>

#include "capture_support.h"
#include "makefile_vars.h"

namespace {

const std::vector<MakVar> kProfile = {{"CC", "gcc", MakVar::eCompile}, {"MAKE", "make", MakVar::eMake}};

std::vector<MakVar> Read(const std::string &text) { return ReadMakefileVariables(text, kProfile, "gmake"); }

}  // namespace

TEST(MakefileVariables, AssignmentsAsMakeReadsThem) {
  std::vector<MakVar> vars = Read(
      "# the compiler\n"
      "CC = cc   # a comment\n"
      "CFLAGS := -O2 \\\n    -Wall\n"
      "LDFLAGS ?= -s\n"
      "export PREFIX ::= /usr/local\n"
      "override LIBS = -lm\n"
      "CFLAGS += -DX\\#1\n"
      "VERSION != git describe\n"
      "all: prog\n"
      "\tCC=other ./configure\n"
      "prog.o: CFLAGS = -g\n"
      "define RECIPE\nCC = inside\nendef\n"
      "CC = gcc\n"
      "LDFLAGS ?= -g\n");
  std::vector<MakVar> expected = {{"CC", "gcc", MakVar::eCompile},
                                  {"CFLAGS", "-O2 -Wall -DX#1", kOtherVariable},
                                  {"LDFLAGS", "-s", kOtherVariable},
                                  {"PREFIX", "/usr/local", kOtherVariable},
                                  {"LIBS", "-lm", kOtherVariable}};
  EXPECT_EQ(vars, expected);
}

TEST(MakefileVariables, MakeItselfWhenTheMakefileCallsIt) {
  EXPECT_EQ(Read("SUBDIRS = lib\nall:\n\t$(MAKE) -C lib\n"),
            (std::vector<MakVar>{{"SUBDIRS", "lib", kOtherVariable}, {"MAKE", "gmake", MakVar::eMake}}));
  EXPECT_EQ(Read("MAKE = make -s\nall:\n\t${MAKE} -C lib\n"),
            (std::vector<MakVar>{{"MAKE", "make -s", MakVar::eMake}}));
  EXPECT_TRUE(Read("all:\n\techo no make here\n").empty());
}

TEST(MakefileVariables, MissingFileGivesNoVariables) {
  EXPECT_TRUE(ReadMakefileVariablesFrom(CPathName("/nonexistent/Makefile"), kProfile, "make").empty());
}

TEST(MakefileVariables, OnlyCompileAndMakeVariablesAreKeptByTheProfile) {
  std::vector<MakVar> vars = {{"CC", "cc", 0}, {"CFLAGS", "-O", 2}, {"MAKE", "make", 1}};
  EXPECT_EQ(ProfileVariablesOf(vars), (std::vector<MakVar>{{"CC", "cc", 0}, {"MAKE", "make", 1}}));
}
