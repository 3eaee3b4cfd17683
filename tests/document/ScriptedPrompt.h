#pragma once

#include <string>
#include <vector>

#include "text/Prompt.h"

namespace tessaly::test {

// Records every box it is asked to show and answers every question the same way.
class ScriptedPrompt : public Prompt {
  public:
    explicit ScriptedPrompt(bool answer = false) : answer_(answer) {}

    void ShowMessage(const std::string&, const std::string& text, PromptIcon icon) override {
        (icon == PromptIcon::Error ? errors : notices).push_back(text);
    }
    bool AskYesNo(const std::string&, const std::string& text, PromptIcon, PromptAnswer preset) override {
        questions.push_back(text);
        presets.push_back(preset);
        return answer_;
    }
    using Prompt::AskYesNo;

    std::vector<std::string> errors;
    std::vector<std::string> notices;
    std::vector<std::string> questions;
    // Each question's default button.
    std::vector<PromptAnswer> presets;

  private:
    bool answer_;
};

}  // namespace tessaly::test
