#include "upgrader/auto/rollout.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include "common/executable_folder.h"
#include "common/program_file_names.h"
#include "upgrader/info/info_file.h"
#include "upgrader/replacement/refused_upgrade.h"

namespace upgrader {

namespace {

constexpr int kWhole = 10000;
constexpr qsizetype kMostStages = 32;

// "25" or "2.5" per cent, in basis points; -1 when it is neither.
int BasisPoints(const QByteArray& Text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,3})(?:\\.([0-9]{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(Text));
    if (!match.hasMatch())
        return -1;
    const int points =
        match.captured(1).toInt() * 100 + match.captured(2).leftJustified(2, u'0').toInt();
    return points <= kWhole ? points : -1;
}

std::optional<TauRollout::Stage> ReadStage(const QByteArray& Text) {
    const QList<QByteArray> parts = Text.trimmed().split('@');
    bool timeRead = false;
    const qint64 from = parts.value(1).toLongLong(&timeRead);
    QByteArray share = parts.value(0).trimmed();
    if (share.endsWith('%'))
        share.chop(1);
    const int points = BasisPoints(share);
    if (parts.size() != 2 || !timeRead || from < 0 || points < 0)
        return std::nullopt;
    return TauRollout::Stage{from, points};
}

bool IsDottedVersion(const QByteArray& Version) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9}){0,3}$"));
    return form.match(QString::fromLatin1(Version)).hasMatch();
}

QString NumberPath() {
    return common::ExecutablePath() + QLatin1String(common::kRolloutNumberSuffix);
}

}  // namespace

std::optional<TauRollout> ReadRollout(const TauInfoText& Info) {
    const QByteArray schedule = Info.Value("rollout", false).trimmed();
    if (schedule.isEmpty())
        return std::nullopt;
    TauRollout rollout;
    rollout.Halted = Info.Value("rollout_halted", false).trimmed() == "1";
    const QList<QByteArray> stages = schedule.split(',');
    for (const QByteArray& text : stages) {
        const std::optional<TauRollout::Stage> stage = ReadStage(text);
        const bool rises = !stage || rollout.Stages.isEmpty() ||
                           (stage->From > rollout.Stages.last().From &&
                            stage->BasisPoints >= rollout.Stages.last().BasisPoints);
        if (!stage || !rises || stages.size() > kMostStages) {
            qWarning("The info file's rollout \"%s\" is not a schedule: offered to nobody",
                     schedule.left(200).constData());
            return TauRollout{{}, true};
        }
        rollout.Stages.append(*stage);
    }
    return rollout;
}

int RolloutShare(const TauRollout& Rollout, qint64 Now) {
    int share = 0;
    for (const TauRollout::Stage& stage : Rollout.Stages)
        if (stage.From <= Now)
            share = stage.BasisPoints;
    return Rollout.Halted ? 0 : share;
}

bool IsOfferedByRollout(const std::optional<TauRollout>& Rollout, qint64 Now,
                        std::optional<int> ClientNumber) {
    if (!Rollout)
        return true;
    const int share = RolloutShare(*Rollout, Now);
    return share >= kWhole || (ClientNumber && *ClientNumber < share);
}

std::optional<int> RolloutNumber() {
    QFile kept(NumberPath());
    if (kept.open(QIODevice::ReadOnly)) {
        bool read = false;
        const int number = kept.read(16).trimmed().toInt(&read);
        if (read && number >= 0 && number < kRolloutNumbers)
            return number;
        if (kept.size() > 0)
            return std::nullopt;  // not ours to overwrite
    }
    const int drawn = int(QRandomGenerator::system()->bounded(kRolloutNumbers));
    QSaveFile file(NumberPath());
    const QByteArray text = QByteArray::number(drawn) + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return std::nullopt;
    return drawn;
}

QByteArray FleetUserAgent(const QByteArray& Version) {
    QList<QByteArray> items;
    if (const std::optional<int> number = RolloutNumber())
        items.append("group " + QByteArray::number(*number / 100));
    const std::optional<TauRefusedUpgrade> refused = ReadRefusedUpgrade();
    if (refused && IsDottedVersion(refused->Version))
        items.append("refused " + refused->Version);
    const QByteArray agent = "Quorvane/" + (IsDottedVersion(Version) ? Version : "0");
    return items.isEmpty() ? agent : agent + " (" + items.join("; ") + ')';
}

}  // namespace upgrader
