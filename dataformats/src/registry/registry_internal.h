#pragma once
// Inside the layout registry: the functions behind an entry, the loaded text
// of a probe, and the per-family tables the registry is assembled from.
#include <string>
#include <vector>

#include "common/text_stream.h"
#include "dataformats/file_layouts.h"

namespace dataformats {

struct FileProbe::State {
    std::string path;
    TextStream text;
    bool tried = false, ok = false;
    // The file's text, loaded on first use; null when it cannot be loaded.
    TextStream* Text();
};

// Every hook gets its own entry, so one set of functions can serve the
// layouts of a family that differ only in their code.
struct FileLayoutHooks {
    bool (*detect)(const FileLayout& layout, FileProbe& probe);
    Expected<int> (*count)(const FileLayout& layout, const std::string& path);
    // `start` is the record the reader fills: fields the layout does not
    // carry keep their values (the exported calls pass the caller's record).
    Expected<FileDescription> (*describe)(const FileLayout& layout, const std::string& path,
                                          int index, const FileDescription& start);
    Expected<FileData> (*read)(const FileLayout& layout, const std::string& path, int index,
                               const FileDescription& start);
    // Null for a layout the library does not write.
    Expected<Done> (*write)(const FileLayout& layout, const std::string& path,
                            const FileData& data);
};

// The entries of each family, in the order of the family's exported detection.
std::vector<FileLayout> PoleFigureLayouts();
std::vector<FileLayout> OdfLayouts();
std::vector<FileLayout> InversePoleFigureLayouts();
std::vector<FileLayout> GbcdLayouts();

// The layout the family's exported detection reports (Get_PF_File_Type,
// GetODFFileType, ...): only layouts with a code, in that call's order.
const FileLayout* DetectReportedLayout(FileProbe& probe, FileFamily family);
// The code of that layout, -1 when none: the result of Get_PF_File_Type,
// GetODFFileType, Get_IPF_File_Type and Get_GBCD_File_Type.
int ReportedLayoutCode(const std::string& path, FileFamily family);

// The exported Get_*_File_Info calls: describes the file with the layout,
// starting from the caller's record (fields the layout does not carry keep
// their values), and stores the family's record `field` of the description
// in *info. 1 when it reads; 0 (the record untouched) otherwise.
template <class Record>
int DescribeInto(const FileLayout* layout, const char* fileName, Record FileDescription::*field,
                 Record* info) {
    if (fileName == nullptr || info == nullptr || layout == nullptr)
        return 0;
    FileDescription start;
    start.*field = *info;
    Expected<FileDescription> d = layout->hooks->describe(*layout, fileName, 0, start);
    if (!d)
        return 0;
    *info = std::move((*d).*field);
    return 1;
}

// Reads pole figure `index` of a file; `described` (optional) receives the
// description as soon as it reads, even when the values then fail, as the
// exported Open_PF_File leaves it in the caller's record.
Expected<FileData> ReadPoleFigureFile(const FileLayout& layout, const std::string& path, int index,
                                      PFFileInfo* described);

// ODF detection depends on the name as well as the content: the layouts to
// try, in order, for a file of this name.
std::vector<const FileLayout*> OdfDetectionOrder(const std::string& path);

// Common failures.
FileError CannotOpen();
FileError NoSuchFigure(int index, int count);
// The stream's note of where reading stopped, or `fallback` without a place.
FileError StreamFailure(const TextStream& text, std::string fallback);
// The stream's note, or `what` at the line where the stream stopped.
FileError StoppedAt(const TextStream& text, std::string what);
// Count hook of layouts that hold one figure.
Expected<int> CountOne(const FileLayout& layout, const std::string& path);

} // namespace dataformats
