#include "upgrader/http/http_settings.h"

namespace upgrader {

void TauOutputFileAttributes::SetComplete(TauFileAttributes Value) {
    if (Value == complete_)
        return;
    complete_ = Value;
    if (OnChange)
        OnChange();
}

void TauOutputFileAttributes::SetIncomplete(TauFileAttributes Value) {
    if (Value == incomplete_)
        return;
    incomplete_ = Value;
    if (OnChange)
        OnChange();
}

void TauOutputFileAttributes::Assign(const TauOutputFileAttributes* Source) {
    const TauOutputFileAttributes defaults;
    const TauOutputFileAttributes& from = Source != nullptr ? *Source : defaults;
    complete_ = from.complete_;
    incomplete_ = from.incomplete_;
    if (OnChange)
        OnChange();
}

}  // namespace upgrader
