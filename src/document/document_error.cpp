#include "document/document_error.h"

namespace quillet::document {

runtime::Error DocumentError(const std::string& file, const std::string& where,
                             const std::string& what) {
  return runtime::Error(kDocumentError, file + ": " + (where.empty() ? "" : where + ": ") + what);
}

}  // namespace quillet::document
