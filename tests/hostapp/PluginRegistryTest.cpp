#include "host/PluginRegistry.h"

#include <gtest/gtest.h>

// The plug-in of this project lies beside the test program, where the host looks.
TEST(PluginRegistry, ListsTheCommandsOfTheLibrariesBesideIt) {
  TDocuments documents;
  THostServices services(documents);
  TPluginRegistry registry;
  registry.LoadFolder(ProgramFolder(), services);
  const TPluginCommand* command = registry.Find("Plugins/Ostravine");
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->Entry.Description, "Show profile of selection diagonal");
  EXPECT_EQ(command->Entry.Flags, 1);
  EXPECT_NE(command->ProcessImage, nullptr);
  EXPECT_EQ(registry.Find("Plugins/Other"), nullptr);
  EXPECT_EQ(registry.Find("Ostravine"), nullptr);
  // Registration is over: later requests to register go nowhere.
  EXPECT_FALSE(services.OnRegister);
}

TEST(PluginRegistry, PassesOverLibrariesThatAreNoPlugIns) {
  TDocuments documents;
  THostServices services(documents);
  TPluginRegistry registry;
  registry.LoadLibraryFile("kernel32.dll", services);
  registry.LoadLibraryFile(ProgramFolder() + "missing.dll", services);
  EXPECT_TRUE(registry.Commands().empty());
}
