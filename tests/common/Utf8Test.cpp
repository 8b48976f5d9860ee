#include "common/Utf8.h"

#include <gtest/gtest.h>
#include <string>

using velloq::isValidUtf8;
using velloq::trimWhitespace;

TEST(Utf8, AcceptsWellFormedText) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x93\xB7")); // é — 📷
    EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));                          // U+10FFFF
}

TEST(Utf8, RejectsMalformedSequences) {
    EXPECT_FALSE(isValidUtf8("\xC3"));             // truncated
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong three-byte
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // UTF-16 surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\x80"));             // lone continuation
    EXPECT_FALSE(isValidUtf8("\xFF"));
    EXPECT_FALSE(isValidUtf8(std::string("ok\0\xFE", 4)));
}

TEST(Utf8, TrimsAsciiAndUnicodeWhitespaceAtBothEnds) {
    EXPECT_EQ(trimWhitespace("  key \n"), "key");
    EXPECT_EQ(trimWhitespace("\t\r\nkey\r\n"), "key");
    EXPECT_EQ(trimWhitespace("\xC2\xA0key\xE2\x80\xA8"), "key"); // no-break space, line separator
    EXPECT_EQ(trimWhitespace("\xE3\x80\x80key\xE3\x80\x80"), "key"); // ideographic space
    EXPECT_EQ(trimWhitespace("a b"), "a b");                         // inner space stays
    EXPECT_EQ(trimWhitespace(" \n\t "), "");
    EXPECT_EQ(trimWhitespace(""), "");
}

TEST(Utf8, TrimKeepsNonSpaceCharactersThatShareBytesWithSpaces) {
    // U+2029 is a separator, U+202A is not: the last byte alone must not decide.
    EXPECT_EQ(trimWhitespace("k\xE2\x80\xAA"), "k\xE2\x80\xAA");
    EXPECT_EQ(trimWhitespace("\xC3\xA9"), "\xC3\xA9"); // é ends in 0xA9, not a space
}
