#pragma once

#include <cstdint>

// Tags of the card's items. Tags below TagFirstTopLevel are fields of the current record.
constexpr std::uint8_t TagNumberField = 0x01;
constexpr std::uint8_t TagTimeStamp = 0x03;
constexpr std::uint8_t TagTextField = 0x04;
constexpr std::uint8_t TagTagNumber = 0x10;

constexpr std::uint8_t TagFirstTopLevel = 0x20;
constexpr std::uint8_t TagCard = 0x20;
constexpr std::uint8_t TagApplication = 0x21;
constexpr std::uint8_t TagDevice = 0x22;
constexpr std::uint8_t TagDraft = 0x23;
constexpr std::uint8_t TagOrigin = 0x24;
constexpr std::uint8_t TagReceiver = 0x25;
constexpr std::uint8_t TagLocation = 0x26;
constexpr std::uint8_t TagPrint = 0x27;

constexpr std::uint8_t TagEnd = 0xFF;
