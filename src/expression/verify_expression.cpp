#include "expression/verify_expression.h"

#include "labeler/error_handler.h"

namespace quillet {

// Verification against a layer is not built yet: every call takes the error path, so no
// label run can start on an unchecked expression.
bool VerifyExpression(QuilletState& state, const std::shared_ptr<gis::Layer>&, std::string&, bool,
                      bool) {
  const bool verified = UnderErrorHandler(state, "Unknown Error in VerifyExpression!",
                                          []() -> bool { throw runtime::Error::Undescribed(); });
  if (!verified) ShowFailureBox(state);
  return verified;
}

}  // namespace quillet
