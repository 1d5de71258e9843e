#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quillet::runtime {

/// A run-time error as the component's error handlers see it: a number, a description and,
/// where a routine reports one, the line number of the failing statement (0 when none).
///
/// Every failure inside Quillet is thrown as an `Error` (platform calls included) and caught
/// at the boundary of the routine that runs "under one error handler". An empty description
/// is legal: the handler then substitutes its own fallback text.
class Error : public std::exception {
 public:
  /// The numbers of the classic run-time errors that Quillet raises itself.
  enum Number : int32_t {
    kInvalidProcedureCall = 5,  ///< "Invalid procedure call or argument"
    kOverflow = 6,              ///< "Overflow"
    kSubscriptOutOfRange = 9,   ///< "Subscript out of range"
    kTypeMismatch = 13,         ///< "Type mismatch"
    kOutOfStringSpace = 14,     ///< "Out of string space": a text longer than allowed
    kInvalidUseOfNull = 94,     ///< "Invalid use of Null"
    kDuplicateKey = 457,  ///< "This key is already associated with an element of this collection"
    kPlatform = 1000,     ///< a failure reported by the GIS platform, with its own text
  };

  Error(int32_t number, std::string description, int32_t line = 0);

  /// An error whose description is empty, so the catching routine uses its fallback text.
  static Error Undescribed();
  /// The classic errors, with their standard descriptions.
  static Error InvalidProcedureCall();
  static Error Overflow();
  static Error SubscriptOutOfRange();
  static Error TypeMismatch();
  static Error OutOfStringSpace();
  static Error InvalidUseOfNull();
  static Error DuplicateKey();
  /// A failure of the GIS platform (a bad where clause, a missing table...).
  static Error Platform(std::string description);

  int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  int32_t Line() const { return line_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
  int32_t line_;
};

}  // namespace quillet::runtime
