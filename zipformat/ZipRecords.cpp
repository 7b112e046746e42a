// Decoding the zip records. Encoding is in ZipRecordsWriting.cpp: the
// shipped binaries' link takes whole object files, and the unzip library
// writes no records.
#include "zipformat/ZipRecords.h"

// The fields in the order of their struct, which is file order: a braced
// list is read left to right.
ZipLocalHeader ReadLocalHeaderFields(ByteReader& reader) {
  return {reader.U16(), reader.U16(), reader.U16(), reader.U32(), reader.U32(),
          reader.U32(), reader.U32(), reader.U16(), reader.U16()};
}

ZipCentralHeader ReadCentralHeaderFields(ByteReader& reader) {
  ZipCentralHeader header;
  header.VersionMadeBy = reader.U16();
  static_cast<ZipLocalHeader&>(header) = ReadLocalHeaderFields(reader);
  header.CommentLength = reader.U16();
  header.DiskStart = reader.U16();
  header.InternalAttributes = reader.U16();
  header.ExternalAttributes = reader.U32();
  header.LocalOffset = reader.U32();
  return header;
}

ZipEndRecord ReadEndRecordFields(ByteReader& reader) {
  return {reader.U16(), reader.U16(), reader.U16(), reader.U16(), reader.U32(), reader.U32(), reader.U16()};
}

ZipDataDescriptor ReadDataDescriptorFields(ByteReader& reader) {
  return {reader.U32(), reader.U32(), reader.U32()};
}
