// The one table of sentences: what a person reads for the faults people meet most, word for
// word, and a whole sentence for every code.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "qav_sentences.h"

namespace {

TEST(QavSentences, ReadAsTheFilesOwnTerms) {
  struct Case {
    QavStatus status;
    const char* sentence;
  };
  const Case cases[] = {
      {QavStatus(QavCode::NotQav), "The file is not a QAV file: it does not start with \"QAV\"."},
      {QavStatus(QavCode::Truncated, "4 bytes, inside the 10-byte header"),
       "The file is cut short: it ends after 4 bytes, inside the 10-byte header."},
      {QavStatus(QavCode::NewerVersion, "0x32"),
       "The file was written by a newer version (0x32); this viewer reads versions up to 0x31."},
      {QavStatus(QavCode::CannotOpen, "No such file or directory"),
       "The file cannot be opened: no such file or directory."},
      {QavStatus(QavCode::NotRegularFile, "named pipe"),
       "It is not a regular file but a named pipe."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(QavSentence(c.status), c.sentence);
}

TEST(QavSentences, EveryFaultIsOneWholeSentence) {
  // OutOfMemory is the last code.
  for (int code = int(QavCode::Ok) + 1; code <= int(QavCode::OutOfMemory); ++code) {
    const std::string sentence = QavSentence(QavStatus(QavCode(code), "x"));
    SCOPED_TRACE(sentence);
    ASSERT_FALSE(sentence.empty());
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(sentence.front())));
    EXPECT_EQ(sentence.back(), '.');
    EXPECT_EQ(sentence.find("{}"), std::string::npos);
  }
  EXPECT_EQ(QavSentence(QavStatus::Ok()), "");
}

}  // namespace
