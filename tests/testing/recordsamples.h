#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace stampwell::testing {

// The sample records of tests/records, which both programs must read alike:
// each NAME.reg comes with NAME.values, one line per value of the key
// HKEY_CURRENT_USER\Software\Olvadi\Quillbox\Stampwell: "Name=text" for a
// text value every reader must give, "-Name" for a value no reader may give.
// A sample with bytes no text tool shows (UTF-16, a NUL) is kept as
// NAME.reg.hex, its bytes in hexadecimal (xxd -p).
struct RecordSample {
    std::string name;
    std::string bytes;
    std::vector<std::pair<std::string, std::optional<std::string>>> values;
};

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::string FromHex(const std::string& hex) {
    std::string bytes;
    std::string pair;
    for (const char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            pair += c;
        if (pair.size() == 2) {
            bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
            pair.clear();
        }
    }
    return bytes;
}

inline std::vector<RecordSample> RecordSamples() {
    std::vector<RecordSample> samples;
    for (const auto& entry : std::filesystem::directory_iterator(STAMPWELL_RECORDS_DIR)) {
        std::filesystem::path path = entry.path();
        const bool hex = path.extension() == ".hex";
        if (hex)
            path.replace_extension();
        if (path.extension() != ".reg")
            continue;
        const std::string bytes = FileBytes(entry.path());
        RecordSample sample{path.stem().string(), hex ? FromHex(bytes) : bytes, {}};
        std::istringstream lines(FileBytes(path.replace_extension(".values")));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with('-'))
                sample.values.emplace_back(line.substr(1), std::nullopt);
            else if (const std::size_t equals = line.find('='); equals != std::string::npos)
                sample.values.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
        samples.push_back(std::move(sample));
    }
    std::sort(samples.begin(), samples.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    return samples;
}

} // namespace stampwell::testing
