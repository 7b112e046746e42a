// Encoding the zip records.
#include "zipformat/ZipRecords.h"

namespace {

// The local header's fields after its signature, which a central header
// holds after its version made by.
void WriteLocalHeaderFields(ByteWriter& writer, const ZipLocalHeader& header) {
  writer.U16(header.VersionNeeded).U16(header.GeneralFlags).U16(header.PackMethod).U32(header.ModDateTime);
  WriteLocalHeaderSums(writer, header);
  writer.U16(header.NameLength).U16(header.ExtraLength);
}

}  // namespace

void WriteLocalHeaderSums(ByteWriter& writer, const ZipLocalHeader& header) {
  writer.U32(header.Crc32).U32(header.PackedSize).U32(header.UnpackedSize);
}

void WriteLocalHeader(ByteWriter& writer, const ZipLocalHeader& header) {
  WriteLocalHeaderFields(writer.U32(kLocalHeaderSignature), header);
}

void WriteCentralHeader(ByteWriter& writer, const ZipCentralHeader& header) {
  WriteLocalHeaderFields(writer.U32(kCentralHeaderSignature).U16(header.VersionMadeBy), header);
  writer.U16(header.CommentLength).U16(header.DiskStart).U16(header.InternalAttributes);
  writer.U32(header.ExternalAttributes).U32(header.LocalOffset);
}

void WriteEndRecord(ByteWriter& writer, const ZipEndRecord& end) {
  writer.U32(kEndRecordSignature).U16(end.Disk).U16(end.DirectoryDisk).U16(end.EntriesHere).U16(end.Entries);
  writer.U32(end.DirectorySize).U32(end.DirectoryOffset).U16(end.CommentLength);
}
