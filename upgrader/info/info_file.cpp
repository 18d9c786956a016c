#include "upgrader/info/info_file.h"

namespace upgrader {

namespace {

// Finds entries in the text with ASCII letters folded to lower case; values
// are taken from the text as written, at the same positions.
class InfoText {
  public:
    explicit InfoText(const QByteArray& text) : text_(text), folded_(text.toLower()) {}

    QByteArray Value(const QByteArray& key, bool braced) const {
        QByteArray pattern = "#" + key.toLower() + "=";
        if (braced)
            pattern += '{';
        const qsizetype found = folded_.indexOf(pattern);
        if (found < 0)
            return {};
        const qsizetype start = found + pattern.size();
        qsizetype end = start;
        while (end < text_.size() && !EndsValue(text_[end], braced))
            ++end;
        return text_.mid(start, end - start);
    }

  private:
    static bool EndsValue(char byte, bool braced) {
        return braced ? byte == '}' : static_cast<unsigned char>(byte) < 0x20;
    }

    const QByteArray& text_;
    QByteArray folded_;
};

}  // namespace

QByteArray GetInfoValue(const QByteArray& Text, const QByteArray& Key, bool Braced) {
    return InfoText(Text).Value(Key, Braced);
}

void BuildFileList(const QByteArray& Text, QList<QByteArray>& List) {
    List.clear();
    const InfoText info(Text);
    for (const char* key : {"url", "url0"})
        if (QByteArray address = info.Value(key, false); !address.isEmpty())
            List.append(address);
    for (qsizetype number = List.size() + 1;; ++number) {
        QByteArray address = info.Value("url" + QByteArray::number(number), false);
        if (address.isEmpty())
            break;
        List.append(address);
    }
}

TacUpgradeMethod ReadUpgradeMethod(const QByteArray& Text) {
    const QByteArray method = GetInfoValue(Text, "method", false);
    if (method.startsWith('1'))
        return umUseExternalSetup;
    if (method.startsWith('2'))
        return umRedirectToURL;
    return umSelfUpgrade;
}

}  // namespace upgrader
