#include "upgrader/replacement/refused_upgrade.h"

#include <QFile>
#include <QSaveFile>

#include "common/executable_folder.h"
#include "upgrader/replacer/replacer_files.h"

namespace upgrader {

namespace {

constexpr qint64 kMostRecordBytes = 256;

QString RecordPath() {
    return common::ExecutablePath() + QLatin1StringView(replacer::kRefusedUpgradeSuffix);
}

}  // namespace

std::optional<TauRefusedUpgrade> ReadRefusedUpgrade() {
    QFile record(RecordPath());
    if (!record.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = record.read(kMostRecordBytes).split('\n');
    if (lines.first().trimmed().isEmpty())
        return std::nullopt;
    return TauRefusedUpgrade{lines.first().trimmed(), lines.value(1).trimmed() == "told"};
}

void MarkRefusedUpgradeTold() {
    const std::optional<TauRefusedUpgrade> refused = ReadRefusedUpgrade();
    if (!refused)
        return;
    QSaveFile record(RecordPath());
    if (record.open(QIODevice::WriteOnly) && record.write(refused->Version + "\ntold\n") > 0)
        record.commit();
}

void ClearRefusedUpgrade() {
    QFile::remove(RecordPath());
}

}  // namespace upgrader
