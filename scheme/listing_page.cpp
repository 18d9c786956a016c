#include "scheme/listing_page.h"

#include <QFile>

#include "scheme/listing_texts.h"
#include "scheme/script_escape.h"

namespace scheme {

namespace {

QByteArray ReadTemplate() {
    QFile file(QStringLiteral(":/scheme/listing_template.html"));
    // The template is compiled into the program; failing to open it is a
    // build fault, not a condition of the running program.
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The listing template is missing from the program");
    return file.readAll();
}

void AppendRow(QByteArray& page, const TFileInfo& entry, const TDateText& dateText) {
    page += "<script>addRow(\"";
    page += ScriptEscape(entry.Name);
    page += "\",\"";
    page += ScriptEscape(QString::fromLatin1(LinkTarget(entry.RawName)));
    page += entry.IsFolder ? "\",1,\"" : "\",0,\"";
    page += ScriptEscape(SizeText(entry.Size));
    page += "\",\"";
    page += ScriptEscape(dateText(entry.LastWriteTime));
    page += "\");</script>\r\n";
}

}  // namespace

const QByteArray& ListingTemplate() {
    static const QByteArray listingTemplate = ReadTemplate();
    return listingTemplate;
}

QByteArray ListingPage(const QString& folderPath, const std::vector<TFileInfo>& entries) {
    const TDateText dateText;
    QByteArray page;
    // A row line is about 120 bytes plus the escaped name twice.
    page.reserve(ListingTemplate().size() + 160 * static_cast<qsizetype>(entries.size() + 1));
    page += ListingTemplate();
    page += "<script>start(\"";
    page += ScriptEscape(folderPath);
    page += "\");</script>\r\n";
    for (const TFileInfo& entry : entries)
        AppendRow(page, entry, dateText);
    return page;
}

}  // namespace scheme
