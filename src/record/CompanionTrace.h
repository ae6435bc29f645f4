#pragma once

#include "config/IniDocument.h"
#include "record/CompanionFile.h"

namespace vornex {

// Who tested what, with which instruments, and the hash of the closed test file: the companion's
// `[Test]` keys UUID, Bench, Operator, Tool, ToolDescription, Note, Version and SHA256, and one
// `[Instrument_A]` section (Name, Identification) per instrument the bench knows.
void writeTrace(IniDocument& doc, const Companion& companion);
// Entries without a valid slave address are skipped; missing keys read as empty.
void readTrace(const IniDocument::ValueIndex& index, Companion& companion);

}  // namespace vornex
