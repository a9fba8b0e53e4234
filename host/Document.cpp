#include "host/Document.h"

#include "host/ImageFile.h"
#include "host/Selection.h"

std::unique_ptr<TDocument> OpenDocument(const std::string& path, const TRect& selection) {
  auto document = std::make_unique<TDocument>();
  document->Path = path;
  document->Bitmap = LoadImageFile(path);
  document->Selection = ClampSelection(selection, document->Bitmap.Width(), document->Bitmap.Height());
  return document;
}

std::string DocumentTitle(const TDocument& document) {
  return document.Path.substr(document.Path.find_last_of("\\/") + 1);
}
