#include "theory/ChordData.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "fileio/AtomicFile.h"

namespace strumox::theory {

namespace {

bool readRecords(const std::string& path, int first, int count, std::vector<std::uint8_t>& out, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    out.assign(kDictionaryRecordSize * static_cast<size_t>(count), 0);
    in.seekg(static_cast<std::streamoff>(kDictionaryRecordSize * static_cast<size_t>(first)));
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (static_cast<size_t>(in.gcount()) < out.size()) {
        if (error)
            *error = path + " is too short: records " + std::to_string(first) + ".." +
                     std::to_string(first + count - 1) + " are not all there";
        return false;
    }
    return true;
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
        fileio::writeFileAtomically(dir + std::string(files.first), first);
        fileio::writeFileAtomically(dir + std::string(files.second), second);
    }
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
    const std::string first = appDir + std::string(files->first);
    const std::string second = appDir + std::string(files->second);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(first, ec) || !std::filesystem::is_regular_file(second, ec)) {
        if (error)
            *error = std::string(kMissingChordDataMessage);
        return std::nullopt;
    }

    DictionaryLookup result;
    const int r = dictionaryRecordNumber(g, key);
    std::vector<std::uint8_t> a, b;
    if (!readRecords(first, r, kFingeringsPerFile, a, error) || !readRecords(second, r, kFingeringsPerFile, b, error))
        return std::nullopt;
    const auto formula = readFormulaRecord(appDir + std::string(kFormulaFileName), g, error);
    if (!formula)
        return std::nullopt;
    result.formula = *formula;
    for (size_t i = 0; i < kFingeringsPerFile; ++i) {
        result.fingerings[i] = fingeringFromDictionaryRecord(&a[i * kDictionaryRecordSize]);
        result.fingerings[i + kFingeringsPerFile] = fingeringFromDictionaryRecord(&b[i * kDictionaryRecordSize]);
    }
    return result;
}

}  // namespace strumox::theory
