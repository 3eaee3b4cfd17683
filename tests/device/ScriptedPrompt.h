#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/Prompt.h"

namespace tessaly::test {

// One box as the device layer asked for it; a question has its default button, a message none.
struct Box {
    std::string caption;
    std::string text;
    PromptIcon icon;
    std::optional<PromptAnswer> preset;
    bool operator==(const Box&) const = default;
};

// Records every box in order and answers every question the same way.
class ScriptedPrompt : public Prompt {
  public:
    explicit ScriptedPrompt(bool answer) : answer_(answer) {}
    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override {
        boxes.push_back({caption, text, icon, std::nullopt});
    }
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                  PromptAnswer preset) override {
        boxes.push_back({caption, text, icon, preset});
        return answer_;
    }
    std::vector<Box> boxes;

  private:
    bool answer_;
};

}  // namespace tessaly::test
