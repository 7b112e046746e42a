#include "quillbox/WindowText.h"

std::string QuillboxWindowText(const std::optional<OpenedDocument>& document) {
  std::string text =
      "TAV Quillbox, version 2.1.1\r\n"
      "A stand-in for the card-file application: it shows what it was started with.\r\n\r\n";
  if (!document) return text + "Started without a document.";
  return text + "Document: " + document->path + "\r\n" +
         (document->exists ? "The document exists." : "The document does not exist.");
}
