#pragma once

#include "platform/itemtimes.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string>

namespace stampwell::ui {

// What the information balloon tells about an existing item: its three times
// as local date-time texts and the answers for Archive, Read-only, System and
// Hidden. Whatever cannot be read stays empty.
struct ItemDetails {
    QString created, modified, accessed;
    std::array<QString, 4> attributes;
};

// The answers for the four attributes in a word; only their own bits count,
// so a compressed, sparse or placeholder file is decoded as well.
std::array<QString, 4> AttributeAnswers(std::uint32_t word, const QString& yes, const QString& no);

ItemDetails ReadItemDetails(const std::string& path, platform::ItemType type, const QString& yes,
                            const QString& no);

} // namespace stampwell::ui
