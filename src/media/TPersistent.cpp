#include "media/TPersistent.h"

#include "media/RuntimeErrors.h"

namespace media {

void TPersistent::Assign(const TPersistent& source) { AssignError(source); }

void TPersistent::AssignError(const TPersistent& source) const {
  throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

}  // namespace media
