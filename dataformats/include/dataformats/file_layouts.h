#pragma once
// The file-layout registry: every layout the library reads is one entry that
// knows its family, the layout code the exported calls use for it, its name
// and extensions, and how to detect, count, describe, read and (where it can
// be written) write a file. The exported Get_*_File_Type / Open_* calls, the
// command-line tools and the figure renderer all take their answers from it,
// and a failed read says what failed and where.
//
// Grids are orimath owning grids: pole figures and inverse pole figures
// [alpha][beta] (tilt rows from the centre, azimuth columns 0..360 inclusive),
// ODFs [phi2][Phi][phi1] over the region the file holds, in degrees from 0 in
// steps of the resolution.
#include <memory>
#include <string>
#include <vector>

#include "dataformats/export.h"
#include "dataformats/file_error.h"
#include "dataformats/gbcd.h"
#include "dataformats/inversepf.h"
#include "dataformats/odf.h"
#include "dataformats/polefigure.h"
#include "orimath/grid.h"

namespace dataformats {

enum class FileFamily { PoleFigure, ODF, InversePoleFigure, GBCD };

// "pole figure", "ODF", "inverse pole figure", "GBCD".
DATAFORMATS_EXPORT const char* FamilyName(FileFamily family);

// The description record of a file; only the record of the file's family is
// filled.
struct DATAFORMATS_EXPORT FileDescription {
    FileFamily family = FileFamily::PoleFigure;
    PFFileInfo pf;
    RawHODFInfo odf{};
    IPFFileInfo ipf;
    GBCDFileInfo gbcd;
};

// What a read gives: the description and the data of the family (grid2 for
// pole figures and inverse pole figures, grid3 for ODFs, the two
// distributions for a GBCD: angle has kGBCDAngleCount entries, csl
// kCSLClassCount, all 0 when the file has no CSL table).
//
// measured (pole figures only): which cells of grid2 the file says were
// measured (1) or not (0), for layouts that know their measured range (the
// tilt limit of a four-line-ring header, the rings and azimuths of a UXD
// range file, the rings and tilt range of a starred-keyword file, rings a
// file does not hold). Empty when every cell counts as measured. It is an
// input of the calculation only: no layout writes it.
struct DATAFORMATS_EXPORT FileData {
    FileDescription description;
    orimath::Grid2<double> grid2;
    orimath::Grid2<uint8_t> measured;
    orimath::Grid3<double> grid3;
    std::vector<double> angle, csl;
};

// A file opened for detection: its text is loaded once, on first use, and
// shared by every detector that looks at it.
class DATAFORMATS_EXPORT FileProbe {
  public:
    explicit FileProbe(std::string path);
    ~FileProbe();
    FileProbe(const FileProbe&) = delete;
    FileProbe& operator=(const FileProbe&) = delete;

    const std::string& Path() const { return path_; }

    struct State; // the loaded text, used by the detectors inside the library
    State& GetState() { return *state_; }

  private:
    std::string path_;
    std::unique_ptr<State> state_;
};

struct FileLayoutHooks; // the functions behind an entry, inside the library

class DATAFORMATS_EXPORT FileLayout {
  public:
    FileFamily family;
    // Layout code of the family's exported calls (Get_PF_File_Type,
    // GetODFFileType, ...); -1 for a layout those calls do not report
    // (the TTO text ODF, which the registry knows by its title line, and
    // ODFs exported as text lists by other tools, known by their rows).
    int code;
    const char* key;  // short stable name: "hpf", "hodf1", "tto", ...
    const char* name; // human-readable name
    // Extensions (upper case, no dot) of files written in this layout, which
    // decide the family when several families' detectors accept a file.
    std::vector<std::string> ownExtensions;
    // Further extensions such files are often given; only for file dialogs.
    std::vector<std::string> otherExtensions;
    const FileLayoutHooks* hooks;

    // Whether the file is of this layout (the content test; UXD also looks
    // at the extension).
    bool Detect(FileProbe& probe) const;
    // How many figures the file holds (1 for single-figure layouts).
    Expected<int> Count(const std::string& path) const;
    // The description of figure `index` (0-based) without the data.
    Expected<FileDescription> Describe(const std::string& path, int index = 0) const;
    // Description and data of figure `index`.
    Expected<FileData> Read(const std::string& path, int index = 0) const;
    bool CanWrite() const;
    // Writes data in this layout (replacing the file only when complete).
    Expected<Done> Write(const std::string& path, const FileData& data) const;
};

// Every layout, families in the order pole figure, ODF, inverse pole figure,
// GBCD.
DATAFORMATS_EXPORT const std::vector<FileLayout>& FileLayouts();
// The entry of a family's layout code, or by key; null when there is none.
DATAFORMATS_EXPORT const FileLayout* FindLayout(FileFamily family, int code);
DATAFORMATS_EXPORT const FileLayout* FindLayout(const std::string& key);

// The first writable layout of the family whose own extension the path has
// (for ".HODF" the first generation); null when none.
DATAFORMATS_EXPORT const FileLayout* FindWriter(FileFamily family, const std::string& path);

// The layout of a file within one family, tried in the order the family's
// exported detection uses (so the answer's code is what Get_PF_File_Type,
// GetODFFileType, ... return when they find one), then layouts those calls
// do not report. A file no content test takes but whose extension is a
// layout's own is taken as that layout when its description reads (a TODF
// of no pole figures, a TPF cut short), so that reading it says what is
// wrong. Null when none matches.
DATAFORMATS_EXPORT const FileLayout* DetectLayout(FileProbe& probe, FileFamily family);

// The layout of a file of any family. When content detectors of several
// families accept the file, the family whose own extension the file has
// wins; otherwise the more specific detectors win over the loose ones:
// inverse pole figure, ODF, GBCD, pole figure, and the cubic 19 x 19 x 19
// ODF text last. When no content detector accepts it, the extension rule
// above applies. The error says that no layout matched, or that the file
// cannot be opened.
DATAFORMATS_EXPORT Expected<const FileLayout*> DetectLayout(const std::string& path);

// Detects and reads figure `index` of a file of any family.
DATAFORMATS_EXPORT Expected<FileData> ReadAnyFile(const std::string& path, int index = 0);

// The ODF of `data` (a read of any ODF layout) on the full 5 degree grid
// full[phi2][Phi][phi1]: the file's region unfolded through the symmetry of
// its crystal system (and four-fold sample symmetry when it has it); grids
// of another resolution are sampled by the largest value around each 5
// degree point, as Open_ODF_File_73x37x73 does.
DATAFORMATS_EXPORT Expected<Done> UnfoldToFiveDegrees(const FileData& data,
                                                      double full[73][37][73]);

// File dialog filters of a family, as plain strings: first all the family's
// extensions ("Pole figure files (*.TPF *.HPF ...)"), then one filter per
// layout ("HPF (high-resolution text pole figure) (*.HPF)"), then
// "All files (*)".
DATAFORMATS_EXPORT std::vector<std::string> FileDialogFilters(FileFamily family);

} // namespace dataformats
