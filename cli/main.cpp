// tessaly-cli: checks templates and converts them between their stored and plain forms.

#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/FileText.h"
#include "engine/FileInput.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"
#include "text/WriteFileAtomically.h"

namespace {

using namespace tessaly;

constexpr int kExitSuccess = 0;
constexpr int kExitError = 2;

constexpr char kUsage[] =
    "Usage: tessaly-cli [OPTIONS] COMMAND FILE\n"
    "\n"
    "Commands:\n"
    "  check TEMPLATE         load the template; print nothing when it loads, else the error report\n"
    "  decode TEMPLATE        print the template with every entry body in plain text\n"
    "  encode PLAIN [-o OUT]  write a template from plain text (to OUT, else to standard output)\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE      where encode writes the template\n"
    "  -h, --help             show this help\n";

struct Arguments {
    std::vector<std::string> positional;
    std::string output;
    bool help = false;
    bool valid = true;
};

Arguments ParseArguments(int argc, char** argv) {
    static const option kOptions[] = {
        {"output", required_argument, nullptr, 'o'},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    Arguments arguments;
    int option = 0;
    while ((option = getopt_long(argc, argv, "o:h", kOptions, nullptr)) != -1) {
        switch (option) {
            case 'o':
                arguments.output = optarg;
                break;
            case 'h':
                arguments.help = true;
                break;
            default:
                arguments.valid = false;
                break;
        }
    }
    for (int i = optind; i < argc; ++i) {
        arguments.positional.emplace_back(argv[i]);
    }
    return arguments;
}

int Fail(const std::string& message) {
    std::cerr << "tessaly-cli: " << message << '\n';
    return kExitError;
}

int Check(const std::string& path) {
    FileInput input;
    if (!input.Open(path)) {
        return Fail("cannot open template " + path + ": " + std::strerror(errno));
    }
    TemplateHeap heap;
    TemplateParser parser(input, heap);
    parser.Run(nullptr);
    if (parser.Error() == ParseError::None) {
        return kExitSuccess;
    }
    std::string report;
    parser.FormatError(report);
    std::cerr << report << '\n';
    return kExitError;
}

int Decode(const std::string& path) {
    std::string script;
    if (!ReadWholeFile(path, script)) {
        return Fail("cannot read " + path);
    }
    std::cout << DecodeScript(script);
    return kExitSuccess;
}

int Encode(const std::string& path, const std::string& output) {
    std::string plain;
    if (!ReadWholeFile(path, plain)) {
        return Fail("cannot read " + path);
    }
    const std::string script = EncodeScript(plain);
    if (output.empty()) {
        std::cout << script;
        return kExitSuccess;
    }
    return WriteFileAtomically(output, script) ? kExitSuccess : Fail("cannot write " + output);
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments arguments = ParseArguments(argc, argv);
    if (arguments.help) {
        std::cout << kUsage;
        return kExitSuccess;
    }
    if (!arguments.valid || arguments.positional.size() != 2) {
        std::cerr << kUsage;
        return kExitError;
    }
    const std::string& command = arguments.positional[0];
    const std::string& file = arguments.positional[1];
    if (command == "check") {
        return Check(file);
    }
    if (command == "decode") {
        return Decode(file);
    }
    if (command == "encode") {
        return Encode(file, arguments.output);
    }
    return Fail("unknown command " + command);
}
