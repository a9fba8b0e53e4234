#pragma once
// The description of a mail as the mail hand-off reads it, apart from the platform.

#include <string>
#include <utility>
#include <vector>

// The mail as (name, value) pairs, names compared without regard to ASCII case; of equal
// names the first pair counts. Names read: "to" (one recipient address), "subject",
// "body", and "attachment0", "attachment1", ... (full paths). An empty value counts as
// absent.
using TMailValues = std::vector<std::pair<std::string, std::string>>;

// The value of the first pair with this name, or an empty text.
std::string MailValue(const TMailValues& values, const std::string& name);

// The paths of "attachment0", "attachment1", ... (decimal, no leading zeros) up to the
// first number that is missing or empty.
std::vector<std::string> MailAttachments(const TMailValues& values);

// The text after the last "\" or ":"; a path without either is its own file name.
std::string AttachmentFileName(const std::string& path);
