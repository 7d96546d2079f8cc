#pragma once
// Numbers of a PE module's resource tree that every reader of it shares: the
// resource types looked for and the layout of a directory table.

#include <cstddef>
#include <cstdint>

namespace glyphwell::extract {

constexpr std::uint16_t kRtBitmap = 2;
constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;

// Set in a directory entry: a name offset (instead of an ID) or a subtable offset.
constexpr std::uint32_t kHighBit = 0x80000000u;
// A directory table: 16 bytes of head, then 8 bytes per entry.
constexpr std::size_t kTableHead = 16;
constexpr std::size_t kEntryBytes = 8;

}  // namespace glyphwell::extract
