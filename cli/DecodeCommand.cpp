#include <iostream>

#include "cli/Commands.h"
#include "cli/FileText.h"
#include "engine/ScriptCodec.h"

namespace tessaly {

CliResult RunDecode(const CommandLine& line) {
    std::string script;
    if (!ReadWholeFile(line.templatePath, script)) {
        return CliResult::Error("cannot read " + line.templatePath);
    }
    std::cout << DecodeScript(script);
    return CliResult::Ok();
}

}  // namespace tessaly
