#pragma once
// Entry points of the file-format fuzz targets. Each takes the bytes of one
// file, stores them under a private temporary folder and runs the public
// functions of one file family on it. The libFuzzer targets and the replay
// test of stored inputs call the same functions.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dffuzz {

// Pole figures: detection, information and reading for every layout code,
// the fixed-grid reader, the UXD pole figure count and reader, the parser.
void PoleFigure(const uint8_t* data, std::size_t size);
// ODFs: detection under each extension, information and reading for every code.
void ODF(const uint8_t* data, std::size_t size);
// Open_ODF_File_73x37x73 and OpenALLODF for the detected layout.
void ODFFullGrid(const uint8_t* data, std::size_t size);
void InversePoleFigure(const uint8_t* data, std::size_t size);
void GBCD(const uint8_t* data, std::size_t size);
void GrainMap(const uint8_t* data, std::size_t size);

// The entry point of a target by name ("polefigure", "odf", "odf73",
// "ipf", "gbcd", "grainmap"); null for an unknown name.
using Entry = void (*)(const uint8_t*, std::size_t);
Entry EntryByName(const std::string& name);

} // namespace dffuzz
