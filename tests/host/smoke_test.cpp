#include "framework/fileio.h"
#include <gtest/gtest.h>
#include <cstdio>
TEST(FileIo, ReplaceThenRead) {
    std::string p = ::testing::TempDir() + "lex_fileio.txt";
    ASSERT_TRUE(lex::ReplaceFileContents(p, "abc"));
    std::string s; ASSERT_TRUE(lex::ReadWholeFile(p, s)); EXPECT_EQ(s, "abc");
    std::remove(p.c_str());
}
