#pragma once

#include <string>

#include "text/Prompt.h"

namespace tessaly {

// The document's message boxes on a terminal: a message is printed on standard error as it is, followed by
// a line break; a question is printed the same way with the answer given from the options on the next
// line, since nobody is there to answer it.
class ConsolePrompt : public Prompt {
  public:
    explicit ConsolePrompt(bool answer) : answer_(answer) {}

    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                  PromptAnswer preset) override;
    using Prompt::AskYesNo;

    bool ShowedAnything() const { return showed_; }
    // A question was asked and answered No.
    bool Declined() const { return declined_; }

  private:
    bool answer_;
    bool showed_ = false;
    bool declined_ = false;
};

// How the command line prints the answer it gave to a question.
std::string AnswerLine(bool yes);

}  // namespace tessaly
