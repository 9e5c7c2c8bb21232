#pragma once
// The run-time's general errors that media components raise besides
// EDirectShowException.
#include <stdexcept>
#include <string>

namespace media {

// A value that cannot be converted or assigned ("Cannot assign a X to a Y").
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside a list ("List index out of bounds (5)").
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stored data that cannot be read as what it claims to be.
class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A broken precondition of a call ("Invalid Bitmap. (TVMRBitmap.cpp, line 40)").
class EAssertionFailed : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Drawing on a canvas that has nothing to draw on.
class EInvalidOperation : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace media
