#include "diagnostics/MailValues.h"

#include <gtest/gtest.h>

namespace {

using TPaths = std::vector<std::string>;

TEST(MailValues, NamesMatchWithoutCaseAndTheFirstPairCounts) {
  const TMailValues values = {{"Subject", "first"}, {"SUBJECT", "second"}, {"to", ""}, {"To", "late"}};
  EXPECT_EQ(MailValue(values, "subject"), "first");
  EXPECT_EQ(MailValue(values, "to"), "") << "an empty first pair hides a later one";
  EXPECT_EQ(MailValue(values, "body"), "");
  EXPECT_EQ(MailValue({{"subjecT ", "blank"}}, "subject"), "") << "names are compared whole";
}

TEST(MailValues, AttachmentsAreCountedFromZeroUpToTheFirstGap) {
  EXPECT_EQ(MailAttachments({{"attachment1", "C:\\b"}}), TPaths{}) << "number 0 is missing";
  EXPECT_EQ(MailAttachments({{"attachment0", ""}, {"attachment1", "C:\\b"}}), TPaths{}) << "number 0 is empty";
  EXPECT_EQ(MailAttachments({{"attachment2", "c"}, {"Attachment0", "a"}, {"ATTACHMENT1", "b"}, {"attachment4", "e"}}),
            (TPaths{"a", "b", "c"}));
  EXPECT_EQ(MailAttachments({{"attachment0", "a"}, {"attachment01", "b"}}), TPaths{"a"}) << "no leading zeros";

  TMailValues many;
  for (int i = 11; i >= 0; --i) many.push_back({"attachment" + std::to_string(i), std::to_string(i)});
  EXPECT_EQ(MailAttachments(many).size(), 12u);
  EXPECT_EQ(MailAttachments(many)[10], "10");
}

TEST(MailValues, TheFileNameFollowsTheLastBackslashOrColon) {
  EXPECT_EQ(AttachmentFileName("C:\\reports\\bug.txt"), "bug.txt");
  EXPECT_EQ(AttachmentFileName("D:bug.txt"), "bug.txt");
  EXPECT_EQ(AttachmentFileName("C:\\a:b\\c"), "c");
  EXPECT_EQ(AttachmentFileName("\\\\server\\share:stream"), "stream");
  EXPECT_EQ(AttachmentFileName("bug.txt"), "bug.txt") << "no directory: the whole value";
  EXPECT_EQ(AttachmentFileName("reports/bug.txt"), "reports/bug.txt") << "a slash is no separator here";
  EXPECT_EQ(AttachmentFileName("C:\\reports\\"), "");
}

}  // namespace
