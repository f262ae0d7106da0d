// The text form of a decoded shared object that soldump prints and other tools read: one
// line per value, "path<TAB>kind<TAB>text", depth first with the children in key order.
// Windows-free.
#pragma once

#include <ostream>
#include <string>

#include "sharedobject/SolFile.h"
#include "sharedobject/Variant.h"

// The kind's name as the Variant kinds are spelt ("UInt32", "TypedMap", ...).
const char* VariantKindName(Variant::Kind kind);

// Backslash as "\\", line feed, carriage return and tab as "\n", "\r", "\t", every other
// byte below 0x20 as "\x" and two lower-case hex digits; all other bytes unchanged.
std::string EscapeDumpText(const std::string& bytes);

// One line per descendant of `root` (not for `root` itself): the escaped keys joined by "/",
// the kind name and the escaped text conversion, separated by tabs, each line ending in "\n".
// Walks without recursion, so the nesting depth costs no stack.
void DumpVariantTree(const Variant& root, std::ostream& out);

// The whole dump of one reading: "ok" and the entries, or only "rejected".
void DumpSolReading(bool accepted, const SolFile& file, std::ostream& out);
std::string SolReadingText(bool accepted, const SolFile& file);
