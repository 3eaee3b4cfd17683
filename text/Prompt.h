#pragma once

#include <string>

namespace tessaly {

// The message boxes the core asks for. The desktop shows them on the user-interface thread, the command
// line prints them and answers from its options, tests script the answers.
class Prompt {
  public:
    virtual ~Prompt() = default;

    // An error box; returns when the user has seen it.
    virtual void ShowError(const std::string& text) = 0;
    // A Yes/No question whose default answer is No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace tessaly
