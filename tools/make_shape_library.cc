// Makes the master shape library from small vector drawings, through the program's own
// importer: each drawing becomes one record, named after its file, in the order given.
//
//   kelvaro_make_shape_library OUTPUT.lib DRAWING.ai...

#include <cstdio>
#include <string>

#include "pattern/shape_record.h"
#include "pattern/vector_import.h"
#include "platform/atomic_file.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.lib DRAWING.ai...\n", argv[0]);
    return 2;
  }
  std::string library;
  for (int i = 2; i < argc; ++i) {
    const kelvaro::VectorImportResult imported = kelvaro::ImportVectorShape(argv[i]);
    if (!imported.ok()) {
      std::fprintf(stderr, "%s: %s\n", argv[i],
                   imported.message.empty() ? "not a vector drawing" : imported.message.c_str());
      return 1;
    }
    const std::optional<std::string> record = kelvaro::EncodeShapeRecord(imported.shape);
    if (!record) {
      std::fprintf(stderr, "%s: the shape does not fit a library record\n", argv[i]);
      return 1;
    }
    library += *record;
  }
  const kelvaro::FileWriteResult written = kelvaro::WriteFileAtomically(argv[1], library);
  if (!written.ok) {
    std::fprintf(stderr, "%s: cannot be written (error %d)\n", argv[1], written.error_code);
    return 1;
  }
  return 0;
}
