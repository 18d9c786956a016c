#include "upgrader/http/transfer_settings.h"

#include <algorithm>

namespace upgrader {

qint32 TauTransferSettings::BufferSize() const {
    return std::max(TransferBufferSize, kMinTransferBufferSize);
}

QByteArray FormatRangeLine(quint64 Start, quint64 End) {
    return "RANGE: bytes=" + QByteArray::number(Start) + "-" +
           (End != 0 ? QByteArray::number(End) : QByteArray());
}

bool PostsForm(const TauTransferSettings& Settings) {
    return Settings.RequestMethod == rmPost ||
           (Settings.RequestMethod == rmAuto && !Settings.PostData.isEmpty());
}

QByteArray RangeLine(quint64 ResumeOffset, quint64 ResumeEnd, const TauHTTPRange& Range) {
    if (ResumeOffset != 0 || ResumeEnd != 0)
        return FormatRangeLine(ResumeOffset, ResumeEnd);
    if (Range.StartRange != 0 || Range.EndRange != 0)
        return FormatRangeLine(Range.StartRange, Range.EndRange);
    return {};
}

QByteArrayList RequestHeaderLines(const TauTransferSettings& Settings,
                                  const QByteArray& RangeLine) {
    QByteArrayList lines = Settings.RequestHeaders;
    lines += "Accept: " + Settings.AcceptTypes;
    if (Settings.CacheOptions & (coPragmaNoCache | coAlwaysReload)) {
        lines += "Pragma: no-cache";
        lines += "Cache-Control: no-cache";
    }
    if (PostsForm(Settings))
        lines += "Content-Type: application/x-www-form-urlencoded";
    if (!RangeLine.isEmpty())
        lines += RangeLine;
    return lines;
}

}  // namespace upgrader
