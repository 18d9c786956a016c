#pragma once

#include <QMessageBox>
#include <QString>

namespace upgrader {

// A modal box with the upgrader's caption (text 0), the text, the icon and
// an OK button.
void ShowUpgraderMessage(const QString& Text, QMessageBox::Icon Icon);

// The question after a file of the upgrade failed with an HTTP status: text
// 28 about the file, caption text 21 + " #" + the status ("Error #404"),
// above all windows, Yes and No, the default as SkipByDefault says. True for
// Yes: skip the file.
bool AskSkipLostFile(const QString& FileName, int ErrorCode, bool SkipByDefault);

}  // namespace upgrader
