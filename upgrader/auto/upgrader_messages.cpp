#include "upgrader/auto/upgrader_messages.h"

#include "upgrader/texts/upgrader_texts.h"

namespace upgrader {

void ShowUpgraderMessage(const QString& Text, QMessageBox::Icon Icon) {
    QMessageBox box(Icon, LoadUpgraderText(0), Text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool AskSkipLostFile(const QString& FileName, int ErrorCode, bool SkipByDefault) {
    QMessageBox question(QMessageBox::Warning,
                         LoadUpgraderText(21) + QStringLiteral(" #") + QString::number(ErrorCode),
                         FormatUpgraderText(28, {FileName}), QMessageBox::Yes | QMessageBox::No);
    question.setTextFormat(Qt::PlainText);  // the file name is the server's
    question.setDefaultButton(SkipByDefault ? QMessageBox::Yes : QMessageBox::No);
    question.setWindowFlag(Qt::WindowStaysOnTopHint);
    return question.exec() == QMessageBox::Yes;
}

}  // namespace upgrader
