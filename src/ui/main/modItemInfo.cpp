#include "ui/main/modItemInfo.h"

#include "platform/attributes.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "ui/main/qtext.h"

namespace stampwell::ui {

namespace {

QString TimeText(const platform::FileTime& time) {
    return FromStd(support::FormatDateTimeText(platform::ToLocal(time)));
}

} // namespace

std::array<QString, 4> AttributeAnswers(std::uint32_t word, const QString& yes, const QString& no) {
    const std::array<std::uint32_t, 4> bits{platform::kAttrArchive, platform::kAttrReadOnly,
                                            platform::kAttrSystem, platform::kAttrHidden};
    std::array<QString, 4> answers;
    for (std::size_t i = 0; i < bits.size(); ++i) {
        answers[i] = (word & bits[i]) != 0 ? yes : no;
    }
    return answers;
}

ItemDetails ReadItemDetails(const std::string& path, platform::ItemType type, const QString& yes,
                            const QString& no) {
    ItemDetails details;
    platform::ItemTimes times;
    if (!platform::ReadItemTimes(path, type, times).Failed()) {
        details.created = times.created ? TimeText(*times.created) : QString();
        details.modified = TimeText(times.modified);
        details.accessed = TimeText(times.accessed);
    }
    std::uint32_t word = 0;
    if (!platform::ReadAttributes(path, word).Failed()) {
        details.attributes = AttributeAnswers(word, yes, no);
    }
    return details;
}

} // namespace stampwell::ui
