#pragma once
#include <memory>
#include <vector>

#include "media/framework/Result.h"
#include "media/framework/Types.h"

// An enumerator over a snapshot of items, for any of the platform's
// enumerator interfaces (Next / Skip / Reset).
template <class Interface, class Item>
class FakeEnum : public Interface {
 public:
  explicit FakeEnum(std::vector<Item> items) : items_(std::move(items)) {}

  media::HRESULT Next(media::ULONG count, std::vector<Item>& out) override {
    media::ULONG given = 0;
    for (; given < count && position_ < items_.size(); ++given) out.push_back(items_[position_++]);
    return given == count ? media::S_OK : media::S_FALSE;
  }
  media::HRESULT Skip(media::ULONG count) override {
    const bool all = position_ + count <= items_.size();
    position_ = all ? position_ + count : items_.size();
    return all ? media::S_OK : media::S_FALSE;
  }
  media::HRESULT Reset() override {
    position_ = 0;
    return media::S_OK;
  }

 private:
  std::vector<Item> items_;
  std::size_t position_ = 0;
};
