#pragma once
// Saving a file whole or not at all: the bytes go through a buffered file stream into a new
// file beside the target, which takes the target's name only once everything is written.
// A failure (a folder that is missing or read-only, a full disk, a name that cannot be
// made) raises the stream's error and leaves no half-written file: an earlier file of
// that name stays as it was.

#include <string>
#include <string_view>

void SaveFileReplacing(const std::string& fileName, std::string_view bytes);
