#include "platform/OwnerWindowHook.h"

namespace platform {

OwnerWindowHook::OwnerWindowHook(QWidget* window, WindowMessageFilter::Procedure procedure)
    : filter_(&WindowMessageFilter::For(window)), id_(filter_->AddProcedure(std::move(procedure))) {}

OwnerWindowHook::~OwnerWindowHook() {
  if (filter_) filter_->RemoveProcedure(id_);
}

}  // namespace platform
