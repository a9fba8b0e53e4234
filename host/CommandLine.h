#pragma once
// The host's command line: an image, its selection, a plug-in command to run at start, a
// screenshot to save while that command's window is open, and whether to quit afterwards.

#include <string>
#include <vector>

#include "hostabi/HostInterface.h"

struct THostOptions {
  std::string ImagePath;
  TRect Selection = NoSelection;
  // "Menu/Name" as the plug-in registered them.
  std::string RunCommand;
  std::string ScreenshotPath;
  // Milliseconds from the command's start to the screenshot: by default ample time for the
  // plug-in's dialog to show and paint at its first idle moment; more gives someone, or a
  // script, time to work the command's window first.
  int ShotDelay = 1500;
  bool ExitAfterCommand = false;
};

// The arguments after the program's name; a wrong one raises Exception with the reason.
THostOptions ParseCommandLine(const std::vector<std::string>& args);

// "L,T,R,B": four integers and nothing else.
bool ParseSelection(const std::string& text, TRect& selection);
