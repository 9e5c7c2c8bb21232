#pragma once
#include <string>

namespace media {

// Base of objects that copy their state from another of their kind and store
// it as a property of their owner.
class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual std::string ClassName() const = 0;
  // Copies source's state; raises EConvertError "Cannot assign a <source
  // class> to a <own class>" when source is not of a kind this object takes.
  virtual void Assign(const TPersistent& source);

 protected:
  [[noreturn]] void AssignError(const TPersistent& source) const;
};

}  // namespace media
