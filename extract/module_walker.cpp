#include "extract/module_walker.h"

#include "extract/ne_walk.h"
#include "extract/pe_walk.h"
#include "platform/byte_reader.h"

namespace glyphwell::extract {

using platform::ByteReader;

ModuleHeader FindModuleHeader(std::span<const std::uint8_t> image) {
  ByteReader r(image);
  auto magic = r.u16le(0);
  auto newHeader = r.u32le(0x3C);
  if (!magic || *magic != 0x5A4D || !newHeader || *newHeader > image.size()) return {};
  auto p = r.Slice(*newHeader, 2);
  if (!p) return {};
  if ((*p)[0] == 'P' && (*p)[1] == 'E') {
    auto tail = r.u16le(*newHeader + 2);
    if (tail && *tail == 0) return {ModuleKind::kPe, *newHeader};
    return {};
  }
  if ((*p)[0] == 'N' && (*p)[1] == 'E') return {ModuleKind::kNe, *newHeader};
  return {};
}

int WalkModule(WalkContext& ctx, std::span<const std::uint8_t> image, bool infoOnly, int index,
               imaging::Picture* picture) {
  ctx.file.imageCount = 0;
  ctx.file.facts.valid = true;
  if (ctx.file.typeDirectory != 0) {
    ReadTypeDirectory(ctx, image, infoOnly, index, picture, ctx.file.typeDirectory);
    return static_cast<int>(ctx.file.imageCount);
  }
  ModuleHeader header = FindModuleHeader(image);
  switch (header.kind) {
    case ModuleKind::kPe:
      return WalkPe(ctx, image, header.offset, infoOnly, index, picture);
    case ModuleKind::kNe:
      return WalkNe(ctx, image, header.offset, infoOnly, index, picture);
    case ModuleKind::kNone:
      break;
  }
  ctx.file.facts.valid = false;
  return 0;
}

}  // namespace glyphwell::extract
