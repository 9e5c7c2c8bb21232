#pragma once
#include <string>

namespace media {

// A media component: a plain object owned by its window, named after the
// role it has there ("FilterGraph1", "Filter1"). The name is also the one its
// platform filter gets in a graph.
class TComponent {
 public:
  explicit TComponent(std::string name) : name_(std::move(name)) {}
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

 private:
  std::string name_;
};

}  // namespace media
