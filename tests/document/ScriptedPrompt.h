#pragma once

#include <string>
#include <vector>

#include "text/Prompt.h"

namespace tessaly::test {

// Records every box it is asked to show and answers every question the same way.
class ScriptedPrompt : public Prompt {
  public:
    explicit ScriptedPrompt(bool answer = false) : answer_(answer) {}
    void ShowError(const std::string& text) override { errors.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer_;
    }

    std::vector<std::string> errors;
    std::vector<std::string> questions;

  private:
    bool answer_;
};

}  // namespace tessaly::test
