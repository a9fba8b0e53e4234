#pragma once
// The host's open images: each with its pixels and its selection.

#include <memory>
#include <string>
#include <vector>

#include "host/HostBitmap.h"
#include "hostabi/HostInterface.h"

struct TDocument {
  std::string Path;
  THostBitmap Bitmap;
  TRect Selection = NoSelection;
};
using TDocuments = std::vector<std::unique_ptr<TDocument>>;

// The selection is cut to the image; what lies wholly outside it selects nothing.
std::unique_ptr<TDocument> OpenDocument(const std::string& path, const TRect& selection = NoSelection);

// The name of the file without its folder, for captions.
std::string DocumentTitle(const TDocument& document);
