#include "theory/ChordData.h"

#include <stdexcept>
#include <vector>

#include "fileio/AtomicFile.h"
#include "theory/DataFile.h"

namespace strumox::theory {

namespace {

std::string tooShort(const std::string& path, std::size_t first, std::size_t last)
{
    return path + " is too short: records " + std::to_string(first) + ".." + std::to_string(last) +
           " are not all there";
}

// The build refuses to write a file its own readers would call damaged.
void checkGenerated(std::string_view name, const std::vector<std::uint8_t>& bytes, const RecordLayout& layout)
{
    const RecordScan scan =
        scanRecords(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), layout);
    if (scan.result != RecordScan::Result::Whole)
        throw std::logic_error("generated " + damagedMessage(name, scan.record));
}

}  // namespace

int formulaIndex(ChordFamily family, int type)
{
    for (const FamilyInfo& f : kFamilies) {
        if (f.family == family)
            return type >= 0 && type < f.typeCount ? f.firstFormula + type : -1;
    }
    return -1;
}

const DictionaryFiles* dictionaryFilesOf(int g)
{
    for (size_t i = 0; i < kFamilies.size(); ++i) {
        const FamilyInfo& f = kFamilies[i];
        if (g >= f.firstFormula && g < f.firstFormula + f.typeCount)
            return &kDictionaryFiles[i];
    }
    return nullptr;
}

int dictionaryRecordNumber(int g, int key)
{
    if (key < 0 || key >= 12)
        return -1;
    for (size_t i = 0; i < kFamilies.size(); ++i) {
        const FamilyInfo& f = kFamilies[i];
        if (g >= f.firstFormula && g < f.firstFormula + f.typeCount)
            return key * kDictionaryFiles[i].recordsPerKey + (g - f.firstFormula) * kFingeringsPerFile;
    }
    return -1;
}

DictionaryRecordBytes dictionaryRecordBytes(const Fingering& f)
{
    DictionaryRecordBytes b{};
    b[0] = f.baseFret;
    for (size_t s = 0; s < 6; ++s) {
        b[1 + 2 * s] = f.frets[s];
        b[2 + 2 * s] = f.markers[s];
    }
    return b;
}

Fingering fingeringFromDictionaryRecord(const std::uint8_t* b)
{
    Fingering f;
    f.baseFret = b[0];
    for (size_t s = 0; s < 6; ++s) {
        f.frets[s] = b[1 + 2 * s];
        f.markers[s] = b[2 + 2 * s];
    }
    return f;
}

bool dictionaryRecordValid(const std::uint8_t* b)
{
    const Fingering f = fingeringFromDictionaryRecord(b);
    int sounding = 0;
    for (size_t s = 0; s < 6; ++s) {
        const int fret = f.frets[s], marker = f.markers[s];
        if (fret > kMaxFret || marker > MarkerPlain)
            return false;
        const bool atNut = marker == MarkerOpen || marker == MarkerMuted;
        if (atNut != (fret == 0))
            return false;
        if (marker != MarkerMuted)
            ++sounding;
    }
    if (sounding == 0 || f.baseFret != beginningFret(f.frets, f.markers))
        return false;
    for (size_t s = 0; s < 6; ++s) {
        if (f.frets[s] > f.baseFret + 5)
            return false;
    }
    return true;
}

std::optional<std::vector<Fingering>> dictionaryFromBytes(const std::string& path, std::string_view bytes,
                                                          std::size_t records, std::string* error)
{
    const RecordScan scan = scanRecords(bytes, {kDictionaryRecordSize, records, dictionaryRecordValid});
    if (scan.result != RecordScan::Result::Whole) {
        if (error)
            *error = scan.result == RecordScan::Result::Short ? tooShort(path, scan.record, records - 1)
                                                              : damagedMessage(fileNameOf(path), scan.record);
        return std::nullopt;
    }
    std::vector<Fingering> out;
    out.reserve(records);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t r = 0; r < records; ++r)
        out.push_back(fingeringFromDictionaryRecord(data + r * kDictionaryRecordSize));
    return out;
}

std::optional<std::vector<Fingering>> readDictionaryFile(const std::string& path, std::size_t records,
                                                         std::string* error)
{
    const auto bytes = readDataFile(path, {kDictionaryRecordSize, records, dictionaryRecordValid},
                                    std::string(kMissingChordDataMessage), error);
    if (!bytes)
        return std::nullopt;
    return dictionaryFromBytes(path, *bytes, records, error);
}

void writeChordDataFiles(const std::string& dir)
{
    std::vector<std::uint8_t> formulas;
    for (const FormulaRecord& r : builtInFormulaRecords()) {
        const auto bytes = r.toBytes();
        formulas.insert(formulas.end(), bytes.begin(), bytes.end());
    }

    const std::vector<FingeringSet> dictionary = generateDictionary();
    for (size_t i = 0; i < kFamilies.size(); ++i) {
        const FamilyInfo& family = kFamilies[i];
        const DictionaryFiles& files = kDictionaryFiles[i];
        const size_t records = 12 * static_cast<size_t>(files.recordsPerKey);
        std::vector<std::uint8_t> first(records * kDictionaryRecordSize), second(first.size());
        for (int key = 0; key < 12; ++key) {
            for (int type = 0; type < family.typeCount; ++type) {
                const int g = family.firstFormula + type;
                const FingeringSet& six = dictionary[static_cast<size_t>(g) * 12 + static_cast<size_t>(key)];
                const auto r = static_cast<size_t>(dictionaryRecordNumber(g, key));
                for (size_t j = 0; j < kFingeringsPerFile; ++j) {
                    const auto at = static_cast<std::ptrdiff_t>((r + j) * kDictionaryRecordSize);
                    const auto a = dictionaryRecordBytes(six[j]);
                    const auto b = dictionaryRecordBytes(six[j + kFingeringsPerFile]);
                    std::copy(a.begin(), a.end(), first.begin() + at);
                    std::copy(b.begin(), b.end(), second.begin() + at);
                }
            }
        }
        const RecordLayout layout{kDictionaryRecordSize, records, dictionaryRecordValid};
        checkGenerated(files.first, first, layout);
        checkGenerated(files.second, second, layout);
        fileio::writeFileAtomically(dir + std::string(files.first), first);
        fileio::writeFileAtomically(dir + std::string(files.second), second);
    }
    checkGenerated(kFormulaFileName, formulas, {FormulaRecord::kSize, kChordTypeCount, formulaRecordValid});
    fileio::writeFileAtomically(dir + std::string(kFormulaFileName), formulas);
}

std::optional<DictionaryLookup> lookupChord(const std::string& appDir, int g, int key, std::string* error)
{
    const DictionaryFiles* files = dictionaryFilesOf(g);
    if (!files) {
        if (error)
            *error = std::string(kMissingChordDataMessage);
        return std::nullopt;
    }
    if (key < 0 || key >= 12) {
        if (error)
            *error = "No key " + std::to_string(key) + " (0..11)";
        return std::nullopt;
    }
    const auto records = 12 * static_cast<std::size_t>(files->recordsPerKey);
    const auto first = readDictionaryFile(appDir + std::string(files->first), records, error);
    if (!first)
        return std::nullopt;
    const auto second = readDictionaryFile(appDir + std::string(files->second), records, error);
    if (!second)
        return std::nullopt;
    const auto formula = readFormulaRecord(appDir + std::string(kFormulaFileName), g, error);
    if (!formula)
        return std::nullopt;

    DictionaryLookup result;
    result.formula = *formula;
    const auto r = static_cast<std::size_t>(dictionaryRecordNumber(g, key));
    for (size_t i = 0; i < kFingeringsPerFile; ++i) {
        result.fingerings[i] = (*first)[r + i];
        result.fingerings[i + kFingeringsPerFile] = (*second)[r + i];
    }
    return result;
}

}  // namespace strumox::theory
