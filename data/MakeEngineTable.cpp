// Writes "SE.cds", the engine definitions table, from its readable source (engines.txt):
//   quorvia_make_engines <engines.txt> <SE.cds>
// Blocks of "Field: value" lines, apart by blank lines; "#" starts a comment line.

#include "store/Tables.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <string>

using namespace quorvia;

namespace {

void AppendEngine(TClientDataSet& engines, const std::map<std::string, std::string>& fields) {
    engines.Append();
    for (const auto& [name, value] : fields)
        engines.FieldByName(name).SetAsString(value);
    engines.Post();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <engines.txt> <SE.cds>\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream in(argv[1]);
        if (!in)
            throw std::runtime_error(std::string("cannot read ") + argv[1]);
        TTables tables;
        TClientDataSet& engines = tables.SE_ClientDataSet;
        std::map<std::string, std::string> fields;
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty()) {
                if (!fields.empty())
                    AppendEngine(engines, fields);
                fields.clear();
                continue;
            }
            if (line[0] == '#')
                continue;
            const std::size_t colon = line.find(": ");
            if (colon == std::string::npos)
                throw std::runtime_error(std::string(argv[1]) + ":" + std::to_string(number) +
                                         ": expected \"Field: value\"");
            fields[line.substr(0, colon)] = line.substr(colon + 2);
        }
        if (!fields.empty())
            AppendEngine(engines, fields);
        SaveDataSet(engines, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
