#pragma once

#include <string>
#include <vector>

#include "text/Prompt.h"

namespace tessaly::test {

// Records every box the dialogs show and answers every question the same way.
class RecordingPrompt : public Prompt {
  public:
    struct Box {
        std::string caption;
        std::string text;
        PromptIcon icon;
    };

    explicit RecordingPrompt(bool answer = false) : answer_(answer) {}

    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                  PromptAnswer) override {
        questions.push_back({caption, text, icon});
        return answer_;
    }
    using Prompt::AskYesNo;

    std::vector<Box> messages;
    std::vector<Box> questions;

  private:
    bool answer_;
};

}  // namespace tessaly::test
