// The registry as a whole: the entries of the four families, detection
// within a family and across families, reading any file, dialog filters.
#include <algorithm>
#include <cctype>

#include "common/text_util.h"
#include "registry_internal.h"

namespace dataformats {

TextStream* FileProbe::State::Text() {
    if (!tried) {
        tried = true;
        ok = text.Open(path.c_str());
    }
    return ok ? &text : nullptr;
}

FileProbe::FileProbe(std::string path) : path_(std::move(path)), state_(std::make_unique<State>()) {
    state_->path = path_;
}

FileProbe::~FileProbe() = default;

FileError CannotOpen() {
    return FileError{"", "cannot open the file"};
}

FileError NoSuchFigure(int index, int count) {
    return FileError{"", "figure " + std::to_string(index + 1) + " asked for; the file holds " +
                             std::to_string(count)};
}

FileError StreamFailure(const TextStream& text, std::string fallback) {
    if (const FileError* note = text.Failure())
        return *note;
    return FileError{"", std::move(fallback)};
}

FileError StoppedAt(const TextStream& text, std::string what) {
    if (const FileError* note = text.Failure())
        return *note;
    return FileError{text.Where(), std::move(what)};
}

Expected<int> CountOne(const FileLayout& layout, const std::string& path) {
    Expected<FileDescription> d = layout.Describe(path);
    if (!d)
        return d.error();
    return 1;
}

bool FileLayout::Detect(FileProbe& probe) const {
    return hooks->detect(*this, probe);
}

Expected<int> FileLayout::Count(const std::string& path) const {
    return hooks->count(*this, path);
}

Expected<FileDescription> FileLayout::Describe(const std::string& path, int index) const {
    return hooks->describe(*this, path, index, FileDescription{});
}

Expected<FileData> FileLayout::Read(const std::string& path, int index) const {
    return hooks->read(*this, path, index, FileDescription{});
}

bool FileLayout::CanWrite() const {
    return hooks->write != nullptr;
}

Expected<Done> FileLayout::Write(const std::string& path, const FileData& data) const {
    if (!CanWrite())
        return FileError{"", std::string("files of the layout ") + name + " are not written"};
    if (data.description.family != family)
        return FileError{"", std::string("a ") + FamilyName(data.description.family) +
                                 " cannot be written as " + FamilyName(family)};
    return hooks->write(*this, path, data);
}

const char* FamilyName(FileFamily family) {
    switch (family) {
    case FileFamily::PoleFigure:
        return "pole figure";
    case FileFamily::ODF:
        return "ODF";
    case FileFamily::InversePoleFigure:
        return "inverse pole figure";
    case FileFamily::GBCD:
        return "GBCD";
    }
    return "unknown";
}

const std::vector<FileLayout>& FileLayouts() {
    static const std::vector<FileLayout> all = [] {
        std::vector<FileLayout> v;
        for (auto part :
             {PoleFigureLayouts(), OdfLayouts(), InversePoleFigureLayouts(), GbcdLayouts()})
            v.insert(v.end(), part.begin(), part.end());
        return v;
    }();
    return all;
}

const FileLayout* FindLayout(FileFamily family, int code) {
    for (const FileLayout& l : FileLayouts())
        if (l.family == family && l.code == code)
            return &l;
    return nullptr;
}

const FileLayout* FindLayout(const std::string& key) {
    for (const FileLayout& l : FileLayouts())
        if (key == l.key)
            return &l;
    return nullptr;
}

namespace {

// The layouts the family's exported detection reports, in its order.
std::vector<const FileLayout*> ReportedOrder(const std::string& path, FileFamily family) {
    if (family == FileFamily::ODF)
        return OdfDetectionOrder(path);
    std::vector<const FileLayout*> order;
    for (const FileLayout& l : FileLayouts())
        if (l.family == family && l.code >= 0)
            order.push_back(&l);
    return order;
}

std::string UpperExtension(const std::string& path) {
    std::string ext(FileExtension(path));
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

bool IsOwnExtension(FileFamily family, const std::string& ext) {
    if (ext.empty())
        return false;
    for (const FileLayout& l : FileLayouts())
        if (l.family == family &&
            std::find(l.ownExtensions.begin(), l.ownExtensions.end(), ext) != l.ownExtensions.end())
            return true;
    return false;
}

} // namespace

const FileLayout* FindWriter(FileFamily family, const std::string& path) {
    const std::string ext = UpperExtension(path);
    for (const FileLayout& l : FileLayouts())
        if (l.family == family && l.CanWrite() &&
            std::find(l.ownExtensions.begin(), l.ownExtensions.end(), ext) != l.ownExtensions.end())
            return &l;
    return nullptr;
}

const FileLayout* DetectReportedLayout(FileProbe& probe, FileFamily family) {
    for (const FileLayout* l : ReportedOrder(probe.Path(), family))
        if (l->Detect(probe))
            return l;
    return nullptr;
}

int ReportedLayoutCode(const std::string& path, FileFamily family) {
    FileProbe probe(path);
    const FileLayout* layout = DetectReportedLayout(probe, family);
    return layout ? layout->code : -1;
}

namespace {

// The content tests: the family's reported layouts, then the layouts its
// exported detection does not report.
const FileLayout* DetectByContent(FileProbe& probe, FileFamily family) {
    if (const FileLayout* l = DetectReportedLayout(probe, family))
        return l;
    for (const FileLayout& l : FileLayouts())
        if (l.family == family && l.code < 0 && l.Detect(probe))
            return &l;
    return nullptr;
}

// A file that no content test takes but that has the own extension of a
// layout whose description reads (a TODF of no pole figures, a TPF cut
// short) is taken as that layout, as the fixed-grid readers that choose by
// extension do; its read then says what is wrong with it.
const FileLayout* DetectByExtension(FileProbe& probe, FileFamily family) {
    const std::string ext = UpperExtension(probe.Path());
    for (const FileLayout& l : FileLayouts())
        if (l.family == family &&
            std::find(l.ownExtensions.begin(), l.ownExtensions.end(), ext) !=
                l.ownExtensions.end() &&
            l.Describe(probe.Path()))
            return &l;
    return nullptr;
}

constexpr FileFamily kFamilies[] = {FileFamily::PoleFigure, FileFamily::ODF,
                                    FileFamily::InversePoleFigure, FileFamily::GBCD};

} // namespace

const FileLayout* DetectLayout(FileProbe& probe, FileFamily family) {
    if (const FileLayout* l = DetectByContent(probe, family))
        return l;
    return DetectByExtension(probe, family);
}

Expected<const FileLayout*> DetectLayout(const std::string& path) {
    FileProbe probe(path);
    if (probe.GetState().Text() == nullptr)
        return CannotOpen();
    const FileLayout* found[4] = {};
    for (int i = 0; i < 4; ++i)
        found[i] = DetectByContent(probe, kFamilies[i]);
    const FileLayout *pf = found[0], *odf = found[1], *ipf = found[2], *gbcd = found[3];

    // The extension decides between families that both accept the file
    // (".HPF" is a pole figure even if another detector also reads it).
    const std::string ext = UpperExtension(path);
    for (int i = 0; i < 4; ++i)
        if (found[i] && IsOwnExtension(kFamilies[i], ext))
            return found[i];
    // Otherwise the specific detectors win over the loose ones; the cubic
    // ODF text (any 19 x 19 x 19 block of numbers) comes last.
    const bool looseOdf = odf && odf->code == 1;
    for (const FileLayout* l : {ipf, looseOdf ? nullptr : odf, gbcd, pf, odf})
        if (l)
            return l;
    for (FileFamily family : kFamilies)
        if (const FileLayout* l = DetectByExtension(probe, family))
            return l;
    return FileError{"", "no known pole figure, ODF, inverse pole figure or GBCD layout matched"};
}

Expected<FileData> ReadAnyFile(const std::string& path, int index) {
    Expected<const FileLayout*> layout = DetectLayout(path);
    if (!layout)
        return layout.error();
    return (*layout)->Read(path, index);
}

std::vector<std::string> FileDialogFilters(FileFamily family) {
    auto patterns = [](const std::vector<std::string>& exts, std::vector<std::string>* seen) {
        std::string out;
        for (const std::string& e : exts) {
            if (seen) {
                if (std::find(seen->begin(), seen->end(), e) != seen->end())
                    continue;
                seen->push_back(e);
            }
            out += (out.empty() ? "*." : " *.") + e;
        }
        return out;
    };
    std::vector<std::string> filters;
    // The family's filter: the layouts' own extensions first, then the
    // other names such files are given, each once.
    std::vector<std::string> seen;
    std::string all;
    for (bool own : {true, false})
        for (const FileLayout& l : FileLayouts()) {
            if (l.family != family)
                continue;
            std::string p = patterns(own ? l.ownExtensions : l.otherExtensions, &seen);
            if (!p.empty())
                all += (all.empty() ? "" : " ") + p;
        }
    std::string title = FamilyName(family);
    if (family == FileFamily::PoleFigure || family == FileFamily::InversePoleFigure)
        title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    filters.push_back(title + " files (" + all + ")");
    for (const FileLayout& l : FileLayouts()) {
        if (l.family != family)
            continue;
        std::vector<std::string> exts = l.ownExtensions;
        exts.insert(exts.end(), l.otherExtensions.begin(), l.otherExtensions.end());
        if (!exts.empty())
            filters.push_back(std::string(l.name) + " (" + patterns(exts, nullptr) + ")");
    }
    filters.push_back("All files (*)");
    return filters;
}

} // namespace dataformats
