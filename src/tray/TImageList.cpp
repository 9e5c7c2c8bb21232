#include "tray/TImageList.h"

namespace tray {

QIcon TImageList::GetIcon(int index) const { return index >= 0 && index < Count() ? icons_[index] : QIcon(); }

}  // namespace tray
