#include "host/CommandLine.h"

#include <gtest/gtest.h>

#include "errors/Exceptions.h"

TEST(CommandLine, ReadsEveryOption) {
  const THostOptions options = ParseCommandLine(
      {"image.bmp", "--select", "10,20,30,-40", "--run", "Plugins/Ostravine", "--screenshot", "shot.bmp", "--exit",
       "--shot-delay", "6000"});
  EXPECT_EQ(options.ImagePath, "image.bmp");
  EXPECT_EQ(options.Selection, (TRect{10, 20, 30, -40}));
  EXPECT_EQ(options.RunCommand, "Plugins/Ostravine");
  EXPECT_EQ(options.ScreenshotPath, "shot.bmp");
  EXPECT_TRUE(options.ExitAfterCommand);
  EXPECT_EQ(options.ShotDelay, 6000);
}

TEST(CommandLine, DefaultsToNothingToDo) {
  const THostOptions options = ParseCommandLine({});
  EXPECT_TRUE(options.ImagePath.empty());
  EXPECT_EQ(options.Selection, NoSelection);
  EXPECT_TRUE(options.RunCommand.empty());
  EXPECT_FALSE(options.ExitAfterCommand);
  // Options may come before the image, and a negative selection is a value, not an option.
  const THostOptions late = ParseCommandLine({"--select", "-1,-1,-1,-1", "late.png"});
  EXPECT_EQ(late.ImagePath, "late.png");
  EXPECT_EQ(late.Selection, NoSelection);
}

TEST(CommandLine, RefusesWrongArguments) {
  EXPECT_THROW(ParseCommandLine({"--run"}), Exception);
  EXPECT_THROW(ParseCommandLine({"--shot", "x"}), Exception);
  EXPECT_THROW(ParseCommandLine({"a.bmp", "b.bmp"}), Exception);
  for (const char* delay : {"-1", "1.5", "", "2s"}) EXPECT_THROW(ParseCommandLine({"--shot-delay", delay}), Exception);
  for (const char* selection : {"1,2,3", "1,2,3,4,5", "1,2,3,x", "1;2;3;4", "1,2,3,4 ", "", "1,,3,4",
                                "99999999999,0,1,1"})
    EXPECT_THROW(ParseCommandLine({"--select", selection}), Exception) << selection;
}

TEST(CommandLine, ErrorsNameTheArgument) {
  try {
    ParseCommandLine({"--select", "1,2"});
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find("\"1,2\""), std::string::npos);
  }
}
