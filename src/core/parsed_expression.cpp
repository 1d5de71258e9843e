#include "core/parsed_expression.h"

namespace quillet {

const char* KindName(PartKind kind) {
  switch (kind) {
    case PartKind::kField:
      return "FIELD";
    case PartKind::kLegend:
      return "LEGEND";
    case PartKind::kText:
      break;
  }
  return "TEXT";
}

}  // namespace quillet
