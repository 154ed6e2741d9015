// Writes "SE.cds", the engine definitions table, from its readable source files (one engine
// per file in data/engines/, format in engine/EngineSource.h):
//   quorvia_make_engines <SE.cds> <engine source>...

#include "engine/EngineTable.h"
#include "platform/Text.h"
#include "store/Tables.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

using namespace quorvia;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <SE.cds> <engine source>...\n", argv[0]);
        return 2;
    }
    try {
        TTables tables;
        TClientDataSet& engines = tables.SE_ClientDataSet;
        for (int i = 2; i < argc; ++i)
            for (const TEngineRecord& engine : ReadEngineSource(argv[i])) {
                // Engine names are unique and compared without regard to letter case.
                for (engines.First(); !engines.Eof(); engines.Next())
                    if (EqualsIgnoreAsciiCase(engines.FieldByName("SENAME").AsString(),
                                              engine.SENAME))
                        throw std::runtime_error(std::string(argv[i]) + ": engine \"" +
                                                 engine.SENAME + "\" defined twice");
                PutEngineRecord(engines, engine);
            }
        SaveDataSet(engines, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
