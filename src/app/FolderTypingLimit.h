#pragma once
#include <QPointer>
#include <QValidator>

class QLineEdit;

namespace app {

// Limits what the user can type into a folder field to kTyped characters
// without cutting a longer path that the program puts there (one read from
// the settings file, where a hand edit or another tool may have stored it):
// typing never makes the text longer than kTyped or than the longest text
// the program has put in. Qt's own length limit would cut such a path as it
// is loaded, and OK would then store the cut path.
//
// Owned by the field it is installed on. User-interface thread.
class FolderTypingLimit : public QValidator {
  Q_OBJECT
 public:
  static constexpr int kTyped = 255;

  // Installs itself on the field and lifts the field's own length limit.
  static FolderTypingLimit* Install(QLineEdit* field);

  // Puts a text of any length into the field, whole. A longer text set on
  // the field directly would leave the field's input marked invalid, and Qt
  // then lets the next keystroke through unchecked.
  void SetText(const QString& text);

  State validate(QString& input, int& pos) const override;

 private:
  explicit FolderTypingLimit(QLineEdit* field);

  QPointer<QLineEdit> field_;
  int allowed_ = kTyped;
};

}  // namespace app
