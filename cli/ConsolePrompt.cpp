#include "cli/ConsolePrompt.h"

#include <cstdio>

namespace tessaly {
namespace {

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace

void ConsolePrompt::ShowMessage(const std::string&, const std::string& text, PromptIcon) {
    PrintLine(text);
    showed_ = true;
}

bool ConsolePrompt::AskYesNo(const std::string&, const std::string& text, PromptIcon, PromptAnswer) {
    PrintLine(text);
    PrintLine(AnswerLine(answer_));
    showed_ = true;
    declined_ = declined_ || !answer_;
    return answer_;
}

std::string AnswerLine(bool yes) {
    return yes ? "Answer: Yes" : "Answer: No";
}

}  // namespace tessaly
