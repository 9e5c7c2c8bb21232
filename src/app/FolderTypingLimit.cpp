#include "app/FolderTypingLimit.h"

#include <QLineEdit>
#include <algorithm>

namespace app {

FolderTypingLimit::FolderTypingLimit(QLineEdit* field) : QValidator(field), field_(field) {}

FolderTypingLimit* FolderTypingLimit::Install(QLineEdit* field) {
  auto* limit = new FolderTypingLimit(field);
  field->setMaxLength(32767);  // Qt's largest: the limit is ours
  field->setValidator(limit);
  return limit;
}

void FolderTypingLimit::SetText(const QString& text) {
  // The allowance never shrinks, so undoing an edit back to a text the
  // program put in is never refused.
  allowed_ = std::max<int>(allowed_, text.size());
  if (field_) field_->setText(text);
}

QValidator::State FolderTypingLimit::validate(QString& input, int&) const {
  return input.size() > allowed_ ? Invalid : Acceptable;
}

}  // namespace app
