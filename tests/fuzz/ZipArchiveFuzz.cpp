// Any bytes as an archive: extraction on the in-memory machine must not crash (the sanitizers watch minizip,
// the archive reader and the extraction) and must write nothing outside the target folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "components/unzip/Unzipper.h"
#include "platform/fake/FakeMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::fake::FakeMachine m;
    m.files.addFile("C:\\in\\a.zip", std::string(reinterpret_cast<const char*>(data), size));
    extractArchive(m, "C:\\in\\a.zip", "C:\\out\\x");
    for (const std::string& path : m.files.tree("C:")) {
        if (path == "C:" || path == "C:\\in" || path == "C:\\in\\a.zip" || path == "C:\\out" || path == "C:\\out\\x")
            continue;
        if (path.compare(0, 9, "C:\\out\\x\\") != 0) std::abort();
    }
    return 0;
}
