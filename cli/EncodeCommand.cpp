#include <iostream>

#include "cli/Commands.h"
#include "cli/FileText.h"
#include "engine/ScriptCodec.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {

CliResult RunEncode(const CommandLine& line) {
    std::string plain;
    if (!ReadWholeFile(line.templatePath, plain)) {
        return CliResult::Error("cannot read " + line.templatePath);
    }
    const std::string script = EncodeScript(plain);
    if (line.output.empty()) {
        std::cout << script;
        return CliResult::Ok();
    }
    if (!WriteFileAtomically(line.output, script)) {
        return CliResult::Error("cannot write " + line.output);
    }
    return CliResult::Ok();
}

}  // namespace tessaly
